#pragma once

#include "reference/entry_recordset.h"

#include <cstddef>
#include <optional>
#include <string_view>

namespace scrivlet {

class WordCounts;
class WordPairs;

// The words of the text being written, for a lookup that prefers the names the text already
// uses. Words are counted by their bytes, in the editor's code page (Windows-1252).
struct TextWords {
    const WordCounts* counts = nullptr; // none: the list's order alone decides
    // The word being typed, as it stands at the caret: one of its occurrences is not counted,
    // since it is no use of a name yet.
    std::string_view atCaret;
};

// How often each name followed each word, and the word before the one typed.
struct PreviousWord {
    const WordPairs* pairs = nullptr; // none: the previous word plays no part
    std::string_view word;
};

// The row a typed word (editor bytes, Windows-1252) proposes: the entry named exactly so
// (letter case too) when there is one, so that a finished word keeps its own name; else the
// first row, in the list's order, whose name begins with the word, letter case ignored. With the
// text's words, among the rows whose name begins with the word the one whose name occurs most
// often in the text as a whole word, spelt exactly so; with the pairs, the name that most often
// followed the previous word comes first, then the text's count decides; equal counts, and names
// neither the text nor the pairs hold, go by the list's order. Nothing when no name begins with
// the word.
//
// Only the words of the text and the followers of the previous word that begin with the typed
// word are visited, each once; the rows are never walked.
std::optional<std::size_t> lookUpName(const EntryRecordset& rows, std::string_view word,
                                      TextWords text = {}, PreviousWord previous = {});

} // namespace scrivlet
