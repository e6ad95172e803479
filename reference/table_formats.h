#pragma once

#include "reference/entry_table.h"

#include <optional>
#include <string_view>

namespace scrivlet {

// The kinds of entry table the importer reads, told apart by their content.
enum class TableFormat {
    EntryTable,    // our own NAME <TAB> ADDR <TAB> DESCRIPTION table
    LoaderListing, // a Saturn loader cross-reference listing
    EquateFile,    // assembler equates, =NAME EQU #HHHHH
};

// How the summaries name a format: "entry table", "loader listing", "equate file".
std::string_view formatName(TableFormat format);

// The line that opens the entries of a loader listing.
inline constexpr std::string_view kListingMarker = "Saturn Cross Reference Listing";
// Text of the line that closes a loader listing.
inline constexpr std::string_view kListingEnd = "End of Saturn Loader";

// True when the text holds the line that opens a loader listing's entries (blanks and form
// feeds around it allowed).
bool hasListingMarker(std::string_view text);

// The format of a table by its content: a loader listing holds the marker line; an equate file
// has a line whose second word is EQU; everything else is read as our own table. Text holding a
// NUL byte is no table at all.
std::optional<TableFormat> recogniseTableFormat(std::string_view text);

// A loader listing: lines before the marker are its header; after it one entry per line,
// NAME = HHHHH - (the name may begin with ^ or ~ and may hold "="), blank lines and form feeds
// between groups, up to the line holding "End of Saturn Loader". Lines of uses (NAME * ...) and
// their continuation lines (+ ...) are skipped with their reason.
ParsedTable parseLoaderListing(std::string_view text);

// Assembler equates: =NAME EQU #HHHHH, blanks being spaces or tabs, anything after the value a
// comment. Empty lines and lines starting with * are comments; every other line is skipped and
// counted, EQU lines of any other form included.
ParsedTable parseEquateFile(std::string_view text);

// Parses text in the given format; repeated names are skipped in every format.
ParsedTable parseTable(std::string_view text, TableFormat format);

} // namespace scrivlet
