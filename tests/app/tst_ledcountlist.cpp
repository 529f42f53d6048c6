#include "app/ledcountlist.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace tavrin::app;

class LedCountListTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void itemsAndCounts_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("item");
        QTest::newRow("8 LEDs") << 0 << u"Kelvora8象素"_s;
        QTest::newRow("16 LEDs") << 1 << u"Kelvora16象素"_s;
        QTest::newRow("24 LEDs") << 2 << u"Kelvora24象素"_s;
        QTest::newRow("32 LEDs") << 3 << u"Kelvora32象素"_s;
    }
    void itemsAndCounts() {
        QFETCH(int, index);
        QFETCH(QString, item);
        QCOMPARE(ledCountItem(index), item);
        QCOMPARE(ledCountFromItem(item), 8 * index + 8);
    }

    void textNamingNoCount_givesZero() {
        QCOMPARE(ledCountFromItem(u"Combo2"_s), 0);
        QCOMPARE(ledCountFromItem(QString()), 0);
    }
};

QTEST_MAIN(LedCountListTest)
#include "tst_ledcountlist.moc"
