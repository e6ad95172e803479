#include "reference/table_formats.h"

#include "common/ascii.h"
#include "common/plural.h"
#include "reference/table_lines.h"

#include <algorithm>
#include <cctype>
#include <unordered_map>

namespace scrivlet {
namespace {

bool isMarkerLine(std::string_view line)
{
    return trimBlanks(line) == kListingMarker;
}

// The column where the text of an entries database's description line starts.
constexpr std::size_t kDescriptionColumn = 80;

constexpr const char* kUnknownLine = "not a line of the entries database";

bool hasBlank(std::string_view text)
{
    return std::any_of(text.begin(), text.end(), isTableBlank);
}

// A keyword line of an entries database: a dot, blanks, then KEYWORD: (letters and digits).
struct KeywordLine {
    std::string_view keyword;
    std::string_view rest; // after the colon
};

std::optional<KeywordLine> splitKeywordLine(std::string_view line)
{
    if (line.empty() || line.front() != '.')
        return std::nullopt;
    std::size_t pos = 1;
    while (pos < line.size() && isTableBlank(line[pos]))
        ++pos;
    const std::size_t start = pos;
    while (pos < line.size() && std::isalnum(static_cast<unsigned char>(line[pos])))
        ++pos;
    if (start == 1 || pos == start || pos == line.size() || line[pos] != ':')
        return std::nullopt;
    return KeywordLine{line.substr(start, pos - start), line.substr(pos + 1)};
}

bool isAddressKeyword(std::string_view keyword)
{
    return keyword == "48G" || keyword == "49G";
}

// What a 48G or 49G line gives: ADDR, then an optional name format between backslashes, then
// flags in brackets; nothing else may follow.
struct AddressLine {
    std::string_view addr;
    std::string_view nameFormat = "%s";
};

std::optional<AddressLine> parseAddressLine(std::string_view rest)
{
    std::size_t pos = 0;
    const auto skipBlanks = [&] {
        while (pos < rest.size() && isTableBlank(rest[pos]))
            ++pos;
    };
    // The part from pos up to the closing character, at least one character long, no blank.
    const auto enclosed = [&](char close) -> std::optional<std::string_view> {
        const std::size_t end = rest.find(close, pos + 2);
        if (end == std::string_view::npos || hasBlank(rest.substr(pos, end - pos)))
            return std::nullopt;
        const std::string_view inner = rest.substr(pos + 1, end - pos - 1);
        pos = end + 1;
        skipBlanks();
        return inner;
    };
    skipBlanks();
    const std::size_t start = pos;
    while (pos < rest.size() && std::isalnum(static_cast<unsigned char>(rest[pos])))
        ++pos;
    AddressLine line;
    line.addr = rest.substr(start, pos - start);
    skipBlanks();
    if (pos < rest.size() && rest[pos] == '\\') {
        const auto format = enclosed('\\');
        if (!format)
            return std::nullopt;
        line.nameFormat = *format;
    }
    while (pos < rest.size() && rest[pos] == '[') {
        if (!enclosed(']'))
            return std::nullopt;
    }
    if (pos != rest.size())
        return std::nullopt;
    return line;
}

// The name as a name format writes it: %s stands for the name, once, and %% for a per cent sign.
// No name for any other use of %.
std::optional<std::string> formattedName(std::string_view format, std::string_view name)
{
    std::string out;
    bool placed = false;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%') {
            out += format[i];
        } else if (i + 1 < format.size() && format[i + 1] == '%') {
            out += format[++i];
        } else if (i + 1 < format.size() && format[i + 1] == 's' && !placed) {
            out += name;
            placed = true;
            ++i;
        } else {
            return std::nullopt;
        }
    }
    if (!placed)
        return std::nullopt;
    return out;
}

