#pragma once

#include "link/boardlink.h"

#include <QComboBox>

namespace tavrin::app {

// The port choice: each item keeps the device it was listed for, so that a port plugged in or
// removed after listing cannot turn the chosen item into another device. The list is made afresh
// each time it is opened.
class PortList : public QComboBox {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PortList)

public:
    explicit PortList(QWidget *parent = nullptr);

    // Lists those of these ports that can be opened, each with its device and adapter in its
    // tooltip. The current choice stays when its device is among them; a typed text stays as typed;
    // a chosen device that is gone leaves nothing chosen.
    void setPorts(const QList<link::PortChoice> &ports);
    // The device of the chosen item, or an empty string when the text was typed (or nothing is
    // chosen): then the text names the port.
    QString chosenDevice() const;
    // Why nothing is listed (what to check, or each port's reason), shown as the box's tooltip
    // while the list is empty; empty when a port is listed.
    QString noPortsReason() const { return m_noPortsReason; }

protected:
    void showPopup() override;
    bool event(QEvent *event) override;

private:
    QString m_noPortsReason;
};

} // namespace tavrin::app
