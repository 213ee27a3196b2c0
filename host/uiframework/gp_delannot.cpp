#include "gp_delannot.h"

#include "g_deferreddelete.h"
#include "g_deleteannotscommand.h"
#include "g_docview.h"

#include "omofdapi/ig_document.h"

#include <QDebug>
#include <QRegularExpression>
#include <QUndoStack>

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
    static const QRegularExpression entryPattern(QStringLiteral("^(\\d+):(\\d+)$"));
    QList<G_DeleteAnnotsCommand::Entry> entries;
    QList<IG_Annot *> found;
    const QStringList items = Param().GetQString(QStringLiteral("pageAndAnnotID")).split(QLatin1Char(','));
    for (const QString &item : items) {
        const QRegularExpressionMatch match = entryPattern.match(item);
        if (!match.hasMatch())
            continue;
        bool pageOk = false, idOk = false;
        const int pageIndex = match.captured(1).toInt(&pageOk, 10);
        const uint id = match.captured(2).toUInt(&idOk, 10);
        if (!pageOk || !idOk)
            continue;
        IG_Page *page = document->GetPage(pageIndex);
        if (!page)
            continue;
        if (!page->IsAnnotsLoaded())
            page->LoadAnnots();
        IG_Annot *annot = page->AnnotByID(id);
        if (!annot || found.contains(annot))
            continue;
        const int index = page->AnnotIndex(annot);
        if (index < 0 || !page->TakeAnnot(annot))
            continue;
        view->ForgetAnnot(annot);
        found.append(annot);
        G_DeleteAnnotsCommand::Entry entry;
        entry.pageIndex = pageIndex;
        entry.index = index;
        entry.annot = annot;
        entries.append(entry);
    }
    qDebug() << "GP_DelAnnot::DoAction" << items.size() << entries.size();
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
