#include "reference/entry_recordset.h"

#include "common/ascii.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <stdexcept>

namespace scrivlet {
namespace {

bool lessBytes(std::string_view a, std::string_view b)
{
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
    });
}

} // namespace

std::string fieldText(const FieldValue& value)
{
    if (const auto* s = std::get_if<std::string>(&value))
        return *s;
    if (const auto* i = std::get_if<std::int64_t>(&value))
        return std::to_string(*i);
    if (const auto* d = std::get_if<double>(&value)) {
        char buffer[32];
        const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, *d);
        return ec == std::errc() ? std::string(buffer, end) : std::string();
    }
    return {};
}

std::optional<std::int64_t> fieldInteger(const FieldValue& value)
{
    if (const auto* i = std::get_if<std::int64_t>(&value))
        return *i;
    if (const auto* d = std::get_if<double>(&value))
        return static_cast<std::int64_t>(*d);
    if (const auto* s = std::get_if<std::string>(&value)) {
        std::int64_t n = 0;
        const auto [end, ec] = std::from_chars(s->data(), s->data() + s->size(), n);
        if (ec == std::errc() && end == s->data() + s->size())
            return n;
    }
    return std::nullopt;
}

EntryRecordset::EntryRecordset(std::vector<std::string> columns,
                               std::vector<std::vector<FieldValue>> rows, RowWriter* writer)
    : m_columns(std::move(columns)), m_rows(std::move(rows)), m_writer(writer)
{
    m_idColumn = columnIndex("id");
    m_nameColumn = columnIndex("name");
    if (m_idColumn >= 0) {
        m_rowOfId.reserve(m_rows.size());
        for (std::size_t r = 0; r < m_rows.size(); ++r) {
            if (auto id = fieldInteger(m_rows[r][static_cast<std::size_t>(m_idColumn)]))
                m_rowOfId.emplace(*id, r);
        }
    }
    if (m_nameColumn >= 0)
        buildNameIndex();
    if (!m_rows.empty())
        m_current = 0;
}

void EntryRecordset::buildNameIndex()
{
    const std::size_t n = m_rows.size();
    m_foldedNames.resize(n);
    m_byName.resize(n);
    for (std::size_t r = 0; r < n; ++r) {
        m_foldedNames[r] = asciiUpper(fieldText(m_rows[r][static_cast<std::size_t>(m_nameColumn)]));
        m_byName[r] = static_cast<std::uint32_t>(r);
    }
    buildExactNameTable();
    std::stable_sort(m_byName.begin(), m_byName.end(), [this](std::uint32_t a, std::uint32_t b) {
        return lessBytes(m_foldedNames[a], m_foldedNames[b]);
    });
    m_rangeMin.clear();
    if (n == 0)
        return;
    m_rangeMin.push_back(m_byName);
    for (std::size_t width = 2; width <= n; width *= 2) {
        const auto& previous = m_rangeMin.back();
        std::vector<std::uint32_t> level(n - width + 1);
        for (std::size_t i = 0; i + width <= n; ++i)
            level[i] = std::min(previous[i], previous[i + width / 2]);
        m_rangeMin.push_back(std::move(level));
    }
}

std::optional<std::size_t> EntryRecordset::firstRowWithPrefix(std::string_view prefix) const
{
    const std::string key = asciiUpper(prefix);
    const auto first = std::partition_point(m_byName.begin(), m_byName.end(), [&](std::uint32_t r) {
        return lessBytes(m_foldedNames[r], key);
    });
    const auto last = std::partition_point(first, m_byName.end(), [&](std::uint32_t r) {
        return std::string_view(m_foldedNames[r]).starts_with(key);
    });
    if (first == last)
        return std::nullopt;
    const auto lo = static_cast<std::size_t>(first - m_byName.begin());
    const auto count = static_cast<std::size_t>(last - first);
    const auto level = static_cast<std::size_t>(std::bit_width(count) - 1);
    const std::size_t width = std::size_t{1} << level;
    return std::min(m_rangeMin[level][lo], m_rangeMin[level][lo + count - width]);
}

std::string_view EntryRecordset::exactName(std::size_t row) const
{
    const auto* name =
        std::get_if<std::string>(&m_rows[row][static_cast<std::size_t>(m_nameColumn)]);
    return name ? std::string_view(*name) : std::string_view();
}

void EntryRecordset::buildExactNameTable()
{
    m_rowByName.assign(std::bit_ceil(2 * m_rows.size() + 1), kNoRow);
    const std::size_t mask = m_rowByName.size() - 1;
    for (std::size_t r = 0; r < m_rows.size(); ++r) {
        const std::string_view name = exactName(r);
        std::size_t slot = std::hash<std::string_view>{}(name)&mask;
        while (m_rowByName[slot] != kNoRow && exactName(m_rowByName[slot]) != name)
            slot = (slot + 1) & mask;
        if (m_rowByName[slot] == kNoRow)
            m_rowByName[slot] = static_cast<std::uint32_t>(r);
    }
}

