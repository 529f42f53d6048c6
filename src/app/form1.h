#pragma once

#include "compose/composer.h"
#include "compose/dots.h"
#include "compose/picturesettings.h"
#include "compose/preparation.h"
#include "platform/dialogs.h"
#include "project/project.h"

#include <array>

#include <QElapsedTimer>
#include <QHash>
#include <QStringList>
#include <QWidget>

class QAction;
class QComboBox;
class QImage;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QScrollBar;
class QSlider;
class QTimer;
class QUndoStack;

namespace tavrin::link {
class SendJob;
} // namespace tavrin::link

namespace tavrin::app {

class BoardPreview;
class CanvasView;
class FontList;
class LitDotView;
class PortList;

// The one window. Controls carry fixed object names (Text1, Command14_2 …), which the tests find
// them by; handlers only dispatch, leaving the work to the compose, encode, link and hex libraries.
class Form1 : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Form1)

public:
    explicit Form1(QWidget *parent = nullptr);
    ~Form1() override;

    // The client area as designed; the window may be enlarged beyond it.
    static constexpr QSize designSize{613, 253};
    // The size that shows everything below the design: the LED-count choice and the code box.
    QSize sizeShowingAll() const;

    // The window's commands. The buttons, the menu bar, the canvas's menu and the shortcuts all
    // call these; what must not change while a send runs does nothing meanwhile.
    enum class Step { Larger, Smaller };
    void moveContent(compose::Direction direction);
    // A larger or smaller text size, or a wider or narrower picture box.
    void stepSize(Step step);
    // Text mode to picture mode (asking for a picture) and back, as the picture button does.
    void togglePicture();
    // In text mode what the picture button does; in picture mode asks for another picture.
    void choosePicture();
    // Back to text mode, as the picture button does in picture mode.
    void closePicture();
    // Scans the canvas into the content code and starts sending it; the message follows when the
    // send ends.
    void writeContent();
    void eraseContent();
    // Writes the orientation test pattern, as tavrin-cli pattern write does, with the content's
    // mirror; the composition, its code and the code box stay as they are.
    void writeTestPattern();
    // Canvas → Picture Settings: the dialog over the window; its OK applies the settings as one step.
    void showPictureSettings();
    // Stops a running send; the message says how much reached the board.
    void stopSending();
    // Stops a running send and waits until its port is closed, without a message: the window is going.
    void abandonSend();
    void exportHex();
    void setLedCount(int leds);
    // The window beside this one that shows what the board will light and how it spins; it follows
    // every change of the canvas.
    void showBoardPreview();
    void copyContentCode();
    // Offers the product page and opens it when the user agrees.
    void offerProductPage();
    // The product button: the offer, then the page whatever the answer.
    void showProductDetails();

    QAction *boardPreviewAction() const { return m_previewAction; }
    // Commands offered by the canvas's right-click menu, after the board preview.
    void addCanvasActions(const QList<QAction *> &actions);

    // Renders the text into the canvas and reports its size.
    void run();

    // Shows a picture file in picture mode, as if chosen in the open dialog; a file that cannot be
    // used is reported in a message box and the mode stays as it was.
    bool openPictureFile(const QString &path);

    BoardPreview *boardPreview() const { return m_preview; }
    // How pictures are made into dots, now and for pictures opened later.
    void setPictureDots(const compose::DotSettings &settings);
    // How the picture as loaded becomes the picture layer, its dots included.
    const compose::PictureSettings &pictureSettings() const { return m_pictureSettings; }
    // Prepares the picture as loaded anew, as one undo step; the settings also apply to pictures
    // opened later, except the crop and frame, which are the picture's own. A setting that cannot
    // be applied is said in a message box; then nothing changes and the answer is false.
    bool setPictureSettings(const compose::PictureSettings &settings);
    // The picture as read from its file (the frame chosen), before its preparation; null when none.
    const QImage &loadedPicture() const { return m_loadedPicture; }
    // The file the picture was read from in this session, where its other frames are; empty for a
    // picture a project brought, which keeps one frame only.
    QString pictureFile() const { return m_pictureFiles.value(m_loadedPicture.cacheKey()); }
    // The mirror of everything the canvas shows, for boards mounted or spinning the other way.
    compose::Mirror contentMirror() const { return m_composer.canvas().mirror; }
    void setContentMirror(compose::Mirror mirror);

    // The composition as a project keeps it, with the board preview's and the export's settings.
    project::Project composition() const;
    // Puts a kept composition on the canvas and the controls; withSettings the board preview's and
    // the export's settings too. It is no step of its own.
    void applyComposition(const project::Project &composition, bool withSettings);
    // What the window shows at start, for a new project.
    const project::Project &startComposition() const { return m_start; }
    // Every change of the composition is a step on this stack, named for the Edit menu.
    QUndoStack *undoStack() const { return m_undo; }
    // Reads a HEX or content code file as tavrin-cli show does and shows what it holds in the board
    // preview; the composition stays as it is. A file that cannot be used is said in a message box.
    void checkContentFile(const QString &path);

    // The design's event handlers, each one call of a command; public so that tests can drive
    // them as the window's events do.
    void Form_Load();
    void Combo2_Click();
    void Command3_Click();
    void Command4_Click(int index);
    void Command7_Click(int index);
    void Command9_Click(int index);
    void Command14_Click(int index);
    void HScroll1_Change();
    void List1_Click();
    void Slider2_Change();
    void Text1_Change();
    void Text2_Click();
    void Timer1_Timer();
    void Timer2_Timer();

    // Form state.
    int picmode() const { return m_composer.mode() == compose::Mode::Picture ? 1 : 0; }
    int ledcount() const { return m_composer.ledCount(); }
    int progresscount() const { return m_progresscount; }
    const std::array<QString, 10> &texts() const { return m_texts; }
    float canvasleft() const { return m_canvasleft; }
    const QStringList &contact() const { return m_contact; }
    int tickCounter() const { return m_ticks; }
    const compose::Canvas &canvas() const { return m_composer.canvas(); }

    // Whether a send to the board is running.
    bool isSending() const { return m_send != nullptr; }

