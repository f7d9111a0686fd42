#include "vbEditCommand.h"

#include "vbCavas.h"

vbEditCommand::vbEditCommand(vbCavas* editor, const vbSceneState& before, const vbSceneState& after,
                             const QString& text, int merge, quint64 overlay)
    : QUndoCommand(text), m_editor(editor), m_before(before), m_after(after), m_merge(merge),
      m_overlay(overlay)
{}

void vbEditCommand::undo()
{
    if (m_editor)
        m_editor->restoreEdit(m_before);
    m_done = false;
}

void vbEditCommand::redo()
{
    if (m_done)
        return;
    if (m_editor)
        m_editor->restoreEdit(m_after);
    m_done = true;
}

bool vbEditCommand::mergeWith(const QUndoCommand* other)
{
    const auto* next = static_cast<const vbEditCommand*>(other);
    if (next->m_overlay != m_overlay || m_overlay == 0)
        return false;
    m_after = next->m_after;
    return true;
}
