// Windows has no pseudo-terminals: a virtual board needs Linux or another Unix system, where a
// program under test opens the pseudo-terminal as its serial device.
#include "platform/pseudoterminal.h"

using namespace Qt::StringLiterals;

namespace tavrin::platform {

PseudoTerminal::~PseudoTerminal() {
    close();
}

bool PseudoTerminal::open() {
    m_error = u"cannot open a pseudo-terminal: Windows has none"_s;
    return false;
}

void PseudoTerminal::close() {
    m_devicePath.clear();
}

qsizetype PseudoTerminal::read(char *, qsizetype) {
    m_error = u"no pseudo-terminal is open"_s;
    return -1;
}

} // namespace tavrin::platform
