// The window's picture tools beyond the design: the picture settings dialog, moving the content
// by hand, the orientation test pattern.
#include "app/boardpreview.h"
#include "app/canvasview.h"
#include "app/form1.h"
#include "app/litdotview.h"
#include "app/picturedialog.h"
#include "compose/pattern.h"
#include "encode/contentcode.h"
#include "link/boardlink.h"

namespace tavrin::app {

void Form1::showPictureSettings() {
    if (m_send) {
        return;
    }
    auto *dialog = new PictureDialog(m_loadedPicture, m_pictureSettings, m_composer.ledCount(),
                                     m_composer.canvas().widthDots(), this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    // Other frames come from the picture's file; a picture kept in a project has only its own.
    if (const QString path = pictureFile(); !path.isEmpty()) {
        dialog->setFrameReader([path](int frame) { return compose::loadPicture(path, frame); });
    }
    dialog->setApply([this](const compose::PictureSettings &settings) { return setPictureSettings(settings); });
    dialog->open();
}

void Form1::connectDrags(CanvasView *view) {
    connect(view, &CanvasView::dragStarted, this, [this] { beginStep(); });
    connect(view, &CanvasView::dragged, this, &Form1::dragContent);
    connect(view, &CanvasView::dragEnded, this, [this] { endStep(tr("拖动")); });
}

void Form1::connectDrags(LitDotView *view) {
    // A file shown in the board preview is not the composition: dragging it moves nothing.
    connect(view, &LitDotView::dragStarted, this, [this] { beginStep(); });
    connect(view, &LitDotView::dragged, this, [this](const QPoint &dots) {
        if (!m_preview->isShowingFile()) {
            dragContent(dots);
        }
    });
    connect(view, &LitDotView::dragEnded, this, [this] { endStep(tr("拖动")); });
}

void Form1::dragContent(const QPoint &dots) {
    const auto repeat = [this](int times, compose::Direction direction) {
        for (int i = 0; i < times; ++i) {
            m_composer.move(direction);
        }
    };
    repeat(std::max(0, dots.x()), compose::Direction::Right);
    repeat(std::max(0, -dots.x()), compose::Direction::Left);
    repeat(std::max(0, dots.y()), compose::Direction::Down);
    repeat(std::max(0, -dots.y()), compose::Direction::Up);
    refreshCanvas();
}

void Form1::writeTestPattern() {
    if (m_send) {
        return;
    }
    // Made on a canvas of its own, as the command line makes it: the user's composition stays.
    compose::Composer pattern;
    pattern.applyLedCount(m_composer.ledCount());
    pattern.switchMode();
    pattern.setPicture(compose::testPattern(pattern.ledCount(), pattern.canvas().widthDots()));
    pattern.setMirror(m_composer.canvas().mirror);
    showProgressPanel();
    sendcode(QString::fromLatin1(link::writeCommand), encode::makeContentCode(pattern));
}

} // namespace tavrin::app
