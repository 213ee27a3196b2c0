#include "tool/linkannotmodifycommand.h"

#include "tool/linkstyle.h"

#include "omofdapi/ig_annot.h"
#include "omofdapi/ig_document.h"
#include "omofdapi/ig_page.h"
#include "uiframework/g_docview.h"
#include "uiframework/g_event.h"
#include "uiframework/g_uicontext.h"
#include "uiframework/gq_convert.h"

LinkAnnotModifyCommand::LinkAnnotModifyCommand(G_UIContext *context, int annotID,
                                               LinkGeometryState before, LinkGeometryState after,
                                               QUndoCommand *parent)
    : QUndoCommand(parent)
    , m_context(context)
    , m_annotID(annotID)
    , m_before(before)
    , m_after(after)
{
}

LinkAnnotModifyCommand::~LinkAnnotModifyCommand() = default;

void LinkAnnotModifyCommand::undo()
{
    Apply(m_before, "LinkAnnotModifyCommand::undo");
}

// The resize is already on the page when the command is pushed; only later redos apply it.
void LinkAnnotModifyCommand::redo()
{
    if (!m_redoArmed) {
        m_redoArmed = true;
        return;
    }
    Apply(m_after, "LinkAnnotModifyCommand::redo");
}

// The link is looked up afresh each time: another command may have removed it meanwhile,
// and then there is nothing to restore.
void LinkAnnotModifyCommand::Apply(const LinkGeometryState &state, const char *traceText)
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

    annot->SetLastModDate(GQ_ToCAS(state.date, false));
    // Only the stored path's shape matters: it tells an underline from a rectangle.
    const LinkBoundaryKind kind = DecodeBoundaryKind(state.path, object->IsVisible());
    RebuildLinkPath(annot, object, state.boundary, kind, traceText);
    m_context->FireEvent(new G_AnnotationEvent(document, annot, G_Event_Annotation));
}
