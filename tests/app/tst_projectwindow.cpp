#include "app/boardpreview.h"
#include "app/form1.h"
#include "app/litdotview.h"
#include "app/mainwindow.h"
#include "app/projectdocument.h"
#include "encode/contentcode.h"
#include "hex/firmware.h"
#include "support/home.h"
#include "support/modal.h"
#include "support/widgets.h"

#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProcess>
#include <QSlider>
#include <QTest>
#include <QUndoStack>

using namespace Qt::StringLiterals;
using tavrin::app::Form1;
using tavrin::app::MainWindow;
using tavrin::app::ProjectDocument;
using tavrin::testing::child;
using tavrin::testing::TemporaryHome;

namespace {

// The content code of the canvas as the window shows it.
QString codeOf(const Form1 &form) {
    return tavrin::encode::makeContentCode(form.canvas().render(), form.canvas().width, form.canvas().height,
                                           form.ledcount());
}

QString cliCode(const QString &project) {
    QProcess process;
    process.start(QStringLiteral(TAVRIN_CLI), {u"code"_s, u"--project"_s, project});
    process.waitForFinished(60000);
    return QString::fromLatin1(process.readAllStandardOutput()).trimmed() +
           QString::fromUtf8(process.readAllStandardError());
}

// Red stripes on grey: made into dots by a threshold they light other dots than as they are.
QString writePicture(const TemporaryHome &home) {
    QImage image(50, 24, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            image.setPixel(x, y, (x + y) % 5 < 2 ? qRgb(200, 40, 40) : qRgb(120, 120, 120));
        }
    }
    const QString path = home.filePath(u"stripes.png"_s);
    image.save(path);
    return path;
}

} // namespace

class ProjectWindowTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { qputenv("TAVRIN_SERIAL_PORTS", "/nonexistent/ttyTAVRIN0"); }

    // Saved, opened in another window and given to tavrin-cli: the same composition and code.
    void savedProject_opensAsItWasAndGivesTheCliCode_data() {
        QTest::addColumn<bool>("picture");
        QTest::newRow("text") << false;
        QTest::newRow("picture made into dots") << true;
    }
    void savedProject_opensAsItWasAndGivesTheCliCode() {
        QFETCH(bool, picture);
        TemporaryHome home;
        MainWindow window;
        Form1 &form = *window.form();
        form.setLedCount(32);
        child<QPlainTextEdit>(form, u"Text1"_s)->setPlainText(u"Tavrin 旋转\n点阵"_s);
        auto *fonts = child<QListWidget>(form, u"List1"_s);
        for (int row = 0; row < fonts->count(); ++row) {
            if (fonts->item(row)->data(Qt::UserRole).toString() == u"WenQuanYi Zen Hei"_s) {
                fonts->setCurrentRow(row);
            }
        }
        QCOMPARE(form.composition().font, u"WenQuanYi Zen Hei"_s);
        child<QSlider>(form, u"Slider2"_s)->setValue(20);
        if (picture) {
            QVERIFY(form.openPictureFile(writePicture(home)));
            tavrin::compose::PictureSettings settings = form.pictureSettings();
            settings.crop = QRect(3, 2, 40, 20);
            settings.turn = 90;
            settings.mirror.upsideDown = true;
            settings.fit = tavrin::compose::Fit::Height;
            QVERIFY(form.setPictureSettings(settings));
            form.setPictureDots({tavrin::compose::DotMethod::Threshold, 100, true});
            form.stepSize(Form1::Step::Smaller);
            form.setContentMirror({true, false});
        }
        form.moveContent(tavrin::compose::Direction::Right);
        form.moveContent(tavrin::compose::Direction::Down);
        QVERIFY(window.project()->isModified());

        const QString path = home.filePath(u"work.tavrin"_s);
        QVERIFY(window.project()->saveTo(path));
        QVERIFY(!window.project()->isModified());
        QCOMPARE(child<QLabel>(window, u"projectName"_s)->text(), u"work.tavrin"_s);

        MainWindow other;
        QVERIFY(other.project()->openFile(path));
        QCOMPARE(other.form()->canvas().render(), form.canvas().render());
        QVERIFY(other.form()->pictureSettings() == form.pictureSettings());
        QCOMPARE(other.form()->pictureSettings().dots, form.composition().dots);
        QVERIFY(other.form()->contentMirror() == form.contentMirror());
        QVERIFY(!other.project()->isModified());
        QCOMPARE(cliCode(path), codeOf(form));
    }

    // Each step undone gives back the canvas before it, each redone the canvas after it.
    void undoAndRedo_restoreTheExactCanvas() {
        TemporaryHome home;
        Form1 form;
        auto *text = child<QPlainTextEdit>(form, u"Text1"_s);
        QList<QImage> canvases{form.canvas().render()};
        const auto step = [&](const std::function<void()> &change) {
            change();
            canvases.append(form.canvas().render());
        };
        step([&] { form.setLedCount(24); });
        step([&] { QTest::keyClicks(text, u"ab "_s); });
        step([&] { QTest::keyClicks(text, u"cd"_s); });
        step([&] { form.moveContent(tavrin::compose::Direction::Right); });
        step([&] { form.stepSize(Form1::Step::Larger); });
        step([&] { QVERIFY(form.openPictureFile(writePicture(home))); });
        step([&] { form.setPictureDots({tavrin::compose::DotMethod::Ordered, 90, false}); });
        tavrin::compose::PictureSettings settings = form.pictureSettings();
        settings.turn = 180;
        settings.fit = tavrin::compose::Fit::Inside;
        step([&] { QVERIFY(form.setPictureSettings(settings)); });
        step([&] { form.setContentMirror({false, true}); });
        {
            // A crop past the picture is refused, said in a message, and is no step.
            BoxAnswerer answerer(QMessageBox::Ok);
            settings.crop = QRect(45, 0, 10, 10);
            QVERIFY(!form.setPictureSettings(settings));
            QCOMPARE(answerer.seen.size(), 1);
            QCOMPARE(form.canvas().render(), canvases.last());
        }
        QUndoStack *undo = form.undoStack();
        QCOMPARE(undo->count(), canvases.size() - 1); // typing grouped a word at a time
        QCOMPARE(undo->text(3), u"右移"_s);
        for (qsizetype i = canvases.size() - 2; i >= 0; --i) {
            undo->undo();
            QCOMPARE(form.canvas().render(), canvases.at(i));
        }
        QCOMPARE(form.picmode(), 0);
        QCOMPARE(text->toPlainText(), form.startComposition().text);
        for (qsizetype i = 1; i < canvases.size(); ++i) {
            undo->redo();
            QCOMPARE(form.canvas().render(), canvases.at(i));
        }
        QCOMPARE(form.ledcount(), 24);
    }

    // Another frame is read from the picture's file, also after undo; a project keeps one frame only.
    void otherFrame_isReadFromThePicturesFile() {
        TemporaryHome home;
        MainWindow window;
        Form1 &form = *window.form();
        // 2 × 1, red and green; the second frame paints the left pixel green.
        const QByteArray gif = QByteArray::fromHex("47494638396102000100800000ff000000ff002c000000000200010000"
                                                   "0202440a002c00000000010001000002024c01003b");
        BoxAnswerer answerer(QMessageBox::Ok);
        QFile file(home.filePath(u"two.gif"_s));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(gif) == gif.size());
        file.close();
        QVERIFY(form.openPictureFile(file.fileName()));
        tavrin::compose::PictureSettings second = form.pictureSettings();
        second.frame = 1;
        QVERIFY(form.setPictureSettings(second));
        QCOMPARE(form.loadedPicture().pixel(0, 0), qRgb(0, 255, 0));
        form.undoStack()->undo();
        QCOMPARE(form.loadedPicture().pixel(0, 0), qRgb(255, 0, 0));
        QCOMPARE(form.pictureFile(), file.fileName());
        QVERIFY(form.setPictureSettings(second));
        QCOMPARE(form.loadedPicture().pixel(0, 0), qRgb(0, 255, 0));

        const QString path = home.filePath(u"frame.tavrin"_s);
        QVERIFY(window.project()->saveTo(path));
        QVERIFY(window.project()->openFile(path));
        QVERIFY(answerer.seen.isEmpty());
        QVERIFY(form.pictureFile().isEmpty());
        QVERIFY(!form.setPictureSettings(tavrin::compose::PictureSettings()));
        QCOMPARE(answerer.seen.size(), 1);
        QCOMPARE(form.pictureSettings().frame, 1);
    }

    // Ctrl+Z in the edit box takes back the window's step, the typing included.
    void undoKeysInTheEditBox_reachTheWindow() {
        TemporaryHome home;
        MainWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        auto *text = child<QPlainTextEdit>(*window.form(), u"Text1"_s);
        const QString before = text->toPlainText();
        text->setFocus();
        QTest::keyClicks(text, u"xy"_s);
        const QString typed = text->toPlainText();
        QCOMPARE(child<QAction>(window, u"actionUndo"_s)->text(), u"撤销 输入文字"_s);
        QTest::keyClick(text, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(text->toPlainText(), before);
        QTest::keyClick(text, Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(text->toPlainText(), typed);
    }

    // Save / Discard / Cancel only when the composition changed since it was saved or opened.
    void unsavedChanges_areAskedAboutWhenThereAreSome() {
        TemporaryHome home;
        MainWindow window;
        ProjectDocument *project = window.project();
        {
            BoxAnswerer cancel(QMessageBox::Cancel);
            QVERIFY(project->newProject());
            QVERIFY(cancel.seen.isEmpty());
        }
        window.form()->moveContent(tavrin::compose::Direction::Left);
        const QImage moved = window.form()->canvas().render();
        {
            BoxAnswerer cancel(QMessageBox::Cancel);
            QVERIFY(!project->newProject());
            QVERIFY(!window.close());
            QCOMPARE(cancel.seen.size(), 2);
            QCOMPARE(cancel.seen.at(0).buttons.size(), 3);
            QCOMPARE(window.form()->canvas().render(), moved);
        }
        const QString path = home.filePath(u"kept.tavrin"_s);
        {
            BoxAnswerer save(QMessageBox::Save);
            FileDialogAnswerer name(path);
            QVERIFY(project->newProject());
            QCOMPARE(save.seen.size(), 1);
        }
        QVERIFY(QFile::exists(path));
        QVERIFY(!project->isModified());
        QCOMPARE(window.form()->composition().text, window.form()->startComposition().text);
        window.form()->moveContent(tavrin::compose::Direction::Up);
        {
            BoxAnswerer discard(QMessageBox::Discard);
            QVERIFY(project->openFile(path));
            QCOMPARE(discard.seen.size(), 1);
        }
        QCOMPARE(window.form()->canvas().render(), moved);
        // The board preview's settings are kept in the project, though no step of the composition.
        window.form()->showBoardPreview();
        QVERIFY(!project->isModified());
        auto *top = child<QCheckBox>(*window.form()->boardPreview(), u"topOutermost"_s);
        top->setChecked(!top->isChecked());
        QVERIFY(project->isModified());
        QCOMPARE(window.form()->undoStack()->count(), 0);
    }

    // A HEX file exported from the composition shows its code and its firmware; the canvas stays.
    void checkedHexFile_showsItsCodeInThePreview() {
        TemporaryHome home;
        Form1 form;
        child<QPlainTextEdit>(form, u"Text1"_s)->setPlainText(u"HEX 检查"_s);
        const QString code = codeOf(form);
        const QString path = home.filePath(u"board.hex"_s);
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(tavrin::hex::hexFileBytes(22, code));
        file.close();
        const QImage canvas = form.canvas().render();
        form.checkContentFile(path);
        QVERIFY(form.boardPreview());
        QCOMPARE(form.boardPreview()->litDots()->code(), code);
        QCOMPARE(form.boardPreview()->chosenVariant(), 22);
        QCOMPARE(form.canvas().render(), canvas);
        QCOMPARE(form.undoStack()->count(), 1); // the typing only

        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(":10028000FFFF\n");
        file.close();
        BoxAnswerer ok(QMessageBox::Ok);
        form.checkContentFile(path);
        QCOMPARE(ok.seen.size(), 1);
        QVERIFY2(ok.seen.at(0).text.contains(u"第 1 行"_s), qPrintable(ok.seen.at(0).text));
        QCOMPARE(form.boardPreview()->litDots()->code(), code);
    }
};

QTEST_MAIN(ProjectWindowTest)
#include "tst_projectwindow.moc"
