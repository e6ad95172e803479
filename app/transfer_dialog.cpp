#include "app/transfer_dialog.h"

#include "link/link_runner.h"
#include "link/serial_channel.h"

#include <QLabel>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>

#include <memory>

namespace scrivlet {

TransferDialog::TransferDialog(QWidget* parent, const QString& title) : QDialog(parent)
{
    setWindowTitle(title);
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    m_counts = new QLabel(this);
    m_counts->setObjectName(QStringLiteral("transferCounts"));
    m_counts->setMinimumWidth(320);
    layout->addWidget(m_counts);
    m_cancel = new QPushButton(tr("Cancel"), this);
    m_cancel->setObjectName(QStringLiteral("transferCancel"));
    layout->addWidget(m_cancel, 0, Qt::AlignRight);
    connect(m_cancel, &QPushButton::clicked, this, &TransferDialog::reject);
    showCounts();
}

void TransferDialog::showCounts()
{
    m_counts->setText(tr("Bytes: %1, packets: %2, retries: %3")
                          .arg(m_bytes.load())
                          .arg(m_packets.load())
                          .arg(m_retries.load()));
}

void TransferDialog::reject()
{
    m_cancelRequested = true;
    m_cancel->setEnabled(false);
    m_cancel->setText(tr("Cancelling..."));
}

TransferOutcome TransferDialog::run(QWidget* parent, const QString& title,
                                    const ConnectionSettings& connection, LinkTiming timing,
                                    std::unique_ptr<LinkEngine> engine)
{
    TransferOutcome outcome;
    const std::string port = connection.port.toStdString();
    std::string openError;
    std::unique_ptr<SerialChannel> channel = SerialChannel::open(port, connection.speed, openError);
    if (!channel) {
        outcome.failure = QString::fromStdString(openError);
        return outcome;
    }

    TransferDialog dialog(parent, title);
    RunOutcome result = RunOutcome::Done;
    LinkRun run;
    run.cancelRequested = &dialog.m_cancelRequested;
    run.onFile = [&outcome](ReceivedFile&& file) { outcome.files.push_back(std::move(file)); };
    run.progress = [&dialog](const LinkEngine& e) {
        dialog.m_bytes = e.payloadBytes();
        dialog.m_packets = e.packetsSent();
        dialog.m_retries = e.retries();
    };
    // The thread owns the channel and the engine until it ends; the dialog only reads counters.
    const std::unique_ptr<QThread> worker(
        QThread::create([&] { result = runLink(*channel, *engine, run); }));
    QTimer tick;
    connect(&tick, &QTimer::timeout, &dialog, &TransferDialog::showCounts);
    connect(worker.get(), &QThread::finished, &dialog, &QDialog::accept);
    tick.start(100);
    worker->start();
    dialog.exec();
    dialog.m_cancelRequested = true; // when the program quits mid-transfer: nothing to wait for
    worker->wait();

    if (result == RunOutcome::ChannelFailed)
        outcome.failure = QString::fromStdString(channel->error());
    else if (result == RunOutcome::EngineFailed)
        outcome.failure = QString::fromStdString(describeFailure(*engine, port, timing));
    outcome.ok = result == RunOutcome::Done;
    return outcome;
}

} // namespace scrivlet
