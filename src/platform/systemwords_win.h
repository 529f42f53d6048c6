#pragma once

// The system's own words for a Win32 error code, shared by the Windows implementation files; not
// part of any interface.

#include <windows.h>

#include <QString>

namespace tavrin::platform::detail {

// In the user's language, as FormatMessageW gives it, without the trailing line break.
inline QString systemWords(DWORD code) {
    wchar_t *buffer = nullptr;
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, code, 0, reinterpret_cast<LPWSTR>(&buffer), 0, nullptr);
    QString words = length > 0 ? QString::fromWCharArray(buffer, int(length)).trimmed() : QString();
    LocalFree(buffer);
    return words.isEmpty() ? QStringLiteral("Windows error %1").arg(code) : words;
}

} // namespace tavrin::platform::detail
