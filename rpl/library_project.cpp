#include "rpl/library_project.h"

#include "common/ascii.h"
#include "common/line_walk.h"
#include "rpl/lexer.h"
#include "rpl/library_header.h"
#include "rpl/rpl_compiler.h"
#include "rpl/rpl_decompiler.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <set>

namespace scrivlet {

namespace {

constexpr std::uint32_t kAttachAtWarmStart49 = 0x2F2A7;
constexpr std::uint32_t kAttachAtWarmStart48 = 0x1C6F0;
constexpr std::uint32_t kSystemContext = 0x08D92;

// The configuration HP's tools give a library whose project names none.
RplObject defaultConfig(std::uint32_t romId, bool hp48)
{
    RplObject number{prolog::kSystemBinary, ObjectShape::Fixed, {}, {}, {}};
    appendNibbleField(number.body, romId, 5);
    return {prolog::kProgram,
            ObjectShape::Composite,
            {},
            {},
            {RplObject::pointer(kSystemContext), number,
             RplObject::pointer(hp48 ? kAttachAtWarmStart48 : kAttachAtWarmStart49)}};
}

// A file name for a command: letters, digits, _ and - as they are, other bytes as _XX.
std::string fileStem(const std::string& name)
{
    std::string stem;
    for (char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (std::isalnum(byte) != 0 || c == '-')
            stem += c;
        else
            stem += std::string("_") + hexDigitChar(byte >> 4) + hexDigitChar(byte);
    }
    return stem;
}

// Source text as HP's compiler reads it: a backslash and two hex digits stand for a byte (ISA\97,
// "\B0C"). Written so for every byte from 80 hex and for the backslash itself.
std::string escaped(std::string_view bytes)
{
    std::string text;
    for (char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x80 || c == '\\')
            text += std::string("\\") + hexDigitChar(byte >> 4) + hexDigitChar(byte);
        else
            text += c;
    }
    return text;
}

std::string unescaped(std::string_view text)
{
    std::string bytes;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 2 < text.size() && isHexDigit(text[i + 1]) &&
            isHexDigit(text[i + 2])) {
            bytes += static_cast<char>(hexDigitValue(text[i + 1]) * 16 + hexDigitValue(text[i + 2]));
            i += 2;
        } else {
            bytes += text[i];
        }
    }
    return bytes;
}

std::string objectText(const RplObject& object, const RomNames& names, bool hp48)
{
    DecompileOptions options;
    options.namePointers = !hp48;
    std::string text = escaped(decompileRpl(object, names, options));
    if (text.empty() || text.back() != '\n')
        text += '\n';
    return text;
}

} // namespace

std::vector<ProjectFile> libraryProjectFiles(const LibraryParts& parts, const std::string& base,
                                             const RomNames& names, bool hp48)
{
    std::vector<ProjectFile> files(1);
    std::set<std::string> taken{asciiLower(base + ".hpp")};
    auto claim = [&](std::string stem) {
        std::string name = stem + ".s";
        for (int i = 2; taken.contains(asciiLower(name)); ++i)
            name = stem + "_" + std::to_string(i) + ".s";
        taken.insert(asciiLower(name));
        return name;
    };
    const std::string libraryLine = "* Library " + hexNumber(parts.romId) + " (" +
                                    escaped(parts.title) + ")\n";
    std::string list;
    for (std::size_t i = 0; i < parts.commands.size(); ++i) {
        const LibraryCommand& command = parts.commands[i];
        const bool hidden = command.name.empty();
        const std::string name =
            hidden ? "cmd" + std::to_string(command.number) : escaped(command.name);
        ProjectFile file{claim(fileStem(hidden ? name : command.name)), {}};
        file.text = "RPL\n" + libraryLine + "* Command " + std::to_string(command.number) +
                    (hidden ? " (hidden)\n" : "\n") + (hidden ? "NULLNAME " : "xNAME ") + name +
                    "\n" + objectText(command.object, names, hp48);
        list += "file" + std::to_string(i + 1) + "=" + file.name + "\n";
        files.push_back(std::move(file));
    }
    auto special = [&](const std::optional<RplObject>& object, const char* stem, const char* what) {
        if (!object)
            return std::string();
        ProjectFile file{claim(stem), "RPL\n" + libraryLine + "* " + what + "\n" +
                                          objectText(*object, names, hp48)};
        files.push_back(std::move(file));
        return files.back().name;
    };
    const std::string message = special(parts.message, "message_table", "The message table");
    const std::string config = parts.config && *parts.config == defaultConfig(parts.romId, hp48)
                                   ? std::string()
                                   : special(parts.config, "config", "The configuration object");
    files[0].name = base + ".hpp";
    files[0].text = "[Main]\nlibrary=1\nRomid=" + hexNumber(parts.romId) +
                    "\nTitle=" + escaped(parts.title) + "\nConfig=" + config +
                    "\nMessage=" + message + "\nCalc48=" + (hp48 ? "1" : "0") +
                    "\nFilePath=" + base + ".hp\n[Files]\n" + list;
    return files;
}

