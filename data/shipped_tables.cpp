#include "data/shipped_tables.h"

#include "reference/table_lines.h"

#include <charconv>
#include <unordered_map>
#include <unordered_set>

namespace scrivlet {
namespace {

// The tab-separated fields of a line.
std::vector<std::string_view> tabFields(std::string_view line)
{
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    for (;;) {
        const auto tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab == std::string_view::npos ? tab : tab - start));
        if (tab == std::string_view::npos)
            return fields;
        start = tab + 1;
    }
}

bool isDecimal(std::string_view text, std::uint64_t& value)
{
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return !text.empty() && error == std::errc() && end == text.data() + text.size();
}

} // namespace

ParsedPriors parseUsagePriors(std::string_view text)
{
    ParsedPriors result;
    std::unordered_map<std::string, std::size_t> seen;
    forEachLine(text, [&](std::size_t lineNumber, std::string_view line) {
        if (line.empty())
            return;
        const auto fields = tabFields(line);
        std::uint64_t count = 0;
        std::uint64_t prior = 0;
        const bool shaped = fields.size() == 3 && isEntryName(fields[0]) &&
                            isDecimal(fields[1], count) && isDecimal(fields[2], prior);
        if (line.front() == '#' && !shaped)
            return;
        if (!shaped) {
            result.skipped.push_back({lineNumber, "not NAME<TAB>COUNT<TAB>PRIOR"});
            return;
        }
        if (prior > static_cast<std::uint64_t>(kMaxUsagePrior)) {
            result.skipped.push_back({lineNumber, "the prior is not 0 to 9"});
            return;
        }
        if (!seen.emplace(std::string(fields[0]), lineNumber).second) {
            result.skipped.push_back({lineNumber, "repeats a name given earlier in the table"});
            return;
        }
        result.priors.push_back(
            {std::string(fields[0]), count, static_cast<int>(prior), lineNumber});
    });
    return result;
}

ParsedPairPriors parsePairPriors(std::string_view text)
{
    ParsedPairPriors result;
    std::unordered_map<std::string, std::size_t> seen;
    forEachLine(text, [&](std::size_t lineNumber, std::string_view line) {
        if (line.empty())
            return;
        const auto fields = tabFields(line);
        std::uint64_t count = 0;
        std::uint64_t prior = 0;
        const bool shaped = fields.size() == 4 && !fields[0].empty() &&
                            fields[0].find(' ') == std::string_view::npos &&
                            isEntryName(fields[1]) && isDecimal(fields[2], count) &&
                            isDecimal(fields[3], prior);
        if (line.front() == '#' && !shaped)
            return;
        if (!shaped) {
            result.skipped.push_back({lineNumber, "not PREVIOUS<TAB>NEXT<TAB>COUNT<TAB>PRIOR"});
            return;
        }
        if (prior < 1 || prior > static_cast<std::uint64_t>(kMaxUsagePrior)) {
            result.skipped.push_back({lineNumber, "the prior is not 1 to 9"});
            return;
        }
        std::string key = std::string(fields[0]) + '\t' + std::string(fields[1]);
        if (!seen.emplace(std::move(key), lineNumber).second) {
            result.skipped.push_back({lineNumber, "repeats a pair given earlier in the table"});
            return;
        }
        result.pairs.push_back({std::string(fields[0]), std::string(fields[1]), count,
                                static_cast<int>(prior), lineNumber});
    });
    return result;
}

std::vector<std::string> pairPriorProblems(const ParsedTable& all,
                                           const std::vector<PairPrior>& pairs)
{
    std::unordered_set<std::string_view> names;
    for (const TableEntry& entry : all.entries)
        names.insert(entry.name);
    std::vector<std::string> problems;
    for (const PairPrior& pair : pairs) {
        if (!names.contains(pair.next))
            problems.push_back("pair prior line " + std::to_string(pair.line) + ": " + pair.next +
                               " is no entry of the table of every entry");
    }
    return problems;
}

ShippedRows joinShippedTables(const ParsedTable& all, const ParsedTable& descriptions,
                              const std::vector<UsagePrior>& priors)
{
    ShippedRows rows;
    rows.entries = all.entries;
    rows.usage.assign(rows.entries.size(), 0);
    std::unordered_map<std::string_view, std::size_t> index;
    index.reserve(rows.entries.size());
    for (std::size_t i = 0; i < rows.entries.size(); ++i)
        index.emplace(rows.entries[i].name, i);

    for (const TableEntry& described : descriptions.entries) {
        const auto found = index.find(described.name);
        if (found == index.end()) {
            rows.problems.push_back("descriptions line " + std::to_string(described.line) + ": " +
                                    described.name + " is no supported entry");
            continue;
        }
        TableEntry& row = rows.entries[found->second];
        if (row.addr != described.addr) {
            rows.problems.push_back("descriptions line " + std::to_string(described.line) + ": " +
                                    described.name + " is at " + row.addr + ", not " +
                                    described.addr);
            continue;
        }
        row.description = described.description;
    }
    for (const UsagePrior& prior : priors) {
        const auto found = index.find(prior.name);
        if (found == index.end()) {
            rows.problems.push_back("priors line " + std::to_string(prior.line) + ": " +
                                    prior.name + " is no supported entry");
            continue;
        }
        rows.usage[found->second] = prior.prior;
    }
    return rows;
}

} // namespace scrivlet