Q_SIGNALS:
    void pictureModeChanged(bool pictureMode);
    // When a send to the board starts and ends.
    void sendingChanged(bool sending);
    // After every change of the canvas.
    void composed();
    // The LED-count list shows the item of this count.
    void ledCountListed(int leds);
    // The user changed a setting a project keeps that is no step of the composition: the board
    // preview's, or the firmware chosen for the export.
    void settingsEdited();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void createControls();
    void createTextControls();
    void createActionControls();
    void createLedCountControls();
    void createCodeBoxes();
    void createProgressPanel();
    void connectControls();
    void prepareDesktopUse();
    void layoutBelowDesign();
    void showPictureMode();

    void makecode();
    void progress(const QString &caption, double fraction);
    void openpicture();
    QImage readPicture(const QString &path);
    // Keeps the picture as loaded and puts it on the canvas prepared as the settings say, the
    // picture's own crop and frame reset; false, after a message, when it cannot be prepared.
    bool usePicture(const QImage &picture, const QString &path);
    // The picture as loaded prepared anew for the canvas; false, after a message, when it cannot be.
    bool preparePicture(const QImage &loaded, const compose::PictureSettings &settings, compose::ShapedPicture &shaped);
    bool applyPictureSettings(const compose::PictureSettings &settings, const QString &stepName);
    void makehex(int variant);
    // Starts sending the command (with the content code after a write command) to the chosen port;
    // what would start another send or change what is sent is disabled until it ends.
    void sendcode(const QString &command);
    void sendcode(const QString &command, const QString &contentCode);
    // A drag of the text or picture with the mouse, on the canvas or in the lit-dot view: the
    // arrows' moves, dot by dot, and one undo step.
    void connectDrags(CanvasView *view);
    void connectDrags(LitDotView *view);
    void dragContent(const QPoint &dots);
    // The panel that shows the scan's and the send's progress, drawn before the work starts.
    void showProgressPanel();
    // The end of a send: the panel goes, the message comes and the controls are back.
    void sendFinished(const QString &command);
    void setSending(bool sending);
    void showSendProgress(qint64 delivered, qint64 total);
    void drawProgress(const QString &caption, double fraction);
    // The LED count the list's current item or typed text names; 0 when it names none.
    int listedLedCount() const;
    // Hands the canvas as it is to the board preview.
    void feedPreview();
    // A change of the composition runs between these; the outermost pair makes it one undo step.
    void beginStep();
    void endStep(const QString &name, bool typing = false);
    void loadtext();
    void openProductPage();

    void refreshCanvas();
    void repaintAtFrameRate(QWidget *widget);
    float outerWidthTwips() const;

    CanvasView *Picture1 = nullptr;
    QScrollBar *HScroll1 = nullptr;
    QGroupBox *Frame2 = nullptr;
    QPlainTextEdit *Text1 = nullptr;
    FontList *List1 = nullptr;
    QSlider *Slider2 = nullptr;
    QLabel *Label7 = nullptr;
    std::array<QPushButton *, 7> Command9{};
    std::array<QPushButton *, 2> Command4{};
    std::array<QPushButton *, 3> Command14{}; // elements 0 and 2 only
    QLabel *Label17 = nullptr;                // element 4
    PortList *Combo7 = nullptr;
    QGroupBox *Frame1 = nullptr;
    QComboBox *Combo2 = nullptr;
    QLabel *Label2 = nullptr;
    QPushButton *Command7 = nullptr; // element 0
    QPushButton *Command3 = nullptr;
    QPlainTextEdit *Text2 = nullptr;
    QLineEdit *Text3 = nullptr;
    QPlainTextEdit *Text4 = nullptr;
    QWidget *Picture3 = nullptr;
    QFrame *Frame4 = nullptr;
    std::array<QLabel *, 3> Label16{};
    QTimer *Timer1 = nullptr;
    QTimer *Timer2 = nullptr;
    QLabel *m_codeLabel = nullptr;
    platform::FileDialogs CommonDialog1;

    compose::Composer m_composer;
    int m_progresscount = 0;         // progress calls since the panel was last drawn
    std::array<QString, 10> m_texts; // text slots; slot 0 is the instruction text
    float m_canvasleft = 0;          // the canvas's home position, where a scan puts it back
    QStringList m_contact;           // the contact fields
    int m_ticks = 0;                 // the marquee's tick counter
    int m_lastVariant = -1;
    int m_codeLedCount = 0; // the LED count the code in the holder was made for; 0 before the first scan
    QElapsedTimer m_frameClock;
    link::SendJob *m_send = nullptr;
    QAction *m_stopSend = nullptr; // Esc, while a send runs
    QAction *m_previewAction = nullptr;
    BoardPreview *m_preview = nullptr;
    QImage m_loadedPicture; // as read, before it is made into dots
    QString m_pictureName;
    // The file each picture read in this session came from, by its cache key: another frame of it
    // is read from there, through undo and redo too.
    QHash<qint64, QString> m_pictureFiles;
    QImage m_shapedPicture; // prepared, before its dots: a change of the dots alone starts here
    compose::PictureSettings m_pictureSettings;
    project::PreviewSettings m_previewSettings; // until the board preview is first shown
    QUndoStack *m_undo = nullptr;
    project::Project m_start;
    project::Project m_committed; // the composition after the last step
    int m_stepDepth = 0;
    bool m_applying = false;
};

} // namespace tavrin::app