namespace {

struct Ini {
    std::map<std::string, std::string> main;  // keys in lower case
    std::map<long, std::string> files;        // by their number
    std::size_t badLine = 0;
};

Ini readIni(std::string_view text)
{
    Ini ini;
    std::string section;
    std::size_t lineNumber = 0;
    while (!text.empty()) {
        ++lineNumber;
        const std::size_t end = text.find('\n');
        std::string line(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        while (!line.empty() && (line.back() == '\r' || line.back() == ' '))
            line.pop_back();
        if (line.empty() || line[0] == ';')
            continue;
        if (line[0] == '[') {
            section = asciiLower(line);
            continue;
        }
        const std::size_t eq = line.find('=');
        if (eq == std::string::npos) {
            if (ini.badLine == 0)
                ini.badLine = lineNumber;
            continue;
        }
        const std::string key = asciiLower(line.substr(0, eq));
        const std::string value = line.substr(eq + 1);
        if (section == "[main]") {
            ini.main[key] = value;
        } else if (section == "[files]" && key.rfind("file", 0) == 0 && key.size() > 4 &&
                   std::all_of(key.begin() + 4, key.end(), [](char c) { return c >= '0' && c <= '9'; })) {
            ini.files[std::stol(key.substr(4))] = value;
        }
    }
    return ini;
}

struct Source {
    std::string name;
    bool visible = false;
    std::size_t bodyLine = 0; // the line the object starts on
    std::string body;
};

using Defines = std::map<std::string, std::string>;
// The names declared EXTERNAL: ROM library commands called by their bare names.
using Externals = std::set<std::string>;

// A token that is part of an object, not of the compiler's or assembler's lines.
bool isObjectWord(TokenKind kind)
{
    switch (kind) {
    case TokenKind::String:
    case TokenKind::Character:
    case TokenKind::Structure:
    case TokenKind::Number:
    case TokenKind::Name:
    case TokenKind::ControlWord:
    case TokenKind::Algebraic:
        return true;
    default:
        return false;
    }
}

constexpr int kMaxIncludeDepth = 8;

// The commands of a source file in the System RPL form of HP's tools: comment lines (* in
// column 1) and ( ... ) comments, RPL, INCLUDE header (its DEFINEs count), xROMID, EXTERNAL,
// the header's ASSEMBLEM ... !RPL, DEFINE name replacement (the rest of the line; later uses of
// the name are replaced), and xNAME or NULLNAME name before each command. Each body keeps its
// lines, so a compile error names the file's line. Without `named` the file holds one object
// and no name (the message table, the configuration); a header holds no command.
struct Splitter {
    const ProjectFileReader& read;
    Defines& defines;
    Externals& externals;
    ProjectError& error;

    bool split(const std::string& text, std::vector<Source>& out, bool named, bool header,
               int depth)
    {
        if (!named)
            out.push_back({{}, false, 1, {}});
        LexState state;
        state.dialect = RplDialect::System;
        std::vector<Token> tokens;
        std::size_t lineNumber = 0;
        for (std::size_t at = 0; at < text.size();) {
            ++lineNumber;
            const std::size_t end = std::min(text.find('\n', at), text.size());
            std::string line = text.substr(at, end - at);
            at = end + 1;
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            state = lexLine(line, state, tokens);
            const bool inBody = !out.empty() && !header;
            std::string kept = line;
            bool startsCommand = false;
            auto blank = [&](const Token& t) { kept.replace(t.start, t.length, t.length, ' '); };
            for (std::size_t i = 0; i < tokens.size(); ++i) {
                const Token& t = tokens[i];
                const std::string_view word = t.text(line);
                const Token* operand = i + 1 < tokens.size() ? &tokens[i + 1] : nullptr;
                if (t.kind == TokenKind::Comment) {
                    blank(t);
                } else if (t.kind == TokenKind::DefiningWord && word == "DEFINE") {
                    if (operand == nullptr || operand->kind != TokenKind::DefinedName) {
                        error = {{}, lineNumber, t.start + 1, "DEFINE needs a name"};
                        return false;
                    }
                    // The rest of the line, without its comments.
                    for (std::size_t j = i + 2; j < tokens.size(); ++j)
                        if (tokens[j].kind == TokenKind::Comment)
                            blank(tokens[j]);
                    const std::size_t from = std::min<std::size_t>(operand->end() + 1, line.size());
                    std::string replacement = kept.substr(from);
                    while (!replacement.empty() && (replacement.back() == ' ' || replacement.back() == '\t'))
                        replacement.pop_back();
                    defines[std::string(operand->text(line))] = replacement;
                    kept.replace(t.start, kept.size() - t.start, kept.size() - t.start, ' ');
                    break;
                } else if (t.kind == TokenKind::DefiningWord &&
                           (word == "xNAME" || word == "NULLNAME")) {
                    if (header || !named) {
                        error = {{}, lineNumber, t.start + 1,
                                 std::string(word) + " has no place in this file"};
                        return false;
                    }
                    if (operand == nullptr || operand->kind != TokenKind::DefinedName) {
                        error = {{}, lineNumber, t.start + 1, std::string(word) + " needs a name"};
                        return false;
                    }
                    out.push_back({unescaped(operand->text(line)), word == "xNAME",
                                   lineNumber, {}});
                    blank(t);
                    blank(*operand);
                    ++i;
                    startsCommand = true;
                } else if (t.kind == TokenKind::DefiningWord &&
                           (word == "EXTERNAL" || word == "FEXTERNAL")) {
                    blank(t);
                    if (operand != nullptr && operand->kind == TokenKind::DefinedName) {
                        externals.emplace(operand->text(line));
                        blank(*operand), ++i;
                    }
                } else if (word == "INCLUDE" && t.kind == TokenKind::Directive) {
                    if (operand == nullptr || depth >= kMaxIncludeDepth) {
                        error = {{}, lineNumber, t.start + 1,
                                 operand == nullptr ? "INCLUDE needs a file" : "INCLUDE nests too deep"};
                        return false;
                    }
                    const std::string file(operand->text(line));
                    const std::optional<std::string> included = read(file);
                    std::vector<Source> none;
                    if (!included) {
                        error = {{}, lineNumber, operand->start + 1, "cannot read " + file};
                        return false;
                    }
                    if (!split(*included, none, true, true, depth + 1)) {
                        if (error.file.empty())
                            error.file = file;
                        return false;
                    }
                    blank(t);
                    blank(*operand);
                    ++i;
                } else if (word == "!NO" && operand != nullptr && operand->text(line) == "CODE") {
                    // The calculator's own compiler's "no code" mode: System RPL as here.
                    blank(t);
                    blank(*operand);
                    ++i;
                } else if ((word == "xROMID" || word == "xTITLE") && operand != nullptr) {
                    blank(t);
                    blank(*operand);
                    ++i;
                } else if (!inBody && !header && named && isObjectWord(t.kind)) {
                    error = {{}, lineNumber, t.start + 1,
                             "xNAME or NULLNAME is missing before the command"};
                    return false;
                } else if (word == "RPL" || word == "!RPL" || !inBody) {
                    blank(t); // the header's assembler lines, xROMID, RPL
                }
            }
            // DEFINEd names, right to left so the token places stay valid.
            for (auto t = tokens.rbegin(); t != tokens.rend(); ++t) {
                if ((t->kind != TokenKind::Name && t->kind != TokenKind::Identifier) || kept.compare(t->start, t->length, line, t->start, t->length) != 0)
                    continue;
                const auto it = defines.find(std::string(t->text(line)));
                if (it != defines.end())
                    kept.replace(t->start, t->length, it->second);
            }
            if (kept.find_first_not_of(" \t") != std::string::npos && (out.empty() || header)) {
                error = {{}, lineNumber, kept.find_first_not_of(" \t") + 1,
                         header ? "a header holds no objects" : "xNAME or NULLNAME is missing before the command"};
                return false;
            }
            if (!out.empty() && !header)
                out.back().body += kept + "\n";
            if (startsCommand) {
                state = LexState{}; // the command's own first word decides its dialect
            }
        }
        if (named && out.empty() && !header) {
            error = {{}, lineNumber, 1, "no command in the file"};
            return false;
        }
        return true;
    }
};

// The body with each word of System RPL that names a command of the project (xNAME name is
// called as xname, NULLNAME name as name) replaced by XLIB library command, and each name
// declared EXTERNAL that the book holds as a ROM library command (~name) called as that.
std::string linkCommandNames(const std::string& body, const std::map<std::string, XlibId>& commands,
                             const Externals& externals, const RomNames& names)
{
    std::string out;
    LexState state;
    std::vector<Token> tokens;
    for (std::size_t at = 0; at <= body.size();) {
        const std::size_t end = std::min(body.find('\n', at), body.size());
        std::string line = body.substr(at, end - at);
        state = lexLine(line, state, tokens);
        if (state.dialect == RplDialect::System) {
            for (auto token = tokens.rbegin(); token != tokens.rend(); ++token) {
                if (token->kind != TokenKind::Name)
                    continue;
                const std::string word(token->text(line));
                const auto it = commands.find(word);
                if (it != commands.end())
                    line.replace(token->start, token->length,
                                 "XLIB " + std::to_string(it->second.library) + " " +
                                     std::to_string(it->second.command));
                else if (externals.count(word) != 0 && names.romPointer("~" + word))
                    line.replace(token->start, token->length, "~" + word);
            }
        }
        out += line;
        if (end < body.size())
            out += '\n';
        at = end + 1;
    }
    return out;
}

// HP's compiler makes the objects between WHILE and its REPEAT one program when they are more
// than one, as the loop runs one object; a single object stays as it is.
void wrapLoopBodies(std::vector<RplObject>& items, std::uint32_t whileAt, std::uint32_t repeatAt)
{
    auto is = [](const RplObject& o, std::uint32_t address) {
        return o.shape == ObjectShape::Pointer && o.prolog == address;
    };
    for (RplObject& item : items)
        if (item.prolog == prolog::kProgram)
            wrapLoopBodies(item.items, whileAt, repeatAt);
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (!is(items[i], whileAt))
            continue;
        std::size_t j = i + 1;
        for (int depth = 0; j < items.size(); ++j) {
            if (is(items[j], whileAt))
                ++depth;
            else if (is(items[j], repeatAt) && depth-- == 0)
                break;
        }
        if (j >= items.size())
            return;
        std::vector<RplObject> body(std::make_move_iterator(items.begin() + static_cast<std::ptrdiff_t>(i + 1)),
                                    std::make_move_iterator(items.begin() + static_cast<std::ptrdiff_t>(j)));
        wrapLoopBodies(body, whileAt, repeatAt);
        items.erase(items.begin() + static_cast<std::ptrdiff_t>(i + 1), items.begin() + static_cast<std::ptrdiff_t>(j));
        if (body.size() == 1)
            items.insert(items.begin() + static_cast<std::ptrdiff_t>(i + 1), std::move(body.front()));
        else
            items.insert(items.begin() + static_cast<std::ptrdiff_t>(i + 1),
                         RplObject{prolog::kProgram, ObjectShape::Composite, {}, {}, std::move(body)});
        i += 1; // past the body; its REPEAT follows
    }
}

// A source's body compiled as the project's command `file` holds: the project's commands
// called by name, the escapes read, loop bodies made one program.
std::optional<RplObject> compileBody(const std::string& file, const Source& source,
                                     const std::map<std::string, XlibId>& commandNames,
                                     const Externals& externals, const RomNames& names,
                                     ProjectError& error)
{
    CompileOptions options;
    options.systemRpl = true;
    const CompileResult compiled = compileRpl(
        unescaped(linkCommandNames(source.body, commandNames, externals, names)), names, options);
    if (!compiled.ok) {
        error = {file, source.bodyLine + compiled.error.line - 1, compiled.error.column,
                 compiled.error.message};
        const std::string unknown = "the reference book has no entry ";
        if (names.size() == 0 && error.message.rfind(unknown, 0) == 0)
            error.message = error.message.substr(unknown.size()) +
                            ": the book holds the 49 series' addresses; a 48-series project "
                            "(Calc48=1) writes its entries by address (PTR hhhhh)";
        return std::nullopt;
    }
    RplObject object = compiled.object;
    const auto whileAt = names.address("WHILE"), repeatAt = names.address("REPEAT");
    if (object.prolog == prolog::kProgram && whileAt && repeatAt)
        wrapLoopBodies(object.items, *whileAt, *repeatAt);
    return object;
}

bool isHeaderFile(const std::string& file)
{
    return file.size() > 2 && asciiLower(file.substr(file.size() - 2)) == ".h";
}

std::string fileStemOf(std::string_view path)
{
    const std::size_t slash = path.find_last_of("/\\");
    std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.rfind('.');
    return std::string(dot == std::string_view::npos || dot == 0 ? name : name.substr(0, dot));
}

// A project that builds no library compiles its one source file (headers aside) to the object
// it holds.
ProjectBuild buildObjectProject(const Ini& ini, const ProjectFileReader& read, const RomNames& names,
                                ProjectBuild build)
{
    std::vector<std::string> files;
    for (const auto& [number, file] : ini.files)
        if (!isHeaderFile(file))
            files.push_back(file);
    if (files.size() != 1) {
        build.error = {{}, 0, 0, "a project that builds no library (library=1 is missing) "
                                 "compiles one source file; this one lists " +
                                     std::to_string(files.size())};
        return build;
    }
    const std::optional<std::string> text = read(files.front());
    if (!text) {
        build.error = {files.front(), 0, 0, "cannot read the file"};
        return build;
    }
    SourceCompile compiled = compileSystemSource(*text, read, names);
    if (!compiled.ok) {
        build.error = std::move(compiled.error);
        if (build.error.file.empty())
            build.error.file = files.front();
        return build;
    }
    build.object = std::move(compiled.object);
    build.ok = true;
    return build;
}

} // namespace

