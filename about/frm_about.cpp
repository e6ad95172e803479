#include "about/frm_about.h"

#include "about/sys_info.h"
#include "common/application_icon.h"
#include "common/design_fonts.h"
#include "common/design_geometry.h"
#include "common/user_prompts.h"
#include "common/version.h"

#include <QCoreApplication>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QStringList>
#include <cmath>
#include <cstdio>

namespace scrivlet {
namespace {

QPointer<frmAbout> g_openBox;

// The box opens this far right of and below the main window's corner.
constexpr int kOffsetRightTwips = 2000;
constexpr int kOffsetDownTwips = 1000;

// A screen position in twips, rounded to the nearest pixel.
int roundedPixelsFromTwips(double twips)
{
    return static_cast<int>(std::lround(twips / kTwipsPerPixel));
}

// A rectangle filled with one colour, for the shape and the separator lines.
QWidget* filledRect(QWidget* parent, const char* name, const QRect& rect, const QColor& colour)
{
    auto* widget = named(new QWidget(parent), name);
    widget->setGeometry(rect);
    widget->setAutoFillBackground(true);
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    widget->setPalette(palette);
    return widget;
}


} // namespace

QString aboutDescription()
{
    const QStringList lines = {
        QString::fromLatin1(kProgramCaption.data(), qsizetype(kProgramCaption.size())),
        QCoreApplication::translate("frmAbout", "- RPL reference book and RPL code editor -"),
        QCoreApplication::translate(
            "frmAbout", "    Predictive word completion, as on mobile phones, speeds up writing "
                        "RPL code."),
        QCoreApplication::translate(
            "frmAbout", "Built in reference book makes it a great tool for beginners as well as "
                        "experienced RPL programmers."),
        QString(),
        QCoreApplication::translate("frmAbout", "Entry points from the HP 49 ROM list suprom49:"),
        QStringLiteral("https://www.hpcalc.org/"),
        QString(),
        QCoreApplication::translate("frmAbout",
                                    "Free software under the MIT License: its text is the "
                                    "LICENSE file installed with the documentation."),
        QCoreApplication::translate("frmAbout", "NO WARRANTIES NOR GUARANTIES PROVIDED"),
        QCoreApplication::translate("frmAbout", "- USE AT YOUR OWN RISC"),
    };
    return lines.join(QLatin1Char('\n'));
}

QString aboutAuthor()
{
    const QStringList lines = {
        QCoreApplication::translate("frmAbout", "Written by Vantor Software, December 2026"),
        QStringLiteral("https://vantor.io/scrivlet"),
        QCoreApplication::translate("frmAbout", "More tools: https://vantor.io/tools"),
    };
    return lines.join(QLatin1Char('\n'));
}

frmAbout::frmAbout(const QWidget& mainWindow, UserPrompts& prompts)
    : QDialog(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                           Qt::MSWindowsFixedSizeDialogHint),
      m_prompts(prompts)
{
    setObjectName(QStringLiteral("frmAbout"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    setWindowTitle(tr("About Scrivlet"));
    setWindowIcon(applicationIcon());
    setFont(msSansSerif(8.25));
    setFixedSize(5730 / kTwipsPerPixel, 3720 / kTwipsPerPixel);
    createControls();
    // The prompts belong to the main window.
    connect(&mainWindow, &QObject::destroyed, this, &QWidget::close);
    Form_Load(mainWindow);
}

void frmAbout::createControls()
{
    const QColor windowColour = palette().color(QPalette::Base);

    // The shape lies behind the two pictures.
    filledRect(this, "Shape1", twipsRect(45, 30, 1155, 2880), windowColour);

    auto* image2 = named(new QLabel(this), "Image2");
    image2->setGeometry(twipsRect(135, 375, 975, 1545));
    image2->setPixmap(calculatorPicture());

    auto* image1 = named(new QLabel(this), "Image1");
    image1->setGeometry(twipsRect(345, 1785, 480, 480));
    image1->setPixmap(applicationIcon().pixmap(32, 32));

    m_description = named(new QLabel(this), "description");
    m_description->setGeometry(twipsRect(1185, 30, 4485, 2865));
    m_description->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_description->setWordWrap(true);
    m_description->setAutoFillBackground(true);
    QPalette descriptionPalette = m_description->palette();
    descriptionPalette.setColor(QPalette::Window, windowColour);
    descriptionPalette.setColor(QPalette::WindowText, Qt::black);
    m_description->setPalette(descriptionPalette);

    m_author = named(new QLabel(this), "author");
    m_author->setGeometry(twipsRect(120, 3000, 4125, 690));
    m_author->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_author->setWordWrap(true);
    QPalette authorPalette = m_author->palette();
    authorPalette.setColor(QPalette::WindowText, Qt::black);
    m_author->setPalette(authorPalette);

    // The etched separator: a grey line with a white one below it. The lines end at 5654
    // twips, which is 376.9 pixels: they cover x = 6 (7) to 376.
    filledRect(this, "Line1_1", QRect(90 / kTwipsPerPixel, 2925 / kTwipsPerPixel, 371, 1),
               QColor(0x80, 0x80, 0x80));
    filledRect(this, "Line1_0", QRect(105 / kTwipsPerPixel, 2940 / kTwipsPerPixel, 370, 2),
               QColor(0xFF, 0xFF, 0xFF));

    m_cmdOK = named(new QPushButton(tr("OK"), this), "cmdOK");
    m_cmdOK->setGeometry(twipsRect(4485, 2985, 1140, 345));
    m_cmdOK->setDefault(true);
    connect(m_cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);

    m_cmdSysInfo = named(new QPushButton(tr("&System Info..."), this), "cmdSysInfo");
    m_cmdSysInfo->setGeometry(twipsRect(4485, 3390, 1140, 270));
    connect(m_cmdSysInfo, &QPushButton::clicked, this, &frmAbout::cmdSysInfo_Click);

    QWidget::setTabOrder(m_cmdOK, m_cmdSysInfo);
    m_cmdOK->setFocus();
}

void frmAbout::Form_Load(const QWidget& mainWindow)
{
    // Window positions are those of the frames' top-left corners.
    const QPoint corner = mainWindow.frameGeometry().topLeft();
    move(roundedPixelsFromTwips(corner.x() * kTwipsPerPixel + kOffsetRightTwips),
         roundedPixelsFromTwips(corner.y() * kTwipsPerPixel + kOffsetDownTwips));
    m_description->setText(aboutDescription());
    m_author->setText(aboutAuthor());
}

void frmAbout::cmdOK_Click()
{
    close();
}

void frmAbout::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        m_cmdOK->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

void frmAbout::cmdSysInfo_Click()
{
    StartSysInfo();
}

void frmAbout::StartSysInfo()
{
    try {
        std::vector<std::string> problems;
        const auto registry = openSystemRegistry(processEnvironment(), problems);
        for (const std::string& problem : problems)
            std::fprintf(stderr, "vantor-scrivlet: %s\n", problem.c_str());
        const auto tool = findSysInfoTool(*registry, isRegularFile);
        if (tool && !tool->empty() && tool->find('\0') == std::string::npos &&
            QProcess::startDetached(QFile::decodeName(QByteArray::fromStdString(*tool))))
            return;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "vantor-scrivlet: system information: %s\n", error.what());
    }
    m_prompts.message(this, tr("Vantor Scrivlet"), tr("System Information Is Unavailable At This Time"),
                      UserPrompts::Icon::None);
}

frmAbout* frmAbout::instance()
{
    return g_openBox.data();
}

frmAbout& showAbout(QWidget& mainWindow, UserPrompts& prompts)
{
    // A box that has closed is gone, even while its deletion is still pending.
    if (!g_openBox || !g_openBox->isVisible()) {
        g_openBox = new frmAbout(mainWindow, prompts);
        g_openBox->show();
    } else {
        g_openBox->raise();
    }
    g_openBox->activateWindow();
    return *g_openBox;
}

} // namespace scrivlet
