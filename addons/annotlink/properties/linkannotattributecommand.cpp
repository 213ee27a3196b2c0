#include "properties/linkannotattributecommand.h"

#include "tool/linkstyle.h"

#include "omofdapi/ig_annot.h"
#include "omofdapi/ig_document.h"
#include "uiframework/g_event.h"
#include "uiframework/g_uicontext.h"
#include "uiframework/gq_convert.h"

LinkAnnotAttributeCommand::LinkAnnotAttributeCommand(G_UIContext *context, int annotID, LinkAttributeState before,
                                                     LinkAttributeState after, QUndoCommand *parent)
    : LinkStateCommand(context, annotID, std::move(before), std::move(after), "LinkAnnotAttributeCommand::undo",
                       "LinkAnnotAttributeCommand::redo", parent)
{
}

LinkAnnotAttributeCommand::~LinkAnnotAttributeCommand() = default;

void LinkAnnotAttributeCommand::Apply(const LinkAttributeState &state, const char *traceText)
{
    const LinkLookup link = FindLink(m_context, state.pageIndex, uint32_t(m_annotID));
    IG_Document *document = link.document;
    IG_Annot *annot = link.annot;
    IG_PageObject *object = link.object;
    if (!object)
        return;

    WriteLinkStroke(document, object, state.Stroke());
    object->SetActions(state.actions);
    annot->SetLastModDate(GQ_ToCAS(state.lastModDate));
    // The visible flag just written tells a visible rectangle from an invisible one.
    RestoreLinkGeometry(annot, object, state.path, state.boundary, traceText);
    m_context->FireEvent(new G_AnnotationEvent(document, annot, G_Event_Annotation));
}