std::vector<std::string> projectIncludeFolders(std::string_view projectText)
{
    std::vector<std::string> folders;
    const Ini ini = readIni(projectText);
    const auto it = ini.main.find("rpl_include");
    if (it == ini.main.end())
        return folders;
    std::string_view list = it->second;
    while (!list.empty()) {
        const std::size_t semicolon = std::min(list.find(';'), list.size());
        std::string folder(trimSpacesAndTabs(list.substr(0, semicolon)));
        std::replace(folder.begin(), folder.end(), '\\', '/');
        if (!folder.empty())
            folders.push_back(std::move(folder));
        list.remove_prefix(std::min(semicolon + 1, list.size()));
    }
    return folders;
}

ProjectBuild buildLibraryProject(std::string_view projectText, const ProjectFileReader& read,
                                 const RomNames& bookNames, std::string_view projectPath)
{
    ProjectBuild build;
    auto fail = [&](ProjectError error) {
        build.error = std::move(error);
        return build;
    };
    const Ini ini = readIni(projectText);
    auto value = [&](const char* key) {
        const auto it = ini.main.find(key);
        return it == ini.main.end() ? std::string() : it->second;
    };
    build.hp48 = value("calc48") == "1";
    build.libraryFile = value("filepath");
    // The book holds the 49 series' addresses: a 48-series project names none of them.
    static const RomNames kNoNames;
    const RomNames& names = build.hp48 ? kNoNames : bookNames;
    if (value("library") != "1")
        return buildObjectProject(ini, read, names, std::move(build));
    const std::string romId = value("romid");
    if (romId.empty() || romId.size() > 3 ||
        !std::all_of(romId.begin(), romId.end(), isHexDigit))
        return fail({{}, 0, 0, "Romid= must be a library number of 1 to 3 hex digits"});
    build.parts.romId = static_cast<std::uint32_t>(std::stoul(romId, nullptr, 16));
    build.parts.title = unescaped(value("title"));
    if (ini.files.empty())
        return fail({{}, 0, 0, "the project lists no source files ([Files] file1=...)"});
    if (value("writeheader") == "1" && !projectPath.empty())
        build.headerName = fileStemOf(projectPath) + ".h";

    // The header this build writes stands in for the file of its name (empty until the
    // commands' names are known).
    const ProjectFileReader readFile = [&](const std::string& name) -> std::optional<std::string> {
        if (!build.headerName.empty() && asciiLower(name) == asciiLower(build.headerName))
            return build.headerText;
        return read(name);
    };
    Defines defines;
    Externals externals;
    auto sourceOf = [&](const std::string& file, bool named,
                        bool header) -> std::optional<std::vector<Source>> {
        const std::optional<std::string> text = readFile(file);
        if (!text) {
            build.error = {file, 0, 0, "cannot read the file"};
            return std::nullopt;
        }
        std::vector<Source> split;
        if (!Splitter{readFile, defines, externals, build.error}.split(*text, split, named, header, 0)) {
            if (build.error.file.empty())
                build.error.file = file;
            return std::nullopt;
        }
        return split;
    };
    std::vector<Source> sources;
    std::vector<std::string> sourceFiles;
    std::vector<HeaderSource> headerSources;
    auto splitAll = [&]() {
        defines.clear();
        externals.clear();
        sources.clear();
        sourceFiles.clear();
        headerSources.clear();
        for (const auto& [number, file] : ini.files) {
            std::optional<std::vector<Source>> split = sourceOf(file, true, isHeaderFile(file));
            if (!split)
                return false;
            if (isHeaderFile(file))
                continue;
            headerSources.push_back({file, {}});
            for (Source& source : *split) {
                const std::string called = escaped(source.name);
                headerSources.back().entries.push_back(source.visible ? "x" + called : called);
                sources.push_back(std::move(source)), sourceFiles.push_back(file);
            }
        }
        return true;
    };
    if (!splitAll())
        return build;
    if (!build.headerName.empty()) {
        build.headerText = libraryHeaderText(build.parts.romId, projectPath, headerSources);
        if (!splitAll())
            return build;
    }
    // The visible commands are numbered first, each group in the order of the files, which is
    // the order the commands lie in the library.
    std::map<std::string, XlibId> commandNames;
    std::uint32_t visible = 0;
    auto hidden = static_cast<std::uint32_t>(
        std::count_if(sources.begin(), sources.end(), [](const Source& s) { return s.visible; }));
    std::vector<std::uint32_t> numbers;
    for (const Source& source : sources) {
        numbers.push_back(source.visible ? visible++ : hidden++);
        const std::string called = escaped(source.name);
        if (!commandNames.emplace(source.visible ? "x" + called : called,
                                  XlibId{build.parts.romId, numbers.back()}).second)
            return fail({{}, 0, 0, "two commands are named " + called});
    }
    for (std::size_t index = 0; index < sources.size(); ++index) {
        const Source& source = sources[index];
        std::optional<RplObject> object =
            compileBody(sourceFiles[index], source, commandNames, externals, names, build.error);
        if (!object)
            return build;
        build.parts.commands.push_back({numbers[index], source.visible ? source.name : std::string(),
                                        std::move(*object)});
    }

    for (const char* key : {"message", "config"}) {
        const std::string file = value(key);
        if (file.empty())
            continue;
        const std::optional<std::vector<Source>> split = sourceOf(file, false, false);
        std::optional<RplObject> object =
            split ? compileBody(file, split->front(), commandNames, externals, names, build.error)
                  : std::nullopt;
        if (!object)
            return build;
        (key[0] == 'm' ? build.parts.message : build.parts.config) = std::move(*object);
    }
    if (!build.parts.config)
        build.parts.config = defaultConfig(build.parts.romId, build.hp48);
    build.ok = true;
    return build;
}

