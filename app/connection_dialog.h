#pragma once

#include "app/options_store.h"

#include <QDialog>
#include <QStringList>

class QComboBox;
class QLabel;

namespace scrivlet {

// The serial ports present on this machine: /dev/ttyUSB*, /dev/ttyACM*, /dev/ttyS*, in that
// order, numbered in order within each.
QStringList serialPortsPresent(const QString& deviceFolder = QStringLiteral("/dev"));

// One line on whether a Kermit server answers on the connection's port: an empty batch (S, B)
// is sent and acknowledged, or the failure line naming the port.
QString testConnection(QWidget* parent, const ConnectionSettings& connection);

// Calculator > Connection Settings: port, speed, protocol and block check type, and a button
// that tries the connection and says in one line what answered.
class ConnectionDialog final : public QDialog {
    Q_OBJECT

  public:
    ConnectionDialog(QWidget* parent, const ConnectionSettings& settings);
    ConnectionSettings settings() const;

  private:
    QComboBox* m_port;
    QComboBox* m_speed;
    QComboBox* m_protocol;
    QComboBox* m_checkType;
    QLabel* m_answer;
};

} // namespace scrivlet
