#include "app/ledcountlist.h"

#include <QCoreApplication>

using namespace Qt::StringLiterals;

namespace tavrin::app {

// The translation context of the list's items.
struct LedCountList {
    Q_DECLARE_TR_FUNCTIONS(tavrin::app::LedCountList)
};

QString ledCountItem(int index) {
    return LedCountList::tr("%1%2象素").arg(QLatin1StringView(productTitle)).arg(8 * index + 8);
}

int ledCountFromItem(const QString &item) {
    const qsizetype title = QLatin1StringView(productTitle).size();
    const QString digits = item.mid(title, item.size() - title - 2);
    // Like a lenient number read: leading blanks, then digits up to the first other character.
    int value = 0;
    qsizetype i = 0;
    while (i < digits.size() && digits.at(i) == u' ') {
        ++i;
    }
    for (; i < digits.size() && digits.at(i).isDigit() && value < 100000; ++i) {
        value = value * 10 + digits.at(i).digitValue();
    }
    return value;
}

} // namespace tavrin::app
