#include "g_deleteannotscommand.h"

#include "g_docview.h"
#include "g_event.h"
#include "g_uicontext.h"

#include "omofdapi/ig_document.h"

G_DeleteAnnotsCommand::G_DeleteAnnotsCommand(G_DocView *view, IG_Document *document, const QList<Entry> &entries)
    : m_view(view), m_document(document), m_entries(entries)
{
}

G_DeleteAnnotsCommand::~G_DeleteAnnotsCommand()
{
    for (const Entry &entry : qAsConst(m_entries)) {
        if (entry.out)
            delete entry.annot;
    }
}

// Back in reverse order, so that every annotation finds the neighbours it had.
void G_DeleteAnnotsCommand::undo()
{
    for (int i = m_entries.size() - 1; i >= 0; --i) {
        Entry &entry = m_entries[i];
        IG_Page *page = entry.out && m_document ? m_document->GetPage(entry.pageIndex) : nullptr;
        if (!page)
            continue;
        page->InsertAnnot(entry.annot, entry.index);
        entry.out = false;
    }
    Changed();
}

void G_DeleteAnnotsCommand::redo()
{
    // The push: DoAction has taken them out already.
    if (!m_pushed) {
        m_pushed = true;
        return;
    }
    for (Entry &entry : m_entries) {
        IG_Page *page = !entry.out && m_document ? m_document->GetPage(entry.pageIndex) : nullptr;
        const int index = page ? page->AnnotIndex(entry.annot) : -1;
        if (index < 0)
            continue;
        if (m_view)
            m_view->ForgetAnnot(entry.annot);
        if (page->TakeAnnot(entry.annot)) {
            entry.index = index;
            entry.out = true;
        }
    }
    Changed();
}

void G_DeleteAnnotsCommand::Changed()
{
    if (m_document)
        m_document->SetModified(true);
    if (!m_view)
        return;
    m_view->Refresh();
    if (G_UIContext *context = m_view->UIContext())
        context->FireEvent(new G_DocumentChangedEvent(m_view, G_Event_DocumentChanged, 0));
}
