#include "operations/gp_deletealllinkannot.h"

#include "omofdapi/ig_annot.h"
#include "omofdapi/ig_document.h"
#include "omofdapi/ig_page.h"

#include "uiframework/g_docview.h"
#include "uiframework/g_event.h"
#include "uiframework/g_runoperation.h"
#include "uiframework/g_uicontext.h"

namespace {

void AppendNumber(QByteArray &text, quint64 value)
{
    char digits[20];
    int count = 0;
    do {
        digits[count++] = char('0' + value % 10);
        value /= 10;
    } while (value != 0);
    while (count > 0)
        text.append(digits[--count]);
}

// "page:id," in plain decimal.
void AppendEntry(QByteArray &text, int page, uint32_t id)
{
    AppendNumber(text, quint64(page));
    text.append(':');
    AppendNumber(text, id);
    text.append(',');
}

} // namespace

G_Operation *GP_DeleteAllLinkAnnot::Clone() const
{
    GP_DeleteAllLinkAnnot *copy = new GP_DeleteAllLinkAnnot;
    copy->CopyFrom(*this);
    return copy;
}

const char *GP_DeleteAllLinkAnnot::Name() const
{
    return "tt_deletealllink";
}

int GP_DeleteAllLinkAnnot::AuthorityType() const
{
    return 1;
}

int GP_DeleteAllLinkAnnot::DoAction()
{
    G_DocView *view = DocView();
    if (!view)
        return 0;

    // Built as Latin-1 bytes and widened once: a document may hold a hundred thousand links.
    QByteArray list;
    if (IG_Document *document = GDocument()) {
        for (int p = 0; p < document->PageCount(); ++p) {
            IG_Page *page = document->GetPage(p);
            if (!page)
                continue;
            // A page never shown has not read its annotations yet; its links count too.
            if (!page->IsAnnotsLoaded())
                page->LoadAnnots();
            const int count = page->AnnotCount();
            for (int i = 0; i < count; ++i) {
                IG_Annot *annot = page->AnnotAt(i);
                if (annot && annot->Type() == G_AnnotType_Link)
                    AppendEntry(list, p, annot->ID());
            }
        }
    }
    list.chop(1);

    // Runs also for an empty list, so that the host sees one uniform deletion.
    RunOperation(UIContext(), QStringLiteral("d_delannot"), [&list](G_Operation &remove) {
        remove.Param().Add(QStringLiteral("NoUndo"), false);
        remove.Param().Add(QStringLiteral("pageAndAnnotID"), QString::fromLatin1(list));
    });

    G_DocumentChangedEvent *event = new G_DocumentChangedEvent(view, G_Event_DocumentChanged, 0);
    if (G_UIContext *viewContext = view->UIContext())
        viewContext->FireEvent(event);
    else
        delete event;
    return 1;
}
