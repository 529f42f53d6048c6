// `tavrin-cli write` on a modelled line (the slow-line library, preloaded by the test run and
// inherited by the program): its progress on a terminal follows the bytes on the wire.
#include "support/pty.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTest>

using namespace Qt::StringLiterals;
using tavrin::testing::PtyPair;

class CliWrite : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void write_progressShowsBytesRateAndTimeLeft() {
        QVERIFY2(qEnvironmentVariable("LD_PRELOAD").contains(u"slowline"_s), "run by ctest");
        PtyPair board(PtyPair::LeftToSender);
        PtyPair terminal(PtyPair::LeftToSender); // the program's standard error
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"SLOWLINE_DEVICES"_s, board.slavePath());
        environment.insert(u"SLOWLINE_RATE"_s, u"4800"_s); // 2052 bytes take 0.43 s
        environment.insert(u"TAVRIN_SERIAL_PORTS"_s, board.slavePath());
        QProcess process;
        process.setProcessEnvironment(environment);
        process.setStandardErrorFile(terminal.slavePath());
        process.start(QStringLiteral(TAVRIN_CLI),
                      {u"write"_s, u"--port"_s, u"1"_s, u"--leds"_s, u"8"_s, u"--text"_s, u"A"_s});
        QVERIFY(process.waitForFinished(30000));
        QCOMPARE(process.exitCode(), 0);
        QCOMPARE(board.received(2052, 1000).size(), 2052);

        const QString shown = QString::fromUtf8(terminal.received(1, 1000));
        QList<qint64> counts;
        QList<qint64> rates;
        for (const QString &frame : shown.split(u'\r', Qt::SkipEmptyParts)) {
            const QRegularExpressionMatch m =
                QRegularExpression(u"\\] (\\d+)/2052 bytes(?:, (\\d+) B/s, [0-9.]+ s left)?"_s).match(frame);
            if (!m.hasMatch()) {
                continue; // the system's own notes, such as Qt's about its runtime folder
            }
            counts << m.captured(1).toLongLong();
            if (m.hasCaptured(2)) {
                rates << m.captured(2).toLongLong();
            }
        }
        QVERIFY2(counts.size() >= 3, qPrintable(shown));
        QVERIFY(std::is_sorted(counts.cbegin(), counts.cend()));
        QCOMPARE(counts.last(), 2052);
        QVERIFY2(!rates.isEmpty(), qPrintable(shown));
        // The rate on the line, not the rate the system took the bytes at.
        for (const qint64 rate : rates) {
            QVERIFY2(rate > 3000 && rate < 7000, qPrintable(shown));
        }
    }
};

QTEST_GUILESS_MAIN(CliWrite)
#include "tst_cliwrite.moc"
