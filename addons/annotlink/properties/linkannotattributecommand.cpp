#include "properties/linkannotattributecommand.h"

#include "omofdapi/ig_annot.h"
#include "omofdapi/ig_pageobject.h"
#include "uiframework/gq_convert.h"

LinkAnnotAttributeCommand::LinkAnnotAttributeCommand(G_UIContext *context, int annotID, LinkAttributeState before,
                                                     LinkAttributeState after, QUndoCommand *parent)
    : LinkStateCommand(context, annotID, std::move(before), std::move(after), "LinkAnnotAttributeCommand::undo",
                       "LinkAnnotAttributeCommand::redo", parent)
{
}

LinkAnnotAttributeCommand::~LinkAnnotAttributeCommand() = default;

void LinkAnnotAttributeCommand::Restore(const LinkLookup &link, const LinkAttributeState &state,
                                        const char *traceText)
{
    WriteLinkStroke(link.document, link.object, state.Stroke());
    link.object->SetActions(state.actions);
    link.annot->SetLastModDate(GQ_ToCAS(state.lastModDate));
    // The visible flag just written tells a visible rectangle from an invisible one.
    RestoreLinkGeometry(link.annot, link.object, state.path, state.boundary, traceText);
}
