#include "reference/usage_learner.h"

#include "common/plural.h"
#include "common/source_extension.h"
#include "common/windows1252.h"
#include "reference/importer.h"
#include "reference/sqlite_database.h"
#include "reference/table_formats.h"
#include "reference/usage_counter.h"
#include "reference/word_pairs.h"
#include "rpl/source_words.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>
#include <unordered_set>

namespace scrivlet {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kUnknownNamesListed = 20;

void addFile(const fs::path& path, SourceFiles& out, std::set<fs::path>& seen)
{
    std::error_code ec;
    fs::path key = fs::weakly_canonical(path, ec);
    if (ec)
        key = path;
    if (seen.insert(key).second)
        out.files.push_back(path.string());
}

// Adds the source files under folder; returns why a folder cannot be read, if one cannot.
std::optional<std::string> searchFolder(const fs::path& folder, SourceFiles& out,
                                        std::set<fs::path>& seen)
{
    ++out.folders;
    std::vector<fs::path> files;
    std::vector<fs::path> folders;
    std::error_code ec;
    fs::directory_iterator it(folder, ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        std::error_code typeError;
        // Links to folders are not followed, so a link cycle cannot trap the search.
        if (it->is_directory(typeError) && !it->is_symlink(typeError))
            folders.push_back(it->path());
        else if (it->is_regular_file(typeError) &&
                 hasSourceExtension(it->path().filename().string()))
            files.push_back(it->path());
        else
            ++out.passedOver;
    }
    if (ec)
        return folder.string() + ": the folder cannot be read (" + ec.message() + ")";
    std::sort(files.begin(), files.end());
    std::sort(folders.begin(), folders.end());
    for (const fs::path& file : files)
        addFile(file, out, seen);
    for (const fs::path& sub : folders) {
        if (auto error = searchFolder(sub, out, seen))
            return error;
    }
    return std::nullopt;
}

struct EntryNames {
    std::vector<std::int64_t> ids;
    std::vector<std::string> names;
};

EntryNames readEntryNames(SqliteDatabase& db)
{
    EntryNames out;
    auto select = db.prepare("SELECT id, name FROM entries WHERE name IS NOT NULL ORDER BY id");
    while (select.step()) {
        out.ids.push_back(select.integer(0));
        out.names.push_back(decodeUtf8OrWindows1252(select.text(1)));
    }
    return out;
}

// The pairs of a name and the word of code before it, as --learn counts them.
class PairCounter {
  public:
    explicit PairCounter(const std::vector<std::string>& names)
        : m_names(names.begin(), names.end())
    {
    }

    void countSource(std::string_view text)
    {
        std::string_view previous;
        forEachSourceWord(text, [&](std::string_view word) {
            if (!previous.empty() && m_names.contains(std::string(word)))
                ++m_counts[{std::string(previous), std::string(word)}];
            previous = word;
        });
    }

    std::vector<CountedPair> pairs() const
    {
        std::vector<CountedPair> out;
        out.reserve(m_counts.size());
        for (const auto& [pair, uses] : m_counts)
            out.push_back({pair.first, pair.second, uses});
        return out;
    }

  private:
    std::unordered_set<std::string> m_names;
    std::map<std::pair<std::string, std::string>, std::uint64_t> m_counts;
};

std::string sizeText(std::uint64_t bytes)
{
    if (bytes < 10 * 1024)
        return std::to_string(bytes) + " bytes";
    if (bytes < 10 * 1024 * 1024)
        return std::to_string(bytes / 1024) + " KB";
    return std::to_string(bytes / (1024 * 1024)) + " MB";
}

// The body of learnUsage on an opened database; SqliteError goes to the caller.
RunResult<LearnSummary> countAndWrite(const std::vector<std::string>& paths, SqliteDatabase& db,
                                      const std::string& databasePath)
{
    LearnSummary summary;
    summary.databasePath = databasePath;
    EntryNames entries = readEntryNames(db);
    PairCounter pairCounter(entries.names);
    UsageCounter counter(std::move(entries.names));

    RunResult<SourceFiles> sources = collectSourceFiles(paths);
    if (!sources.ok())
        return RunResult<LearnSummary>::failure(std::move(sources.error));
    summary.folders = sources.value->folders;
    summary.passedOver = sources.value->passedOver;
    std::set<std::string> unknownNames;
    for (const std::string& path : sources.value->files) {
        const RunResult<std::string> bytes = readInputFile(path);
        if (!bytes.ok())
            return RunResult<LearnSummary>::failure(bytes.error);
        summary.bytes += bytes.value->size();
        const std::string text = decodeUtf8OrWindows1252(*bytes.value);
        if (hasListingMarker(text)) {
            ++summary.listings;
            const auto listed = counter.countListing(text);
            summary.unknownListingUses += listed.unknownUses;
            unknownNames.insert(listed.unknownNames.begin(), listed.unknownNames.end());
            continue;
        }
        ++summary.sources;
        const auto counted = counter.countSource(text);
        pairCounter.countSource(text);
        if (counted.unclosedCommentLine != 0)
            summary.notes.push_back(path + ": the comment opened on line " +
                                    std::to_string(counted.unclosedCommentLine) +
                                    " is never closed; the rest of the file counted nothing");
    }
    summary.unknownListingNames.assign(unknownNames.begin(), unknownNames.end());

    // Changed pages stay in memory until the commit, so a run that is killed midway has not
    // touched the database file at all.
    db.exec("PRAGMA cache_spill = OFF");
    SqliteTransaction transaction(db);
    auto addUses = db.prepare("UPDATE entries SET usg = COALESCE(usg, 0) + ?1 WHERE id = ?2");
    const auto& counts = counter.counts();
    for (std::size_t i = 0; i < counts.size(); ++i) {
        if (counts[i] == 0)
            continue;
        addUses.bind(1, static_cast<std::int64_t>(counts[i]));
        addUses.bind(2, entries.ids[i]);
        addUses.step();
        addUses.reset();
        summary.uses += counts[i];
        summary.counted.emplace_back(counter.names()[i], counts[i]);
    }
    const std::vector<CountedPair> pairs = pairCounter.pairs();
    if (!pairs.empty())
        addWordPairs(db, pairs);
    summary.pairs = pairs.size();
    for (const CountedPair& pair : pairs)
        summary.pairUses += pair.uses;
    transaction.commit();

    std::sort(summary.counted.begin(), summary.counted.end(), [](const auto& a, const auto& b) {
        return a.second != b.second ? a.second > b.second : a.first < b.first;
    });
    return {std::move(summary), {}};
}

} // namespace

