#include "reference/table_formats.h"

#include "common/ascii.h"
#include "reference/table_lines.h"

namespace scrivlet {
namespace {

bool isMarkerLine(std::string_view line)
{
    return trimBlanks(line) == kListingMarker;
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
    bool equates = false;
    forEachLine(text, [&equates](std::size_t, std::string_view line) {
        const std::string_view trimmed = trimBlanks(line);
        // Comment lines of our tables (#) and of assembler sources (*) decide nothing.
        if (equates || trimmed.empty() || trimmed.front() == '#' || trimmed.front() == '*')
            return;
        const auto words = splitWords(trimmed);
        if (words.size() >= 2 && equalsNoCase(words[1], "EQU"))
            equates = true;
    });
    return equates ? TableFormat::EquateFile : TableFormat::EntryTable;
}

ParsedTable parseLoaderListing(std::string_view text)
{
    ParsedTable table;
    bool started = false;
    bool closed = false;
    forEachLine(text, [&](std::size_t lineNumber, std::string_view line) {
        if (!started) {
            started = isMarkerLine(line);
            return;
        }
        if (closed)
            return;
        const std::string_view trimmed = trimBlanks(line);
        if (trimmed.empty())
            return;
        if (trimmed.find(kListingEnd) != std::string_view::npos) {
            closed = true;
            return;
        }
        const auto words = splitWords(trimmed);
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
    if (started && !closed)
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

ParsedTable parseTable(std::string_view text, TableFormat format)
{
    switch (format) {
    case TableFormat::LoaderListing:
        return parseLoaderListing(text);
    case TableFormat::EquateFile:
        return parseEquateFile(text);
    case TableFormat::EntryTable:
        break;
    }
    return parseEntryTable(text);
}

} // namespace scrivlet
