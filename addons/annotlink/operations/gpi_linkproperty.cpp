#include "operations/gpi_linkproperty.h"

#include "operations/interceptname.h"
#include "properties/singlelinkpropertydialog.h"

#include "core/icore.h"
#include "omofdapi/ig_document.h"
#include "omofdapi/ig_page.h"
#include "uiframework/g_docview.h"
#include "uiframework/g_operation.h"
#include "uiframework/g_uicontext.h"

bool GPI_LinkProperty::IsIntercept(G_Operation *operation)
{
    return IsInterceptName(operation, "d_annotlinkproperty");
}

// The dialog changes the document itself and deletes itself when it closes.
bool GPI_LinkProperty::DoActionHandle(G_Operation *operation)
{
    const G_OperationParam &param = operation->Param();
    const bool edit = param.GetBool("edit", false);
    int pageIndex = 0;
    CCA_GPoint first;
    CCA_GPoint second;
    IG_Annot *annot = nullptr;
    if (edit) {
        pageIndex = param.GetInt32("pageIndex", 0);
        const uint annotID = param.GetQString("annotID").toUInt(nullptr, 10);
        G_UIContext *context = operation->UIContext();
        G_DocView *view = context ? context->CurrentDocView() : nullptr;
        IG_Document *document = view ? view->GDocument() : nullptr;
        // A page that does not exist leaves the dialog without a link, as a missing link does.
        IG_Page *page = document ? document->GetPage(pageIndex) : nullptr;
        if (page && !page->IsAnnotsLoaded())
            page->LoadAnnots();
        annot = page ? page->AnnotByID(annotID) : nullptr;
    } else {
        pageIndex = param.GetInt32("pressIndex", 0);
        first = param.GetGPoint("first");
        second = param.GetGPoint("second");
    }

    SingleLinkPropertyDialog *dialog =
        new SingleLinkPropertyDialog(annot, edit, double(first.x), double(first.y), double(second.x),
                                     double(second.y), pageIndex, operation->UIContext(), Core::ICore::mainWindow());
    dialog->exec();
    return true;
}

bool GPI_LinkProperty::BeforeDoActionHandle(G_Operation *)
{
    return true;
}

void GPI_LinkProperty::NotifyHandle(G_Operation *)
{
}
