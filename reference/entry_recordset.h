#pragma once

#include "reference/criteria.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <variant>
#include <vector>

namespace scrivlet {

// One field of a row as the database delivered it: null, a whole number, a real or a text.
using FieldValue = std::variant<std::monostate, std::int64_t, double, std::string>;

// The value as text: "" for null, decimal for numbers.
std::string fieldText(const FieldValue& value);
// The value as a whole number, when it is one (or a text holding one).
std::optional<std::int64_t> fieldInteger(const FieldValue& value);

// What a write to the database file achieved.
struct WriteResult {
    bool ok = false;        // the file took the value; for a counted use: or keeps it waiting
    bool waiting = false;   // ok, but the file was busy: the use is kept and written later
    std::int64_t value = 0; // the value the file now holds (ok and not waiting)
    std::string error;      // why the file did not take it (not ok, or waiting)
    bool gone = false;      // not ok: the file no longer holds a row with the id
};

// Where a recordset writes its updates: the database file the rows came from.
class RowWriter {
  public:
    virtual ~RowWriter() = default;
    // Sets one whole-number field of the row with this id and commits.
    virtual WriteResult writeInteger(std::int64_t id, std::string_view column,
                                     std::int64_t value) = 0;
    // Adds one use to the usage count of the row with this id in the file itself, commits, and
    // returns the count the file then holds.
    virtual WriteResult countUse(std::int64_t id) = 0;
};

// The rows of one query, in query order, with one current row or none (EOF).
// Rows are never added or removed; only whole-number fields change, through update(), addUse()
// and takeValueFromFile(), and only after the database file has taken the new value.
class EntryRecordset final {
  public:
    EntryRecordset() = default;
    EntryRecordset(std::vector<std::string> columns, std::vector<std::vector<FieldValue>> rows,
                   RowWriter* writer);

    std::size_t rowCount() const { return m_rows.size(); }
    const std::vector<std::string>& columns() const { return m_columns; }
    // Index of a column by name, letter case ignored; -1 when there is none.
    int columnIndex(std::string_view name) const;
    const FieldValue& value(std::size_t row, int column) const;

    bool eof() const { return !m_current.has_value(); }
    std::optional<std::size_t> currentRow() const { return m_current; }
    void moveFirst();
    void moveTo(std::optional<std::size_t> row);

    // Searches forward from the current row (that row included) for the first row that meets
    // the criteria and makes it current; without one, or with criteria that do not parse, the
    // recordset is left at EOF. Returns !eof().
    bool find(std::string_view criteria);
    bool find(const Criteria& criteria);

    // The first row, in query order, whose name begins with the prefix, letter case ignored;
    // found without visiting every row.
    std::optional<std::size_t> firstRowWithPrefix(std::string_view prefix) const;
    // The first row, in query order, whose name is exactly this (letter case included).
    std::optional<std::size_t> firstRowNamed(std::string_view name) const;

    // A field of the current row. Precondition: !eof() and the column exists.
    const FieldValue& field(std::string_view name) const;

    // Writes one whole-number field of the current row to the file, then to the row.
    WriteResult update(std::string_view field, std::int64_t value);
    // Counts one use of the current row: usg = usg + 1 in the file, then the row takes the
    // value the file holds. While the file is busy the use may be kept waiting (see EntrySource).
    WriteResult addUse();

    // The row whose id is this, if any.
    std::optional<std::size_t> rowOfId(std::int64_t id) const;
    // The row with this id takes the value its field now holds in the file.
    void takeValueFromFile(std::int64_t id, std::string_view field, std::int64_t value);

    // Called after every change of the current row.
    void setCurrentRowObserver(std::function<void()> observer) { m_observer = std::move(observer); }

  private:
    bool matches(std::size_t row, int column, const Criteria& criteria) const;
    void buildNameIndex();
    void buildExactNameTable();
    std::string_view exactName(std::size_t row) const;
    void setCurrent(std::optional<std::size_t> row);

    std::vector<std::string> m_columns;
    std::vector<std::vector<FieldValue>> m_rows;
    RowWriter* m_writer = nullptr;
    std::optional<std::size_t> m_current;
    std::function<void()> m_observer;
    int m_idColumn = -1;
    int m_nameColumn = -1;
    std::unordered_map<std::int64_t, std::size_t> m_rowOfId;

    // Prefix search from the first row: the rows sorted by name without regard to case, and a
    // table of range minima over their query positions, so that the first row in query order
    // whose name has a given prefix is found without visiting every row.
    std::vector<std::string> m_foldedNames; // by row
    std::vector<std::uint32_t> m_byName;    // rows in folded-name order
    std::vector<std::vector<std::uint32_t>> m_rangeMin;
    // Exact names: rows by the hash of their names, open-addressed (kNoRow where empty), the
    // first row of each name only, so that a name is found without copies of the names.
    static constexpr std::uint32_t kNoRow = UINT32_MAX;
    std::vector<std::uint32_t> m_rowByName;
};

} // namespace scrivlet