bool hasSourceExtension(std::string_view fileName)
{
    return fileName.find('.') != std::string_view::npos &&
           sourceFileKind(fileName) == SourceFileKind::Text;
}

RunResult<SourceFiles> collectSourceFiles(const std::vector<std::string>& paths)
{
    SourceFiles out;
    std::set<fs::path> seen;
    for (const std::string& path : paths) {
        std::error_code ec;
        const auto status = fs::status(path, ec);
        if (status.type() == fs::file_type::not_found)
            return RunResult<SourceFiles>::failure(path + ": no such file or folder");
        if (status.type() != fs::file_type::directory)
            addFile(path, out, seen);
        else if (auto error = searchFolder(path, out, seen))
            return RunResult<SourceFiles>::failure(std::move(*error));
    }
    return {std::move(out), {}};
}

RunResult<LearnSummary> learnUsage(const std::vector<std::string>& paths,
                                   const std::string& databasePath)
{
    using Result = RunResult<LearnSummary>;
    std::error_code ec;
    if (!fs::is_regular_file(databasePath, ec))
        return Result::failure(databasePath +
                               ": no such entry database; build one first with --import");
    try {
        auto opened = openEntryDatabase(databasePath);
        if (!opened.ok())
            return Result::failure(std::move(opened.error));
        return countAndWrite(paths, **opened.value, databasePath);
    } catch (const SqliteError& e) {
        return Result::failure(databasePath + ": " + e.what());
    }
}

std::string describeLearning(const LearnSummary& summary)
{
    std::string out = "Learned from " + plural(summary.sources, "source file", "source files") +
                      " and " + plural(summary.listings, "loader listing", "loader listings") +
                      " (" + sizeText(summary.bytes) + ")";
    if (summary.folders > 0)
        out += "; " + plural(summary.folders, "folder", "folders") + " searched, " +
               plural(summary.passedOver, "file", "files") + " passed over by their extension";
    out += ".\n";
    for (const std::string& note : summary.notes)
        out += "  note: " + note + "\n";
    if (summary.unknownListingUses > 0) {
        out += "  Not in the reference, so not counted: " +
               plural(summary.unknownListingUses, "listed use", "listed uses") + " of";
        for (std::size_t i = 0; i < summary.unknownListingNames.size() && i < kUnknownNamesListed;
             ++i)
            out += " " + summary.unknownListingNames[i];
        if (summary.unknownListingNames.size() > kUnknownNamesListed)
            out += " ... (" + std::to_string(summary.unknownListingNames.size()) + " names)";
        out += "\n";
    }
    out += "Added " + plural(summary.uses, "use", "uses") + " to " +
           plural(summary.counted.size(), "entry", "entries") + " of " + summary.databasePath +
           (summary.counted.empty() ? ".\n" : ":\n");
    for (const auto& [name, uses] : summary.counted)
        out += "  +" + std::to_string(uses) + " " + name + "\n";
    if (summary.pairs > 0)
        out += "Added " + plural(summary.pairUses, "use", "uses") + " to " +
               plural(summary.pairs, "pair", "pairs") + " of a name and the word before it.\n";
    return out;
}

} // namespace scrivlet
