#include "tool/linkannotmodifycommand.h"

#include "omofdapi/ig_annot.h"
#include "uiframework/gq_convert.h"

LinkAnnotModifyCommand::LinkAnnotModifyCommand(G_UIContext *context, int annotID, LinkGeometryState before,
                                               LinkGeometryState after, QUndoCommand *parent)
    : LinkStateCommand(context, annotID, std::move(before), std::move(after), "LinkAnnotModifyCommand::undo",
                       "LinkAnnotModifyCommand::redo", parent)
{
}

LinkAnnotModifyCommand::~LinkAnnotModifyCommand() = default;

void LinkAnnotModifyCommand::Restore(const LinkLookup &link, const LinkGeometryState &state, const char *traceText)
{
    link.annot->SetLastModDate(GQ_ToCAS(state.date, false));
    RestoreLinkGeometry(link.annot, link.object, state.path, state.boundary, traceText);
}
