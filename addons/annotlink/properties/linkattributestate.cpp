#include "linkattributestate.h"

#include "omofdapi/ig_annot.h"
#include "omofdapi/ig_page.h"
#include "uiframework/gq_convert.h"

bool LinkAttributeState::Capture(IG_Annot *annot)
{
    IG_Appearance *appearance = annot ? annot->Appearance() : nullptr;
    IG_PageObject *object = appearance ? appearance->PageObject(0) : nullptr;
    if (!object)
        return false;
    lineWidth = object->LineWidth();
    dashPattern = object->DashPattern();
    path = object->Path();
    pageIndex = annot->Page() ? annot->Page()->PageIndex() : 0;
    actions = object->Actions();
    lastModDate = GQ_ToQStringFromUtf8(annot->LastModDate());
    visible = object->IsVisible();
    boundary = annot->Boundary();
    return true;
}
