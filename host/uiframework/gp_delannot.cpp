#include "gp_delannot.h"

#include "g_deferreddelete.h"
#include "g_deleteannotscommand.h"
#include "g_docview.h"

#include "omofdapi/ig_document.h"

#include <QDebug>
#include <QHash>
#include <QUndoStack>

#include <algorithm>
#include <climits>
#include <utility>
#include <vector>

namespace {

// Reads plain decimal digits from `at` up to `end`; false when there are none, when any other
// character comes first, or when the number exceeds `limit`.
bool ReadNumber(const QChar *&at, const QChar *end, quint64 limit, quint64 &value)
{
    const QChar *start = at;
    value = 0;
    while (at < end && at->unicode() >= '0' && at->unicode() <= '9') {
        value = value * 10 + quint64(at->unicode() - '0');
        if (value > limit)
            return false;
        ++at;
    }
    return at > start;
}

} // namespace

G_Operation *GP_DelAnnot::Clone() const
{
    auto *copy = new GP_DelAnnot;
    copy->CopyFrom(*this);
    return copy;
}

int GP_DelAnnot::DoAction()
{
    G_DocView *view = DocView();
    IG_Document *document = view ? view->GDocument() : nullptr;
    if (!document)
        return 0;

    // Only "page:id" in plain digits counts; anything else in the list is passed over.
    // Each page then gives up its annotations in one pass, in page order.
    std::vector<std::pair<int, std::vector<uint32_t>>> wanted;
    QHash<int, size_t> slotOfPage;
    int items = 0;
    const QString list = Param().GetQString(QStringLiteral("pageAndAnnotID"));
    const QChar *at = list.constData();
    const QChar *const end = at + list.size();
    int lastPage = -1;
    IG_Page *page = nullptr;
    size_t slot = 0;
    for (bool more = true; more;) {
        ++items;
        const QChar *itemEnd = std::find(at, end, QLatin1Char(','));
        more = itemEnd != end;
        quint64 pageIndex = 0, id = 0;
        const QChar *cursor = at;
        const bool valid = ReadNumber(cursor, itemEnd, quint64(INT_MAX), pageIndex) && cursor < itemEnd
            && *cursor++ == QLatin1Char(':') && ReadNumber(cursor, itemEnd, quint64(UINT_MAX), id)
            && cursor == itemEnd;
        at = more ? itemEnd + 1 : end;
        if (!valid)
            continue;
        if (int(pageIndex) != lastPage) {
            lastPage = int(pageIndex);
            page = document->GetPage(lastPage);
            if (page && !page->IsAnnotsLoaded())
                page->LoadAnnots();
            const auto found = slotOfPage.constFind(lastPage);
            if (!page) {
                continue;
            } else if (found != slotOfPage.constEnd()) {
                slot = found.value();
            } else {
                slot = wanted.size();
                slotOfPage.insert(lastPage, slot);
                wanted.emplace_back(lastPage, std::vector<uint32_t>());
            }
        }
        if (page)
            wanted[slot].second.push_back(uint32_t(id));
    }
    std::sort(wanted.begin(), wanted.end(),
              [](const auto &a, const auto &b) { return a.first < b.first; });
    size_t total = 0;
    for (const auto &pageWanted : wanted)
        total += pageWanted.second.size();
    QVector<G_DeleteAnnotsCommand::Entry> entries;
    entries.reserve(int(total));
    std::vector<IG_Annot *> removed;
    removed.reserve(total);
    for (const auto &pageWanted : wanted) {
        IG_Page *from = document->GetPage(pageWanted.first);
        if (!from)
            continue;
        // Looked up just before they are taken, while the page's annotations are at hand.
        std::vector<IG_Annot *> annots = from->AnnotsByIDs(pageWanted.second);
        annots.erase(std::remove(annots.begin(), annots.end(), nullptr), annots.end());
        for (const auto &taken : from->TakeAnnots(annots)) {
            G_DeleteAnnotsCommand::Entry entry;
            entry.pageIndex = pageWanted.first;
            entry.index = taken.first;
            entry.annot = taken.second;
            entries.append(entry);
            removed.push_back(taken.second);
        }
    }
    view->ForgetAnnots(removed);
    qDebug() << "GP_DelAnnot::DoAction" << items << entries.size();
    if (entries.isEmpty())
        return 0;

    if (Param().GetBool(QStringLiteral("NoUndo"))) {
        // The caller may still fire an event on a removed annotation (cut does): it goes
        // when the event loop next runs, not now.
        for (const auto &entry : qAsConst(entries))
            G_DeferredDelete::Schedule(entry.annot);
    } else if (QUndoStack *stack = view->CreateUndoStack()) {
        stack->push(new G_DeleteAnnotsCommand(view, document, entries));
    } else {
        for (const auto &entry : qAsConst(entries))
            G_DeferredDelete::Schedule(entry.annot);
    }
    document->SetModified(true);
    view->Refresh();
    return 1;
}
