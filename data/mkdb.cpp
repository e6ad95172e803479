// Builds the shipped entry database: scrivlet-mkdb OUTPUT ALL DESCRIPTIONS PRIORS PAIRS
// ALL is the generated table of every supported entry (rom49.tbl), DESCRIPTIONS our curated
// descriptions, PRIORS the usage priors of the survey, PAIRS its pair priors (the starting
// counts of the database's pairs); see data/shipped_tables.h. Every entry of
// ALL becomes a row, in its order, with its description and its starting usage count. The build
// is strict: a skipped line or a table that does not fit the others fails it. The database is
// made beside OUTPUT under a temporary name and renamed into place, so an interrupted build
// never leaves a half-made database.
#include "data/shipped_tables.h"
#include "reference/importer.h"
#include "reference/sqlite_database.h"
#include "reference/word_pairs.h"

#include <cstdio>
#include <filesystem>
#include <stdexcept>

namespace {

using namespace scrivlet;

bool reportSkipped(const char* path, const std::vector<SkippedLine>& skipped)
{
    for (const auto& s : skipped)
        std::fprintf(stderr, "%s:%zu: %s\n", path, s.line, s.reason.c_str());
    return skipped.empty();
}

// Sets the starting usage counts of the rows just made, checking that the rows are the entries
// in their order.
void applyUsage(const std::string& path, const ShippedRows& rows)
{
    SqliteDatabase db(path, SqliteDatabase::OpenMode::ExistingOnly);
    SqliteTransaction transaction(db);
    auto select = db.prepare("SELECT id, name FROM entries ORDER BY id");
    auto update = db.prepare("UPDATE entries SET usg = ?1 WHERE id = ?2");
    std::size_t row = 0;
    while (select.step()) {
        if (row >= rows.entries.size() || select.text(1) != rows.entries[row].name)
            throw SqliteError(0, path + ": the rows are not the entries in their order");
        if (rows.usage[row] != 0) {
            update.bind(1, rows.usage[row]);
            update.bind(2, select.integer(0));
            update.step();
            update.reset();
        }
        ++row;
    }
    if (row != rows.entries.size())
        throw SqliteError(0, path + ": the database lacks rows");
    transaction.commit();
}

// Writes the pair priors as the database's starting pair counts.
void applyPairs(const std::string& path, const std::vector<PairPrior>& priors)
{
    std::vector<CountedPair> pairs;
    pairs.reserve(priors.size());
    for (const PairPrior& prior : priors)
        pairs.push_back({prior.previous, prior.next, static_cast<std::uint64_t>(prior.prior)});
    SqliteDatabase db(path, SqliteDatabase::OpenMode::ExistingOnly);
    SqliteTransaction transaction(db);
    addWordPairs(db, pairs);
    transaction.commit();
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc != 6) {
        std::fputs("usage: scrivlet-mkdb OUTPUT ALL DESCRIPTIONS PRIORS PAIRS\n", stderr);
        return 2;
    }
    const std::filesystem::path output = argv[1];
    const std::filesystem::path temporary = output.string() + ".new";
    std::error_code ec;
    std::filesystem::remove(temporary, ec);
    try {
        const auto read = [](const char* path) {
            RunResult<std::string> bytes = readInputFile(path);
            if (!bytes.ok())
                throw std::runtime_error(bytes.error);
            return std::move(*bytes.value);
        };
        const ParsedTable all = parseEntryTable(read(argv[2]));
        const ParsedTable descriptions = parseEntryTable(read(argv[3]));
        const ParsedPriors priors = parseUsagePriors(read(argv[4]));
        const ParsedPairPriors pairs = parsePairPriors(read(argv[5]));
        bool clean = reportSkipped(argv[2], all.skipped);
        clean = reportSkipped(argv[3], descriptions.skipped) && clean;
        clean = reportSkipped(argv[4], priors.skipped) && clean;
        clean = reportSkipped(argv[5], pairs.skipped) && clean;
        if (all.entries.empty()) {
            std::fprintf(stderr, "%s: no entries\n", argv[2]);
            clean = false;
        }
        const ShippedRows rows = joinShippedTables(all, descriptions, priors.priors);
        std::vector<std::string> problems = rows.problems;
        for (std::string& problem : pairPriorProblems(all, pairs.pairs))
            problems.push_back(std::move(problem));
        for (const auto& problem : problems)
            std::fprintf(stderr, "scrivlet-mkdb: %s\n", problem.c_str());
        if (!clean || !problems.empty())
            return 1;
        TableFile joined{argv[2], TableFormat::EntryTable, {}};
        joined.table.entries = rows.entries;
        const RunResult<ImportSummary> imported = importTables({joined}, temporary.string());
        if (!imported.ok())
            throw std::runtime_error(imported.error);
        applyUsage(temporary.string(), rows);
        applyPairs(temporary.string(), pairs.pairs);
        std::filesystem::rename(temporary, output);
    } catch (const std::exception& e) {
        std::filesystem::remove(temporary, ec);
        std::fprintf(stderr, "scrivlet-mkdb: %s\n", e.what());
        return 1;
    }
    return 0;
}
