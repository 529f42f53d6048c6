#include "app/form1.h"
#include "compose/canvas.h"
#include "contact/contact.h"
#include "platform/desktop.h"
#include "support/home.h"
#include "support/modal.h"
#include "support/urlsink.h"
#include "support/widgets.h"

#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using tavrin::app::Form1;
using tavrin::testing::child;
using tavrin::testing::stopTimers;
using tavrin::testing::TemporaryHome;
using tavrin::testing::UrlSink;

namespace {

QString report(Form1 &form) {
    return child<QLabel>(form, u"Label7"_s)->text();
}

void chooseLedCount(Form1 &form, int index) {
    auto *combo = child<QComboBox>(form, u"Combo2"_s);
    combo->setFocus();
    while (combo->currentIndex() < index) {
        QTest::keyClick(combo, Qt::Key_Down);
    }
    while (combo->currentIndex() > index) {
        QTest::keyClick(combo, Qt::Key_Up);
    }
}

} // namespace

class FormTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() {
        qputenv("TAVRIN_SERIAL_PORTS", "/nonexistent/ttyTAVRIN0");
        tavrin::platform::installFontSubstitutes();
    }
    void init() { m_urls.opened.clear(); }

    void layout_designPlacesAndVisibleArea() {
        Form1 form;
        QCOMPARE(form.size(), QSize(613, 253));
        QCOMPARE(form.minimumSize(), QSize(613, 253));
        QCOMPARE(child<QPushButton>(form, u"Command14_2"_s)->geometry(), QRect(516, 210, 89, 33));
        QCOMPARE(child<QPushButton>(form, u"Command9_6"_s)->text(), u"加载图片"_s);
        QCOMPARE(child<QPushButton>(form, u"Command9_6"_s)->parentWidget(), &form);
        QCOMPARE(child<QPushButton>(form, u"Command9_5"_s)->parentWidget()->objectName(), u"Frame2"_s);
        QVERIFY(!form.findChild<QPushButton *>(u"Command14_1"_s));
        // Below the design client area, reachable only by enlarging the window.
        for (const QString &name : {u"Frame1"_s, u"Text2"_s, u"Text3"_s, u"Text4"_s}) {
            QVERIFY2(child<QWidget>(form, name)->y() >= 253, qPrintable(name));
        }
        for (const QString &name : {u"Picture1"_s, u"HScroll1"_s, u"Frame2"_s, u"Combo7"_s, u"Command4_1"_s}) {
            const QWidget *w = child<QWidget>(form, name);
            QVERIFY2(w->y() < 253, qPrintable(name));
        }
    }

    void ledCountChoice_resizesCanvasAndReport_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<QSize>("canvas");
        QTest::newRow("8") << 0 << QSize(2048, 8);
        QTest::newRow("24") << 2 << QSize(1368, 24);
        QTest::newRow("32") << 3 << QSize(1024, 32);
        QTest::newRow("16") << 1 << QSize(2048, 16);
    }
    void ledCountChoice_resizesCanvasAndReport() {
        QFETCH(int, index);
        QFETCH(QSize, canvas);
        Form1 form;
        chooseLedCount(form, index == 1 ? 0 : index);
        chooseLedCount(form, index);
        QCOMPARE(form.ledcount(), canvas.height());
        QCOMPARE(form.canvas().render().size(), canvas);
        QCOMPARE(child<QWidget>(form, u"Picture1"_s)->size(), canvas);
        QVERIFY(report(form).contains(u"（最大尺寸%1*%2）"_s.arg(canvas.width()).arg(canvas.height())));
    }

    void typing_rebuildsReportAndCentresText() {
        Form1 form;
        auto *edit = child<QPlainTextEdit>(form, u"Text1"_s);
        edit->clear();
        QCOMPARE(report(form).left(5), u"当前0字，"_s);
        QTest::keyClicks(edit, u"ab"_s);
        const float oneLine = form.canvas().text.box.height;
        QTest::keyClick(edit, Qt::Key_Return);
        QTest::keyClicks(edit, u"cd"_s);
        // A line break counts as CR LF: two characters.
        QVERIFY2(report(form).startsWith(u"当前6字，12号字尺寸"_s), qPrintable(report(form)));
        QCOMPARE(form.canvas().text.box.height, 2 * oneLine);
        QCOMPARE(form.canvas().text.box.left, 0.0f);
        QCOMPARE(form.canvas().text.box.top, (240 - 2 * oneLine) / 2);
        const QString expected =
            u"当前6字，12号字尺寸%1*%2！（最大尺寸2048*16）"_s.arg(form.canvas().text.box.width / 15)
                .arg(form.canvas().text.box.height / 15);
        QCOMPARE(report(form), form.canvas().text.box.height > 240 ? expected + u"已超出显示！"_s : expected);
    }

    void arrows_moveTextUntilNextRun() {
        Form1 form;
        child<QPlainTextEdit>(form, u"Text1"_s)->setPlainText(u"LED"_s);
        const float top = form.canvas().text.box.top;
        QTest::mouseClick(child<QPushButton>(form, u"Command9_3"_s), Qt::LeftButton);
        QTest::mouseClick(child<QPushButton>(form, u"Command9_1"_s), Qt::LeftButton);
        QCOMPARE(form.canvas().text.box.left, 15.0f);
        QCOMPARE(form.canvas().text.box.top, top + 15);
        QTest::keyClicks(child<QPlainTextEdit>(form, u"Text1"_s), u"!"_s);
        QCOMPARE(form.canvas().text.box.left, 0.0f);
        QCOMPARE(form.canvas().text.box.top, (240 - form.canvas().text.box.height) / 2);
    }

    void sizeButtons_stopAtTheRange() {
        Form1 form;
        auto *slider = child<QSlider>(form, u"Slider2"_s);
        auto *larger = child<QPushButton>(form, u"Command9_4"_s);
        auto *smaller = child<QPushButton>(form, u"Command9_5"_s);
        for (int i = 0; i < 30; ++i) {
            QTest::mouseClick(larger, Qt::LeftButton);
        }
        QCOMPARE(slider->value(), 28);
        QVERIFY(report(form).contains(u"28号字"_s));
        for (int i = 0; i < 30; ++i) {
            QTest::mouseClick(smaller, Qt::LeftButton);
        }
        QCOMPARE(slider->value(), 6);
        QCOMPARE(form.canvas().text.pixelSize(), 8);
    }

    void scrollBar_movesOnlyTheCanvas() {
        Form1 form;
        const QString before = report(form);
        auto *canvas = child<QWidget>(form, u"Picture1"_s);
        auto *scroll = form.findChild<QWidget *>(u"HScroll1"_s);
        QMetaObject::invokeMethod(scroll, "setValue", Q_ARG(int, 1000));
        QCOMPARE(canvas->x() + canvas->width(), form.frameGeometry().width());
        QCOMPARE(report(form), before);
        QMetaObject::invokeMethod(scroll, "setValue", Q_ARG(int, 0));
        QCOMPARE(canvas->x(), 0);
    }

    void pictureMode_loadsShrinksAndTrims() {
        const QString path = m_dir.filePath(u"bar.bmp"_s);
        QImage picture(100, 40, QImage::Format_RGB32);
        picture.fill(qRgb(255, 255, 255));
        QVERIFY(picture.save(path));

        Form1 form;
        {
            FileDialogAnswerer answer(path, [](QFileDialog *dialog) {
                QCOMPARE(dialog->selectedNameFilter(), u"BMP Files(*.bmp)"_s);
                QCOMPARE(dialog->nameFilters().size(), 6);
            });
            QTest::mouseClick(child<QPushButton>(form, u"Command9_6"_s), Qt::LeftButton);
            QVERIFY(answer.answered);
        }
        QCOMPARE(form.picmode(), 1);
        QCOMPARE(child<QPushButton>(form, u"Command9_6"_s)->text(), u"关闭图片"_s);
        QVERIFY(!form.canvas().text.visible);
        QCOMPARE(form.canvas().picture.box.width, 1500.0f);
        QTest::mouseClick(child<QPushButton>(form, u"Command9_5"_s), Qt::LeftButton);
        QCOMPARE(form.canvas().picture.box.width, 1350.0f);
        QCOMPARE(form.canvas().picture.box.height, 540.0f);
        QImage image = form.canvas().render();
        QCOMPARE(image.pixel(89, 0), qRgb(255, 255, 255));
        QCOMPARE(image.pixel(90, 0), tavrin::compose::backdropColour);
        QTest::mouseClick(child<QPushButton>(form, u"Command9_4"_s), Qt::LeftButton);
        QCOMPARE(form.canvas().picture.box.width, 1417.5f);
        QCOMPARE(form.canvas().picture.box.height, 567.0f);
        QTest::mouseClick(child<QPushButton>(form, u"Command9_2"_s), Qt::LeftButton);
        QCOMPARE(form.canvas().picture.box.left, -15.0f);

        QTest::mouseClick(child<QPushButton>(form, u"Command9_6"_s), Qt::LeftButton);
        QCOMPARE(form.picmode(), 0);
        QCOMPARE(child<QPushButton>(form, u"Command9_6"_s)->text(), u"打开图片"_s);
        QCOMPARE(form.canvas().text.box.top, 0.0f); // not centred until the next render
    }

    void pictureMode_cancelShowsOnlyBackdrop() {
        Form1 form;
        FileDialogAnswerer cancel(QString{});
        QTest::mouseClick(child<QPushButton>(form, u"Command9_6"_s), Qt::LeftButton);
        QVERIFY(cancel.answered);
        const QImage image = form.canvas().render();
        QCOMPARE(image.pixel(0, 8), tavrin::compose::backdropColour);
        QCOMPARE(image.pixel(2047, 15), tavrin::compose::backdropColour);
        QCOMPARE(image.copy(0, 0, 200, 16), QImage(image.copy(0, 0, 200, 16)).convertToFormat(image.format()));
        for (int x = 0; x < 300; ++x) {
            QCOMPARE(image.pixel(x, 7), tavrin::compose::backdropColour);
        }
    }

    void unreadablePicture_saysSoAndKeepsLayer() {
        const QString bad = m_dir.filePath(u"broken.bmp"_s);
        QFile file(bad);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("BM but not really a bitmap");
        file.close();
        Form1 form;
        BoxAnswerer ok(QMessageBox::Ok);
        FileDialogAnswerer answer(bad);
        QTest::mouseClick(child<QPushButton>(form, u"Command9_6"_s), Qt::LeftButton);
        QCOMPARE(ok.seen.size(), 1);
        QVERIFY(ok.seen.at(0).text.contains(u"broken.bmp"_s));
        QCOMPARE(ok.seen.at(0).title, u"Tavrin"_s);
        QVERIFY(form.canvas().picture.picture.isNull());
        QCOMPARE(form.picmode(), 1);
    }

    // A picture named when the program starts (as the desktop does for "open with").
    void pictureFile_opensInPictureMode_data() {
        QTest::addColumn<bool>("pictureModeFirst");
        QTest::newRow("from text mode") << false;
        QTest::newRow("replacing a picture") << true;
    }
    void pictureFile_opensInPictureMode() {
        QFETCH(bool, pictureModeFirst);
        const QString first = m_dir.filePath(u"first.png"_s);
        const QString second = m_dir.filePath(u"second.bmp"_s);
        QImage picture(30, 10, QImage::Format_RGB32);
        picture.fill(qRgb(255, 255, 255));
        QVERIFY(picture.save(first));
        picture.fill(qRgb(200, 0, 0));
        QVERIFY(picture.save(second));

        Form1 form;
        if (pictureModeFirst) {
            QVERIFY(form.openPictureFile(first));
        }
        QVERIFY(form.openPictureFile(second));
        QCOMPARE(form.picmode(), 1);
        QCOMPARE(child<QPushButton>(form, u"Command9_6"_s)->text(), u"关闭图片"_s);
        QVERIFY(!form.canvas().text.visible);
        const QImage image = form.canvas().render();
        QCOMPARE(image.pixel(29, 9), qRgb(200, 0, 0));
        QCOMPARE(image.pixel(30, 9), tavrin::compose::backdropColour);
        // The button still leaves picture mode as it does after the dialog.
        QTest::mouseClick(child<QPushButton>(form, u"Command9_6"_s), Qt::LeftButton);
        QCOMPARE(form.picmode(), 0);
    }

    void unusablePictureFile_saysSoAndStaysInTextMode() {
        Form1 form;
        const QString caption = child<QPushButton>(form, u"Command9_6"_s)->text();
        BoxAnswerer ok(QMessageBox::Ok);
        QVERIFY(!form.openPictureFile(m_dir.filePath(u"<i>missing.png"_s)));
        QCOMPARE(ok.seen.size(), 1);
        QVERIFY(ok.seen.at(0).text.contains(u"<i>missing.png"_s));
        QCOMPARE(ok.seen.at(0).format, Qt::PlainText); // the name shown as written, not as markup
        QCOMPARE(form.picmode(), 0);
        QVERIFY(form.canvas().text.visible);
        QCOMPARE(child<QPushButton>(form, u"Command9_6"_s)->text(), caption);
    }

    void codeBox_click_copiesAndSays_data() {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("message");
        QTest::newRow("a code") << u"80ff03"_s << u"本代码已经成功复制到剪贴板！"_s;
        QTest::newRow("no code yet: nothing to copy") << QString() << u"还没有内容代码：请先按“写入新内容”生成。"_s;
    }
    void codeBox_click_copiesAndSays() {
        QFETCH(QString, code);
        QFETCH(QString, message);
        Form1 form;
        BoxAnswerer ok(QMessageBox::Ok);
        auto *box = child<QPlainTextEdit>(form, u"Text2"_s);
        box->setPlainText(code);
        QGuiApplication::clipboard()->setText(u"before"_s);
        QTest::mouseClick(box->viewport(), Qt::LeftButton);
        QCOMPARE(QGuiApplication::clipboard()->text(), code.isEmpty() ? u"before"_s : code);
        QCOMPARE(ok.seen.size(), 1);
        QCOMPARE(ok.seen.at(0).text, message);
        QCOMPARE(ok.seen.at(0).title, u"Tavrin"_s);
        QCOMPARE(ok.seen.at(0).icon, QMessageBox::NoIcon);
        QCOMPARE(ok.seen.at(0).buttons.size(), 1);
    }

    void marquee_alternatesCaptions() {
        Form1 form;
        stopTimers(form);
        const QString title = tavrin::contact::titleCaption(form.contact());
        const QString welcome = tavrin::contact::welcomeCaption(form.contact());
        QVERIFY(title.startsWith(u"Tavrin！ TEL:"_s));
        QVERIFY(welcome.startsWith(u"欢迎访问"_s) && welcome.endsWith(u"，诚招全国各地代理！ "_s));
        for (int tick = 1; tick <= 20; ++tick) {
            form.Timer1_Timer();
            const bool welcomeTick = tick % 10 >= 6;
            QCOMPARE(form.windowTitle(), welcomeTick ? welcome : title);
        }
    }

    void updateNotice_atTick2001() {
        Form1 form;
        stopTimers(form);
        for (int tick = 1; tick <= 2000; ++tick) {
            form.Timer1_Timer();
        }
        BoxAnswerer no(QMessageBox::No);
        form.Timer1_Timer();
        QCOMPARE(no.seen.size(), 1);
        QCOMPARE(no.seen.at(0).title, u"软件更新提示："_s);
        QCOMPARE(no.seen.at(0).text, tavrin::contact::updateNoticeText(form.contact()));
        QCOMPARE(no.seen.at(0).buttons.size(), 3);
        QCOMPARE(form.tickCounter(), 0);
        QVERIFY(m_urls.opened.isEmpty());
        form.Timer1_Timer();
        QCOMPARE(form.windowTitle(), tavrin::contact::titleCaption(form.contact()));
    }

    void notices_openProductPage_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("opened");
        QTest::newRow("help, yes") << u"Command4_0"_s << int(QMessageBox::Yes) << 1;
        QTest::newRow("usage help, yes") << u"Command4_1"_s << int(QMessageBox::Yes) << 1;
        QTest::newRow("help, cancel") << u"Command4_0"_s << int(QMessageBox::Cancel) << 0;
        QTest::newRow("product, yes opens twice") << u"Command3"_s << int(QMessageBox::Yes) << 2;
        QTest::newRow("product, cancel opens once") << u"Command3"_s << int(QMessageBox::Cancel) << 1;
    }
    void notices_openProductPage() {
        QFETCH(QString, button);
        QFETCH(int, answer);
        QFETCH(int, opened);
        Form1 form;
        stopTimers(form);
        BoxAnswerer box{QMessageBox::StandardButton(answer)};
        child<QPushButton>(form, button)->click();
        QCOMPARE(box.seen.size(), 1);
        QCOMPARE(m_urls.opened.size(), opened);
        for (const QString &url : std::as_const(m_urls.opened)) {
            QCOMPARE(url, form.contact().at(3));
        }
    }

    void contactWithFewFieldsOrOddAddress_isSafe() {
        QTemporaryDir dir;
        QDir::setCurrent(dir.path());
        QFile file(QString::fromUtf8(tavrin::contact::contactFileName));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(u"只有两段的联系方式文本|file:///etc/passwd 这里是不安全的地址"_s.toUtf8());
        file.close();
        Form1 form;
        QDir::setCurrent(m_dir.path());
        stopTimers(form);
        for (int i = 0; i < 10; ++i) {
            form.Timer1_Timer();
        }
        QCOMPARE(form.windowTitle(), u"Tavrin！ TEL:"_s);
        BoxAnswerer yes(QMessageBox::Yes);
        child<QPushButton>(form, u"Command3"_s)->click();
        // The offer, then each of the two openings says there is no address to open.
        QCOMPARE(yes.seen.size(), 3);
        QCOMPARE(yes.seen.at(1).text, u"联系方式中没有产品页面的地址。"_s);
        QVERIFY(m_urls.opened.isEmpty());
    }

private:
    TemporaryHome m_dir;
    UrlSink m_urls;
};

QTEST_MAIN(FormTest)
#include "tst_form.moc"
