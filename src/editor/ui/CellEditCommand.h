#pragma once
#include "editor/CellEdit.h"

#include <QUndoCommand>

namespace tarveon {

class GridController;

// One action of the user on the grid, as the undo stack keeps it: only the cells it changed.
// Pushed after the change was made, so its first redo does nothing. The flag rules that ran when
// a row was left join the action before them (one undo takes both back).
class CellEditCommand : public QUndoCommand {
public:
    CellEditCommand(GridController &grid, CellEdit edit);

    void undo() override;
    void redo() override;
    int id() const override { return kId; }
    bool mergeWith(const QUndoCommand *other) override;
    const CellEdit &edit() const { return m_edit; }

private:
    static constexpr int kId = 0x7e1d;
    GridController &m_grid;
    CellEdit m_edit;
    bool m_done = true; // the change is in the table already
};

} // namespace tarveon
