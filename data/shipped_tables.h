#pragma once

#include "reference/entry_table.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace scrivlet {

// The source tables of the shipped entry database and how the build joins them:
// - rom49.tbl, every supported entry of the ROM: NAME<TAB>ADDRESS;
// - descriptions.tbl, our descriptions: NAME<TAB>ADDRESS<TAB>DESCRIPTION;
// - usage_prior.tbl, the usage a survey of public sources found: NAME<TAB>COUNT<TAB>PRIOR;
// - pair_prior.tbl, how often the same survey found a name right after a word:
//   PREVIOUS<TAB>NEXT<TAB>COUNT<TAB>PRIOR.
// The first two are our entry table (parseEntryTable); the build refuses a table with skipped
// lines.

// The highest usage count a prior may give; a user's own uses soon outweigh it.
inline constexpr int kMaxUsagePrior = 9;

// One line of the usage priors.
struct UsagePrior {
    std::string name;
    std::uint64_t count = 0; // uses found by the survey
    int prior = 0;           // 0 to kMaxUsagePrior
    std::size_t line = 0;    // 1-based
};

struct ParsedPriors {
    std::vector<UsagePrior> priors;
    std::vector<SkippedLine> skipped;
};

// The usage priors, NAME<TAB>COUNT<TAB>PRIOR with decimal COUNT and PRIOR.
ParsedPriors parseUsagePriors(std::string_view text);

// One line of the pair priors: NEXT, the name of an entry, followed PREVIOUS, a word of code.
struct PairPrior {
    std::string previous;
    std::string next;
    std::uint64_t count = 0; // times the survey found the pair
    int prior = 0;           // 1 to kMaxUsagePrior
    std::size_t line = 0;    // 1-based
};

struct ParsedPairPriors {
    std::vector<PairPrior> pairs;
    std::vector<SkippedLine> skipped;
};

// The pair priors, PREVIOUS<TAB>NEXT<TAB>COUNT<TAB>PRIOR with decimal COUNT and PRIOR; NEXT is
// checked against the entries by joinPairPriors.
ParsedPairPriors parsePairPriors(std::string_view text);

// The pairs whose NEXT is an entry of the table of every entry; a problem for each other.
std::vector<std::string> pairPriorProblems(const ParsedTable& all,
                                           const std::vector<PairPrior>& pairs);

// The rows of the shipped database, in the order of the table of every entry.
struct ShippedRows {
    std::vector<TableEntry> entries;   // descriptions joined in
    std::vector<std::int64_t> usage;   // one starting usage count per entry
    std::vector<std::string> problems; // why the tables do not fit together, if they do not
};

// Joins the tables: every entry of `all` becomes a row; its description comes from
// `descriptions`, its starting usage from `priors` (0 when not listed). A described or
// prioritised name that `all` lacks, or a description under another address, is a problem.
ShippedRows joinShippedTables(const ParsedTable& all, const ParsedTable& descriptions,
                              const std::vector<UsagePrior>& priors);

} // namespace scrivlet
