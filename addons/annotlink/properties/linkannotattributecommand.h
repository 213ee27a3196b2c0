#pragma once

#include "properties/linkattributestate.h"
#include "tool/linkstatecommand.h"

// A change of an existing link's style and action made in the property dialog.
class LinkAnnotAttributeCommand : public LinkStateCommand<LinkAttributeState>
{
public:
    LinkAnnotAttributeCommand(G_UIContext *context, int annotID, LinkAttributeState before,
                              LinkAttributeState after, QUndoCommand *parent = nullptr);
    ~LinkAnnotAttributeCommand() override;

private:
    void Restore(const LinkLookup &link, const LinkAttributeState &state, const char *traceText) override;
};