std::optional<std::size_t> EntryRecordset::firstRowNamed(std::string_view name) const
{
    if (m_rowByName.empty() || name.empty())
        return std::nullopt;
    const std::size_t mask = m_rowByName.size() - 1;
    for (std::size_t slot = std::hash<std::string_view>{}(name)&mask; m_rowByName[slot] != kNoRow;
         slot = (slot + 1) & mask) {
        if (exactName(m_rowByName[slot]) == name)
            return m_rowByName[slot];
    }
    return std::nullopt;
}

int EntryRecordset::columnIndex(std::string_view name) const
{
    for (std::size_t i = 0; i < m_columns.size(); ++i) {
        if (equalsNoCase(m_columns[i], name))
            return static_cast<int>(i);
    }
    return -1;
}

const FieldValue& EntryRecordset::value(std::size_t row, int column) const
{
    return m_rows.at(row).at(static_cast<std::size_t>(column));
}

void EntryRecordset::moveFirst()
{
    setCurrent(m_rows.empty() ? std::nullopt : std::optional<std::size_t>(0));
}

void EntryRecordset::moveTo(std::optional<std::size_t> row)
{
    if (row && *row >= m_rows.size())
        row.reset();
    setCurrent(row);
}

void EntryRecordset::setCurrent(std::optional<std::size_t> row)
{
    m_current = row;
    if (m_observer)
        m_observer();
}

bool EntryRecordset::find(std::string_view criteria)
{
    if (const auto parsed = parseCriteria(criteria))
        return find(*parsed);
    setCurrent(std::nullopt);
    return false;
}

bool EntryRecordset::find(const Criteria& criteria)
{
    const int column = columnIndex(criteria.field);
    if (column < 0 || !m_current) {
        setCurrent(std::nullopt);
        return false;
    }
    if (column == m_nameColumn && criteria.kind == Criteria::Kind::Prefix && *m_current == 0) {
        setCurrent(firstRowWithPrefix(criteria.text));
        return !eof();
    }
    if (column == m_idColumn && criteria.kind == Criteria::Kind::NumberEqual) {
        const auto row = rowOfId(criteria.number);
        setCurrent(row && *row >= *m_current ? row : std::nullopt);
        return !eof();
    }
    for (std::size_t r = *m_current; r < m_rows.size(); ++r) {
        if (matches(r, column, criteria)) {
            setCurrent(r);
            return true;
        }
    }
    setCurrent(std::nullopt);
    return false;
}

bool EntryRecordset::matches(std::size_t row, int column, const Criteria& criteria) const
{
    const FieldValue& v = value(row, column);
    switch (criteria.kind) {
    case Criteria::Kind::Prefix:
        return !std::holds_alternative<std::monostate>(v) &&
               startsWithNoCase(fieldText(v), criteria.text);
    case Criteria::Kind::Equal:
        return !std::holds_alternative<std::monostate>(v) &&
               equalsNoCase(fieldText(v), criteria.text);
    case Criteria::Kind::NumberEqual: {
        const auto n = fieldInteger(v);
        return n && *n == criteria.number;
    }
    }
    return false;
}

const FieldValue& EntryRecordset::field(std::string_view name) const
{
    const int column = columnIndex(name);
    if (!m_current || column < 0)
        throw std::logic_error("no current row or no such field");
    return value(*m_current, column);
}

std::optional<std::size_t> EntryRecordset::rowOfId(std::int64_t id) const
{
    const auto it = m_rowOfId.find(id);
    if (it == m_rowOfId.end())
        return std::nullopt;
    return it->second;
}

WriteResult EntryRecordset::update(std::string_view field, std::int64_t value)
{
    const int column = columnIndex(field);
    if (!m_current || column < 0 || m_idColumn < 0 || !m_writer)
        return {false, false, 0, "there is no current entry to update"};
    const auto id = fieldInteger(m_rows[*m_current][static_cast<std::size_t>(m_idColumn)]);
    if (!id)
        return {false, false, 0, "the current entry has no id"};
    WriteResult result =
        m_writer->writeInteger(*id, m_columns[static_cast<std::size_t>(column)], value);
    if (result.ok)
        m_rows[*m_current][static_cast<std::size_t>(column)] = result.value;
    return result;
}

WriteResult EntryRecordset::addUse()
{
    if (!m_current || columnIndex("usg") < 0 || m_idColumn < 0 || !m_writer)
        return {false, false, 0, "there is no current entry to count"};
    const auto id = fieldInteger(m_rows[*m_current][static_cast<std::size_t>(m_idColumn)]);
    if (!id)
        return {false, false, 0, "the current entry has no id"};
    WriteResult result = m_writer->countUse(*id);
    if (result.ok && !result.waiting)
        takeValueFromFile(*id, "usg", result.value);
    return result;
}

void EntryRecordset::takeValueFromFile(std::int64_t id, std::string_view field, std::int64_t value)
{
    const int column = columnIndex(field);
    if (const auto row = rowOfId(id); row && column >= 0)
        m_rows[*row][static_cast<std::size_t>(column)] = value;
}

} // namespace scrivlet
