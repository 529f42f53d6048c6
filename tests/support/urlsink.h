#pragma once

#include <QObject>
#include <QStringList>
#include <QUrl>

namespace tavrin::testing {

// While alive, receives the web addresses (http and https) the program asks the desktop to open,
// instead of a browser.
class UrlSink : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(UrlSink)

public:
    UrlSink();
    ~UrlSink() override;

    QStringList opened;

public Q_SLOTS:
    void open(const QUrl &url);
};

} // namespace tavrin::testing
