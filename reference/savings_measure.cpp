#include "reference/savings_measure.h"

#include "common/lookup_guard.h"
#include "common/windows1252.h"
#include "common/word_counts.h"
#include "reference/entry_source.h"
#include "reference/importer.h"
#include "reference/name_lookup.h"
#include "reference/sort_order.h"
#include "reference/usage_learner.h"
#include "reference/word_pairs.h"
#include "rpl/structure_words.h"

#include <cstdio>
#include <filesystem>

namespace scrivlet {
namespace {

// Counted uses that go no further than the rows in memory.
class UsesInMemory final : public RowWriter {
  public:
    void setRows(const EntryRecordset& rows) { m_rows = &rows; }

    WriteResult writeInteger(std::int64_t, std::string_view, std::int64_t value) override
    {
        return {true, false, value, {}};
    }
    WriteResult countUse(std::int64_t id) override
    {
        const auto row = m_rows ? m_rows->rowOfId(id) : std::nullopt;
        if (!row)
            return {false, false, 0, "no such entry"};
        const auto usg = fieldInteger(m_rows->value(*row, m_rows->columnIndex("usg")));
        return {true, false, usg.value_or(0) + 1, {}};
    }

  private:
    const EntryRecordset* m_rows = nullptr;
};

// The keys it takes to write one name, counting its use when a proposal is taken.
struct TypingCost {
    std::uint64_t keys = 0;
    bool taken = false; // Enter took a proposal
};

TypingCost typingCost(EntryRecordset& rows, std::string_view word, std::string_view name,
                      TextWords text, PreviousWord previous)
{
    const int nameColumn = rows.columnIndex("name");
    for (std::size_t k = 1; k < word.size(); ++k) {
        const std::string_view part = word.substr(0, k);
        if (!passesLookupGuard(part) || isStructureWord(part))
            continue;
        const auto row = lookUpName(rows, part, text, previous);
        if (row && fieldText(rows.value(*row, nameColumn)) == name) {
            rows.moveTo(row);
            rows.addUse();
            return {k + 1, true};
        }
    }
    return {word.size(), false};
}

} // namespace

void replaySource(EntryRecordset& rows, std::string_view text, ReplayOptions options,
                  SavingsFigures& figures, WordPairs* pairs)
{
    WordCounts typed;
    std::string_view previous;
    forEachWord(text, [&](std::string_view word) {
        const std::string name = utf8FromWindows1252(word);
        if (rows.firstRowNamed(name)) {
            ++figures.names;
            figures.characters += word.size();
            // Unless a Tab ends words, the window's word runs back over a Tab to the space or
            // line break before it, so a name typed right after a Tab is never looked up.
            const auto at = static_cast<std::size_t>(word.data() - text.data());
            const bool afterTab = at > 0 && text[at - 1] == '\t' && !options.tabEndsWord;
            const TextWords seen{options.namesInFile ? &typed : nullptr, {}};
            const bool followers = options.namesInFile && options.previousWord;
            const PreviousWord before{followers ? pairs : nullptr, previous};
            const TypingCost cost = afterTab ? TypingCost{word.size(), false}
                                             : typingCost(rows, word, name, seen, before);
            figures.keystrokes += cost.keys;
            if (cost.taken && pairs && !previous.empty())
                pairs->add(previous, word);
        }
        if (options.namesInFile)
            typed.add(word);
        previous = word;
    });
}

RunResult<SavingsFigures> measureSavings(const std::vector<std::string>& paths,
                                         const std::string& databasePath, ReplayOptions options)
{
    using Result = RunResult<SavingsFigures>;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(databasePath, ec))
        return Result::failure(databasePath +
                               ": no such entry database; build one first with --import");
    UsesInMemory uses;
    EntryRecordset rows;
    WordPairs pairs;
    try {
        auto opened = openEntryDatabase(databasePath, SqliteDatabase::OpenMode::ReadOnly);
        if (!opened.ok())
            return Result::failure(std::move(opened.error));
        rows = readEntryRows(**opened.value, kStartupRecordSource, &uses);
        pairs = readWordPairs(**opened.value);
    } catch (const SqliteError& e) {
        return Result::failure(databasePath + ": " + e.what());
    }
    uses.setRows(rows);

    RunResult<SourceFiles> sources = collectSourceFiles(paths);
    if (!sources.ok())
        return Result::failure(std::move(sources.error));
    SavingsFigures figures;
    for (const std::string& path : sources.value->files) {
        const RunResult<std::string> bytes = readInputFile(path);
        if (!bytes.ok())
            return Result::failure(bytes.error);
        replaySource(rows, *bytes.value, options, figures, &pairs);
    }
    return {figures, {}};
}

std::string describeSavings(const SavingsFigures& figures, ReplayOptions options)
{
    std::string used;
    const auto use = [&used](bool on, const char* name) {
        if (on)
            used += (used.empty() ? "" : ",") + std::string(name);
    };
    use(options.tabEndsWord, "tab-ends-word");
    use(options.namesInFile, "names-in-file");
    use(options.namesInFile && options.previousWord, "previous-word");
    const double saved = figures.characters == 0 ? 0.0
                                                 : 100.0 *
                                                       (static_cast<double>(figures.characters) -
                                                        static_cast<double>(figures.keystrokes)) /
                                                       static_cast<double>(figures.characters);
    char percent[32];
    std::snprintf(percent, sizeof percent, "%.1f", saved);
    return "names=" + std::to_string(figures.names) +
           " chars=" + std::to_string(figures.characters) +
           " keystrokes=" + std::to_string(figures.keystrokes) + " saved=" + percent +
           "% options=" + (used.empty() ? "none" : used) + "\n";
}

} // namespace scrivlet
