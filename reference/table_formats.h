#pragma once

#include "reference/entry_table.h"
#include "reference/table_lines.h"

#include <optional>
#include <string_view>

namespace scrivlet {

// The kinds of entry table the importer reads, told apart by their content.
enum class TableFormat {
    EntryTable,      // our own NAME <TAB> ADDR <TAB> DESCRIPTION table
    LoaderListing,   // a Saturn loader cross-reference listing
    EquateFile,      // assembler equates, =NAME EQU #HHHHH
    EntriesDatabase, // the entries database text: NAME STACK-EFFECT, .  49G: ADDR, ; text
};

// How the summaries name a format: "entry table", "loader listing", "equate file", "entries
// database".
std::string_view formatName(TableFormat format);

// The line that opens the entries of a loader listing.
inline constexpr std::string_view kListingMarker = "Saturn Cross Reference Listing";
// Text of the line that closes a loader listing.
inline constexpr std::string_view kListingEnd = "End of Saturn Loader";

// How far a walk through a loader listing came.
struct ListingWalk {
    bool started = false; // the marker line was found
    bool closed = false;  // and after it the end line
};

// Calls visit(lineNumber, words) for each line of a loader listing's cross reference: the lines
// after the marker line and before the line holding kListingEnd, split into words at blanks;
// blank lines are left out.
template <class Visit> ListingWalk forEachListingLine(std::string_view text, Visit&& visit)
{
    ListingWalk walk;
    forEachLine(text, [&](std::size_t lineNumber, std::string_view line) {
        const std::string_view trimmed = trimBlanks(line);
        if (!walk.started) {
            walk.started = trimmed == kListingMarker;
            return;
        }
        if (walk.closed || trimmed.empty())
            return;
        if (trimmed.find(kListingEnd) != std::string_view::npos) {
            walk.closed = true;
            return;
        }
        visit(lineNumber, splitWords(trimmed));
    });
    return walk;
}

// True when the text holds the line that opens a loader listing's entries (blanks and form
// feeds around it allowed).
bool hasListingMarker(std::string_view text);

// The format of a table by its content, asked in this order: a loader listing holds the marker
// line; an entries database has a line that starts with a dot, blanks and 48G: or 49G: (no line
// of the other formats can); an equate file has a line whose second word is EQU; everything else
// is read as our own table. Text holding a NUL byte is no table at all.
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

// The entries database text, line by line by its first character:
//   *  a comment;  @  a directive, passed over;
//   NAME  STACK-EFFECT      an identifier line opens an entry: the name from the first column,
//      then its stack effect; a line ending in \ continues it on the next line (several
//      effects of one name are written so); \-> is an arrow, shown as ->;
//   .  49G: ADDR \FORMAT\ [FLAG]...   the entry's 49G address (5 hexadecimal digits, 6 for
//      library and flash pointers), an optional name format (^%s names the entry ^NAME there)
//      and flags in brackets, which are passed over; .  48G: the same for the 48G;
//   .  AKA: NAMES    more names of the entry;  .  UserRPL: NAMES   the user commands it
//      stands for, which are no entry names and not taken;
//   ;  a description line; its text starts at column 80, the padding up to there is dropped.
// An empty line ends the entry. An entry with a 49G address gives one entry per name, each with
// the description: the stack effect lines, then the description lines, joined by %0A. Entries
// without a 49G address are counted in the notes. Lines of no known form, keyword and
// description lines outside an entry, bad addresses, and names given again with another address
// (the first is kept) are skipped with their reason; a name given again with the same address
// is passed over (the first is kept).
ParsedTable parseEntriesDatabase(std::string_view text);

// Parses text in the given format; repeated names are skipped in every format.
ParsedTable parseTable(std::string_view text, TableFormat format);

} // namespace scrivlet
