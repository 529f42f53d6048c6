#include "link/boardlink.h"
#include "platform/serialport.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace tavrin;

class PortChoice : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { qunsetenv("TAVRIN_SERIAL_PORTS"); }
    void portTable_comesFromEnvironment_data();
    void portTable_comesFromEnvironment();
    void systemPorts_usbAdaptersFirstInNaturalOrder();
    void resolvePort_findsDeviceOrExplains_data();
    void resolvePort_findsDeviceOrExplains();
};

void PortChoice::portTable_comesFromEnvironment_data() {
    QTest::addColumn<QByteArray>("variable");
    QTest::addColumn<QStringList>("table");

    QTest::newRow("two devices") << "/dev/pts/7:/dev/ttyUSB0"_ba << QStringList{u"/dev/pts/7"_s, u"/dev/ttyUSB0"_s};
    QTest::newRow("empty parts skipped") << ":/dev/a::/dev/b:"_ba << QStringList{u"/dev/a"_s, u"/dev/b"_s};
    QTest::newRow("set but empty hides the system's ports") << ""_ba << QStringList{};
}

void PortChoice::portTable_comesFromEnvironment() {
    QFETCH(QByteArray, variable);
    QFETCH(QStringList, table);
    qputenv("TAVRIN_SERIAL_PORTS", variable);
    QCOMPARE(platform::portTable(), table);
    QCOMPARE(platform::deviceForPort(0), QString());
    for (int n = 1; n <= table.size(); ++n) {
        QCOMPARE(platform::deviceForPort(n), table.at(n - 1));
    }
    QCOMPARE(platform::deviceForPort(int(table.size()) + 1), QString());
}

void PortChoice::systemPorts_usbAdaptersFirstInNaturalOrder() {
    const QStringList found{u"/dev/ttyS10"_s,  u"/dev/ttyACM0"_s, u"/dev/ttyS2"_s,  u"/dev/ttyUSB10"_s,
                            u"/dev/rfcomm0"_s, u"/dev/ttyUSB2"_s, u"/dev/ttyAMA0"_s};
    const QStringList ordered{u"/dev/ttyUSB2"_s, u"/dev/ttyUSB10"_s, u"/dev/ttyACM0"_s, u"/dev/rfcomm0"_s,
                              u"/dev/ttyAMA0"_s, u"/dev/ttyS2"_s,    u"/dev/ttyS10"_s};
    QCOMPARE(platform::orderedPorts(found), ordered);
}

void PortChoice::resolvePort_findsDeviceOrExplains_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("device");
    QTest::addColumn<QString>("errorMentions");

    QTest::newRow("first item") << u"COM 1"_s << u"/dev/first"_s << QString();
    QTest::newRow("typed without space") << u"COM2"_s << u"/dev/second"_s << QString();
    QTest::newRow("typed device path") << u" /dev/ttyUSB7 "_s << u"/dev/ttyUSB7"_s << QString();
    QTest::newRow("number beyond the table") << u"COM 3"_s << QString() << u"COM 3"_s;
    QTest::newRow("nothing chosen") << QString() << QString() << u"串口"_s;
    QTest::newRow("design text, no number") << u"Combo7"_s << QString() << u"Combo7"_s;
    QTest::newRow("port zero") << u"COM 0"_s << QString() << u"COM 0"_s;
}

void PortChoice::resolvePort_findsDeviceOrExplains() {
    QFETCH(QString, text);
    QFETCH(QString, device);
    QFETCH(QString, errorMentions);
    qputenv("TAVRIN_SERIAL_PORTS", "/dev/first:/dev/second");
    const link::PortResolution resolution = link::resolvePort(text);
    QCOMPARE(resolution.device, device);
    QCOMPARE(resolution.error.isEmpty(), errorMentions.isEmpty());
    QVERIFY2(resolution.error.contains(errorMentions), qPrintable(resolution.error));
}

QTEST_GUILESS_MAIN(PortChoice)
#include "tst_portchoice.moc"
