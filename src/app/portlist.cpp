#include "app/portlist.h"

#include "app/reasons.h"

#include <QHelpEvent>
#include <QToolTip>

namespace tavrin::app {

PortList::PortList(QWidget *parent)
    : QComboBox(parent) {}

void PortList::setPorts(const QList<link::PortChoice> &ports) {
    const QString text = currentText();
    const QString device = chosenDevice();
    clear();
    for (const link::PortChoice &port : ports) {
        if (port.problem.kind == platform::LineError::None) {
            addItem(port.label, port.device);
            setItemData(count() - 1, Reasons::portDescription(port), Qt::ToolTipRole);
        }
    }
    m_noPortsReason = count() == 0 ? Reasons::noPorts(ports) : QString();
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
    setPorts(link::surveyPorts());
    QComboBox::showPopup();
}

bool PortList::event(QEvent *event) {
    if (event->type() == QEvent::ToolTip && !m_noPortsReason.isEmpty()) {
        QToolTip::showText(static_cast<QHelpEvent *>(event)->globalPos(), m_noPortsReason, this);
        return true;
    }
    return QComboBox::event(event);
}

} // namespace tavrin::app
