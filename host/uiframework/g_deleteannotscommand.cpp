#include "g_deleteannotscommand.h"

#include "g_docview.h"
#include "g_event.h"
#include "g_uicontext.h"

#include "omofdapi/ig_document.h"

#include <QHash>
#include <QMap>

#include <utility>
#include <vector>

G_DeleteAnnotsCommand::G_DeleteAnnotsCommand(G_DocView *view, IG_Document *document, const QVector<Entry> &entries)
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

// Each page takes its annotations back in one pass, every one at the position it had.
void G_DeleteAnnotsCommand::undo()
{
    QMap<int, std::vector<std::pair<int, IG_Annot *>>> byPage;
    for (const Entry &entry : qAsConst(m_entries))
        if (entry.out)
            byPage[entry.pageIndex].emplace_back(entry.index, entry.annot);
    for (auto it = byPage.cbegin(); it != byPage.cend(); ++it) {
        IG_Page *page = m_document ? m_document->GetPage(it.key()) : nullptr;
        if (!page)
            continue;
        page->InsertAnnots(it.value());
    }
    for (Entry &entry : m_entries)
        if (entry.out && entry.annot->Page())
            entry.out = false;
    Changed();
}

void G_DeleteAnnotsCommand::redo()
{
    // The push: DoAction has taken them out already.
    if (!m_pushed) {
        m_pushed = true;
        return;
    }
    QMap<int, std::vector<IG_Annot *>> byPage;
    QHash<const IG_Annot *, Entry *> entryOf;
    for (Entry &entry : m_entries) {
        if (entry.out)
            continue;
        byPage[entry.pageIndex].push_back(entry.annot);
        entryOf.insert(entry.annot, &entry);
    }
    std::vector<IG_Annot *> taken;
    for (auto it = byPage.cbegin(); it != byPage.cend(); ++it) {
        IG_Page *page = m_document ? m_document->GetPage(it.key()) : nullptr;
        if (!page)
            continue;
        for (const auto &out : page->TakeAnnots(it.value())) {
            Entry *entry = entryOf.value(out.second);
            entry->index = out.first;
            entry->out = true;
            taken.push_back(out.second);
        }
    }
    if (m_view)
        m_view->ForgetAnnots(taken);
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
