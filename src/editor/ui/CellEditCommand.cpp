#include "editor/ui/CellEditCommand.h"

#include "editor/GridController.h"

namespace tarveon {

CellEditCommand::CellEditCommand(GridController &grid, CellEdit edit) : m_grid(grid), m_edit(std::move(edit)) {}

void CellEditCommand::undo()
{
    m_grid.applyEdit(m_edit, true);
}

void CellEditCommand::redo()
{
    if (m_done) {
        m_done = false;
        return;
    }
    m_grid.applyEdit(m_edit, false);
}

bool CellEditCommand::mergeWith(const QUndoCommand *other)
{
    const auto *next = static_cast<const CellEditCommand *>(other);
    if (!next->m_edit.followUp)
        return false;
    m_edit.changes += next->m_edit.changes;
    return true;
}

} // namespace tarveon
