#pragma once

#include "common/string_hash.h"
#include "reference/entry_recordset.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace scrivlet {

// The entry names of a recordset as the editor holds them (Windows-1252 bytes, the way the list
// writes a name into the text), letter case exact: whether a word of the text is an entry, and
// what the entry's row says. Built in one pass over the rows; a name that several rows carry
// stands for the first of them in query order.
//
// It reads the rows of the recordset it was built from, which must outlive it; build it again
// when the recordset is filled again (a row that no longer carries the name gives nothing).
class EntryNames final {
  public:
    struct Facts {
        std::string name;    // UTF-8, as stored
        std::string address; // UTF-8, as stored
        std::string
            description; // UTF-8, its line-break codes expanded as the description pane does
    };

    explicit EntryNames(const EntryRecordset& rows);

    bool contains(std::string_view bytes) const { return m_rowOf.contains(bytes); }
    std::optional<Facts> facts(std::string_view bytes) const;
    std::size_t size() const { return m_rowOf.size(); }

  private:

    const EntryRecordset& m_rows;
    int m_name = -1;
    int m_address = -1;
    int m_description = -1;
    std::unordered_map<std::string, std::size_t, TransparentStringHash, std::equal_to<>> m_rowOf;
};

} // namespace scrivlet
