#include "link/boardlink.h"

#include <climits>

#include <QTest>

using namespace Qt::StringLiterals;
using namespace tavrin::link;

class BoardFraming : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void commandAndCode_becomeLineBytes_data();
    void commandAndCode_becomeLineBytes();
    void portNumber_readsNumberAfterThirdCharacter_data();
    void portNumber_readsNumberAfterThirdCharacter();
};

void BoardFraming::commandAndCode_becomeLineBytes_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("erase ignores the content")
        << QString::fromLatin1(eraseCommand) << u"80ff03"_s << QByteArray::fromHex("3333000d");
    QTest::newRow("write with empty code")
        << QString::fromLatin1(writeCommand) << QString() << QByteArray::fromHex("3333f00d");
    QTest::newRow("16 LEDs, top and bottom dot")
        << QString::fromLatin1(writeCommand) << u"8001"_s << QByteArray::fromHex("3333f00d8001");
    QTest::newRow("8 LEDs, three columns")
        << QString::fromLatin1(writeCommand) << u"80ff03"_s << QByteArray::fromHex("3333f00d80ff03");
    QTest::newRow("upper-case digits") << u"3333F00D"_s << u"80FF03"_s << QByteArray::fromHex("3333f00d80ff03");
    QTest::newRow("mixed-case digits") << QString::fromLatin1(writeCommand) << u"aBcDeF"_s
                                       << QByteArray::fromHex("3333f00dabcdef");
    QTest::newRow("odd last digit is one byte")
        << QString::fromLatin1(writeCommand) << u"80f"_s << QByteArray::fromHex("3333f00d800f");
    QTest::newRow("line-control byte values pass")
        << QString::fromLatin1(writeCommand) << u"0a0d1113"_s << QByteArray::fromHex("3333f00d0a0d1113");
    QTest::newRow("digits stop at a stray character")
        << QString::fromLatin1(writeCommand) << u"8gz1"_s << QByteArray::fromHex("3333f00d0800");
}

void BoardFraming::commandAndCode_becomeLineBytes() {
    QFETCH(QString, command);
    QFETCH(QString, code);
    QFETCH(QByteArray, bytes);
    QCOMPARE(frameBytes(frameText(command, code)).toHex(' '), bytes.toHex(' '));
}

void BoardFraming::portNumber_readsNumberAfterThirdCharacter_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("number");

    QTest::newRow("start-up item") << u"COM 3"_s << 3;
    QTest::newRow("two digits") << u"COM 12"_s << 12;
    QTest::newRow("typed without space") << u"COM5"_s << 5;
    QTest::newRow("several spaces and a tab") << u"COM  \t7"_s << 7;
    QTest::newRow("trailing text") << u"COM 4 (USB)"_s << 4;
    QTest::newRow("design text of the list") << u"Combo7"_s << 0;
    QTest::newRow("empty") << QString() << 0;
    QTest::newRow("shorter than the prefix") << u"CO"_s << 0;
    QTest::newRow("prefix only") << u"COM"_s << 0;
    QTest::newRow("minus sign") << u"COM -3"_s << 0;
    QTest::newRow("full-width digit") << u"COM ３"_s << 0;
    QTest::newRow("huge number saturates") << u"COM 99999999999999999999"_s << INT_MAX;
}

void BoardFraming::portNumber_readsNumberAfterThirdCharacter() {
    QFETCH(QString, text);
    QFETCH(int, number);
    QCOMPARE(portNumber(text), number);
}

QTEST_GUILESS_MAIN(BoardFraming)
#include "tst_boardframing.moc"
