#include "app/boardpreview.h"
#include "app/form1.h"
#include "app/litdotview.h"
#include "app/mainwindow.h"
#include "app/picturedialog.h"
#include "compose/geometry.h"
#include "encode/contentcode.h"
#include "platform/desktop.h"
#include "support/home.h"
#include "support/widgets.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QToolButton>
#include <QUndoStack>

using namespace Qt::StringLiterals;
using tavrin::app::Form1;
using tavrin::app::MainWindow;
using tavrin::app::PictureDialog;
using tavrin::compose::PictureSettings;
using tavrin::testing::child;
using tavrin::testing::stopTimers;
using tavrin::testing::TemporaryHome;

namespace {

// A black bar 4 wide and 480 tall on white, with a white margin of 20 on each side.
QImage tallBar() {
    QImage image(44, 520, QImage::Format_RGB32);
    image.fill(Qt::white);
    for (int y = 20; y < 500; ++y) {
        for (int x = 20; x < 24; ++x) {
            image.setPixel(x, y, qRgb(0, 0, 0));
        }
    }
    return image;
}

// A black logo, not the same mirrored or turned, with a wide white margin: 200 × 120.
QImage logo() {
    QImage image(200, 120, QImage::Format_RGB32);
    image.fill(Qt::white);
    for (int y = 30; y < 90; ++y) {
        for (int x = 60; x < 140; ++x) {
            const bool stem = x < 75;
            const bool top = y < 42;
            const bool middle = y >= 55 && y < 65 && x < 120;
            if (stem || top || middle) {
                image.setPixel(x, y, qRgb(0, 0, 0));
            }
        }
    }
    return image;
}

QString codeOf(const Form1 &form) {
    return tavrin::encode::makeContentCode(form.canvas().render(), form.canvas().width, form.canvas().height,
                                           form.ledcount());
}

QString cliCode(const QStringList &arguments) {
    QProcess process;
    process.start(QStringLiteral(TAVRIN_CLI), QStringList{u"code"_s} + arguments);
    process.waitForFinished(60000);
    return QString::fromLatin1(process.readAllStandardOutput()).trimmed() +
           QString::fromUtf8(process.readAllStandardError());
}

PictureDialog *openDialog(Form1 &form) {
    form.showPictureSettings();
    return form.findChild<PictureDialog *>();
}

QPushButton *dialogButton(PictureDialog &dialog, QDialogButtonBox::StandardButton which) {
    return child<QDialogButtonBox>(dialog, QString())->button(which);
}

void drag(QWidget *target, QPoint from, QPoint to) {
    QTest::mousePress(target, Qt::LeftButton, {}, from);
    // Through the middle, as a hand moves: the steps add up to the whole drag.
    QTest::mouseMove(target, (from + to) / 2);
    QTest::mouseMove(target, to);
    QTest::mouseRelease(target, Qt::LeftButton, {}, to);
}

} // namespace

class PictureWindowTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() {
        tavrin::platform::installFontSubstitutes();
        QVERIFY(tallBar().save(m_dir.filePath(u"bar.png"_s)));
        QVERIFY(logo().save(m_dir.filePath(u"logo.png"_s)));
    }

    void dialog_cropDrawnWithTheMouse() {
        QImage picture(200, 100, QImage::Format_ARGB32);
        picture.fill(Qt::white);
        PictureDialog dialog(picture, {}, 16, 2048);
        tavrin::app::CropView *view = dialog.cropView();
        view->setFixedSize(400, 300); // the picture at twice its size, 50 pixels from the top
        drag(view, QPoint(20, 90), QPoint(220, 190));
        QCOMPARE(dialog.settings().crop, QRect(10, 20, 100, 50));
        QCOMPARE(child<QSpinBox>(dialog, u"cropWidth"_s)->value(), 100);
        QVERIFY(child<QGroupBox>(dialog, u"crop"_s)->isChecked());
        QCOMPARE(dialog.result().size(), QSize(100, 50));
    }

    void dialog_problemsAreSaidAndRefused_data() {
        QTest::addColumn<bool>("cropped");
        QTest::addColumn<QRect>("crop");
        QTest::addColumn<int>("scale");
        QTest::addColumn<QString>("said");
        QTest::newRow("crop outside") << true << QRect(150, 0, 100, 10) << 100 << u"超出了图片"_s;
        QTest::newRow("zero crop") << true << QRect(5, 5, 0, 10) << 100 << u"裁剪区域是空的"_s;
        QTest::newRow("scale too large") << false << QRect() << 10000 << u"过大"_s;
    }
    void dialog_problemsAreSaidAndRefused() {
        QFETCH(bool, cropped);
        QFETCH(QRect, crop);
        QFETCH(int, scale);
        QFETCH(QString, said);
        QImage picture(200, 100, QImage::Format_ARGB32);
        picture.fill(Qt::white);
        PictureDialog dialog(picture, {}, 16, 2048);
        if (cropped) {
            child<QGroupBox>(dialog, u"crop"_s)->setChecked(true);
            child<QSpinBox>(dialog, u"cropX"_s)->setValue(crop.x());
            child<QSpinBox>(dialog, u"cropY"_s)->setValue(crop.y());
            child<QSpinBox>(dialog, u"cropWidth"_s)->setValue(crop.width());
            child<QSpinBox>(dialog, u"cropHeight"_s)->setValue(crop.height());
        }
        child<QComboBox>(dialog, u"fit"_s)->setCurrentIndex(int(tavrin::compose::Fit::Scale));
        child<QSpinBox>(dialog, u"scale"_s)->setValue(scale);
        const QString shown = child<QLabel>(dialog, u"problem"_s)->text();
        QVERIFY2(shown.contains(said), qPrintable(shown));
        QVERIFY(dialog.result().isNull());
        QVERIFY(!child<QDialogButtonBox>(dialog, QString())->button(QDialogButtonBox::Ok)->isEnabled());

        // As it is: the defaults again, which any picture can take.
        child<QPushButton>(dialog, u"asItIs"_s)->click();
        QCOMPARE(dialog.settings(), PictureSettings{});
        QVERIFY(child<QLabel>(dialog, u"problem"_s)->text().isEmpty());
        QCOMPARE(dialog.result().size(), picture.size());
    }

    void drag_equalsArrowPresses_data() {
        QTest::addColumn<bool>("picture");
        QTest::addColumn<bool>("litDots");
        QTest::addColumn<QPoint>("dots");
        QTest::newRow("text on the canvas") << false << false << QPoint(7, -2);
        QTest::newRow("picture on the canvas") << true << false << QPoint(-3, 4);
        QTest::newRow("text in the lit dots") << false << true << QPoint(5, 3);
        QTest::newRow("picture in the lit dots") << true << true << QPoint(-2, -1);
    }
    void drag_equalsArrowPresses() {
        QFETCH(bool, picture);
        QFETCH(bool, litDots);
        QFETCH(QPoint, dots);
        Form1 dragged;
        Form1 pressed;
        for (Form1 *form : {&dragged, &pressed}) {
            stopTimers(*form);
            if (picture) {
                QVERIFY(form->openPictureFile(m_dir.filePath(u"bar.png"_s)));
            }
        }
        const QImage before = dragged.canvas().render();
        const int steps = dragged.undoStack()->count();
        QWidget *target = child<QWidget>(dragged, u"Picture1"_s);
        double dot = 1;
        if (litDots) {
            child<QAction>(dragged, u"showBoardPreview"_s)->trigger();
            tavrin::app::LitDotView *view = dragged.boardPreview()->litDots();
            view->setZoom(6);
            target = view->viewport();
            dot = 6;
        }
        // A third of a dot short of or past each whole dot still counts as the whole dot.
        const QPoint start(40, 10);
        drag(target, start, start + QPoint(qRound(dots.x() * dot - dot / 3), qRound(dots.y() * dot + dot / 3)));

        using tavrin::compose::Direction;
        for (int i = 0; i < std::abs(dots.x()); ++i) {
            pressed.moveContent(dots.x() > 0 ? Direction::Right : Direction::Left);
        }
        for (int i = 0; i < std::abs(dots.y()); ++i) {
            pressed.moveContent(dots.y() > 0 ? Direction::Down : Direction::Up);
        }
        QCOMPARE(dragged.canvas().render(), pressed.canvas().render());
        QCOMPARE(dragged.undoStack()->count(), steps + 1);
        dragged.undoStack()->undo();
        QCOMPARE(dragged.canvas().render(), before);
    }

    // The same preparation chosen in the dialog and given to tavrin-cli: the same code.
    void dialogOk_givesTheCommandLinesCode_data() {
        QTest::addColumn<int>("leds");
        for (int leds : {8, 16, 24, 32}) {
            QTest::addRow("%d LEDs", leds) << leds;
        }
    }
    void dialogOk_givesTheCommandLinesCode() {
        QFETCH(int, leds);
        Form1 form;
        stopTimers(form);
        form.setLedCount(leds);
        const QString path = m_dir.filePath(u"logo.png"_s);
        QVERIFY(form.openPictureFile(path));
        form.setContentMirror({false, true});
        PictureDialog *dialog = openDialog(form);
        QVERIFY(dialog);
        child<QCheckBox>(*dialog, u"autoCrop"_s)->setChecked(true);
        child<QComboBox>(*dialog, u"fit"_s)->setCurrentIndex(int(tavrin::compose::Fit::Height));
        child<QComboBox>(*dialog, u"turn"_s)->setCurrentIndex(1);
        child<QCheckBox>(*dialog, u"flipLeftRight"_s)->setChecked(true);
        child<QComboBox>(*dialog, u"dotMethod"_s)->setCurrentIndex(1);
        child<QCheckBox>(*dialog, u"invert"_s)->setChecked(true);
        dialogButton(*dialog, QDialogButtonBox::Ok)->click();
        QCOMPARE(form.pictureSettings().fit, tavrin::compose::Fit::Height);
        QCOMPARE(codeOf(form), cliCode({u"--leds"_s, QString::number(leds), u"--picture"_s, path, u"--auto-crop"_s,
                                        u"--fit"_s, u"height"_s, u"--turn"_s, u"90"_s, u"--flip"_s, u"left-right"_s,
                                        u"--dots"_s, u"threshold"_s, u"--invert"_s, u"--mirror"_s, u"upside-down"_s}));
    }

    void dialogCancel_changesNothing() {
        Form1 form;
        stopTimers(form);
        QVERIFY(form.openPictureFile(m_dir.filePath(u"logo.png"_s)));
        const QImage canvas = form.canvas().render();
        const int steps = form.undoStack()->count();
        PictureDialog *dialog = openDialog(form);
        child<QComboBox>(*dialog, u"fit"_s)->setCurrentIndex(int(tavrin::compose::Fit::Inside));
        dialogButton(*dialog, QDialogButtonBox::Cancel)->click();
        QCOMPARE(form.pictureSettings(), PictureSettings{});
        QCOMPARE(form.canvas().render(), canvas);
        QCOMPARE(form.undoStack()->count(), steps);
    }

    // The menu's mirror commands mirror the canvas and show the mirror it has, after an undo too.
    void mirrorCommands_mirrorTheCanvas() {
        MainWindow window;
        stopTimers(window);
        Form1 &form = *window.form();
        const QImage plain = form.canvas().render();
        auto *leftRight = child<QAction>(window, u"actionMirrorLeftRight"_s);
        auto *upsideDown = child<QAction>(window, u"actionMirrorUpsideDown"_s);
        leftRight->trigger();
        upsideDown->trigger();
        QCOMPARE(form.contentMirror(), (tavrin::compose::Mirror{true, true}));
        QVERIFY(form.canvas().render() != plain);
        form.undoStack()->undo();
        QCOMPARE(form.contentMirror(), (tavrin::compose::Mirror{true, false}));
        QVERIFY(leftRight->isChecked());
        QVERIFY(!upsideDown->isChecked());
        form.undoStack()->undo();
        QVERIFY(!leftRight->isChecked());
        QCOMPARE(form.canvas().render(), plain);
    }

    // A picture taller than the board brings the offer under the design, which stays as it is.
    void tallPicture_offersTheSettings() {
        MainWindow window;
        stopTimers(window);
        window.show();
        Form1 &form = *window.form();
        QWidget *offer = child<QWidget>(window, u"pictureOffer"_s);
        QVERIFY(form.openPictureFile(m_dir.filePath(u"bar.png"_s)));
        QVERIFY(offer->isVisible());
        QTRY_COMPARE(form.size(), Form1::designSize);
        child<QPushButton>(window, u"pictureOfferSettings"_s)->click();
        PictureDialog *dialog = form.findChild<PictureDialog *>();
        QVERIFY(dialog);
        child<QComboBox>(*dialog, u"fit"_s)->setCurrentIndex(int(tavrin::compose::Fit::Height));
        dialogButton(*dialog, QDialogButtonBox::Ok)->click();
        QVERIFY(!offer->isVisible());
        QCOMPARE(form.canvas().picture.picture.height(), 16);

        // Back to the picture as it is: offered again; dismissed, it stays away for that picture.
        form.setPictureSettings({});
        QVERIFY(offer->isVisible());
        child<QToolButton>(window, u"pictureOfferDismiss"_s)->click();
        QVERIFY(!offer->isVisible());
        QTRY_COMPARE(form.size(), Form1::designSize);
        form.moveContent(tavrin::compose::Direction::Left);
        QVERIFY(!offer->isVisible());
    }

private:
    TemporaryHome m_dir;
};

QTEST_MAIN(PictureWindowTest)
#include "tst_picturewindow.moc"
