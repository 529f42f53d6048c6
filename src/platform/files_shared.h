#pragma once

// What files_common.cpp shares with the implementation for each system; not part of the interface.

#include "platform/files.h"

#include <QByteArray>
#include <QString>

namespace tavrin::platform::detail {

// Replaces a regular file whole or not at all.
FileFault writeAtomically(const QString &path, const QByteArray &bytes);

// After a read of up to one byte past the limit: keeps the bytes only of a read that succeeded,
// and cuts or refuses what went past the limit as the limits say.
void applyLimit(const ReadLimits &limits, FileRead *result);

// GBK text (read as GB18030, its superset): a byte that is no GBK becomes U+FFFD; with cut, a last
// character the cut split is dropped.
QString fromGbk(const QByteArray &bytes, bool cut);

} // namespace tavrin::platform::detail
