// Sends on a modelled 9600-baud line: the slow-line library, preloaded by the test run, gives the
// pseudo-terminal a 4096-byte output queue that empties at 960 bytes a second.
#include "link/boardlink.h"
#include "link/sendjob.h"
#include "platform/serialport.h"
#include "support/pty.h"

#include <algorithm>

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;
using namespace tavrin;
using tavrin::testing::openDescriptorCount;
using tavrin::testing::PtyPair;

namespace {

constexpr double lineRate = 960; // bytes a second

QByteArray writeFrame(qsizetype contentBytes) {
    QByteArray content(contentBytes, '\0');
    for (qsizetype i = 0; i < content.size(); ++i) {
        content[i] = char(i * 37 % 256);
    }
    return QByteArray::fromHex("3333f00d") + content;
}

struct Report {
    qint64 atMs;
    qint64 delivered;
};

} // namespace

class ModelledLine : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QVERIFY2(qEnvironmentVariable("LD_PRELOAD").contains(u"slowline"_s), "run by ctest"); }
    void init() {
        m_board.emplace(PtyPair::LeftToSender);
        qputenv("SLOWLINE_DEVICES", m_board->slavePath().toLocal8Bit());
        qunsetenv("SLOWLINE_RATE");
    }
    void cleanup() { m_board.reset(); }

    // The progress follows the bytes on the wire, not the bytes the system took at once, and the
    // send ends only once the last byte has gone out.
    void fullWrite_progressFollowsTheWire() {
        const QByteArray bytes = writeFrame(4096);
        const double lineMs = double(bytes.size()) * 1000 / lineRate;
        QList<Report> reports;
        QElapsedTimer clock;
        clock.start();
        const link::SendResult result =
            link::sendBytes(u"COM 1"_s, m_board->slavePath(), bytes, [&](qint64 delivered, qint64) {
                reports.append({clock.elapsed(), delivered});
            });
        const qint64 elapsed = clock.elapsed();
        qInfo("sent in %lld ms, line time %.0f ms", elapsed, lineMs);
        QVERIFY(result.sent());
        QVERIFY2(elapsed >= qint64(lineMs), qPrintable(u"ended after %1 ms"_s.arg(elapsed)));
        QCOMPARE(m_board->received(bytes.size(), 1000), bytes);

        // Never ahead of the wire, never going back, and moving in every tenth of the line time.
        for (qsizetype i = 0; i < reports.size(); ++i) {
            const Report &r = reports.at(i);
            QVERIFY2(double(r.delivered) <= double(r.atMs) * lineRate / 1000 + 8,
                     qPrintable(u"%1 bytes reported at %2 ms"_s.arg(r.delivered).arg(r.atMs)));
            QVERIFY(i == 0 || r.delivered >= reports.at(i - 1).delivered);
        }
        for (int tenth = 0; tenth < 10; ++tenth) {
            const double from = lineMs * tenth / 10;
            const double to = lineMs * (tenth + 1) / 10;
            const qsizetype inside = std::count_if(reports.cbegin(), reports.cend(), [&](const Report &r) {
                return r.atMs >= from && r.atMs < to && r.delivered > 0 && r.delivered < bytes.size();
            });
            QVERIFY2(inside >= 3, qPrintable(u"%1 reports between %2 and %3 ms"_s.arg(inside).arg(from).arg(to)));
        }
        QCOMPARE(reports.last().delivered, bytes.size());
        QVERIFY2(reports.size() >= 10 * lineMs / 1000, qPrintable(QString::number(reports.size())));
    }

    // A stop discards what is queued: the count reported is what reached the other end.
    void cancel_discardsTheQueueAndCountsWhatLeft() {
        const QByteArray bytes = writeFrame(1000);
        const int descriptors = openDescriptorCount();
        std::atomic<bool> stop = false;
        const link::SendResult result = link::sendBytes(
            u"COM 1"_s, m_board->slavePath(), bytes,
            [&](qint64 delivered, qint64) {
                if (delivered >= 200) {
                    stop = true;
                }
            },
            &stop);
        QCOMPARE(result.status, link::SendStatus::Cancelled);
        QVERIFY(!result.sent());
        QVERIFY2(result.delivered >= 200 && result.delivered < 400, qPrintable(QString::number(result.delivered)));
        QCOMPARE(result.total, bytes.size());
        QTest::qWait(300); // a queue left behind would go on arriving
        const QByteArray arrived = m_board->received();
        QVERIFY2(qAbs(arrived.size() - result.delivered) <= 2,
                 qPrintable(u"%1 arrived, %2 reported"_s.arg(arrived.size()).arg(result.delivered)));
        QCOMPARE(arrived, bytes.left(arrived.size()));
        QCOMPARE(openDescriptorCount(), descriptors);
    }

    // The cable pulled mid-send: a failure naming the port, at once rather than after a time-out.
    void peerVanishing_failsPromptlyAndClosesThePort() {
        const QByteArray bytes = writeFrame(2000);
        const int descriptors = openDescriptorCount();
        QElapsedTimer clock;
        qint64 vanishedAt = -1;
        clock.start();
        const link::SendResult result =
            link::sendBytes(u"COM 2"_s, m_board->slavePath(), bytes, [&](qint64 delivered, qint64) {
                if (delivered >= 100 && vanishedAt < 0) {
                    vanishedAt = clock.elapsed();
                    m_board->closeMaster();
                }
            });
        QCOMPARE(result.status, link::SendStatus::Failed);
        QCOMPARE(result.failure.port, u"COM 2"_s);
        QCOMPARE(result.failure.device, m_board->slavePath());
        QCOMPARE(result.failure.delivered, result.delivered);
        QVERIFY(result.failure.line.kind != platform::LineError::Stalled);
        QVERIFY2(result.delivered < bytes.size(), qPrintable(QString::number(result.delivered)));
        QVERIFY2(clock.elapsed() - vanishedAt < 1000, "noticed by the line, not by waiting for a stall");
        QCOMPARE(openDescriptorCount(), descriptors - 1); // the master the test closed
    }

    // A line whose queue stops going down (a stuck adapter) is given up within seconds.
    void stalledLine_failsWithinSeconds() {
        qputenv("SLOWLINE_RATE", "0.001");
        QElapsedTimer clock;
        clock.start();
        const link::SendResult result =
            link::sendBytes(u"COM 4"_s, m_board->slavePath(), QByteArray::fromHex("3333000d"), {});
        QCOMPARE(result.status, link::SendStatus::Failed);
        QCOMPARE(result.delivered, 0);
        QCOMPARE(result.failure.port, u"COM 4"_s);
        QCOMPARE(result.failure.line.kind, platform::LineError::Stalled);
        QVERIFY2(clock.elapsed() < 8000, "a stuck line must not hold the send up");
        qunsetenv("SLOWLINE_RATE");
        QVERIFY(platform::SerialLine().open(m_board->slavePath(), QString::fromLatin1(link::lineSettings)));
    }

    // The job runs beside the event loop: its reports arrive while the loop turns, and a cancel
    // from the loop ends it.
    void sendJob_reportsIntoTheEventLoopAndCancels() {
        qputenv("SLOWLINE_RATE", "4800");
        const QByteArray bytes = writeFrame(6000);
        link::SendJob job(u"COM 1"_s, m_board->slavePath(), bytes);
        QList<qint64> seen;
        int ticks = 0;
        QTimer ticker;
        connect(&ticker, &QTimer::timeout, this, [&] { ++ticks; });
        ticker.start(10);
        connect(&job, &link::SendJob::progressed, this, [&](qint64 delivered, qint64 total) {
            QCOMPARE(total, bytes.size());
            seen << delivered;
            if (delivered > 4800 / 2) {
                job.cancel();
            }
        });
        QEventLoop loop;
        connect(&job, &link::SendJob::finished, &loop, &QEventLoop::quit);
        job.start();
        QVERIFY(job.isRunning());
        loop.exec();
        QVERIFY(!job.isRunning());
        QCOMPARE(job.result().status, link::SendStatus::Cancelled);
        QVERIFY(seen.size() >= 10);
        QVERIFY(ticks >= 30); // half a second of a loop that kept turning
        QVERIFY(platform::SerialLine().open(m_board->slavePath(), QString::fromLatin1(link::lineSettings)));
    }

private:
    std::optional<PtyPair> m_board;
};

QTEST_GUILESS_MAIN(ModelledLine)
#include "tst_modelledline.moc"