// The text with every \-> written as ->.
std::string withArrows(std::string_view text)
{
    std::string out;
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t arrow = text.find("\\->", pos);
        out += text.substr(pos, arrow - pos);
        if (arrow == std::string_view::npos)
            break;
        out += "->";
        pos = arrow + 3;
    }
    return out;
}

// One entry of an entries database while its lines are read.
struct DatabaseEntry {
    std::vector<std::pair<std::string_view, std::size_t>> names; // each with the line giving it
    std::vector<std::string> effect;                             // stack effect lines
    std::vector<std::string> described;                          // description lines
    std::optional<AddressLine> on48;
    std::optional<AddressLine> on49;
};

// Adds one line of a stack effect; true when it ends in a backslash, so that the next line
// continues it.
bool addEffectLine(DatabaseEntry& entry, std::string_view text)
{
    text = trimBlanks(text);
    const bool continued = !text.empty() && text.back() == '\\';
    if (continued)
        text = trimBlanks(text.substr(0, text.size() - 1));
    if (!text.empty())
        entry.effect.push_back(withArrows(text));
    return continued;
}

// The text of a description line: the blanks that pad it up to its text column are dropped.
std::string descriptionText(std::string_view line)
{
    std::size_t pos = 1;
    while (pos < line.size() && pos < kDescriptionColumn && isTableBlank(line[pos]))
        ++pos;
    std::string_view text = line.substr(pos);
    while (!text.empty() && isTableBlank(text.back()))
        text.remove_suffix(1);
    return withArrows(text);
}

// The stored description: the stack effect lines, then the description lines without empty
// ones around them, joined by %0A.
std::string storedDescription(const DatabaseEntry& entry)
{
    auto first = entry.described.begin();
    auto last = entry.described.end();
    while (first != last && first->empty())
        ++first;
    while (last != first && (last - 1)->empty())
        --last;
    std::vector<std::string> lines = entry.effect;
    lines.insert(lines.end(), first, last);
    std::string out;
    for (std::size_t i = 0; i < lines.size(); ++i)
        out += (i == 0 ? "" : "%0A") + lines[i];
    return out;
}

// Reads an entries database entry by entry; see parseEntriesDatabase.
class EntriesDatabaseReader final {
  public:
    void readLine(std::size_t lineNumber, std::string_view line);
    ParsedTable finish();

  private:
    void readKeywordLine(std::size_t lineNumber, std::string_view line);
    void closeEntry();
    void skip(std::size_t lineNumber, const char* reason)
    {
        m_table.skipped.push_back({lineNumber, reason});
    }

    ParsedTable m_table;
    std::optional<DatabaseEntry> m_entry;
    bool m_continues = false; // the last stack effect line ended in a backslash
    std::unordered_map<std::string, std::size_t> m_byName; // index into m_table.entries
    std::size_t m_only48 = 0;
    std::size_t m_noAddress = 0;
};

void EntriesDatabaseReader::readLine(std::size_t lineNumber, std::string_view line)
{
    if (m_continues) {
        m_continues = addEffectLine(*m_entry, line);
        return;
    }
    const char first = line.empty() ? ' ' : line.front();
    if (first == '*' || first == '@')
        return;
    if (trimBlanks(line).empty() || isTableBlank(first)) {
        closeEntry();
        if (!trimBlanks(line).empty())
            skip(lineNumber, kUnknownLine);
        return;
    }
    if (first == '.' || first == ';') {
        if (!m_entry)
            skip(lineNumber, "a keyword or description line outside an entry");
        else if (first == ';')
            m_entry->described.push_back(descriptionText(line));
        else
            readKeywordLine(lineNumber, line);
        return;
    }
    closeEntry();
    m_entry.emplace();
    const auto nameEnd = static_cast<std::size_t>(
        std::find_if(line.begin(), line.end(), isTableBlank) - line.begin());
    m_entry->names.emplace_back(line.substr(0, nameEnd), lineNumber);
    m_continues = addEffectLine(*m_entry, line.substr(nameEnd));
}

