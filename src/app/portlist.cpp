#include "app/portlist.h"

namespace tavrin::app {

PortList::PortList(QWidget *parent)
    : QComboBox(parent) {}

void PortList::setPorts(const QList<link::PortChoice> &ports) {
    const QString text = currentText();
    const QString device = chosenDevice();
    clear();
    for (const link::PortChoice &port : ports) {
        addItem(port.label, port.device);
        setItemData(count() - 1, port.device, Qt::ToolTipRole);
    }
    setCurrentIndex(device.isEmpty() ? -1 : int(findData(device)));
    setEditText(device.isEmpty() ? text : currentText());
}

QString PortList::chosenDevice() const {
    const int index = currentIndex();
    if (index < 0 || itemText(index) != currentText()) {
        return {};
    }
    return itemData(index).toString();
}

void PortList::showPopup() {
    setPorts(link::openablePorts());
    QComboBox::showPopup();
}

} // namespace tavrin::app
