#include "app/form1.h"
#include "app/mainwindow.h"
#include "platform/desktop.h"
#include "support/home.h"
#include "support/modal.h"
#include "support/sending.h"
#include "support/urlsink.h"
#include "support/widgets.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using tavrin::app::Form1;
using tavrin::app::MainWindow;
using tavrin::testing::child;
using tavrin::testing::stopTimers;
using tavrin::testing::TemporaryHome;
using tavrin::testing::UrlSink;

namespace {

// What a command leaves behind in a fresh window: the canvas, the content code and the boxes and
// dialogs it opened.
struct Outcome {
    QImage canvas;
    QString code;
    QStringList dialogs;
    QStringList messages;
    bool active = false;
    bool operator==(const Outcome &) const = default;
};

Outcome outcome(const std::function<void(MainWindow &)> &command) {
    MainWindow window;
    stopTimers(window);
    window.show();
    Outcome result;
    result.active = QTest::qWaitForWindowActive(&window);
    child<QPlainTextEdit>(*window.form(), u"Text1"_s)->setFocus();
    ModalDismisser dismiss;
    command(window);
    tavrin::testing::sendEnded(*window.form());
    result.canvas = window.form()->canvas().render();
    result.code = child<QLineEdit>(*window.form(), u"Text3"_s)->text();
    result.dialogs = dismiss.titles;
    result.messages = dismiss.texts;
    return result;
}

// Every visible control of the form, in the form's coordinates, clipped to the form: the groups'
// contents count, the groups themselves frame them.
QList<QPair<QString, QRect>> visibleControls(const Form1 &form) {
    QList<QPair<QString, QRect>> controls;
    for (QWidget *w : form.findChildren<QWidget *>()) {
        if (!w->isVisibleTo(&form) || qobject_cast<QGroupBox *>(w) || w->objectName().isEmpty() ||
            w->objectName().startsWith(u"qt_"_s)) {
            continue;
        }
        const QWidget *parent = w->parentWidget();
        if (parent != &form && !qobject_cast<const QGroupBox *>(parent)) {
            continue; // parts of a control (a combo box's line edit, a scroll area's viewport)
        }
        const QRect rect = QRect(w->mapTo(&form, QPoint(0, 0)), w->size()) & form.rect();
        if (!rect.isEmpty()) {
            controls.append({w->objectName(), rect});
        }
    }
    return controls;
}

QWidget *textWithDesignName(const Form1 &form) {
    static const QRegularExpression designName(u"^(Text|Combo|Label|Command|Frame|List|Picture)[0-9]"_s);
    for (QWidget *w : form.findChildren<QWidget *>()) {
        if (!w->isVisibleTo(&form)) {
            continue;
        }
        QString text;
        if (auto *edit = qobject_cast<QPlainTextEdit *>(w)) {
            text = edit->toPlainText();
        } else if (auto *line = qobject_cast<QLineEdit *>(w)) {
            text = line->text();
        } else if (auto *combo = qobject_cast<QComboBox *>(w)) {
            text = combo->currentText();
        } else if (auto *label = qobject_cast<QLabel *>(w)) {
            text = label->text();
        }
        if (designName.match(text).hasMatch()) {
            return w;
        }
    }
    return nullptr;
}

QAction *action(const MainWindow &window, const QString &name) {
    return child<QAction>(window, name);
}

} // namespace

class DesktopTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() {
        qputenv("TAVRIN_SERIAL_PORTS", "/nonexistent/ttyTAVRIN0");
        tavrin::platform::installFontSubstitutes();
    }
    void init() { m_urls.opened.clear(); }

    void designSize_showsTheDesignUnderTheMenuBar() {
        MainWindow window;
        window.show();
        Form1 *form = window.form();
        QCOMPARE(form->size(), Form1::designSize);
        QCOMPARE(form->y(), window.menuBar()->geometry().bottom() + 1);
        QCOMPARE(child<QPushButton>(*form, u"Command14_2"_s)->geometry(), QRect(516, 210, 89, 33));
        QStringList shown;
        for (const auto &[name, rect] : visibleControls(*form)) {
            shown.append(name);
        }
        shown.sort();
        QStringList design{u"Picture1"_s,    u"HScroll1"_s,   u"Text1"_s,      u"List1"_s,      u"Slider2"_s,
                           u"Label7"_s,      u"Command9_0"_s, u"Command9_1"_s, u"Command9_2"_s, u"Command9_3"_s,
                           u"Command9_4"_s,  u"Command9_5"_s, u"Command9_6"_s, u"Command4_1"_s, u"Command14_0"_s,
                           u"Command14_2"_s, u"Label17_4"_s,  u"Combo7"_s};
        design.sort();
        QCOMPARE(shown, design);
        QVERIFY(!child<QWidget>(*form, u"Text3"_s)->isVisibleTo(form));
        QVERIFY(!child<QWidget>(*form, u"Text4"_s)->isVisibleTo(form));
        QWidget *named = textWithDesignName(*form);
        QVERIFY2(!named, named ? qPrintable(named->objectName()) : "");
        // With no port the port box says so in words.
        QVERIFY(!child<QComboBox>(*form, u"Combo7"_s)->lineEdit()->placeholderText().isEmpty());
    }

    void enlargedWindow_hasNoOverlappingControls_data() {
        QTest::addColumn<QSize>("size");
        QTest::newRow("design") << Form1::designSize;
        QTest::newRow("wider") << QSize(1000, 253);
        QTest::newRow("a little taller") << QSize(613, 300);
        QTest::newRow("LED-count row only") << QSize(613, 345);
        QTest::newRow("showing all") << QSize(0, 0);
        QTest::newRow("1280 x 900") << QSize(1280, 860);
    }
    void enlargedWindow_hasNoOverlappingControls() {
        QFETCH(QSize, size);
        MainWindow window;
        stopTimers(window);
        window.show();
        Form1 *form = window.form();
        form->setFixedSize(size.isEmpty() ? form->sizeShowingAll() : size);
        QCoreApplication::processEvents();
        const auto controls = visibleControls(*form);
        for (qsizetype i = 0; i < controls.size(); ++i) {
            for (qsizetype j = i + 1; j < controls.size(); ++j) {
                QVERIFY2(!controls[i].second.intersects(controls[j].second),
                         qPrintable(controls[i].first + u" overlaps "_s + controls[j].first));
            }
        }
        QWidget *named = textWithDesignName(*form);
        QVERIFY2(!named, named ? qPrintable(named->objectName()) : "");
        const bool below = form->height() >= form->sizeShowingAll().height();
        QCOMPARE(child<QWidget>(*form, u"Text2"_s)->isVisibleTo(form), below);
        QCOMPARE(child<QWidget>(*form, u"Combo2"_s)->isVisibleTo(form), form->height() >= 345);
        QVERIFY(!child<QWidget>(*form, u"Text4"_s)->isVisibleTo(form));
        // The scroll bar spans the window; at its end the canvas ends at the window's edge.
        auto *scroll = child<QWidget>(*form, u"HScroll1"_s);
        QCOMPARE(scroll->width(), form->width());
        QMetaObject::invokeMethod(scroll, "setValue", Q_ARG(int, 1000));
        auto *canvas = child<QWidget>(*form, u"Picture1"_s);
        QCOMPARE(canvas->x() + canvas->width(), window.frameGeometry().width());
    }

    // Each action does what its button does, from the menu and by its shortcut.
    void actions_doWhatTheirButtonsDo_data() {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QKeySequence>("keys");
        QTest::newRow("write") << u"actionWrite"_s << u"Command14_2"_s << QKeySequence(u"F5"_s);
        QTest::newRow("erase") << u"actionErase"_s << u"Command14_0"_s << QKeySequence(u"Shift+F5"_s);
        QTest::newRow("export") << u"actionExportHex"_s << u"Command7_0"_s << QKeySequence(u"Ctrl+E"_s);
        QTest::newRow("usage help") << u"actionUsageHelp"_s << u"Command4_1"_s << QKeySequence();
        QTest::newRow("product page") << u"actionProductPage"_s << u"Command3"_s << QKeySequence();
        QTest::newRow("up") << u"actionMove0"_s << u"Command9_0"_s << QKeySequence(u"Alt+Up"_s);
        QTest::newRow("down") << u"actionMove1"_s << u"Command9_1"_s << QKeySequence(u"Alt+Down"_s);
        QTest::newRow("left") << u"actionMove2"_s << u"Command9_2"_s << QKeySequence(u"Alt+Left"_s);
        QTest::newRow("right") << u"actionMove3"_s << u"Command9_3"_s << QKeySequence(u"Alt+Right"_s);
        QTest::newRow("larger") << u"actionLarger"_s << u"Command9_4"_s << QKeySequence(u"Ctrl++"_s);
        QTest::newRow("smaller") << u"actionSmaller"_s << u"Command9_5"_s << QKeySequence(u"Ctrl+-"_s);
    }
    void actions_doWhatTheirButtonsDo() {
        QFETCH(QString, action);
        QFETCH(QString, button);
        QFETCH(QKeySequence, keys);
        const Outcome idle = outcome([](MainWindow &) {});
        const Outcome pressed =
            outcome([&](MainWindow &window) { child<QPushButton>(*window.form(), button)->click(); });
        QVERIFY(pressed.active);
        QVERIFY2(!(pressed == idle), "the button does something to compare with");
        QVERIFY(outcome([&](MainWindow &window) { ::action(window, action)->trigger(); }) == pressed);
        if (!keys.isEmpty()) {
            QVERIFY(outcome([&](MainWindow &window) {
                        QCOMPARE(::action(window, action)->shortcut(), keys);
                        QTest::keySequence(&window, keys);
                    }) == pressed);
        }
    }

    void ledCountMenu_followsAndSetsTheList_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("leds");
        QTest::newRow("8") << 0 << 8;
        QTest::newRow("24") << 2 << 24;
        QTest::newRow("32") << 3 << 32;
    }
    void ledCountMenu_followsAndSetsTheList() {
        QFETCH(int, index);
        QFETCH(int, leds);
        MainWindow window;
        stopTimers(window);
        auto *combo = child<QComboBox>(*window.form(), u"Combo2"_s);
        QVERIFY(action(window, u"actionLeds1"_s)->isChecked());
        action(window, u"actionLeds%1"_s.arg(index))->trigger();
        QCOMPARE(window.form()->ledcount(), leds);
        QCOMPARE(combo->currentIndex(), index);
        QCOMPARE(window.form()->canvas().render().height(), leds);
        combo->setCurrentIndex(1);
        QVERIFY(action(window, u"actionLeds1"_s)->isChecked());
    }

    void pictureActions_openAndClose() {
        const QString path = m_dir.filePath(u"dot.bmp"_s);
        QImage picture(4, 4, QImage::Format_RGB32);
        picture.fill(qRgb(255, 255, 255));
        QVERIFY(picture.save(path));
        MainWindow window;
        stopTimers(window);
        QAction *close = action(window, u"actionClosePicture"_s);
        QVERIFY(!close->isEnabled());
        {
            FileDialogAnswerer answer(path, [](QFileDialog *dialog) {
                // Every name matches "All Files", and PNG and all pictures are offered after the others.
                QCOMPARE(dialog->nameFilters().size(), 6);
                QVERIFY(dialog->nameFilters().at(0).endsWith(u"(*)"_s));
                QVERIFY(dialog->testOption(QFileDialog::HideNameFilterDetails));
            });
            action(window, u"actionOpenPicture"_s)->trigger();
            QVERIFY(answer.answered);
        }
        QCOMPARE(window.form()->picmode(), 1);
        QVERIFY(close->isEnabled());
        QCOMPARE(window.form()->canvas().render().pixel(3, 3), qRgb(255, 255, 255));
        {
            FileDialogAnswerer cancel{QString()};
            action(window, u"actionOpenPicture"_s)->trigger(); // another picture, still picture mode
            QVERIFY(cancel.answered);
        }
        QCOMPARE(window.form()->picmode(), 1);
        close->trigger();
        QCOMPARE(window.form()->picmode(), 0);
        QVERIFY(!close->isEnabled());
    }

    void canvasMenu_holdsTheCanvasCommands() {
        MainWindow window;
        auto *canvas = child<QWidget>(*window.form(), u"Picture1"_s);
        QCOMPARE(canvas->contextMenuPolicy(), Qt::ActionsContextMenu);
        QStringList names;
        for (QAction *a : canvas->actions()) {
            if (!a->isSeparator()) {
                names.append(a->objectName());
            }
        }
        for (const QString &name : {u"actionOpenPicture"_s, u"actionClosePicture"_s, u"actionMove0"_s, u"actionMove3"_s,
                                    u"actionLarger"_s, u"actionSmaller"_s, u"actionCopyCode"_s}) {
            QVERIFY2(names.contains(name), qPrintable(name));
        }
    }

    void copyCode_beforeAnyCode_saysSoAndCopiesNothing() {
        MainWindow window;
        stopTimers(window);
        BoxAnswerer ok(QMessageBox::Ok);
        QGuiApplication::clipboard()->setText(u"kept"_s);
        action(window, u"actionCopyCode"_s)->trigger();
        QCOMPARE(ok.seen.size(), 1);
        QVERIFY(ok.seen.at(0).text.contains(u"写入新内容"_s));
        QCOMPARE(QGuiApplication::clipboard()->text(), u"kept"_s);
    }

    void tab_neverChangesTheText_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("key");
        QTest::newRow("tab") << u"旋转"_s << int(Qt::Key_Tab);
        QTest::newRow("shift+tab") << u"旋转"_s << int(Qt::Key_Backtab);
        QTest::newRow("empty, tab") << QString() << int(Qt::Key_Tab);
    }
    void tab_neverChangesTheText() {
        QFETCH(QString, text);
        QFETCH(int, key);
        MainWindow window;
        stopTimers(window);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        auto *edit = child<QPlainTextEdit>(*window.form(), u"Text1"_s);
        edit->setPlainText(text);
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key(key));
        QCOMPARE(edit->toPlainText(), text);
        QVERIFY(!edit->hasFocus());
        // A pasted tab stays: it is the user's text.
        edit->insertPlainText(u"\t"_s);
        QVERIFY(edit->toPlainText().contains(u'\t'));
    }

    void focusedButton_isPressedByEnterAndSpace_data() {
        QTest::addColumn<int>("key");
        QTest::newRow("return") << int(Qt::Key_Return);
        QTest::newRow("enter") << int(Qt::Key_Enter);
        QTest::newRow("space") << int(Qt::Key_Space);
    }
    void focusedButton_isPressedByEnterAndSpace() {
        QFETCH(int, key);
        MainWindow window;
        stopTimers(window);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        auto *right = child<QPushButton>(*window.form(), u"Command9_3"_s);
        right->setFocus();
        const float left = window.form()->canvas().text.box.left;
        QTest::keyClick(right, Qt::Key(key));
        QCOMPARE(window.form()->canvas().text.box.left, left + 15);
    }

    void tabOrder_followsWhatIsSeen() {
        MainWindow window;
        stopTimers(window);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        const QStringList expected{u"List1"_s,      u"Command9_0"_s,  u"Command9_2"_s, u"Command9_3"_s, u"Command9_1"_s,
                                   u"Command9_5"_s, u"Slider2"_s,     u"Command9_4"_s, u"Combo7"_s,     u"Command9_6"_s,
                                   u"Command4_1"_s, u"Command14_0"_s, u"Command14_2"_s};
        child<QWidget>(*window.form(), u"Text1"_s)->setFocus();
        for (const QString &name : expected) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QWidget *focus = QApplication::focusWidget();
            while (focus && focus->objectName().isEmpty()) {
                focus = focus->parentWidget(); // the combo box's line edit
            }
            QCOMPARE(focus ? focus->objectName() : QString(), name);
        }
    }

    void variantChooser_fitsAndSaysEachOnce() {
        Form1 form;
        stopTimers(form);
        child<QLineEdit>(form, u"Text3"_s)->setText(u"00"_s);
        ChoiceAnswerer choose{QString()};
        child<QPushButton>(form, u"Command7_0"_s)->click();
        QVERIFY(choose.answered);
        QVERIFY2(choose.width <= 1024, qPrintable(QString::number(choose.width)));
        QCOMPARE(choose.items.size(), 6);
        for (qsizetype i = 0; i < choose.items.size(); ++i) {
            QCOMPARE(choose.items.at(i).count(u"号"_s), 1);
            QVERIFY(!choose.items.at(i).contains(u'\n'));
            QVERIFY(choose.tooltips.at(i).contains(u"P3.2"_s)); // the wiring
        }
    }

    void ledCountMismatch_asksAndCanGoBack_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("saved");
        QTest::newRow("go on") << int(QMessageBox::Yes) << true;
        QTest::newRow("go back") << int(QMessageBox::No) << false;
    }
    void ledCountMismatch_asksAndCanGoBack() {
        QFETCH(int, answer);
        QFETCH(bool, saved);
        MainWindow window;
        stopTimers(window);
        action(window, u"actionLeds3"_s)->trigger(); // 32 LEDs; every firmware drives 16
        child<QLineEdit>(*window.form(), u"Text3"_s)->setText(u"00"_s);
        const QString path = m_dir.filePath(u"mismatch-%1.hex"_s.arg(answer));
        ChoiceAnswerer choose(u"2 号"_s, 1);
        BoxAnswerer box{QMessageBox::StandardButton(answer)};
        FileDialogAnswerer save(path);
        // Going back shows the chooser again, which the answerer then cancels.
        action(window, u"actionExportHex"_s)->trigger();
        QCOMPARE(box.seen.size(), 1);
        QVERIFY(box.seen.at(0).text.contains(u"32"_s) && box.seen.at(0).text.contains(u"16"_s));
        QCOMPARE(QFile::exists(path), saved);
        QCOMPARE(choose.times, saved ? 1 : 2);
    }

    void productPage_address_data() {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("opened");
        QTest::addColumn<QString>("reason");
        const QString scheme = u"只能打开 http 或 https 网址"_s;
        const QString invalid = u"不是有效的网址"_s;
        QTest::newRow("https") << u"https://shop.example/p"_s << u"https://shop.example/p"_s << QString();
        QTest::newRow("no scheme") << u"www.example.com/p"_s << u"http://www.example.com/p"_s << QString();
        QTest::newRow("host and port") << u"example.com:8080/p"_s << u"http://example.com:8080/p"_s << QString();
        QTest::newRow("file") << u"file:///etc/passwd"_s << QString() << scheme;
        QTest::newRow("script") << u"javascript:alert(1)"_s << QString() << scheme;
        QTest::newRow("http with a space") << u"http://shop.example/new board"_s << QString() << invalid;
        QTest::newRow("http without a host") << u"http:///p"_s << QString() << invalid;
        QTest::newRow("no scheme, bad escape") << u"shop.example/%zz"_s << QString() << invalid;
    }
    void productPage_address() {
        QFETCH(QString, address);
        QFETCH(QString, opened);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        QDir::setCurrent(dir.path());
        QFile file(QString::fromUtf8("联系方式.txt"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write((u"厂商|https://vendor.example|1 2|"_s + address + u"|说明文字"_s).toUtf8());
        file.close();
        Form1 form;
        QDir::setCurrent(m_dir.path());
        stopTimers(form);
        BoxAnswerer cancel(QMessageBox::Cancel);
        child<QPushButton>(form, u"Command3"_s)->click();
        QCOMPARE(m_urls.opened, opened.isEmpty() ? QStringList() : QStringList{opened});
        // A refused address is said, not silently dropped.
        QCOMPARE(cancel.seen.size(), opened.isEmpty() ? 2 : 1);
        if (opened.isEmpty()) {
            QVERIFY(cancel.seen.at(1).text.contains(address));
            QVERIFY2(cancel.seen.at(1).text.contains(reason), qPrintable(cancel.seen.at(1).text));
        }
    }

private:
    TemporaryHome m_dir;
    UrlSink m_urls;
};

QTEST_MAIN(DesktopTest)
#include "tst_desktop.moc"