void EntriesDatabaseReader::readKeywordLine(std::size_t lineNumber, std::string_view line)
{
    const auto keyword = splitKeywordLine(line);
    if (keyword && isAddressKeyword(keyword->keyword)) {
        auto& slot = keyword->keyword == "49G" ? m_entry->on49 : m_entry->on48;
        const auto address = parseAddressLine(keyword->rest);
        if (!address || !formattedName(address->nameFormat, "")) {
            skip(lineNumber, "an address line of another form than .  49G: ADDR \\FORMAT\\ [FLAG]");
        } else if (!isEntryAddress(address->addr)) {
            skip(lineNumber, "the address is not 5 or 6 hexadecimal digits");
        } else if (slot) {
            skip(lineNumber, "a second address for the same calculator; the first is kept");
        } else {
            slot = address;
        }
    } else if (keyword && keyword->keyword == "AKA") {
        for (const std::string_view name : splitWords(keyword->rest))
            m_entry->names.emplace_back(name, lineNumber);
    } else if (!keyword || keyword->keyword != "UserRPL") {
        skip(lineNumber, kUnknownLine);
    }
}

void EntriesDatabaseReader::closeEntry()
{
    if (!m_entry)
        return;
    const DatabaseEntry entry = std::move(*m_entry);
    m_entry.reset();
    if (!entry.on49) {
        ++(entry.on48 ? m_only48 : m_noAddress);
        return;
    }
    const std::string description = storedDescription(entry);
    for (const auto& [givenName, lineNumber] : entry.names) {
        const std::string name = *formattedName(entry.on49->nameFormat, givenName);
        if (!isEntryName(name)) {
            skip(lineNumber, "the name holds a control character");
            continue;
        }
        const std::string addr = storedAddress(entry.on49->addr);
        const auto [found, isNew] = m_byName.try_emplace(name, m_table.entries.size());
        if (isNew) {
            m_table.entries.push_back({name, addr, description, lineNumber});
            continue;
        }
        if (m_table.entries[found->second].addr != addr)
            skip(lineNumber, "gives again a name listed earlier with another address; the first "
                             "is kept");
    }
}

ParsedTable EntriesDatabaseReader::finish()
{
    closeEntry();
    if (m_only48 > 0)
        m_table.notes.push_back(plural(m_only48, "entry", "entries") +
                                " with a 48G address only, not imported");
    if (m_noAddress > 0)
        m_table.notes.push_back(plural(m_noAddress, "entry", "entries") +
                                " without any address, not imported");
    // Repeated names are found when their entry closes, after lines read later.
    std::stable_sort(m_table.skipped.begin(), m_table.skipped.end(),
                     [](const SkippedLine& a, const SkippedLine& b) { return a.line < b.line; });
    return std::move(m_table);
}

} // namespace

std::string_view formatName(TableFormat format)
{
    switch (format) {
    case TableFormat::EntryTable:
        return "entry table";
    case TableFormat::LoaderListing:
        return "loader listing";
    case TableFormat::EquateFile:
        return "equate file";
    case TableFormat::EntriesDatabase:
        return "entries database";
    }
    return "table";
}

bool hasListingMarker(std::string_view text)
{
    // Cheap test first: most files never hold the marker text at all.
    if (text.find(kListingMarker) == std::string_view::npos)
        return false;
    bool found = false;
    forEachLine(text, [&found](std::size_t, std::string_view line) {
        if (!found && isMarkerLine(line))
            found = true;
    });
    return found;
}

