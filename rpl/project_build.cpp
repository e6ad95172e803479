#include "rpl/project_build.h"

#include "calculator/library_object.h"
#include "calculator/transfer_file.h"
#include "common/ascii.h"
#include "common/file_io.h"

#include <system_error>

namespace scrivlet {

namespace fs = std::filesystem;

namespace {

// The file of that name in the folder, else the one whose name differs only in letter case.
std::optional<fs::path> fileInFolder(const fs::path& folder, const std::string& name)
{
    const fs::path path = folder / name;
    std::error_code ec;
    if (fs::exists(path, ec))
        return path;
    const std::string wanted = path.filename().string();
    const fs::path parent = path.parent_path().empty() ? fs::path(".") : path.parent_path();
    for (fs::directory_iterator it(parent, ec), end; !ec && it != end; it.increment(ec)) {
        if (equalsNoCase(it->path().filename().string(), wanted))
            return path.parent_path() / it->path().filename();
    }
    return std::nullopt;
}

} // namespace

fs::path projectFilePath(const fs::path& folder, const std::string& name,
                         const std::vector<std::string>& includeFolders)
{
    if (std::optional<fs::path> path = fileInFolder(folder, name))
        return *path;
    for (const std::string& include : includeFolders)
        if (std::optional<fs::path> path = fileInFolder(folder / include, name))
            return *path;
    return folder / name;
}

ProjectFileReader folderFileReader(const fs::path& folder, std::vector<std::string> includeFolders)
{
    return [folder, includeFolders = std::move(includeFolders)](
               const std::string& name) -> std::optional<std::string> {
        FileReadResult file = readWholeFile(projectFilePath(folder, name, includeFolders).string());
        return file.ok ? std::optional<std::string>(std::move(file.bytes)) : std::nullopt;
    };
}

LibraryFileBuild buildLibraryFiles(const std::string& projectPath, const std::string& outputPath,
                                   const RomNames& names, std::vector<std::string> includeFolders)
{
    LibraryFileBuild result;
    auto fail = [&](std::string file, std::string message) {
        result.file = std::move(file);
        result.message = std::move(message);
        return result;
    };
    const FileReadResult project = readWholeFile(projectPath);
    if (!project.ok)
        return fail(projectPath, project.reason);
    return buildLibraryOfProjectText(project.bytes, projectPath, outputPath, names,
                                     std::move(includeFolders));
}

LibraryFileBuild buildLibraryOfProjectText(std::string_view projectText,
                                           const std::string& projectPath,
                                           const std::string& outputPath, const RomNames& names,
                                           std::vector<std::string> includeFolders)
{
    LibraryFileBuild result;
    auto fail = [&](std::string file, std::string message) {
        result.file = std::move(file);
        result.message = std::move(message);
        return result;
    };
    std::error_code ec;
    const fs::path absolute = fs::absolute(projectPath, ec);
    const fs::path folder = fs::path(projectPath).parent_path();
    std::vector<std::string> folders = projectIncludeFolders(projectText);
    folders.insert(folders.end(), includeFolders.begin(), includeFolders.end());
    const ProjectBuild built = buildLibraryProject(projectText, folderFileReader(folder, folders),
                                                   names, ec ? projectPath : absolute.string());
    if (!built.ok) {
        const ProjectError& e = built.error;
        result.line = e.line;
        result.column = e.column;
        result.inSource = e.line > 0;
        return fail(e.file.empty() ? projectPath : projectFilePath(folder, e.file, folders).string(),
                    e.message);
    }
    LibraryBuild library;
    if (built.object) {
        library.ok = true;
        library.library = *built.object;
    } else {
        library = buildLibrary(built.parts);
    }
    if (!library.ok) {
        result.inSource = true;
        return fail(projectPath, library.message);
    }
    result.libraryPath = outputPath;
    if (result.libraryPath.empty())
        result.libraryPath = built.libraryFile.empty()
                                 ? fs::path(projectPath).replace_extension(".hp").string()
                                 : (folder / built.libraryFile).string();
    FileWriteResult written = writeFileAtomically(
        result.libraryPath,
        transferFileBytes(library.library,
                          built.hp48 ? CalculatorFamily::Hp48 : CalculatorFamily::Hp49));
    if (!written.ok)
        return fail(result.libraryPath, written.reason);
    if (!built.headerName.empty()) {
        result.headerPath = (folder / built.headerName).string();
        written = writeFileAtomically(result.headerPath, built.headerText);
        if (!written.ok)
            return fail(result.headerPath, written.reason);
    }
    result.library = library.library;
    result.ok = true;
    return result;
}

} // namespace scrivlet
