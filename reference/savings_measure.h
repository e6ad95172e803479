#pragma once

#include "reference/entry_recordset.h"
#include "reference/importer_io.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace scrivlet {

class WordPairs;

// What the proposals save when sources are typed: the words that are names of entries (exact
// spelling), their characters, and the keys it takes to write them.
struct SavingsFigures {
    std::uint64_t names = 0;
    std::uint64_t characters = 0;
    std::uint64_t keystrokes = 0;
};

// How the replay looks names up: as with Options > "Names in This File First" and "Tab Ends a
// Word" (checked at first, as in the window).
// With namesInFile the previous word weighs too, unless previousWord is off.
struct ReplayOptions {
    bool namesInFile = false;
    bool tabEndsWord = true;
    bool previousWord = true;
};

// Replays a source (editor bytes) as if typed, word by word (words separated by space, Tab, CR
// and LF), and adds its figures. A name is typed a character at a time; after each character
// short of the whole name the typed part is looked up as the window looks it up (no lookup for
// the parts the window passes over, such as those holding a %). The first time the proposal is
// the name itself, Enter takes it: the name costs the characters typed plus one, and its entry
// counts one use through the recordset's writer. A name never proposed before it is complete
// costs its characters, and so does a name right after a Tab unless a Tab ends words: the
// window reads that Tab as part of the word. The rows keep their order throughout, as the window's
// list does until a sort button is clicked. With namesInFile the lookup also weighs the words of
// the source replayed so far and, with `pairs` and previousWord, the names that followed the
// word before; a name Enter takes counts one more pair in `pairs`, as in the window.
void replaySource(EntryRecordset& rows, std::string_view text, ReplayOptions options,
                  SavingsFigures& figures, WordPairs* pairs = nullptr);

// Replays every source file under paths (as --learn collects them) against the entry database
// at databasePath, read in the start-up order, with its pairs. The database is opened read-only:
// uses and pairs are counted in memory only. A path or a database that cannot be read fails, naming
// it.
RunResult<SavingsFigures> measureSavings(const std::vector<std::string>& paths,
                                         const std::string& databasePath, ReplayOptions options);

// "names=N chars=C keystrokes=K saved=P% options=O": P = 100 (C - K) / C, to one decimal (0.0
// without names); O the options replayed, comma-separated ("tab-ends-word,names-in-file"), or
// "none".
std::string describeSavings(const SavingsFigures& figures, ReplayOptions options);

} // namespace scrivlet
