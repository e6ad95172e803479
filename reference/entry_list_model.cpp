#include "reference/entry_list_model.h"

namespace scrivlet {

EntryListModel::EntryListModel(EntrySource& source, QObject* parent)
    : QAbstractListModel(parent), m_source(source)
{
    watchRecordset();
}

void EntryListModel::watchRecordset()
{
    m_source.recordset().setCurrentRowObserver([this] { emit currentRowChanged(); });
}

int EntryListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_source.recordset().rowCount());
}

QVariant EntryListModel::data(const QModelIndex& index, int role) const
{
    const auto& rs = m_source.recordset();
    const int nameColumn = rs.columnIndex("name");
    if (!index.isValid() || nameColumn < 0 || role != Qt::DisplayRole)
        return {};
    return QString::fromStdString(fieldText(rs.value(static_cast<std::size_t>(index.row()), nameColumn)));
}

void EntryListModel::refill()
{
    beginResetModel();
    watchRecordset();
    endResetModel();
    emit currentRowChanged();
}

QString EntryListModel::currentField(std::string_view field) const
{
    const auto& rs = m_source.recordset();
    if (rs.eof() || rs.columnIndex(field) < 0)
        return {};
    return QString::fromStdString(fieldText(rs.field(field)));
}

} // namespace scrivlet
