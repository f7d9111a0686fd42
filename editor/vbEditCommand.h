#pragma once

#include "vbSceneState.h"

#include <QPointer>
#include <QUndoCommand>

class vbCavas;

// One edit of the canvas as the states before and after it. The edit has
// already happened when the command is pushed, so its first redo does nothing.
// Turning or resizing the same overlay again merges into one step.
class vbEditCommand : public QUndoCommand
{
public:
    enum Merge
    {
        NoMerge = -1,
        MergeAngle = 1,
        MergeScale = 2
    };

    vbEditCommand(vbCavas* editor, const vbSceneState& before, const vbSceneState& after, const QString& text,
                  int merge = NoMerge, quint64 overlay = 0);

    void undo() override;
    void redo() override;
    int id() const override { return m_merge; }
    bool mergeWith(const QUndoCommand* other) override;

private:
    QPointer<vbCavas> m_editor;
    vbSceneState m_before;
    vbSceneState m_after;
    int m_merge;
    quint64 m_overlay;
    bool m_done = true;
};
