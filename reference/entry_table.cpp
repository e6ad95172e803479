#include "reference/entry_table.h"

#include "common/ascii.h"
#include "reference/table_lines.h"

#include <algorithm>
#include <cctype>
#include <iterator>
#include <unordered_set>

namespace scrivlet {

bool isEntryName(std::string_view name)
{
    if (name.empty())
        return false;
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte <= 0x20 || byte == 0x7F)
            return false;
    }
    return true;
}

bool isEntryAddress(std::string_view addr)
{
    if (addr.size() != 5 && addr.size() != 6)
        return false;
    for (const char c : addr) {
        if (!isHexDigit(c))
            return false;
    }
    return true;
}

std::string storedAddress(std::string_view addr)
{
    return asciiUpper(addr);
}

namespace {

// NAME <TAB> ADDRESS, with or without a description after a second tab.
bool isEntryLine(std::string_view line, std::size_t tab1)
{
    if (tab1 == std::string_view::npos || tab1 == 0)
        return false;
    const auto tab2 = line.find('\t', tab1 + 1);
    const auto addr = line.substr(
        tab1 + 1, tab2 == std::string_view::npos ? std::string_view::npos : tab2 - tab1 - 1);
    return isEntryName(line.substr(0, tab1)) && isEntryAddress(addr);
}

} // namespace

ParsedTable parseEntryTable(std::string_view text)
{
    ParsedTable table;
    forEachLine(text, [&table](std::size_t lineNumber, std::string_view line) {
        if (line.empty())
            return;
        const auto tab1 = line.find('\t');
        // Many entry names begin with # (#+, #1+, #=case): a # line is a comment only when it
        // is no entry line.
        if (line.front() == '#' && !isEntryLine(line, tab1))
            return;
        if (tab1 == std::string_view::npos || tab1 == 0) {
            table.skipped.push_back({lineNumber, "no name and address separated by a tab"});
            return;
        }
        const auto tab2 = line.find('\t', tab1 + 1);
        const std::string_view name = line.substr(0, tab1);
        const std::string_view addr = line.substr(
            tab1 + 1, tab2 == std::string_view::npos ? std::string_view::npos : tab2 - tab1 - 1);
        if (!isEntryName(name)) {
            table.skipped.push_back({lineNumber, "the name holds a blank or a control character"});
            return;
        }
        if (!isEntryAddress(addr)) {
            table.skipped.push_back({lineNumber, "the address is not 5 or 6 hexadecimal digits"});
            return;
        }
        TableEntry entry;
        entry.name = std::string(name);
        entry.addr = storedAddress(addr);
        if (tab2 != std::string_view::npos)
            entry.description = std::string(line.substr(tab2 + 1));
        entry.line = lineNumber;
        table.entries.push_back(std::move(entry));
    });
    skipRepeatedNames(table);
    return table;
}

void skipRepeatedNames(ParsedTable& table)
{
    std::unordered_set<std::string_view> seen;
    seen.reserve(table.entries.size());
    std::vector<TableEntry> kept;
    kept.reserve(table.entries.size());
    std::vector<SkippedLine> repeated;
    for (auto& entry : table.entries) {
        if (seen.count(entry.name) != 0) {
            repeated.push_back({entry.line, "repeats a name given earlier in the table"});
            continue;
        }
        kept.push_back(std::move(entry));
        // The view must point into the kept entry, which no longer moves: kept never reallocates.
        seen.insert(kept.back().name);
    }
    table.entries = std::move(kept);
    if (repeated.empty())
        return;
    std::vector<SkippedLine> merged;
    merged.reserve(table.skipped.size() + repeated.size());
    std::merge(table.skipped.begin(), table.skipped.end(), repeated.begin(), repeated.end(),
               std::back_inserter(merged),
               [](const SkippedLine& a, const SkippedLine& b) { return a.line < b.line; });
    table.skipped = std::move(merged);
}

} // namespace scrivlet
