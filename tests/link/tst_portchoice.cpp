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
    QTest::addColumn<int>("reason");
    QTest::addColumn<int>("number");

    using link::LinkFailure;
    QTest::newRow("first item") << u"COM 1"_s << u"/dev/first"_s << int(LinkFailure::None) << 0;
    QTest::newRow("typed without space") << u"COM2"_s << u"/dev/second"_s << int(LinkFailure::None) << 0;
    QTest::newRow("typed device path") << u" /dev/ttyUSB7 "_s << u"/dev/ttyUSB7"_s << int(LinkFailure::None) << 0;
    QTest::newRow("number beyond the table") << u"COM 3"_s << QString() << int(LinkFailure::NoSuchPort) << 3;
    QTest::newRow("nothing chosen") << u"  "_s << QString() << int(LinkFailure::NoPortChosen) << 0;
    QTest::newRow("design text, no number") << u"Combo7"_s << QString() << int(LinkFailure::NotAPort) << 0;
    QTest::newRow("port zero") << u"COM 0"_s << QString() << int(LinkFailure::NotAPort) << 0;
}

void PortChoice::resolvePort_findsDeviceOrExplains() {
    QFETCH(QString, text);
    QFETCH(QString, device);
    QFETCH(int, reason);
    QFETCH(int, number);
    qputenv("TAVRIN_SERIAL_PORTS", "/dev/first:/dev/second");
    const link::PortResolution resolution = link::resolvePort(text);
    QCOMPARE(resolution.device, device);
    QCOMPARE(int(resolution.failure.reason), reason);
    if (resolution.failure) {
        QCOMPARE(resolution.failure.port, text.trimmed());
        QCOMPARE(resolution.failure.portNumber, number);
    }
}

QTEST_GUILESS_MAIN(PortChoice)
#include "tst_portchoice.moc"
