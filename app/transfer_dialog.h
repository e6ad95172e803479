#pragma once

#include "link/link_engine.h"
#include "app/options_store.h"

#include <QDialog>
#include <QString>
#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

class QLabel;
class QPushButton;

namespace scrivlet {

// What a transfer to or from the calculator came to: the files that arrived and, when it did
// not end well, one line naming the port.
struct TransferOutcome {
    bool ok = false;
    QString failure;
    std::vector<ReceivedFile> files;
};

// Runs one engine over the connection's port on a thread of its own while a modal dialog shows
// the bytes, packets and retries so far. Cancel (or closing the dialog) asks the engine to
// cancel, which tells the other side; the dialog closes when the engine has finished.
class TransferDialog final : public QDialog {
    Q_OBJECT

  public:
    static TransferOutcome run(QWidget* parent, const QString& title,
                               const ConnectionSettings& connection, LinkTiming timing,
                               std::unique_ptr<LinkEngine> engine);

    void reject() override; // cancels the transfer; the dialog closes when it has stopped

  private:
    explicit TransferDialog(QWidget* parent, const QString& title);
    void showCounts();

    QLabel* m_counts;
    QPushButton* m_cancel;
    std::atomic<bool> m_cancelRequested{false};
    std::atomic<std::uint64_t> m_bytes{0};
    std::atomic<std::uint64_t> m_packets{0};
    std::atomic<std::uint64_t> m_retries{0};
};

} // namespace scrivlet
