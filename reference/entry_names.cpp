#include "reference/entry_names.h"

#include "common/windows1252.h"
#include "reference/description_rules.h"

namespace scrivlet {

EntryNames::EntryNames(const EntryRecordset& rows)
    : m_rows(rows), m_name(rows.columnIndex("name")), m_address(rows.columnIndex("addr")),
      m_description(rows.columnIndex("description"))
{
    if (m_name < 0)
        return;
    m_rowOf.reserve(rows.rowCount());
    for (std::size_t row = 0; row < rows.rowCount(); ++row)
        m_rowOf.try_emplace(windows1252FromUtf8(fieldText(rows.value(row, m_name))), row);
}

std::optional<EntryNames::Facts> EntryNames::facts(std::string_view bytes) const
{
    const auto found = m_rowOf.find(bytes);
    const auto columns = static_cast<int>(m_rows.columns().size());
    if (found == m_rowOf.end() || found->second >= m_rows.rowCount() || m_name >= columns ||
        m_address >= columns || m_description >= columns)
        return std::nullopt;
    const std::size_t row = found->second;
    Facts facts;
    facts.name = fieldText(m_rows.value(row, m_name));
    if (windows1252FromUtf8(facts.name) != bytes)
        return std::nullopt;
    if (m_address >= 0)
        facts.address = fieldText(m_rows.value(row, m_address));
    if (m_description >= 0)
        facts.description = expandDescription(fieldText(m_rows.value(row, m_description)));
    return facts;
}

} // namespace scrivlet
