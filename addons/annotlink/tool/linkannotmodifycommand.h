#pragma once

#include "tool/linkgeometrystate.h"

#include <QUndoCommand>

class G_UIContext;

// A finished resize of a link: undo and redo rebuild the link from the stored rectangle.
class LinkAnnotModifyCommand : public QUndoCommand
{
public:
    LinkAnnotModifyCommand(G_UIContext *context, int annotID, LinkGeometryState before,
                           LinkGeometryState after, QUndoCommand *parent = nullptr);
    ~LinkAnnotModifyCommand() override;

    void undo() override;
    void redo() override;

private:
    void Apply(const LinkGeometryState &state, const char *traceText);

    G_UIContext *m_context;
    int m_annotID;
    LinkGeometryState m_before;
    LinkGeometryState m_after;
    bool m_redoArmed = false;
};
