#pragma once

#include "reference/entry_recordset.h"

#include <cstddef>
#include <optional>
#include <string_view>

namespace scrivlet {

class WordCounts;

// The words of the text being written, for a lookup that prefers the names the text already
// uses. Words are counted by their bytes, in the editor's code page (Windows-1252).
struct TextWords {
    const WordCounts* counts = nullptr; // none: the list's order alone decides
    // The word being typed, as it stands at the caret: one of its occurrences is not counted,
    // since it is no use of a name yet.
    std::string_view atCaret;
};

// The row a typed word (editor bytes, Windows-1252) proposes: the entry named exactly so
// (letter case too) when there is one, so that a finished word keeps its own name; else the
// first row, in the list's order, whose name begins with the word, letter case ignored. With the
// text's words, among the rows whose name begins with the word the one whose name occurs most often
// in the text as a whole word, spelt exactly so; equal counts, and names the text does not hold, go
// by the list's order. Nothing when no name begins with the word.
//
// Only the words of the text that begin with the typed word are visited, each once; the rows
// are never walked.
std::optional<std::size_t> lookUpName(const EntryRecordset& rows, std::string_view word,
                                      TextWords text = {});

} // namespace scrivlet