std::optional<TableFormat> recogniseTableFormat(std::string_view text)
{
    if (text.find('\0') != std::string_view::npos)
        return std::nullopt;
    if (hasListingMarker(text))
        return TableFormat::LoaderListing;
    bool addressLines = false;
    bool equates = false;
    forEachLine(text, [&](std::size_t, std::string_view line) {
        if (const auto keyword = splitKeywordLine(line))
            addressLines = addressLines || isAddressKeyword(keyword->keyword);
        const std::string_view trimmed = trimBlanks(line);
        // Comment lines of our tables (#) and of assembler sources (*) decide nothing.
        if (equates || trimmed.empty() || trimmed.front() == '#' || trimmed.front() == '*')
            return;
        const auto words = splitWords(trimmed);
        if (words.size() >= 2 && equalsNoCase(words[1], "EQU"))
            equates = true;
    });
    if (addressLines)
        return TableFormat::EntriesDatabase;
    return equates ? TableFormat::EquateFile : TableFormat::EntryTable;
}

ParsedTable parseLoaderListing(std::string_view text)
{
    ParsedTable table;
    const ListingWalk walk = forEachListingLine(text, [&](std::size_t lineNumber,
                                                          const std::vector<std::string_view>& words) {
        if (words.size() >= 2 && words[1] == "*") {
            table.skipped.push_back({lineNumber, "a use of an entry, not its definition"});
            return;
        }
        // Names may begin with + (+LOOP); a continuation line holds references only.
        if (words[0].front() == '+' && (words.size() < 2 || words[1] != "=")) {
            table.skipped.push_back({lineNumber, "continues the references of a use"});
            return;
        }
        if (words.size() < 4 || words[1] != "=" || words[3] != "-") {
            table.skipped.push_back({lineNumber, "not in the form NAME = ADDRESS -"});
            return;
        }
        if (!isEntryAddress(words[2])) {
            table.skipped.push_back({lineNumber, "the address is not 5 or 6 hexadecimal digits"});
            return;
        }
        TableEntry entry;
        entry.name = std::string(words[0]);
        entry.addr = storedAddress(words[2]);
        entry.line = lineNumber;
        table.entries.push_back(std::move(entry));
    });
    if (walk.started && !walk.closed)
        table.notes.emplace_back("the closing \"End of Saturn Loader\" line is missing: the "
                                 "listing may be cut short");
    skipRepeatedNames(table);
    return table;
}

ParsedTable parseEquateFile(std::string_view text)
{
    ParsedTable table;
    forEachLine(text, [&table](std::size_t lineNumber, std::string_view line) {
        const std::string_view trimmed = trimBlanks(line);
        if (trimmed.empty() || trimmed.front() == '*')
            return;
        const auto words = splitWords(trimmed);
        if (words.size() < 2 || !equalsNoCase(words[1], "EQU")) {
            table.skipped.push_back({lineNumber, "not an EQU line"});
            return;
        }
        const bool wellFormed = words.size() >= 3 && words[0].size() > 1 &&
                                words[0].front() == '=' && words[2].size() > 1 &&
                                words[2].front() == '#' && isEntryAddress(words[2].substr(1));
        if (!wellFormed) {
            table.skipped.push_back({lineNumber, "an EQU of another form than =NAME EQU #HHHHH"});
            return;
        }
        TableEntry entry;
        entry.name = std::string(words[0].substr(1));
        entry.addr = storedAddress(words[2].substr(1));
        entry.line = lineNumber;
        table.entries.push_back(std::move(entry));
    });
    skipRepeatedNames(table);
    return table;
}

ParsedTable parseEntriesDatabase(std::string_view text)
{
    EntriesDatabaseReader reader;
    forEachLine(text, [&reader](std::size_t lineNumber, std::string_view line) {
        reader.readLine(lineNumber, line);
    });
    return reader.finish();
}

ParsedTable parseTable(std::string_view text, TableFormat format)
{
    switch (format) {
    case TableFormat::LoaderListing:
        return parseLoaderListing(text);
    case TableFormat::EquateFile:
        return parseEquateFile(text);
    case TableFormat::EntriesDatabase:
        return parseEntriesDatabase(text);
    case TableFormat::EntryTable:
        break;
    }
    return parseEntryTable(text);
}

} // namespace scrivlet
