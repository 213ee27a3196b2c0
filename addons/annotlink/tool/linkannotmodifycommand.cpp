#include "tool/linkannotmodifycommand.h"

#include "tool/linkstyle.h"

#include "omofdapi/ig_annot.h"
#include "omofdapi/ig_document.h"
#include "uiframework/g_event.h"
#include "uiframework/g_uicontext.h"
#include "uiframework/gq_convert.h"

LinkAnnotModifyCommand::LinkAnnotModifyCommand(G_UIContext *context, int annotID, LinkGeometryState before,
                                               LinkGeometryState after, QUndoCommand *parent)
    : LinkStateCommand(context, annotID, std::move(before), std::move(after), "LinkAnnotModifyCommand::undo",
                       "LinkAnnotModifyCommand::redo", parent)
{
}

LinkAnnotModifyCommand::~LinkAnnotModifyCommand() = default;

void LinkAnnotModifyCommand::Apply(const LinkGeometryState &state, const char *traceText)
{
    const LinkLookup link = FindLink(m_context, state.pageIndex, uint32_t(m_annotID));
    IG_Document *document = link.document;
    IG_Annot *annot = link.annot;
    IG_PageObject *object = link.object;
    if (!object)
        return;

    annot->SetLastModDate(GQ_ToCAS(state.date, false));
    RestoreLinkGeometry(annot, object, state.path, state.boundary, traceText);
    m_context->FireEvent(new G_AnnotationEvent(document, annot, G_Event_Annotation));
}
