#pragma once

#include "common/code_page_table.h"
#include "reference/entry_source.h"

#include <QAbstractListModel>
#include <QString>

namespace scrivlet {

// The reference list's rows: the names of the entry data source's recordset, in its order.
// It also speaks for the data source to the widgets bound to it: currentRowChanged follows every
// move of the recordset's current row, usesWaitingChanged every change in the number of counted
// uses waiting for a busy database, and refill() rebuilds the list after a refresh.
//
// The database holds names and descriptions as UTF-8 of Windows-1252 characters, each standing
// for one byte of the editor. The list shows them in the editor's code page (Windows-1252 until
// told otherwise): each such character as the character its byte has there. Only what is shown
// changes; lookups and insertions keep working on the stored text.
//
// The source must outlive every call of the model. The calls the model leaves in the source
// check that the model still lives, so the model may go before or after the source.
class EntryListModel final : public QAbstractListModel {
    Q_OBJECT

  public:
    explicit EntryListModel(EntrySource& source, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    EntrySource& source() const { return m_source; }
    // Rebuilds the list from the recordset (the list control's ReFill).
    void refill();
    // The text of a field of the current row, or an empty string with no current row.
    QString currentField(std::string_view field) const;

    // The code page names and descriptions are shown in; the rows are drawn again and
    // codePageChanged follows.
    void setCodePage(const CodePageTable& page);
    // Stored text (a name, a description) as shown in that code page.
    QString shownText(const QString& stored) const;

    // What the window says after a refresh; empty when there is nothing to say.
    static QString refreshMessage(const RefreshResult& result);
    // What the window says about uses that could not be counted in the file at path; empty
    // when there are none.
    static QString usesNotCountedMessage(const UsesNotCounted& lost, const std::string& path);

  signals:
    void currentRowChanged();
    void usesWaitingChanged(quint64 uses);
    void codePageChanged();

  private:
    void watchRecordset();

    EntrySource& m_source;
    CodePageTable m_codePage;
    bool m_showStored = true; // the code page is Windows-1252: stored text shows as it is
};

} // namespace scrivlet
