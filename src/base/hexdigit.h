#pragma once

#include <algorithm>

#include <QChar>
#include <QStringView>

namespace tavrin::base {

// The value of one hex digit of a content code, HEX record or command text, in either letter
// case; -1 for any other character.
constexpr int hexDigitValue(QChar c) {
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9') {
        return u - u'0';
    }
    if (u >= u'a' && u <= u'f') {
        return u - u'a' + 10;
    }
    if (u >= u'A' && u <= u'F') {
        return u - u'A' + 10;
    }
    return -1;
}

// True when every character is a hex digit (and for an empty text).
inline bool isHexDigits(QStringView text) {
    return std::all_of(text.cbegin(), text.cend(), [](QChar c) { return hexDigitValue(c) >= 0; });
}

} // namespace tavrin::base
