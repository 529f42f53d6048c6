#include "support/urlsink.h"

#include <QDesktopServices>

using namespace Qt::StringLiterals;

namespace tavrin::testing {

UrlSink::UrlSink() {
    // The desktop finds the slot by its name.
    QDesktopServices::setUrlHandler(u"https"_s, this, "open");
    QDesktopServices::setUrlHandler(u"http"_s, this, "open");
}

UrlSink::~UrlSink() {
    QDesktopServices::unsetUrlHandler(u"https"_s);
    QDesktopServices::unsetUrlHandler(u"http"_s);
}

void UrlSink::open(const QUrl &url) {
    opened.append(url.toString());
}

} // namespace tavrin::testing
