#include "operations/gp_action.h"

#include "omofdapi/ig_annot.h"
#include "omofdapi/ig_appearance.h"
#include "omofdapi/ig_page.h"
#include "omofdapi/ig_pageobject.h"
#include "uiframework/g_actionhandler.h"
#include "uiframework/g_docview.h"
#include "uiframework/g_toolhandler.h"
#include "uiframework/g_uicontext.h"
#include "uiframework/gq_convert.h"

G_Operation *GP_Action::Clone() const
{
    GP_Action *copy = new GP_Action;
    copy->CopyFrom(*this);
    return copy;
}

const char *GP_Action::Name() const
{
    return "d_linkaction";
}

int GP_Action::DoAction()
{
    G_DocView *view = DocView();
    if (!view)
        return 0;
    // Links only act while reading; the editing tools select them instead.
    G_ToolHandler *tool = view->CurrentToolHandler();
    const QString toolName = tool ? GQ_ToQStringFromUtf8(tool->Name()) : QString();
    if (toolName != QLatin1String("t_handtool") && toolName != QLatin1String("gt_fullscreen"))
        return 0;

    const int pageIndex = Param().GetInt32(QStringLiteral("pageIndex"), 0);
    const uint32_t annotID = uint32_t(Param().GetInt32(QStringLiteral("annotID"), 0));
    IG_Page *page = view->Page(pageIndex);
    if (!page)
        return 0;
    if (!page->IsAnnotsLoaded())
        page->LoadAnnots();
    IG_Annot *annot = page->AnnotByID(annotID);
    if (!annot)
        return 0;
    IG_Appearance *appearance = annot->Appearance();
    if (!appearance)
        return 0;
    IG_PageObject *object = appearance->PageObject(0);
    if (!object)
        return 0;

    const CCA_ArrayTemplate<G_Action *> actions = object->Actions();
    G_UIContext *context = UIContext();
    if (G_ActionHandler *handler = context ? context->ActionHandler() : nullptr)
        handler->DoActions(actions, GDocument(), 3);
    return 1;
}
