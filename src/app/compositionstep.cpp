#include "app/compositionstep.h"

#include <algorithm>
#include <utility>

namespace tavrin::app {

namespace {

constexpr int typingId = 1;

// Whether the text typed between before and after holds a blank: a word ends there.
bool endsWord(const QString &before, const QString &after) {
    if (after.size() <= before.size()) {
        return false;
    }
    qsizetype start = 0;
    while (start < before.size() && before.at(start) == after.at(start)) {
        ++start;
    }
    const QStringView typed = QStringView(after).mid(start, after.size() - before.size());
    return std::any_of(typed.begin(), typed.end(), [](QChar c) { return c.isSpace(); });
}

bool sameBox(const compose::Box &a, const compose::Box &b) {
    return a.left == b.left && a.top == b.top && a.width == b.width && a.height == b.height;
}

} // namespace

CompositionStep::CompositionStep(const QString &name, Kind kind, project::Project before, project::Project after,
                                 Apply apply)
    : QUndoCommand(name)
    , m_before(std::move(before))
    , m_after(std::move(after))
    , m_apply(std::move(apply))
    , m_kind(kind)
    , m_wordEnded(kind == Kind::Typing && endsWord(m_before.text, m_after.text)) {}

void CompositionStep::undo() {
    m_apply(m_before);
}

void CompositionStep::redo() {
    if (m_done) {
        m_done = false;
        return;
    }
    m_apply(m_after);
}

int CompositionStep::id() const {
    return m_kind == Kind::Typing ? typingId : -1;
}

bool CompositionStep::mergeWith(const QUndoCommand *other) {
    const auto *next = static_cast<const CompositionStep *>(other);
    if (m_wordEnded) {
        return false;
    }
    m_wordEnded = endsWord(m_after.text, next->m_after.text);
    m_after = next->m_after;
    return true;
}

bool sameComposition(const project::Project &a, const project::Project &b) {
    return a.ledCount == b.ledCount && a.mode == b.mode && a.text == b.text && a.font == b.font && a.size == b.size &&
           a.textLeft == b.textLeft && a.textTop == b.textTop && a.picture.cacheKey() == b.picture.cacheKey() &&
           a.pictureName == b.pictureName && sameBox(a.pictureBox, b.pictureBox) &&
           a.pictureSettings() == b.pictureSettings() && a.mirror == b.mirror;
}

} // namespace tavrin::app
