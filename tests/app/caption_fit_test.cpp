#include "about/frm_about.h"
#include "support/window_session.h"

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QStyleOptionGroupBox>

using namespace scrivlet;
using fixtures::WindowSession;

namespace {

// What a control needs to show its caption whole and what it has, in pixels: widths, or heights
// for labels that wrap their text.
struct Fit {
    QString caption;
    int needs = 0, has = 0;
};

// The control's width less what a control lying above it covers from the right.
int uncoveredWidth(const QWidget& w)
{
    int width = w.width();
    const QObjectList& siblings = w.parentWidget()->children();
    for (qsizetype i = siblings.indexOf(&w) + 1; i < siblings.size(); ++i) {
        const auto* above = qobject_cast<const QWidget*>(siblings[i]);
        if (above && above->isVisible() && above->geometry().intersects(w.geometry()) &&
            above->x() > w.x())
            width = std::min(width, above->x() - w.x());
    }
    return width;
}

std::optional<Fit> fitOf(const QWidget& w)
{
    const QStyle& style = *w.style();
    if (const auto* button = qobject_cast<const QPushButton*>(&w)) {
        // An option without text: the style adds its margins, not its least button width.
        QStyleOptionButton option;
        option.initFrom(button);
        if (button->autoDefault())
            option.features |= QStyleOptionButton::AutoDefaultButton;
        const QSize text = w.fontMetrics().size(Qt::TextShowMnemonic, button->text());
        return Fit{button->text(),
                   style.sizeFromContents(QStyle::CT_PushButton, &option, text, &w).width(),
                   uncoveredWidth(w)};
    }
    if (const auto* box = qobject_cast<const QAbstractButton*>(&w)) // check and radio buttons
        return Fit{box->text(), w.sizeHint().width(), uncoveredWidth(w)};
    if (const auto* label = qobject_cast<const QLabel*>(&w); label && label->wordWrap())
        return Fit{label->text(), label->heightForWidth(w.width()), w.height()};
    if (const auto* label = qobject_cast<const QLabel*>(&w))
        return Fit{label->text(), w.sizeHint().width(), uncoveredWidth(w)};
    if (const auto* group = qobject_cast<const QGroupBox*>(&w)) {
        QStyleOptionGroupBox option;
        option.initFrom(group);
        option.text = group->title();
        option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
        const QRect title =
            style.subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, &w);
        return Fit{group->title(), title.right() + 1, w.width()};
    }
    return std::nullopt;
}

} // namespace

class CaptionFitTest : public QObject {
    Q_OBJECT

  private slots:
    // Every caption of the main window, with the search frame shown and the address label still
    // showing its placeholder, and of the About box shows whole in the font its control uses.
    void everyCaptionShowsWhole()
    {
        WindowSession s([](const fixtures::TempDir& dir) {
            fixtures::writeEntryDatabase(dir.file("entries97.mdb"), {});
        });
        QVERIFY(s.showActive());
        s.window->findChild<QAction*>("edit1")->trigger();
        s.window->findChild<QAction*>("about4")->trigger();
        const QPointer<frmAbout> about = frmAbout::instance();
        QVERIFY(about && QTest::qWaitForWindowExposed(about));

        QStringList captions, clipped;
        for (const QWidget* top : std::initializer_list<const QWidget*>{s.window.get(), about}) {
            for (const QWidget* control : top->findChildren<QWidget*>()) {
                const std::optional<Fit> fit =
                    control->isVisible() ? fitOf(*control) : std::nullopt;
                if (!fit || fit->caption.isEmpty())
                    continue;
                captions << fit->caption;
                if (fit->needs > fit->has)
                    clipped << QStringLiteral("%1 needs %2 px, has %3")
                                   .arg(fit->caption.left(20))
                                   .arg(fit->needs)
                                   .arg(fit->has);
            }
        }
        QVERIFY2(clipped.isEmpty(), qPrintable(clipped.join(QLatin1String("; "))));
        QCOMPARE(captions.size(), 18);
        QVERIFY(captions.contains("IDENTIFIED ENTRY") && captions.contains("REPLACE with :"));
        const QMenuBar* bar = s.window->menuBar();
        for (QAction* item : bar->actions())
            QVERIFY2(bar->rect().contains(bar->actionGeometry(item)), qPrintable(item->text()));
        delete about;
    }
};

QTEST_MAIN(CaptionFitTest)
#include "caption_fit_test.moc"
