#include "app/boardpreview.h"
#include "app/form1.h"
#include "app/litdotview.h"
#include "app/spinview.h"
#include "compose/canvas.h"
#include "platform/desktop.h"
#include "support/home.h"
#include "support/widgets.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>

using namespace Qt::StringLiterals;
using tavrin::app::BoardPreview;
using tavrin::app::Form1;
using tavrin::app::LitDotView;
using tavrin::testing::child;
using tavrin::testing::TemporaryHome;

namespace {

QString cliCode(const QStringList &arguments) {
    QProcess process;
    process.start(QStringLiteral(TAVRIN_CLI), QStringList{u"code"_s} + arguments);
    process.waitForFinished(60000);
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        return u"tavrin-cli failed: "_s + QString::fromUtf8(process.readAllStandardError());
    }
    return QString::fromLatin1(process.readAllStandardOutput()).trimmed();
}

QImage cliShow(const QString &codeFile, int leds, int scale, const QString &png) {
    QProcess process;
    process.start(QStringLiteral(TAVRIN_CLI), {u"show"_s, u"--code"_s, codeFile, u"--leds"_s, QString::number(leds),
                                               u"--scale"_s, QString::number(scale), u"-o"_s, png});
    process.waitForFinished(60000);
    return QImage(png);
}

void stopTimers(Form1 &form) {
    for (QTimer *timer : form.findChildren<QTimer *>()) {
        if (!qobject_cast<tavrin::app::SpinView *>(timer->parent())) {
            timer->stop();
        }
    }
}

BoardPreview *openPreview(Form1 &form) {
    child<QAction>(form, u"showBoardPreview"_s)->trigger();
    return form.boardPreview();
}

void chooseLedCount(Form1 &form, int leds) {
    auto *combo = child<QComboBox>(form, u"Combo2"_s);
    combo->setCurrentIndex(leds / 8 - 1);
    form.Combo2_Click();
}

// A red-to-blue gradient across, dark to light down: its red passes 128 in mid-row.
QImage gradient() {
    QImage image(256, 40, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            image.setPixel(x, y, qRgb(255 - x, y * 3, x));
        }
    }
    return image;
}

} // namespace

class BoardPreviewTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() {
        qputenv("TAVRIN_SERIAL_PORTS", "/nonexistent/ttyTAVRIN0");
        tavrin::platform::installFontSubstitutes();
        QVERIFY(gradient().save(m_dir.filePath(u"gradient.png"_s)));
    }

    void opening_leavesTheDesignedWindowAsItIs() {
        Form1 form;
        stopTimers(form);
        BoardPreview *preview = openPreview(form);
        QVERIFY(preview);
        QVERIFY(preview->isVisible());
        QVERIFY(preview->isWindow());
        QCOMPARE(form.size(), QSize(613, 253));
        QCOMPARE(child<QPushButton>(form, u"Command14_2"_s)->geometry(), QRect(516, 210, 89, 33));
        QCOMPARE(openPreview(form), preview); // one window, shown again
        QVERIFY(child<QWidget>(form, u"Picture1"_s)->actions().contains(child<QAction>(form, u"showBoardPreview"_s)));
    }

    void litDots_equalTheCommandLinesCode_data() {
        QTest::addColumn<int>("leds");
        QTest::addColumn<bool>("picture");
        for (int leds : {8, 16, 24, 32}) {
            QTest::addRow("text, %d LEDs", leds) << leds << false;
            QTest::addRow("gradient picture, %d LEDs", leds) << leds << true;
        }
    }
    void litDots_equalTheCommandLinesCode() {
        QFETCH(int, leds);
        QFETCH(bool, picture);
        Form1 form;
        stopTimers(form);
        BoardPreview *preview = openPreview(form);
        chooseLedCount(form, leds);
        const QString text = u"亮点 Lit dots 8"_s;
        child<QPlainTextEdit>(form, u"Text1"_s)->setPlainText(text);
        QStringList arguments{u"--leds"_s, QString::number(leds), u"--text"_s, text};
        if (picture) {
            QVERIFY(form.openPictureFile(m_dir.filePath(u"gradient.png"_s)));
            arguments += {u"--picture"_s, m_dir.filePath(u"gradient.png"_s)};
        }
        LitDotView *view = preview->litDots();
        const QString code = cliCode(arguments);
        QCOMPARE(view->code(), code);
        QCOMPARE(view->ledCount(), leds);

        // Drawn as the command line draws the same code.
        const QString codeFile = m_dir.filePath(u"code.txt"_s);
        QFile file(codeFile);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(code.toLatin1());
        file.close();
        view->setZoom(3);
        const QImage shown = cliShow(codeFile, leds, 3, m_dir.filePath(u"shown.png"_s));
        QCOMPARE(view->drawColumns(0, view->columns()), shown.convertToFormat(QImage::Format_RGB32));
    }

    void gradient_litDotsShownLit() {
        Form1 form;
        stopTimers(form);
        BoardPreview *preview = openPreview(form);
        QVERIFY(form.openPictureFile(m_dir.filePath(u"gradient.png"_s)));
        LitDotView *view = preview->litDots();
        view->setZoom(8);
        const QImage dots = view->drawColumns(0, 300);
        const QImage picture = gradient();
        int lit = 0;
        for (int x = 0; x < 300; ++x) {
            for (int y = 0; y < 16; ++y) {
                // The board lights a dot whose red is 129 or more; the backdrop's grey stays dark.
                const bool wanted = x < picture.width() && qRed(picture.pixel(x, y)) >= 129;
                const QRgb centre = dots.pixel(x * 8 + 4, y * 8 + 4);
                QCOMPARE(qRed(centre) > 200 && qGreen(centre) < 100, wanted);
                lit += wanted;
            }
        }
        QCOMPARE(lit, 127 * 16);
    }

    void dots_changeTheCanvasTheScanAndTheView_data() {
        QTest::addColumn<int>("method");
        QTest::addColumn<int>("threshold");
        QTest::addColumn<bool>("invert");
        QTest::addColumn<QString>("option");
        // The gradient is darker than 128 everywhere but its light bottom rows' red end.
        QTest::newRow("threshold") << 1 << 100 << false << u"threshold"_s;
        QTest::newRow("threshold, inverted") << 1 << 128 << true << u"threshold"_s;
        QTest::newRow("ordered") << 2 << 128 << false << u"ordered"_s;
        QTest::newRow("Floyd–Steinberg") << 3 << 128 << false << u"diffusion"_s;
    }
    void dots_changeTheCanvasTheScanAndTheView() {
        QFETCH(int, method);
        QFETCH(int, threshold);
        QFETCH(bool, invert);
        QFETCH(QString, option);
        Form1 form;
        stopTimers(form);
        BoardPreview *preview = openPreview(form);
        QVERIFY(form.openPictureFile(m_dir.filePath(u"gradient.png"_s)));
        child<QComboBox>(*preview, u"dotMethod"_s)->setCurrentIndex(method);
        child<QSlider>(*preview, u"threshold"_s)->setValue(threshold);
        child<QCheckBox>(*preview, u"invert"_s)->setChecked(invert);
        // Only pure red and the backdrop on the canvas.
        const QImage canvas = form.canvas().render();
        for (int y = 0; y < canvas.height(); ++y) {
            for (int x = 0; x < 256; ++x) {
                const QRgb pixel = canvas.pixel(x, y);
                QVERIFY(pixel == tavrin::compose::glyphColour || pixel == tavrin::compose::backdropColour);
            }
        }
        QStringList arguments{u"--picture"_s,   m_dir.filePath(u"gradient.png"_s), u"--dots"_s, option,
                              u"--threshold"_s, QString::number(threshold)};
        if (invert) {
            arguments.append(u"--invert"_s);
        }
        QCOMPARE(preview->litDots()->code(), cliCode(arguments));

        // Back to the picture as it is: the canvas shows it again.
        child<QComboBox>(*preview, u"dotMethod"_s)->setCurrentIndex(0);
        QCOMPARE(preview->litDots()->code(), cliCode({u"--picture"_s, m_dir.filePath(u"gradient.png"_s)}));
    }

    void dots_applyToPicturesOpenedLater() {
        Form1 form;
        stopTimers(form);
        BoardPreview *preview = openPreview(form);
        child<QComboBox>(*preview, u"dotMethod"_s)->setCurrentIndex(1);
        child<QCheckBox>(*preview, u"invert"_s)->setChecked(true);
        QVERIFY(form.openPictureFile(m_dir.filePath(u"gradient.png"_s)));
        QCOMPARE(preview->litDots()->code(), cliCode({u"--picture"_s, m_dir.filePath(u"gradient.png"_s), u"--dots"_s,
                                                      u"threshold"_s, u"--invert"_s}));
    }

    void zoom_ctrlWheelAndFitToHeight() {
        Form1 form;
        stopTimers(form);
        BoardPreview *preview = openPreview(form);
        LitDotView *view = preview->litDots();
        view->setZoom(4);
        const QPointF at(20, 20);
        QWheelEvent up(at, view->mapToGlobal(at), {}, QPoint(0, 120), Qt::NoButton, Qt::ControlModifier,
                       Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(view->viewport(), &up);
        QCOMPARE(view->zoom(), 5);
        for (int i = 0; i < 20; ++i) {
            QCoreApplication::sendEvent(view->viewport(), &up);
        }
        QCOMPARE(view->zoom(), LitDotView::largestZoom);
        view->resize(600, 16 * 7 + 40);
        child<QPushButton>(*preview, u"fitToHeight"_s)->click();
        QCOMPARE(view->zoom(), view->viewport()->height() / 16);
        QVERIFY(view->zoom() >= 6);
    }

    // The view has no vertical scroll bar: a LED count whose column would be cut at the zoom in use
    // is fitted to the height again; one that still fits keeps the zoom the user chose.
    void ledCountChange_keepsTheWholeColumnInView_data() {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<bool>("refitted");
        QTest::newRow("16 to 32") << 16 << 32 << true;
        QTest::newRow("8 to 24") << 8 << 24 << true;
        QTest::newRow("32 to 8") << 32 << 8 << false;
        QTest::newRow("16 to 16") << 16 << 16 << false;
    }
    void ledCountChange_keepsTheWholeColumnInView() {
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(bool, refitted);
        Form1 form;
        stopTimers(form);
        chooseLedCount(form, from);
        BoardPreview *preview = openPreview(form);
        LitDotView *view = preview->litDots();
        const auto fitted = [view](int leds) {
            return std::min(view->viewport()->height() / leds, int(LitDotView::largestZoom));
        };
        QCOMPARE(view->zoom(), fitted(from)); // fitted when first shown
        const int zoom = view->zoom();
        chooseLedCount(form, to);
        QCOMPARE(view->ledCount(), to);
        QVERIFY2(
            view->ledCount() * view->zoom() <= view->viewport()->height(),
            qPrintable(u"%1 LEDs at %2 px a dot in %3 px"_s.arg(to).arg(view->zoom()).arg(view->viewport()->height())));
        QCOMPARE(view->zoom(), refitted ? fitted(to) : zoom);
    }

    void spin_countsRevolutionsAndPauses() {
        Form1 form;
        stopTimers(form);
        BoardPreview *preview = openPreview(form);
        preview->chooseVariant(22);
        auto *label = child<QLabel>(*preview, u"revolution"_s);
        tavrin::app::SpinView *spin = preview->spin();
        QVERIFY(spin->playing());
        // 6000 rpm: 10 ms a revolution.
        spin->setSettings({6000, 100, true});
        QTRY_VERIFY_WITH_TIMEOUT(spin->revolution() >= 5, 5000);
        QTRY_VERIFY(label->text().contains(QString::number(spin->revolution() + 1)));
        child<QPushButton>(*preview, u"play"_s)->click();
        QVERIFY(!spin->playing());
        const double stopped = spin->timeUs();
        QTest::qWait(100);
        QCOMPARE(spin->timeUs(), stopped);
        child<QPushButton>(*preview, u"restart"_s)->click();
        QCOMPARE(spin->timeUs(), 0.0);
    }

    void variant_forOtherLedCountsFallsBackToGeneric() {
        Form1 form;
        stopTimers(form);
        BoardPreview *preview = openPreview(form);
        preview->chooseVariant(2);
        QVERIFY(child<QLabel>(*preview, u"modelNote"_s)->text().isEmpty());
        chooseLedCount(form, 32);
        QVERIFY(!child<QLabel>(*preview, u"modelNote"_s)->text().isEmpty());
    }

private:
    TemporaryHome m_dir;
};

QTEST_MAIN(BoardPreviewTest)
#include "tst_boardpreview.moc"
