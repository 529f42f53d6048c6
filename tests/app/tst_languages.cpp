#include "app/boardpreview.h"
#include "app/fittedlabel.h"
#include "app/fontlist.h"
#include "app/form1.h"
#include "app/mainwindow.h"
#include "app/reasons.h"
#include "compose/picture.h"
#include "link/boardlink.h"
#include "platform/desktop.h"
#include "platform/files.h"
#include "platform/translations.h"
#include "support/board.h"
#include "support/home.h"
#include "support/modal.h"
#include "support/widgets.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSet>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;
using tavrin::app::MainWindow;
using tavrin::platform::LanguageChoice;
using tavrin::platform::UiLanguage;
using tavrin::testing::child;

namespace {

bool hasChinese(const QString &text) {
    return std::any_of(text.begin(), text.end(), [](QChar c) {
        return (c.unicode() >= 0x4E00 && c.unicode() <= 0x9FFF) || (c.unicode() >= 0x3000 && c.unicode() <= 0x303F) ||
               (c.unicode() >= 0xFF00 && c.unicode() <= 0xFFEF);
    });
}

// Every text a window shows: controls, tooltips, menus and their actions.
QStringList shownTexts(const QWidget &window) {
    QStringList texts{window.windowTitle()};
    for (QWidget *w : window.findChildren<QWidget *>()) {
        if (!w->isVisibleTo(&window) && !qobject_cast<QMenu *>(w)) {
            continue;
        }
        texts.append(w->toolTip());
        if (auto *label = qobject_cast<QLabel *>(w)) {
            texts.append(label->text());
        } else if (auto *button = qobject_cast<QAbstractButton *>(w)) {
            texts.append(button->text());
        } else if (auto *group = qobject_cast<QGroupBox *>(w)) {
            texts.append(group->title());
        } else if (auto *combo = qobject_cast<QComboBox *>(w)) {
            for (int i = 0; i < combo->count(); ++i) {
                texts.append(combo->itemText(i));
            }
        } else if (auto *edit = qobject_cast<QPlainTextEdit *>(w)) {
            texts.append(edit->placeholderText());
        } else if (auto *menu = qobject_cast<QMenu *>(w)) {
            texts.append(menu->title());
        }
    }
    for (QAction *action : window.findChildren<QAction *>()) {
        if (!action->isSeparator() && action->objectName() != u"actionLanguage1"_s) { // "中文" names itself
            texts.append(action->text());
        }
    }
    return texts;
}

// One failure of each kind, with every field its wording may use set to something recognisable.
QList<tavrin::link::LinkFailure> linkFailures() {
    using tavrin::link::LinkFailure;
    using tavrin::platform::LineError;
    QList<LinkFailure> failures;
    for (int reason = LinkFailure::NoPortChosen; reason <= LinkFailure::NotAllSent; ++reason) {
        for (int kind = LineError::None; kind <= LineError::Other; ++kind) {
            LinkFailure failure;
            failure.reason = LinkFailure::Reason(reason);
            failure.port = u"COM 7"_s;
            failure.device = u"/dev/serial/by-id/usb-%2-port0"_s; // a name may hold a placeholder
            failure.portNumber = 7;
            failure.total = 4100;
            failure.delivered = 2961;
            failure.line = {LineError::Kind(kind), kind == LineError::Other ? u"Input/output error"_s : QString()};
            failure.line.owner = u"root"_s;
            failure.line.group = u"dialout"_s;
            failure.line.holders = {{u"minicom"_s, 4242}};
            failures.append(failure);
        }
    }
    return failures;
}

// What each failure's words must carry for the user to act on it.
QStringList expectedParts(const tavrin::link::LinkFailure &failure) {
    using tavrin::link::LinkFailure;
    switch (failure.reason) {
    case LinkFailure::NotAPort:
    case LinkFailure::NoDevice:
        return {failure.port};
    case LinkFailure::NoSuchPort:
        return {failure.port, u"7"_s};
    case LinkFailure::OpenFailed:
        if (failure.line.kind == tavrin::platform::LineError::NoPermission) {
            return {failure.port, failure.device, u"“dialout”"_s, u"sudo usermod -aG dialout \"$USER\""_s};
        }
        if (failure.line.kind == tavrin::platform::LineError::Busy) {
            return {failure.port, failure.device, u"minicom"_s, u"4242"_s};
        }
        return {failure.port, failure.device, failure.line.detail};
    case LinkFailure::WriteFailed:
    case LinkFailure::NotAllSent:
        return {failure.port, failure.device, u"4100"_s, u"2961"_s, failure.line.detail};
    default:
        return {};
    }
}

} // namespace

class LanguagesTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() {
        qputenv("TAVRIN_SERIAL_PORTS", "/nonexistent/ttyTAVRIN0");
        tavrin::platform::installFontSubstitutes();
    }

    void language_followsChoiceOrSystem_data() {
        QTest::addColumn<int>("choice");
        QTest::addColumn<QString>("system");
        QTest::addColumn<int>("expected");
        QTest::newRow("system zh_CN") << int(LanguageChoice::System) << u"zh_CN"_s << int(UiLanguage::Chinese);
        QTest::newRow("system zh_TW") << int(LanguageChoice::System) << u"zh_TW"_s << int(UiLanguage::Chinese);
        QTest::newRow("system en_GB") << int(LanguageChoice::System) << u"en_GB"_s << int(UiLanguage::English);
        QTest::newRow("system de_DE") << int(LanguageChoice::System) << u"de_DE"_s << int(UiLanguage::English);
        QTest::newRow("system C") << int(LanguageChoice::System) << u"C"_s << int(UiLanguage::English);
        QTest::newRow("English on zh_CN") << int(LanguageChoice::English) << u"zh_CN"_s << int(UiLanguage::English);
        QTest::newRow("Chinese on en_US") << int(LanguageChoice::Chinese) << u"en_US"_s << int(UiLanguage::Chinese);
    }
    void language_followsChoiceOrSystem() {
        QFETCH(int, choice);
        QFETCH(QString, system);
        QFETCH(int, expected);
        QCOMPARE(int(tavrin::platform::languageFor(LanguageChoice(choice), QLocale(system))), expected);
    }

    void choice_isRemembered_data() {
        QTest::addColumn<int>("choice");
        QTest::newRow("English") << int(LanguageChoice::English);
        QTest::newRow("Chinese") << int(LanguageChoice::Chinese);
        QTest::newRow("back to the system's") << int(LanguageChoice::System);
    }
    void choice_isRemembered() {
        QFETCH(int, choice);
        tavrin::platform::storeLanguageChoice(LanguageChoice(choice));
        QCOMPARE(int(tavrin::platform::storedLanguageChoice()), choice);
        QVERIFY(QFileInfo(m_dir.filePath(u"tavrin/tavrin.conf"_s)).exists());
    }

    void menuChoice_isStoredAndMarked() {
        tavrin::platform::storeLanguageChoice(LanguageChoice::System);
        {
            MainWindow window;
            BoxAnswerer ok(QMessageBox::Ok);
            child<QAction>(window, u"actionLanguage2"_s)->trigger();
            QCOMPARE(ok.seen.size(), 1); // says when the choice applies
        }
        QCOMPARE(tavrin::platform::storedLanguageChoice(), LanguageChoice::English);
        MainWindow again;
        QVERIFY(child<QAction>(again, u"actionLanguage2"_s)->isChecked());
        tavrin::platform::storeLanguageChoice(LanguageChoice::System);
    }

    void english_everyShownTextIsTranslated() {
        tavrin::platform::Translations translations;
        QVERIFY(translations.install(UiLanguage::English));
        MainWindow window;
        for (QTimer *timer : window.findChildren<QTimer *>()) {
            timer->stop();
        }
        window.form()->setFixedSize(window.form()->sizeShowingAll());
        window.show();
        window.form()->Timer1_Timer();
        for (const QString &text : shownTexts(window)) {
            QVERIFY2(!hasChinese(text), qPrintable(text));
        }
        // The board preview beside it, its list of firmwares included.
        window.form()->showBoardPreview();
        const QStringList previewTexts = shownTexts(*window.form()->boardPreview());
        QVERIFY(previewTexts.join(u' ').contains(u"No. 22"_s));
        for (const QString &text : previewTexts) {
            QVERIFY2(!hasChinese(text), qPrintable(text));
        }
        for (QAction *entry : window.menuBar()->actions()) {
            QVERIFY(entry->menu() && !entry->menu()->title().isEmpty());
        }
        // The built-in instructions have their English version; messages speak English too.
        QVERIFY(!child<QPlainTextEdit>(*window.form(), u"Text1"_s)->toPlainText().isEmpty());
        QVERIFY(!hasChinese(child<QPlainTextEdit>(*window.form(), u"Text1"_s)->toPlainText()));
        BoxAnswerer ok(QMessageBox::Cancel);
        ChoiceAnswerer choose(u"No. 2"_s);
        child<QLineEdit>(*window.form(), u"Text3"_s)->setText(u"not a code"_s);
        for (const QString &name :
             {u"actionCopyCode"_s, u"actionExportHex"_s, u"actionUsageHelp"_s, u"actionAbout"_s}) {
            child<QAction>(window, name)->trigger();
        }
        for (const SeenBox &box : std::as_const(ok.seen)) {
            QVERIFY2(!hasChinese(box.title + box.text + box.buttons.join(u' ')), qPrintable(box.text));
        }
        QCOMPARE(ok.seen.size(), 4); // no code to copy, none to export, the update notice, about
        for (const QString &item : std::as_const(choose.items) + choose.tooltips) {
            QVERIFY2(!hasChinese(item), qPrintable(item));
        }
    }

    // Every reason the core gives is worded in both languages, in the window's language, with the
    // port, the counts and the system's words a translation might have dropped.
    void reasons_wordedInTheWindowsLanguage_data() {
        QTest::addColumn<int>("language");
        QTest::newRow("Chinese") << int(UiLanguage::Chinese);
        QTest::newRow("English") << int(UiLanguage::English);
    }
    void reasons_wordedInTheWindowsLanguage() {
        QFETCH(int, language);
        tavrin::platform::Translations translations;
        QVERIFY(translations.install(UiLanguage(language)));
        const bool english = language == int(UiLanguage::English);
        using tavrin::app::Reasons;
        for (const tavrin::link::LinkFailure &failure : linkFailures()) {
            const QString text = Reasons::linkFailure(failure);
            QVERIFY(!text.isEmpty());
            QVERIFY2(hasChinese(text) != english, qPrintable(text));
            for (const QString &part : expectedParts(failure)) {
                QVERIFY2(text.contains(part), qPrintable(text + u" lacks "_s + part));
            }
        }
        QCOMPARE(Reasons::lineError({tavrin::platform::LineError::Stalled, {}}).contains(u"3"_s), true);

        // No port to offer: what to check when the machine has none, each port's reason otherwise,
        // with its device and adapter.
        tavrin::link::PortChoice port{
            u"COM 2"_s, u"/dev/ttyUSB0"_s, {0x1a86, 0x7523, u"QinHeng"_s, u"USB Serial"_s}, {}};
        port.problem = {tavrin::platform::LineError::NoPermission, u"Permission denied"_s};
        port.problem.group = u"dialout"_s;
        const QString none = Reasons::noPorts({});
        const QString refused = Reasons::noPorts({port});
        QVERIFY2(hasChinese(none) != english && none.contains(u"/dev/ttyUSB0"_s), qPrintable(none));
        for (const QString &part :
             {u"COM 2"_s, u"/dev/ttyUSB0"_s, u"1a86:7523"_s, u"QinHeng"_s, u"USB Serial"_s, u"usermod -aG dialout"_s}) {
            QVERIFY2(refused.contains(part), qPrintable(refused + u" lacks "_s + part));
        }
        QVERIFY2(hasChinese(refused) != english, qPrintable(refused));
        QVERIFY(Reasons::lineError({tavrin::platform::LineError::BadSettings, u"9600,q"_s}).contains(u"9600,q"_s));

        using tavrin::compose::LoadedPicture;
        for (int problem = LoadedPicture::Missing; problem <= LoadedPicture::Damaged; ++problem) {
            LoadedPicture loaded;
            loaded.problem = LoadedPicture::Problem(problem);
            loaded.name = u"sunset.gif"_s;
            loaded.size = QSize(40000, 123);
            const QString text = Reasons::pictureProblem(loaded);
            QVERIFY2(text.contains(loaded.name), qPrintable(text));
            QVERIFY2(hasChinese(text) != english, qPrintable(text));
            if (problem == LoadedPicture::TooLarge) {
                QVERIFY2(text.contains(u"40000"_s) && text.contains(u"123"_s), qPrintable(text));
            }
        }

        // A file's fault, with the limit or the system's words it carries.
        using tavrin::platform::FileFault;
        for (int reason = FileFault::Missing; reason <= FileFault::System; ++reason) {
            const FileFault fault{FileFault::Reason(reason), 16384, u"Read-only file system"_s};
            const QString text = Reasons::fileFault(fault);
            QVERIFY2(hasChinese(text) != english, qPrintable(text));
            if (reason == FileFault::TooLarge || reason == FileFault::System) {
                QVERIFY2(text.contains(reason == FileFault::System ? fault.system : u"16384"_s), qPrintable(text));
            }
        }
    }

    // At the design size every control's text keeps inside its place in both languages, read from
    // the widgets' geometry and their fonts' metrics; the first start reports no overflow.
    void designSize_everyTextKeepsToItsPlace_data() {
        QTest::addColumn<int>("language");
        QTest::newRow("Chinese") << int(UiLanguage::Chinese);
        QTest::newRow("English") << int(UiLanguage::English);
    }
    void designSize_everyTextKeepsToItsPlace() {
        QFETCH(int, language);
        tavrin::platform::Translations translations;
        QVERIFY(translations.install(UiLanguage(language)));
        MainWindow window;
        window.show();
        const tavrin::app::Form1 &form = *window.form();
        QCOMPARE(form.size(), tavrin::app::Form1::designSize);
        const QRect design(QPoint(0, 0), tavrin::app::Form1::designSize);
        for (QWidget *w : form.findChildren<QWidget *>()) {
            if (!w->isVisibleTo(&form) || !design.contains(QRect(w->mapTo(&form, QPoint(0, 0)), w->size()))) {
                continue;
            }
            QString text;
            int room = 0;
            if (auto *fitted = qobject_cast<tavrin::app::FittedLabel *>(w)) {
                text = fitted->shownText();
                room = fitted->contentsRect().width();
            } else if (auto *label = qobject_cast<QLabel *>(w)) {
                text = label->text();
                room = label->contentsRect().width();
            } else if (auto *button = qobject_cast<QPushButton *>(w)) {
                text = button->text().remove(u'&');
                room = button->width() - 4;
            } else if (auto *group = qobject_cast<QGroupBox *>(w)) {
                text = group->title();
                room = group->width() - 16;
            } else if (auto *combo = qobject_cast<QComboBox *>(w); combo && combo->lineEdit()) {
                text = combo->currentText().isEmpty() ? combo->lineEdit()->placeholderText() : combo->currentText();
                room = combo->lineEdit()->contentsRect().width() - 4; // the line edit's own margins
            } else {
                continue;
            }
            const int needed = w->fontMetrics().horizontalAdvance(text);
            QVERIFY2(
                needed <= room,
                qPrintable(u"%1 needs %2 of %3 px for \"%4\""_s.arg(w->objectName()).arg(needed).arg(room).arg(text)));
            // A label's text is not under another control either.
            if (qobject_cast<QLabel *>(w)) {
                const QRect drawn(w->pos(), QSize(needed, w->height()));
                for (QWidget *sibling : w->parentWidget()->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
                    QVERIFY2(sibling == w || !sibling->isVisibleTo(&form) || !sibling->geometry().intersects(drawn),
                             qPrintable(w->objectName() + u" runs under "_s + sibling->objectName()));
                }
            }
        }
        if (language == int(UiLanguage::English)) {
            const QString report = child<QLabel>(form, u"Label7"_s)->text();
            QVERIFY2(!report.contains(u"Too large"_s), qPrintable(report));
        }
        // The window's face: the design's Song face in Chinese, the system's own in English.
        QCOMPARE(form.font().family(),
                 language == int(UiLanguage::Chinese) ? u"宋体"_s : tavrin::platform::systemUiFamily());
    }

    // One entry per family, each drawn in its own face; in the Chinese window a CJK family that has
    // a Chinese name is listed under it and still draws with its face.
    void fontList_oneEntryPerFamily() {
        tavrin::platform::Translations translations;
        QVERIFY(translations.install(UiLanguage::Chinese));
        MainWindow window;
        const auto *list = child<tavrin::app::FontList>(*window.form(), u"List1"_s);
        QStringList shown;
        QStringList families;
        for (int row = 0; row < list->count(); ++row) {
            shown << list->item(row)->text();
            families << list->item(row)->data(Qt::UserRole).toString();
        }
        QCOMPARE(QSet<QString>(shown.cbegin(), shown.cend()).size(), shown.size());
        QCOMPARE(QSet<QString>(families.cbegin(), families.cend()).size(), families.size());
        for (const QString &family : std::as_const(families)) {
            QVERIFY2(!family.endsWith(u']'), qPrintable(family));
        }
        const qsizetype zenHei = families.indexOf(u"WenQuanYi Zen Hei"_s);
        if (zenHei < 0) {
            QSKIP("fonts-wqy-zenhei is not installed");
        }
        QCOMPARE(shown.at(zenHei), u"文泉驿正黑"_s);
        QCOMPARE(list->item(int(zenHei))->font().family(), u"WenQuanYi Zen Hei"_s);
    }

    // The same through the window: a write, an erase and a picture that fail say so in English.
    void english_sendAndPictureFailuresSayWhyInEnglish_data() {
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("named");
        QTest::newRow("no port") << QString() << QString();
        QTest::newRow("no number") << u"COM"_s << u"COM"_s;
        QTest::newRow("number without device") << u"COM 9"_s << u"COM 9"_s;
        QTest::newRow("absent device") << u"/nonexistent/ttyTAVRIN9"_s << u"/nonexistent/ttyTAVRIN9"_s;
        QTest::newRow("not a serial device") << u"plain-file"_s << u"plain-file"_s;
    }
    void english_sendAndPictureFailuresSayWhyInEnglish() {
        QFETCH(QString, port);
        QFETCH(QString, named);
        tavrin::platform::Translations translations;
        QVERIFY(translations.install(UiLanguage::English));
        MainWindow window;
        if (port == u"plain-file"_s) {
            port = m_dir.filePath(port);
            QFile file(port);
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        child<QComboBox>(*window.form(), u"Combo7"_s)->setEditText(port);
        BoxAnswerer ok(QMessageBox::Ok);
        child<QAction>(window, u"actionWrite"_s)->trigger();
        QVERIFY(tavrin::testing::sendEnded(*window.form()));
        child<QAction>(window, u"actionErase"_s)->trigger();
        QVERIFY(tavrin::testing::sendEnded(*window.form()));
        QFile damaged(m_dir.filePath(u"cut.png"_s));
        QVERIFY(damaged.open(QIODevice::WriteOnly) && damaged.write("\x89PNG\r\n\x1a\n") > 0);
        damaged.close();
        QVERIFY(!window.form()->openPictureFile(damaged.fileName()));
        QCOMPARE(ok.seen.size(), 3);
        for (const SeenBox &box : std::as_const(ok.seen)) {
            QVERIFY2(!box.text.isEmpty() && !hasChinese(box.title + box.text), qPrintable(box.text));
        }
        QVERIFY2(ok.seen.at(0).text.contains(named) && ok.seen.at(1).text.contains(named),
                 qPrintable(ok.seen.at(0).text));
        QVERIFY2(ok.seen.at(2).text.contains(u"cut.png"_s), qPrintable(ok.seen.at(2).text));
    }

    void chinese_standardButtonsSpeakChinese() {
        tavrin::platform::Translations translations;
        QVERIFY2(translations.install(UiLanguage::Chinese), "Qt's Chinese catalogue is not installed");
        BoxAnswerer no(QMessageBox::No);
        tavrin::platform::askYesNoCancel(nullptr, u"问"_s, u"题"_s);
        QCOMPARE(no.seen.size(), 1);
        for (const QString &button : no.seen.at(0).buttons) {
            QVERIFY2(hasChinese(button), qPrintable(button));
        }
        MainWindow window;
        QCOMPARE(child<QAction>(window, u"actionQuit"_s)->text(), u"退出(&Q)"_s);
    }

private:
    tavrin::testing::TemporaryHome m_dir;
};

QTEST_MAIN(LanguagesTest)
#include "tst_languages.moc"
