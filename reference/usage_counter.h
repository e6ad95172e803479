#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace scrivlet {

// Counts the uses of entry names in RPL sources and in a project's loader listings.
//
// Sources: the words are those the RPL lexer reads as code (see forEachSourceWord); a word is a
// use when it is exactly an entry's name, letter case included (DUP inside DUPDUP or dup is no
// use of DUP). Words in comments, strings and the like never count.
//
// Listings: after the "Saturn Cross Reference Listing" line, a use line NAME * [ADDR] - REF ...
// counts one use of NAME per reference, and so do the references of the lines starting with +
// that continue it. Definition lines (NAME = ...) count nothing.
//
// Invariant: counts() has one count per name given to the constructor; a name given twice is
// counted at its first place only.
class UsageCounter final {
  public:
    explicit UsageCounter(std::vector<std::string> names);
    UsageCounter(const UsageCounter&) = delete;
    UsageCounter& operator=(const UsageCounter&) = delete;

    struct SourceCount {
        std::uint64_t uses = 0;
        std::size_t unclosedCommentLine = 0; // line of a ( never closed, else 0
    };
    // text: UTF-8, as decodeUtf8OrWindows1252 gives it.
    SourceCount countSource(std::string_view text);

    struct ListingCount {
        std::uint64_t uses = 0;
        std::uint64_t unknownUses = 0;         // references to names that are no entry
        std::vector<std::string> unknownNames; // those names, each once, in listing order
    };
    ListingCount countListing(std::string_view text);

    const std::vector<std::string>& names() const { return m_names; }
    const std::vector<std::uint64_t>& counts() const { return m_counts; }

  private:
    // Adds n uses to the entry called name; false when no entry has that name.
    bool add(std::string_view name, std::uint64_t n);

    std::vector<std::string> m_names;
    std::unordered_map<std::string_view, std::size_t> m_index; // views into m_names
    std::vector<std::uint64_t> m_counts;
};

} // namespace scrivlet
