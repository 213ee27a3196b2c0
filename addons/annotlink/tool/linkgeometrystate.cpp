#include "tool/linkgeometrystate.h"

#include "tool/linkstyle.h"

#include "omofdapi/ig_annot.h"
#include "omofdapi/ig_page.h"
#include "uiframework/gq_convert.h"

LinkGeometryState LinkGeometryState::FromAnnot(const IG_Annot *annot)
{
    LinkGeometryState state;
    if (!annot)
        return state;
    if (IG_PageObject *object = LinkPathObject(annot))
        state.path = object->Path();
    state.boundary = annot->Boundary();
    if (IG_Page *page = annot->Page())
        state.pageIndex = page->PageIndex();
    state.date = GQ_ToQStringFromUtf8(annot->LastModDate());
    return state;
}