SourceCompile compileSystemSource(std::string_view text, const ProjectFileReader& read,
                                  const RomNames& names)
{
    SourceCompile result;
    const std::string source(text);
    // A named command, or the file's one object: the lexer finds the names.
    bool named = false;
    LexState state;
    state.dialect = RplDialect::System;
    std::vector<Token> tokens;
    forEachLine(source, [&](std::size_t lineNumber, std::string_view line) {
        state = lexLine(line, state, tokens);
        bool nameHere = false;
        for (const Token& token : tokens) {
            if (token.kind != TokenKind::DefiningWord ||
                (token.text(line) != "xNAME" && token.text(line) != "NULLNAME"))
                continue;
            if (named && result.error.message.empty())
                result.error = {{}, lineNumber, token.start + 1,
                                "a second command: a file of several commands is built as a "
                                "library project"};
            named = nameHere = true;
        }
        if (nameHere)
            state = LexState{}; // the command's own first word decides its dialect
    });
    if (!result.error.message.empty())
        return result;
    Defines defines;
    Externals externals;
    std::vector<Source> split;
    if (!Splitter{read, defines, externals, result.error}.split(source, split, named, false, 0))
        return result;
    std::optional<RplObject> object = compileBody({}, split.front(), {}, externals, names, result.error);
    if (!object)
        return result;
    result.object = std::move(*object);
    result.ok = true;
    return result;
}

} // namespace scrivlet
