#include "clipboard/gp_linkannotcut.h"

#include "tool/linkclipboardrecord.h"

#include "omofdapi/ig_page.h"
#include "uiframework/g_docview.h"
#include "uiframework/g_event.h"
#include "uiframework/g_runoperation.h"
#include "uiframework/g_uicontext.h"

G_Operation *GP_LinkAnnotCut::Clone() const
{
    GP_LinkAnnotCut *copy = new GP_LinkAnnotCut;
    copy->CopyFrom(*this);
    return copy;
}

const char *GP_LinkAnnotCut::Name() const
{
    return "d_annotlinkcut";
}

int GP_LinkAnnotCut::AuthorityType() const
{
    return 2;
}

int GP_LinkAnnotCut::DoAction()
{
    G_DocView *view = DocView();
    if (!view)
        return 0;
    const int pageIndex = Param().GetInt32(QStringLiteral("pageIndex"), 0);
    const int annotID = Param().GetInt32(QStringLiteral("annotID"), 0);
    IG_Annot *annot = LinkClipboardRecord::CopyToClipboard(view, pageIndex, uint32_t(annotID));
    if (!annot)
        return 0;

    // The deletion goes through "d_annotlinkdel" so that undo brings the link back; the host
    // keeps the annotation alive for that undo, so it can still be named in the event below.
    G_UIContext *context = UIContext();
    RunOperation(context, QStringLiteral("d_annotlinkdel"), [&](G_Operation &remove) {
        remove.Param().Add(QStringLiteral("pageIndex"), annot->Page() ? annot->Page()->PageIndex() : pageIndex);
        remove.Param().Add(QStringLiteral("annotID"), int(annot->ID()));
    });
    if (context) {
        G_DocView *current = context->CurrentDocView();
        context->FireEvent(new G_AnnotationEvent(current ? current->GDocument() : GDocument(), annot,
                                                 G_Event_Annotation));
    }
    view->Refresh();
    return 1;
}
