#include "app/command_line.h"
#include "app/form1.h"
#include "app/object_command.h"
#include "common/version.h"
#include "link/link_command.h"
#include "reference/reference_command.h"

#include <QApplication>
#include <QPixmap>

#include <cstdio>
#include <cstdlib>
#include <iostream>

namespace {

bool hasDisplay()
{
#if defined(Q_OS_LINUX)
    const auto set = [](const char* name) {
        const char* v = std::getenv(name);
        return v && *v;
    };
    return set("QT_QPA_PLATFORM") || set("DISPLAY") || set("WAYLAND_DISPLAY");
#else
    return true;
#endif
}

} // namespace

int main(int argc, char* argv[])
{
    std::vector<std::string> arguments(argv + 1, argv + argc);
    if (const auto status = scrivlet::runReferenceCommand(arguments))
        return *status;
    if (const auto status = scrivlet::runLinkCommand(arguments))
        return *status;
    if (const auto status = scrivlet::runObjectCommand(arguments, std::cout, std::cerr))
        return *status;
    const scrivlet::CommandLine command = scrivlet::parseCommandLine(arguments);
    switch (command.action) {
    case scrivlet::CommandLine::Action::Help:
        std::fputs(scrivlet::usageText("vantor-scrivlet").c_str(), stdout);
        return std::fflush(stdout) == 0 ? 0 : 1;
    case scrivlet::CommandLine::Action::Version:
        std::printf("Vantor Scrivlet %.*s\n", int(scrivlet::kProgramVersion.size()), scrivlet::kProgramVersion.data());
        return std::fflush(stdout) == 0 ? 0 : 1;
    case scrivlet::CommandLine::Action::Run:
        break;
    }
    const bool screenshot = !command.screenshotFile.empty();

    if (!hasDisplay()) {
        if (!screenshot) {
            std::fputs("vantor-scrivlet: no graphical display (DISPLAY and WAYLAND_DISPLAY are not set)\n",
                       stderr);
            return 1;
        }
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }

    // Qt acts on arguments such as -reverse or -style; here every argument belongs to the file
    // path, so Qt is given the program name alone (QT_QPA_PLATFORM and the like still apply).
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    QApplication::setOrganizationName(QStringLiteral("Vantor"));
    QApplication::setOrganizationDomain(QStringLiteral("vantor.io"));
    QApplication::setApplicationName(QStringLiteral("Vantor Scrivlet"));
    QApplication::setApplicationVersion(QString::fromLatin1(scrivlet::kProgramVersion.data(), qsizetype(scrivlet::kProgramVersion.size())));
    // Desktops match the window to io.vantor.Scrivlet.desktop for its name and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.vantor.Scrivlet"));

    scrivlet::StartOptions options;
    options.commandLine = QString::fromLocal8Bit(command.sourceFile.c_str());
    if (screenshot)
        options.prompts = std::make_unique<scrivlet::ConsolePrompts>();
    scrivlet::Form1 window(std::move(options));
    window.show();

    if (screenshot) {
        QApplication::processEvents();
        const QString file = QString::fromLocal8Bit(command.screenshotFile.c_str());
        if (!window.grab().save(file, "PNG")) {
            std::fprintf(stderr, "vantor-scrivlet: could not write the screenshot %s\n",
                         command.screenshotFile.c_str());
            return 1;
        }
        return 0;
    }
    return QApplication::exec();
}
