#pragma once

#include "tool/linkgeometrystate.h"
#include "tool/linkstatecommand.h"

// A finished resize of a link: undo and redo rebuild the link from the stored rectangle.
class LinkAnnotModifyCommand : public LinkStateCommand<LinkGeometryState>
{
public:
    LinkAnnotModifyCommand(G_UIContext *context, int annotID, LinkGeometryState before,
                           LinkGeometryState after, QUndoCommand *parent = nullptr);
    ~LinkAnnotModifyCommand() override;

private:
    void Restore(const LinkLookup &link, const LinkGeometryState &state, const char *traceText) override;
};
