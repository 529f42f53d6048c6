#include "app/boardpreview.h"
#include "app/canvasview.h"
#include "app/compositionstep.h"
#include "app/fontlist.h"
#include "app/form1.h"
#include "app/reasons.h"
#include "encode/boardview.h"
#include "encode/codefile.h"
#include "hex/hexreader.h"

#include <algorithm>

#include <QComboBox>
#include <QFileInfo>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QSlider>
#include <QUndoStack>

// The window's side of projects and undo: the composition taken from the controls and put back
// on them, each change of it one step; and files checked in the board preview.
namespace tavrin::app {

project::Project Form1::composition() const {
    project::Project kept;
    kept.text = Text1->toPlainText();
    kept.font = List1->chosenFamily();
    kept.size = Slider2->value();
    kept.picture = m_loadedPicture;
    kept.pictureName = m_pictureName;
    kept.setPictureSettings(m_pictureSettings);
    project::record(m_composer, kept);
    kept.exportVariant = m_lastVariant;
    kept.preview = m_preview ? m_preview->settings() : m_previewSettings;
    return kept;
}

void Form1::applyComposition(const project::Project &composition, bool withSettings) {
    m_applying = true;
    {
        const QSignalBlocker text(Text1);
        const QSignalBlocker fonts(List1);
        const QSignalBlocker size(Slider2);
        const QSignalBlocker leds(Combo2);
        Combo2->setCurrentIndex(Combo2->findData(composition.ledCount));
        Text1->setPlainText(composition.text);
        QListWidgetItem *font = nullptr;
        for (int row = 0; row < List1->count() && !font; ++row) {
            if (List1->item(row)->data(Qt::UserRole).toString() == composition.font) {
                font = List1->item(row);
            }
        }
        if (!font && !composition.font.isEmpty()) {
            // A name that stands for an installed face ("宋体"), as the command line takes it.
            font = new QListWidgetItem(composition.font);
            font->setData(Qt::UserRole, composition.font);
            List1->insertItem(0, font);
        }
        List1->setCurrentItem(font);
        Slider2->setValue(composition.size);
    }
    m_loadedPicture = composition.picture;
    m_pictureName = composition.pictureName;
    m_pictureSettings = composition.pictureSettings();
    m_composer.applyLedCount(composition.ledCount);
    run(); // the size report, against the composition's matrix
    // A project read from a file was checked for its preparation; each step's was made already.
    m_shapedPicture = project::restore(composition, m_composer).image;
    Q_EMIT ledCountListed(composition.ledCount);
    HScroll1_Change();
    showPictureMode();
    if (withSettings) {
        m_lastVariant = composition.exportVariant;
        m_previewSettings = composition.preview;
        if (m_preview) {
            m_preview->applySettings(composition.preview);
        }
    }
    if (m_preview) {
        m_preview->showDotSettings(m_pictureSettings.dots);
    }
    m_applying = false;
    refreshCanvas();
    m_committed = this->composition();
}

void Form1::beginStep() {
    ++m_stepDepth;
}

void Form1::endStep(const QString &name, bool typing) {
    if (--m_stepDepth > 0 || m_applying || !m_undo) {
        return;
    }
    project::Project now = composition();
    if (sameComposition(now, m_committed)) {
        return;
    }
    m_undo->push(new CompositionStep(name, typing ? CompositionStep::Kind::Typing : CompositionStep::Kind::Other,
                                     m_committed, now,
                                     [this](const project::Project &kept) { applyComposition(kept, false); }));
    m_committed = std::move(now);
}

void Form1::checkContentFile(const QString &path) {
    const QString name = QFileInfo(path).fileName();
    QString code;
    int leds = m_composer.ledCount();
    int variant = hex::unknownVariant;
    QString note;
    if (name.endsWith(u".hex", Qt::CaseInsensitive)) {
        const hex::HexReading reading = hex::readHexFile(path);
        if (!reading.ok()) {
            platform::showMessage(this, Reasons::hexFault(reading.fault, name));
            return;
        }
        // Every firmware of the export drives 16 LEDs; the board holds no more than a canvas of columns.
        leds = 16;
        variant = reading.variant;
        note =
            variant == hex::unknownVariant ? Reasons::unknownFirmware(reading.unknown) : tr("%1 号固件。").arg(variant);
        code = encode::boardContent(reading.contentCode, leds);
        if (code.isEmpty()) {
            platform::showMessage(this, tr("HEX 文件“%1”中没有内容：没有可显示的列。").arg(name));
            return;
        }
    } else {
        const encode::CodeFile file = encode::readCodeFile(path, leds);
        if (!file.ok()) {
            platform::showMessage(this, Reasons::codeFile(file, name));
            return;
        }
        code = file.code;
    }
    showBoardPreview();
    m_preview->showFileContent(name, code, leds, variant, note);
}

} // namespace tavrin::app
