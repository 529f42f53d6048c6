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

    // Lists these ports. The current choice stays when its device is among them; a typed text stays
    // as typed; a chosen device that is gone leaves nothing chosen.
    void setPorts(const QList<link::PortChoice> &ports);
    // The device of the chosen item, or an empty string when the text was typed (or nothing is
    // chosen): then the text names the port.
    QString chosenDevice() const;

protected:
    void showPopup() override;
};

} // namespace tavrin::app
