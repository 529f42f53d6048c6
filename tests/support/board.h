#pragma once

#include "support/pty.h"
#include "support/sending.h"

#include <optional>

#include <QtGlobal>

namespace tavrin::testing {

// A board on a pseudo-terminal, the one port the program lists. The tests of writing and erasing
// plug in a fresh one for every test function (init) and unplug it after (cleanup), so that no
// test sees what an earlier one sent.
class PluggedBoard {
public:
    void plugIn() {
        m_pty.emplace(PtyPair::LeftToSender);
        qputenv("TAVRIN_SERIAL_PORTS", m_pty->slavePath().toLocal8Bit());
    }
    void unplug() { m_pty.reset(); }

    PtyPair &operator*() { return *m_pty; }
    PtyPair *operator->() { return &*m_pty; }

private:
    std::optional<PtyPair> m_pty;
};

} // namespace tavrin::testing
