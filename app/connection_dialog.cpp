#include "app/connection_dialog.h"

#include "app/transfer_dialog.h"
#include "link/kermit_session.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <algorithm>

namespace scrivlet {

QStringList serialPortsPresent(const QString& deviceFolder)
{
    const QDir folder(deviceFolder);
    QStringList ports;
    for (const char* pattern : {"ttyUSB*", "ttyACM*", "ttyS*"}) {
        QStringList names = folder.entryList({QLatin1String(pattern)}, QDir::System | QDir::Files);
        // ttyUSB2 before ttyUSB10: within one pattern a shorter name has the smaller number.
        std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
            return a.size() != b.size() ? a.size() < b.size() : a < b;
        });
        for (const QString& name : names)
            ports << folder.filePath(name);
    }
    return ports;
}

QString testConnection(QWidget* parent, const ConnectionSettings& connection)
{
    if (connection.xmodem)
        return QObject::tr("XModem has no server to ask; choose Kermit to test %1.")
            .arg(connection.port);
    const LinkTiming timing{2000, 3};
    const TransferOutcome outcome =
        TransferDialog::run(parent, QObject::tr("Test Connection"), connection, timing,
                            std::make_unique<KermitSession>(KermitSession::sender(
                                {}, KermitOptions{timing, connection.checkType, 90, false})));
    return outcome.ok ? QObject::tr("A Kermit server answered on %1").arg(connection.port)
                      : outcome.failure;
}

ConnectionDialog::ConnectionDialog(QWidget* parent, const ConnectionSettings& settings)
    : QDialog(parent)
{
    setWindowTitle(tr("Connection Settings"));
    auto* form = new QFormLayout(this);
    m_port = new QComboBox(this);
    m_port->setObjectName(QStringLiteral("connectionPort"));
    m_port->setEditable(true);
    m_port->addItems(serialPortsPresent());
    m_port->setCurrentText(settings.port);
    form->addRow(tr("Port:"), m_port);
    m_speed = new QComboBox(this);
    for (const int speed : kConnectionSpeeds)
        m_speed->addItem(QString::number(speed), speed);
    m_speed->setCurrentIndex(std::max(0, m_speed->findData(settings.speed)));
    form->addRow(tr("Speed:"), m_speed);
    m_protocol = new QComboBox(this);
    m_protocol->addItems({tr("Kermit"), tr("XModem")});
    m_protocol->setCurrentIndex(settings.xmodem ? 1 : 0);
    form->addRow(tr("Protocol:"), m_protocol);
    m_checkType = new QComboBox(this);
    m_checkType->addItems({QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")});
    m_checkType->setCurrentIndex(std::clamp(settings.checkType, 1, 3) - 1);
    form->addRow(tr("Kermit block check:"), m_checkType);
    connect(m_protocol, &QComboBox::currentIndexChanged, m_checkType,
            [this](int index) { m_checkType->setEnabled(index == 0); });
    m_checkType->setEnabled(!settings.xmodem);

    auto* test = new QPushButton(tr("Test Connection"), this);
    m_answer = new QLabel(this);
    m_answer->setObjectName(QStringLiteral("connectionAnswer"));
    form->addRow(test, m_answer);
    connect(test, &QPushButton::clicked, this,
            [this] { m_answer->setText(testConnection(this, this->settings())); });

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form->addRow(buttons);
}

ConnectionSettings ConnectionDialog::settings() const
{
    ConnectionSettings s;
    s.port = m_port->currentText().trimmed();
    s.speed = m_speed->currentData().toInt();
    s.xmodem = m_protocol->currentIndex() == 1;
    s.checkType = m_checkType->currentIndex() + 1;
    return s;
}

} // namespace scrivlet
