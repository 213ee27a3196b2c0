#include "g_deleteannotscommand.h"

#include "g_docview.h"
#include "g_event.h"
#include "g_uicontext.h"

#include "omofdapi/ig_document.h"

#include <QHash>

#include <algorithm>
#include <utility>
#include <vector>

G_DeleteAnnotsCommand::G_DeleteAnnotsCommand(G_DocView *view, IG_Document *document, const QVector<Entry> &entries)
    : m_view(view), m_document(document), m_entries(entries)
{
    // Undo and redo walk the entries page by page.
    const auto byPage = [](const Entry &a, const Entry &b) { return a.pageIndex < b.pageIndex; };
    if (!std::is_sorted(m_entries.cbegin(), m_entries.cend(), byPage))
        std::stable_sort(m_entries.begin(), m_entries.end(), byPage);
}

G_DeleteAnnotsCommand::~G_DeleteAnnotsCommand()
{
    for (const Entry &entry : qAsConst(m_entries)) {
        if (entry.out)
            delete entry.annot;
    }
}

template <class F>
void G_DeleteAnnotsCommand::ForEachPage(F work)
{
    Entry *const entries = m_entries.data();
    const int count = m_entries.size();
    for (int first = 0; first < count;) {
        int last = first + 1;
        while (last < count && entries[last].pageIndex == entries[first].pageIndex)
            ++last;
        if (IG_Page *page = m_document ? m_document->GetPage(entries[first].pageIndex) : nullptr)
            work(page, entries + first, entries + last);
        first = last;
    }
}

// Each page takes its annotations back in one pass, every one at the position it had.
void G_DeleteAnnotsCommand::undo()
{
    std::vector<std::pair<int, IG_Annot *>> back;
    ForEachPage([&back](IG_Page *page, Entry *first, Entry *last) {
        back.clear();
        back.reserve(size_t(last - first));
        for (Entry *entry = first; entry != last; ++entry)
            if (entry->out)
                back.emplace_back(entry->index, entry->annot);
        const bool all = page->InsertAnnots(back) == int(back.size());
        for (Entry *entry = first; entry != last; ++entry)
            if (entry->out && (all || entry->annot->Page()))
                entry->out = false;
    });
    Changed();
}

void G_DeleteAnnotsCommand::redo()
{
    // The push: DoAction has taken them out already.
    if (!m_pushed) {
        m_pushed = true;
        return;
    }
    std::vector<std::pair<int, IG_Annot *>> wanted;
    std::vector<IG_Annot *> taken;
    taken.reserve(size_t(m_entries.size()));
    ForEachPage([&wanted, &taken](IG_Page *page, Entry *first, Entry *last) {
        wanted.clear();
        wanted.reserve(size_t(last - first));
        for (Entry *entry = first; entry != last; ++entry)
            if (!entry->out)
                wanted.emplace_back(entry->index, entry->annot);
        // Undo put them back in the order of the entries, so what the page gives out runs
        // in that order too; only a page reordered since then needs the lookup.
        Entry *next = first;
        QHash<const IG_Annot *, Entry *> reordered;
        for (const auto &out : page->TakeAnnotsAt(wanted)) {
            while (next != last && (next->out || next->annot != out.second))
                ++next;
            Entry *entry = next;
            if (entry == last) {
                if (reordered.isEmpty())
                    for (Entry *e = first; e != last; ++e)
                        if (!e->out)
                            reordered.insert(e->annot, e);
                entry = reordered.value(out.second);
            } else {
                ++next;
            }
            entry->index = out.first;
            entry->out = true;
            taken.push_back(out.second);
        }
    });
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
