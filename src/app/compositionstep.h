#pragma once

#include "project/project.h"

#include <functional>

#include <QUndoCommand>

namespace tavrin::app {

// One change of the composition on the undo stack: undone and redone by putting back the
// composition as it was before or after. Typing merges into one step until a word ends.
class CompositionStep : public QUndoCommand {
public:
    using Apply = std::function<void(const project::Project &)>;
    enum class Kind { Typing, Other };

    CompositionStep(const QString &name, Kind kind, project::Project before, project::Project after, Apply apply);

    void undo() override;
    void redo() override;
    int id() const override;
    bool mergeWith(const QUndoCommand *other) override;

    const project::Project &after() const { return m_after; }

private:
    project::Project m_before;
    project::Project m_after;
    Apply m_apply;
    Kind m_kind;
    bool m_done = true; // pushed after the change was made: the first redo has nothing to do
    bool m_wordEnded = false;
};

// Whether two compositions show the same: the settings a project also keeps (export, preview)
// are not part of it.
bool sameComposition(const project::Project &a, const project::Project &b);

} // namespace tavrin::app
