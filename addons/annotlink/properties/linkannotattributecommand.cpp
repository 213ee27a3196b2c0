#include "properties/linkannotattributecommand.h"

#include "tool/linkstyle.h"

#include "omofdapi/ig_annot.h"
#include "omofdapi/ig_document.h"
#include "omofdapi/ig_page.h"
#include "uiframework/g_docview.h"
#include "uiframework/g_event.h"
#include "uiframework/g_uicontext.h"
#include "uiframework/gq_convert.h"

LinkAnnotAttributeCommand::LinkAnnotAttributeCommand(G_UIContext *context, int annotID,
                                                     LinkAttributeState before,
                                                     LinkAttributeState after, QUndoCommand *parent)
    : QUndoCommand(parent)
    , m_context(context)
    , m_annotID(annotID)
    , m_before(before)
    , m_after(after)
{
}

LinkAnnotAttributeCommand::~LinkAnnotAttributeCommand() = default;

void LinkAnnotAttributeCommand::undo()
{
    Apply(m_before, "LinkAnnotAttributeCommand::undo");
}

// The dialog has applied the change before pushing; only later redos re-apply it.
void LinkAnnotAttributeCommand::redo()
{
    if (!m_firstRedoDone) {
        m_firstRedoDone = true;
        return;
    }
    Apply(m_after, "LinkAnnotAttributeCommand::redo");
}

// A link that another command removed meanwhile is left alone.
void LinkAnnotAttributeCommand::Apply(const LinkAttributeState &state, const char *traceText)
{
    G_DocView *view = m_context ? m_context->CurrentDocView() : nullptr;
    IG_Document *document = view ? view->GDocument() : nullptr;
    IG_Page *page = document ? document->GetPage(state.pageIndex) : nullptr;
    if (!page)
        return;
    if (!page->IsParsed())
        page->Parse();
    if (!page->IsAnnotsLoaded())
        page->LoadAnnots();
    IG_Annot *annot = page->AnnotByID(uint32_t(m_annotID));
    IG_PageObject *object = LinkPathObject(annot);
    if (!object)
        return;

    if (IG_Color *color = EncodeColor(document, state.color)) {
        object->SetStrokeColor(color);
        delete color;
    }
    object->SetLineWidth(state.lineWidth);
    object->SetDashPattern(state.dashPattern);
    object->SetVisible(state.visible);
    object->SetActions(state.actions);
    annot->SetLastModDate(GQ_ToCAS(state.lastModDate));

    // The visible flag just set tells a visible rectangle from an invisible one.
    const LinkBoundaryKind kind = DecodeBoundaryKind(state.path, object->IsVisible());
    RebuildLinkPath(annot, object, state.boundary, kind, traceText);
    m_context->FireEvent(new G_AnnotationEvent(document, annot, G_Event_Annotation));
}
