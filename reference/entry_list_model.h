#pragma once

#include "reference/entry_source.h"

#include <QAbstractListModel>
#include <QString>

namespace scrivlet {

// The reference list's rows: the names of the entry data source's recordset, in its order.
// It also speaks for the data source to the widgets bound to it: currentRowChanged follows every
// move of the recordset's current row, and refill() rebuilds the list after a refresh.
class EntryListModel final : public QAbstractListModel {
    Q_OBJECT

public:
    // The source must outlive the model, or stop calling it with
    // source.recordset().setCurrentRowObserver({}) before the model goes.
    explicit EntryListModel(EntrySource& source, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    EntrySource& source() const { return m_source; }
    // Rebuilds the list from the recordset (the list control's ReFill).
    void refill();
    // The text of a field of the current row, or an empty string with no current row.
    QString currentField(std::string_view field) const;

signals:
    void currentRowChanged();

private:
    void watchRecordset();

    EntrySource& m_source;
};

} // namespace scrivlet
