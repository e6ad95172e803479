#include "app/library_command.h"

#include "app/file_command_arguments.h"

#include "calculator/library_object.h"
#include "calculator/transfer_file.h"
#include "common/file_io.h"
#include "reference/entry_source.h"
#include "reference/rom_names_reader.h"
#include "rpl/library_project.h"
#include "rpl/project_build.h"

#include <filesystem>
#include <ostream>
#include <system_error>

namespace scrivlet {
namespace {

namespace fs = std::filesystem;

constexpr const char* kUsage =
    "usage: vantor-scrivlet --decompile LIB.hp -o DIR [--database PATH]\n"
    "       vantor-scrivlet --build PROJECT.hpp [-o OUT.hp] [--include DIR]... [--database PATH]\n"
    "       vantor-scrivlet --build SOURCE.s... --romid HEX [--title TEXT] [-o OUT.hp] ...\n";

using Request = FileCommandArguments;

bool isBuild(const Request& request)
{
    return request.mode == "--build";
}

// The arguments, or what is wrong with them.
Request parseRequest(const std::vector<std::string>& arguments)
{
    Request request = parseFileCommandArguments(arguments);
    if (request.error.empty() && request.input.empty())
        request.error = isBuild(request) ? "no project to build" : "no library to decompile";
    return request;
}

int decompileProject(const Request& request, const TransferFile& file, const RomNames& names,
                     std::ostream& out, std::ostream& err)
{
    const LibraryRead read = readLibrary(file.object);
    if (!read.ok) {
        err << "vantor-scrivlet: " << request.input << ": nibble " << read.offset << ": "
            << read.message << "\n";
        return 2;
    }
    if (!read.crcValid)
        err << "vantor-scrivlet: " << request.input << ": warning: the library's CRC is wrong\n";
    std::error_code ec;
    const fs::path dir(request.output);
    if (fs::exists(dir, ec) && !(fs::is_directory(dir, ec) && fs::is_empty(dir, ec))) {
        err << "vantor-scrivlet: " << request.output << ": not an empty folder; nothing written\n";
        return 2;
    }
    fs::create_directories(dir, ec);
    if (ec) {
        err << "vantor-scrivlet: " << request.output << ": " << ec.message() << "\n";
        return 2;
    }
    const std::string base = fs::path(request.input).stem().string();
    for (const ProjectFile& project : libraryProjectFiles(
             read.parts, base, names, file.family == CalculatorFamily::Hp48)) {
        const FileWriteResult written = writeFileAtomically((dir / project.name).string(), project.text);
        if (!written.ok) {
            err << "vantor-scrivlet: " << (dir / project.name).string() << ": " << written.reason
                << "\n";
            return 2;
        }
    }
    out << (dir / (base + ".hpp")).string() << "\n";
    return 0;
}

// The project of a library built from sources named on the command line: library ROMID, the
// sources in their order, as if it lay beside the first source as LIBROMID.hpp.
std::string sourcesProject(const Request& request)
{
    std::string text = "[Main]\nlibrary=1\nRomid=" + request.romId + "\nTitle=" + request.title +
                       "\n[Files]\n";
    std::vector<std::string> sources{request.input};
    sources.insert(sources.end(), request.moreInputs.begin(), request.moreInputs.end());
    for (std::size_t i = 0; i < sources.size(); ++i)
        text += "file" + std::to_string(i + 1) + "=" + fs::absolute(sources[i]).string() + "\n";
    return text;
}

int buildProject(const Request& request, const RomNames& names, std::ostream& out,
                 std::ostream& err)
{
    const bool fromSources = !request.romId.empty();
    if (fromSources && (request.romId.size() > 3 ||
                        request.romId.find_first_not_of("0123456789ABCDEFabcdef") != std::string::npos)) {
        err << "vantor-scrivlet: --romid needs a library number of 1 to 3 hex digits\n" << kUsage;
        return 2;
    }
    const LibraryFileBuild built =
        fromSources
            ? buildLibraryOfProjectText(
                  sourcesProject(request),
                  (fs::path(request.input).parent_path() / ("LIB" + request.romId + ".hpp")).string(),
                  request.output, names, request.includeFolders)
            : buildLibraryFiles(request.input, request.output, names, request.includeFolders);
    if (!built.ok) {
        err << built.file;
        if (built.line > 0)
            err << ":" << built.line << ":" << built.column;
        err << ": " << built.message << "\n";
        return built.inSource ? 1 : 2;
    }
    out << built.libraryPath << "\n";
    if (!built.headerPath.empty())
        out << built.headerPath << "\n";
    return 0;
}

} // namespace

std::optional<int> runLibraryCommand(const std::vector<std::string>& arguments, std::ostream& out,
                                     std::ostream& err)
{
    if (arguments.empty() || (arguments.front() != "--build" && arguments.front() != "--decompile"))
        return std::nullopt;
    const Request request = parseRequest(arguments);
    std::optional<TransferFile> library;
    if (!isBuild(request)) {
        // Only a library decompiled into a folder is ours; the rest goes to the object command.
        std::error_code ec;
        if (!request.error.empty() || request.output.empty() ||
            (fs::path(request.output).has_extension() && !fs::is_directory(request.output, ec)))
            return std::nullopt;
        const FileReadResult file = readWholeFile(request.input);
        const TransferFileRead read = file.ok ? readTransferFile(file.bytes) : TransferFileRead{};
        if (!read.ok || read.file.object.prolog != prolog::kLibrary)
            return std::nullopt;
        library = read.file;
    }
    if (!request.error.empty()) {
        err << "vantor-scrivlet: " << request.error << "\n" << kUsage;
        return 2;
    }
    const RunResult<RomNames> names = readRomNames(request.database);
    if (!names.ok()) {
        err << "vantor-scrivlet: " << names.error << "\n";
        return 2;
    }
    return isBuild(request) ? buildProject(request, *names.value, out, err)
                         : decompileProject(request, *library, *names.value, out, err);
}

} // namespace scrivlet
