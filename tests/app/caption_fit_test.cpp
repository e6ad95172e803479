#include "about/frm_about.h"
#include "support/window_session.h"

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QStyleOptionButton>

using namespace scrivlet;

namespace {

// The control's width less what a control lying above it covers from the right.
int uncoveredWidth(const QWidget& w)
{
    int width = w.width();
    const QObjectList& siblings = w.parentWidget()->children();
    for (qsizetype i = siblings.indexOf(&w) + 1; i < siblings.size(); ++i)
        if (const auto* above = qobject_cast<const QWidget*>(siblings[i]);
            above && above->isVisible() && above->geometry().intersects(w.geometry()) &&
            above->x() > w.x())
            width = std::min(width, above->x() - w.x());
    return width;
}

// The pixels a control needs to show its caption whole and the pixels it has: widths, or
// heights for labels that wrap. Nothing for a control without a caption.
std::optional<std::pair<int, int>> fitOf(const QWidget& w)
{
    const auto* label = qobject_cast<const QLabel*>(&w);
    const auto* button = qobject_cast<const QAbstractButton*>(&w);
    const auto* group = qobject_cast<const QGroupBox*>(&w);
    if ((label ? label->text() : button ? button->text() : group ? group->title() : "").isEmpty())
        return std::nullopt;
    if (group) // the title, a space and the frame's margins
        return std::pair(w.minimumSizeHint().width(), w.width());
    if (label && label->wordWrap())
        return std::pair(label->heightForWidth(w.width()), w.height());
    if (!qobject_cast<const QPushButton*>(&w)) // labels, check and radio buttons with indicator
        return std::pair(w.sizeHint().width(), uncoveredWidth(w));
    // An option without text: the style adds its margins, not its least button width.
    QStyleOptionButton option;
    option.initFrom(button);
    if (static_cast<const QPushButton*>(button)->autoDefault())
        option.features |= QStyleOptionButton::AutoDefaultButton;
    const QSize caption = w.fontMetrics().size(Qt::TextShowMnemonic, button->text());
    return std::pair(
        w.style()->sizeFromContents(QStyle::CT_PushButton, &option, caption, &w).width(),
        uncoveredWidth(w));
}

} // namespace

class CaptionFitTest : public QObject {
    Q_OBJECT

  private slots:
    // Every caption of the main window, with the search frame shown and the address label still
    // showing its placeholder, and of the About box shows whole in the font its control uses.
    void everyCaptionShowsWhole()
    {
        fixtures::WindowSession s([](const fixtures::TempDir& dir) {
            fixtures::writeEntryDatabase(dir.file("entries97.mdb"), {});
        });
        QVERIFY(s.showActive());
        s.window->findChild<QAction*>("edit1")->trigger();
        s.window->findChild<QAction*>("about4")->trigger();
        const QPointer<frmAbout> about = frmAbout::instance();
        QVERIFY(about && QTest::qWaitForWindowExposed(about));

        QStringList captioned, clipped;
        for (const QWidget* top : std::initializer_list<const QWidget*>{s.window.get(), about})
            for (const QWidget* control : top->findChildren<QWidget*>())
                if (const auto fit = control->isVisible() ? fitOf(*control) : std::nullopt) {
                    captioned << control->objectName();
                    if (fit->first > fit->second)
                        clipped << QStringLiteral("%1 needs %2 px, has %3")
                                       .arg(control->objectName())
                                       .arg(fit->first)
                                       .arg(fit->second);
                }
        QVERIFY2(clipped.isEmpty(), qPrintable(clipped.join(QLatin1String("; "))));
        QVERIFY2(captioned.size() > 1, "the walk reached the captioned controls");
        const QMenuBar* bar = s.window->menuBar();
        for (QAction* item : bar->actions())
            QVERIFY2(!item->isVisible() || bar->rect().contains(bar->actionGeometry(item)),
                     qPrintable(item->text()));
        delete about;
    }
};

QTEST_MAIN(CaptionFitTest)
#include "caption_fit_test.moc"
