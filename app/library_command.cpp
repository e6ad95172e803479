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
    "       vantor-scrivlet --build PROJECT.hpp [-o OUT.hp] [--include DIR]... [--database PATH]\n";

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

int buildProject(const Request& request, const RomNames& names, std::ostream& out,
                 std::ostream& err)
{
    const LibraryFileBuild built = buildLibraryFiles(request.input, request.output, names, request.includeFolders);
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
