#include "app/command_line.h"

#include <algorithm>

namespace scrivlet {

std::string joinedPath(const std::vector<std::string>& arguments)
{
    std::string joined;
    for (const auto& a : arguments) {
        if (&a != &arguments.front())
            joined += ' ';
        joined += a;
    }
    std::erase(joined, '"');
    return joined;
}

CommandLine parseCommandLine(const std::vector<std::string>& arguments)
{
    CommandLine result;
    if (arguments.size() == 1 && arguments[0] == "--help") {
        result.action = CommandLine::Action::Help;
        return result;
    }
    if (arguments.size() == 1 && arguments[0] == "--version") {
        result.action = CommandLine::Action::Version;
        return result;
    }
    auto rest = arguments.begin();
    if (arguments.size() >= 2 && arguments[0] == "--screenshot") {
        result.screenshotFile = arguments[1];
        rest += 2;
    }
    result.sourceFile = joinedPath(std::vector<std::string>(rest, arguments.end()));
    return result;
}

std::string usageText(const std::string& programName)
{
    return "Usage: " + programName + " [FILE]\n"
           "       " + programName + " --screenshot PNG [FILE]\n"
           "       " + programName + " --import FILE... [--database PATH]\n"
           "       " + programName + " --learn PATH... [--database PATH]\n"
           "       " + programName +
           " --measure-savings PATH... [--database PATH] [--names-in-file]\n"
           "                                                 [--no-previous-word] [--tab-in-word]\n"
           "       " + programName + " --compile SRC [-o OUT.hp] [--system] [--include DIR]...\n"
           "                                 [--database PATH]\n"
           "       " + programName + " --decompile FILE.hp [-o OUT.txt | -o DIR] [--database PATH]\n"
           "       " + programName + " --build PROJECT.hpp [-o OUT.hp] [--include DIR]... [--database PATH]\n"
           "       " + programName + " --build SOURCE.s... --romid HEX [--title TEXT] [-o OUT.hp] ...\n"
           "       " + programName + " --send FILE... --port DEV [--speed N] [--protocol kermit|xmodem]\n"
           "       " + programName + " --get NAME --port DEV [-o FILE] [--speed N] [--protocol ...]\n"
           "       " + programName + " --help | --version\n"
           "\n"
           "Vantor Scrivlet, an RPL editor with a reference book of entry points.\n"
           "\n"
           "FILE is one path: every argument after the program name is joined with single\n"
           "spaces and double quotes are removed, so a path with spaces opens as one file,\n"
           "quoted or not. --help and --version are options only when they stand alone.\n"
           "\n"
           "The entry database entries97.mdb is read from the current directory.\n"
           "\n"
           "  --screenshot PNG  render the main window to the PNG file and quit\n"
           "  --import FILE...  add and update entries from entry tables, no window\n"
           "  --learn PATH...   add the uses counted in sources to the usage counts\n"
           "  --measure-savings PATH...\n"
           "                    print what the proposals save on the sources, the database\n"
           "                    only read (--names-in-file: as with Names in This File First,\n"
           "                    --no-previous-word: without the previous word's help,\n"
           "                    --tab-in-word: as with Tab Ends a Word unchecked)\n"
           "  --compile SRC     compile RPL text to a binary transfer file (HPHP49-C), SRC\n"
           "                    with .hp unless -o names the file; exit 1 on an error in the\n"
           "                    text, printed as SRC:line:column: message. The text's first\n"
           "                    words tell User RPL (%%HP:, \\<<) from a System RPL source\n"
           "                    (*, RPL, ::, xNAME, NULLNAME); --system: System RPL always\n"
           "  --decompile FILE  write the object of a binary transfer file as text, to the\n"
           "                    standard output unless -o names a file; exit 2 on a bad file;\n"
           "                    a library with -o DIR: a project folder to --build back\n"
           "  --build PROJECT   build a library from a project (.hpp and its sources), and\n"
           "                    its header PROJECT.h when the project says WriteHeader=1;\n"
           "                    or from sources and --romid, as LIBHEX.hp beside the first\n"
           "  --include DIR     with --compile and --build: look for INCLUDEd headers that\n"
           "                    are not beside the source in DIR too (after the folders a\n"
           "                    project's RPL_INCLUDE= names)\n"
           "  --send FILE...    send files to the calculator over a serial port\n"
           "  --get NAME        ask the calculator's Kermit server for a variable\n"
           "  --database PATH   the database --import, --learn, --measure-savings,\n"
           "                    --compile, --decompile and --build use\n"
           "  --help            print this text and quit\n"
           "  --version         print the version and quit\n";
}

} // namespace scrivlet
