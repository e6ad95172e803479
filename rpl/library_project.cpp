#include "rpl/library_project.h"

#include "calculator/transfer_escapes.h"
#include "rpl/lexer.h"
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

std::string lower(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

// A file name for a command: letters, digits, _ and - as they are, other bytes as _XX.
std::string fileStem(const std::string& name)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string stem;
    for (char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (std::isalnum(byte) != 0 || c == '-')
            stem += c;
        else
            stem += std::string("_") + kHex[byte >> 4] + kHex[byte & 0xF];
    }
    return stem;
}

std::string escaped(std::string_view bytes)
{
    return bytesToEscapes(bytes).text;
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

std::string hexNumber(std::uint32_t value)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string digits;
    do {
        digits.insert(digits.begin(), kHex[value & 0xF]);
        value >>= 4;
    } while (value != 0);
    return digits;
}

} // namespace

std::vector<ProjectFile> libraryProjectFiles(const LibraryParts& parts, const std::string& base,
                                             const RomNames& names, bool hp48)
{
    std::vector<ProjectFile> files(1);
    std::set<std::string> taken{lower(base + ".hpp")};
    auto claim = [&](std::string stem) {
        std::string name = stem + ".s";
        for (int i = 2; taken.contains(lower(name)); ++i)
            name = stem + "_" + std::to_string(i) + ".s";
        taken.insert(lower(name));
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
            section = lower(line);
            continue;
        }
        const std::size_t eq = line.find('=');
        if (eq == std::string::npos) {
            if (ini.badLine == 0)
                ini.badLine = lineNumber;
            continue;
        }
        const std::string key = lower(line.substr(0, eq));
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

// The command a source file holds, or an error naming the line.
std::optional<Source> splitSource(const std::string& text, ProjectError& error, bool named)
{
    Source source;
    std::size_t lineNumber = 0;
    std::size_t at = 0;
    while (at < text.size()) {
        ++lineNumber;
        const std::size_t end = std::min(text.find('\n', at), text.size());
        std::string line = text.substr(at, end - at);
        const std::size_t next = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        std::string_view word(line);
        word.remove_prefix(std::min(word.find_first_not_of(" \t"), word.size()));
        const std::string_view first = word.substr(0, word.find_first_of(" \t"));
        if (line.empty() || line[0] == '*' || first == "RPL" || word.empty()) {
            at = next;
            continue;
        }
        if (named && (first == "xNAME" || first == "NULLNAME")) {
            std::string_view rest = word.substr(first.size());
            rest.remove_prefix(std::min(rest.find_first_not_of(" \t"), rest.size()));
            rest = rest.substr(0, rest.find_first_of(" \t"));
            if (rest.empty()) {
                error = {{}, lineNumber, 1, std::string(first) + " needs a name"};
                return std::nullopt;
            }
            source.name = escapesToBytes(rest).bytes;
            source.visible = first == "xNAME";
            at = next;
            ++lineNumber;
        } else if (named) {
            error = {{}, lineNumber, 1, "xNAME or NULLNAME is missing before the command"};
            return std::nullopt;
        }
        source.bodyLine = lineNumber;
        source.body = text.substr(std::min(at, text.size()));
        return source;
    }
    error = {{}, lineNumber, 1, named ? "no command in the file" : "no object in the file"};
    return std::nullopt;
}

// The body with each word of System RPL that names a command of the project (xNAME name is
// called as xname, NULLNAME name as name) replaced by XLIB library command.
std::string linkCommandNames(const std::string& body, const std::map<std::string, XlibId>& commands)
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
                const auto it = commands.find(std::string(token->text(line)));
                if (it != commands.end())
                    line.replace(token->start, token->length,
                                 "XLIB " + std::to_string(it->second.library) + " " +
                                     std::to_string(it->second.command));
            }
        }
        out += line;
        if (end < body.size())
            out += '\n';
        at = end + 1;
    }
    return out;
}

} // namespace

ProjectBuild buildLibraryProject(std::string_view projectText, const ProjectFileReader& read,
                                 const RomNames& names)
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
    if (value("library") != "1")
        return fail({{}, 0, 0, "the project builds no library (library=1 is missing)"});
    const std::string romId = value("romid");
    if (romId.empty() || romId.size() > 3 ||
        !std::all_of(romId.begin(), romId.end(), [](char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; }))
        return fail({{}, 0, 0, "Romid= must be a library number of 1 to 3 hex digits"});
    build.parts.romId = static_cast<std::uint32_t>(std::stoul(romId, nullptr, 16));
    build.parts.title = escapesToBytes(value("title")).bytes;
    build.hp48 = value("calc48") == "1";
    build.libraryFile = value("filepath");
    if (ini.files.empty())
        return fail({{}, 0, 0, "the project lists no source files ([Files] file1=...)"});

    auto sourceOf = [&](const std::string& file, bool named) -> std::optional<Source> {
        const std::optional<std::string> text = read(file);
        if (!text) {
            build.error = {file, 0, 0, "cannot read the file"};
            return std::nullopt;
        }
        std::optional<Source> source = splitSource(*text, build.error, named);
        if (!source)
            build.error.file = file;
        return source;
    };
    std::map<std::string, XlibId> commandNames;
    auto objectOf = [&](const std::string& file, const Source& source) -> std::optional<RplObject> {
        const CompileResult compiled =
            compileRpl(escapesToBytes(linkCommandNames(source.body, commandNames)).bytes, names);
        if (!compiled.ok) {
            build.error = {file, source.bodyLine + compiled.error.line - 1, compiled.error.column,
                           compiled.error.message};
            return std::nullopt;
        }
        return compiled.object;
    };

    std::vector<Source> sources;
    for (const auto& [number, file] : ini.files) {
        std::optional<Source> source = sourceOf(file, true);
        if (!source)
            return build;
        sources.push_back(std::move(*source));
    }
    // The visible commands are numbered first, each group in the order of the files, which is
    // the order the commands lie in the library.
    std::uint32_t visible = 0;
    auto hidden = static_cast<std::uint32_t>(
        std::count_if(sources.begin(), sources.end(), [](const Source& s) { return s.visible; }));
    std::vector<std::uint32_t> numbers;
    for (const Source& source : sources) {
        numbers.push_back(source.visible ? visible++ : hidden++);
        const std::string called = bytesToEscapes(source.name).text;
        if (!commandNames.emplace(source.visible ? "x" + called : called,
                                  XlibId{build.parts.romId, numbers.back()}).second)
            return fail({{}, 0, 0, "two commands are named " + called});
    }
    std::size_t index = 0;
    for (const auto& [number, file] : ini.files) {
        const Source& source = sources[index];
        std::optional<RplObject> object = objectOf(file, source);
        if (!object)
            return build;
        build.parts.commands.push_back({numbers[index], source.visible ? source.name : std::string(),
                                        std::move(*object)});
        ++index;
    }

    for (const char* key : {"message", "config"}) {
        const std::string file = value(key);
        if (file.empty())
            continue;
        const std::optional<Source> source = sourceOf(file, false);
        std::optional<RplObject> object = source ? objectOf(file, *source) : std::nullopt;
        if (!object)
            return build;
        (key[0] == 'm' ? build.parts.message : build.parts.config) = std::move(*object);
    }
    if (!build.parts.config)
        build.parts.config = defaultConfig(build.parts.romId, build.hp48);
    build.ok = true;
    return build;
}

} // namespace scrivlet
