#include "app/object_command.h"

#include "app/file_command_arguments.h"
#include "app/library_command.h"

#include "calculator/transfer_file.h"
#include "common/file_io.h"
#include "reference/entry_source.h"
#include "reference/rom_names_reader.h"
#include "rpl/project_build.h"
#include "rpl/source_dialect.h"
#include "rpl/rpl_decompiler.h"

#include <filesystem>
#include <ostream>

namespace scrivlet {
namespace {

constexpr const char* kUsage =
    "usage: vantor-scrivlet --compile SRC [-o OUT.hp] [--system] [--include DIR]... [--database PATH]\n"
    "       vantor-scrivlet --decompile FILE.hp [-o OUT.txt] [--database PATH]\n";

using Request = FileCommandArguments;

bool isCompile(const Request& request)
{
    return request.mode == "--compile";
}

// The arguments, or what is wrong with them; a compile writes SRC with .hp unless -o says.
Request parseRequest(const std::vector<std::string>& arguments)
{
    Request request = parseFileCommandArguments(arguments);
    if (request.error.empty() && request.input.empty())
        request.error = isCompile(request) ? "no source to compile" : "no file to decompile";
    if (request.error.empty() && isCompile(request) && request.output.empty())
        request.output = std::filesystem::path(request.input).replace_extension(".hp").string();
    return request;
}

int compile(const Request& request, const RomNames& names, std::ostream& out, std::ostream& err)
{
    const FileReadResult source = readWholeFile(request.input);
    if (!source.ok) {
        err << "vantor-scrivlet: " << request.input << ": " << source.reason << "\n";
        return 2;
    }
    // INCLUDE names a file beside the source, else in an include folder.
    const std::filesystem::path folder = std::filesystem::path(request.input).parent_path();
    const SourceCompile compiled =
        compileSource(source.bytes, request.system ? RplDialect::System : RplDialect::Unknown,
                      folderFileReader(folder, request.includeFolders), names);
    if (!compiled.ok) {
        const ProjectError& e = compiled.error;
        err << (e.file.empty() ? request.input
                               : projectFilePath(folder, e.file, request.includeFolders).string());
        if (e.line > 0)
            err << ":" << e.line << ":" << e.column;
        err << ": " << e.message << "\n";
        return 1;
    }
    const FileWriteResult written =
        writeFileAtomically(request.output, transferFileBytes(compiled.object));
    if (!written.ok) {
        err << "vantor-scrivlet: " << request.output << ": " << written.reason << "\n";
        return 2;
    }
    out << request.output << "\n";
    return 0;
}

int decompile(const Request& request, const RomNames& names, std::ostream& out, std::ostream& err)
{
    const FileReadResult file = readWholeFile(request.input);
    if (!file.ok) {
        err << "vantor-scrivlet: " << request.input << ": " << file.reason << "\n";
        return 2;
    }
    const TransferFileRead read = readTransferFile(file.bytes);
    if (!read.ok) {
        err << "vantor-scrivlet: " << request.input << ": byte " << read.byteOffset << ": "
            << read.message << "\n";
        return 2;
    }
    DecompileOptions options;
    options.namePointers = read.file.family == CalculatorFamily::Hp49;
    const std::string text = decompiledTransferText(read.file.object, names, options);
    if (request.output.empty()) {
        out << text;
        out.flush();
        return out ? 0 : 2;
    }
    const FileWriteResult written = writeFileAtomically(request.output, text);
    if (!written.ok) {
        err << "vantor-scrivlet: " << request.output << ": " << written.reason << "\n";
        return 2;
    }
    return 0;
}

} // namespace

std::optional<int> runObjectCommand(const std::vector<std::string>& arguments, std::ostream& out,
                                    std::ostream& err)
{
    if (const auto status = runLibraryCommand(arguments, out, err))
        return status;
    if (arguments.empty() ||
        (arguments.front() != "--compile" && arguments.front() != "--decompile"))
        return std::nullopt;
    const Request request = parseRequest(arguments);
    if (!request.error.empty()) {
        err << "vantor-scrivlet: " << request.error << "\n" << kUsage;
        return 2;
    }
    const RunResult<RomNames> names = readRomNames(request.database);
    if (!names.ok()) {
        err << "vantor-scrivlet: " << names.error << "\n";
        return 2;
    }
    return isCompile(request) ? compile(request, *names.value, out, err)
                           : decompile(request, *names.value, out, err);
}

} // namespace scrivlet
