#include "reference/entry_list_model.h"

#include "common/windows1252.h"

#include <QPointer>

namespace scrivlet {

EntryListModel::EntryListModel(EntrySource& source, QObject* parent)
    : QAbstractListModel(parent), m_source(source), m_codePage(windows1252CodePage())
{
    watchRecordset();
    m_source.setUsesWaitingObserver([self = QPointer(this)] {
        if (self)
            emit self->usesWaitingChanged(self->m_source.usesWaiting());
    });
}

void EntryListModel::watchRecordset()
{
    m_source.recordset().setCurrentRowObserver([self = QPointer(this)] {
        if (self)
            emit self->currentRowChanged();
    });
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
    return shownText(QString::fromStdString(
        fieldText(rs.value(static_cast<std::size_t>(index.row()), nameColumn))));
}

void EntryListModel::setCodePage(const CodePageTable& page)
{
    m_codePage = page;
    m_showStored = page.chars() == windows1252CodePage().chars();
    if (rowCount() > 0)
        emit dataChanged(index(0), index(rowCount() - 1), {Qt::DisplayRole});
    emit codePageChanged();
}

QString EntryListModel::shownText(const QString& stored) const
{
    if (m_showStored)
        return stored;
    QString shown = stored;
    for (QChar& ch : shown) {
        // A character outside Windows-1252 stands for no byte and is shown as it is.
        const int byte = windows1252FromChar(ch.unicode());
        if (byte >= 0)
            ch = QChar(m_codePage.charOf(static_cast<unsigned char>(byte)));
    }
    return shown;
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

QString EntryListModel::refreshMessage(const RefreshResult& result)
{
    const QString path = QString::fromStdString(result.path);
    QString message;
    if (result.status == RefreshResult::Status::Failed)
        message =
            tr("The entry database %1 could not be read:\n%2\nThe reference list stays empty.")
                .arg(path, QString::fromStdString(result.reason));
    else if (result.status == RefreshResult::Status::ReadOnly)
        message = tr("The entry database %1 is read-only:\nusage counts cannot be saved while it "
                     "stays so.")
                      .arg(path);
    const QString lost = usesNotCountedMessage(result.usesLost, result.path);
    return message.isEmpty() || lost.isEmpty() ? message + lost : message + "\n\n" + lost;
}

QString EntryListModel::usesNotCountedMessage(const UsesNotCounted& lost, const std::string& path)
{
    if (lost.uses == 0)
        return {};
    const QString where = QString::fromStdString(path);
    const QString why = QString::fromStdString(lost.reason);
    if (lost.uses == 1)
        return tr("1 use of an entry could not be counted in %1:\n%2").arg(where, why);
    return tr("%1 uses of entries could not be counted in %2:\n%3")
        .arg(QString::number(lost.uses), where, why);
}

} // namespace scrivlet
