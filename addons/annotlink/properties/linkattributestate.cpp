#include "properties/linkattributestate.h"

#include "tool/linkstyle.h"

#include "omofdapi/ig_annot.h"
#include "omofdapi/ig_page.h"
#include "uiframework/gq_convert.h"

bool LinkAttributeState::Capture(IG_Annot *annot)
{
    const IG_PageObject *object = LinkPathObject(annot);
    if (!object)
        return false;
    const LinkStroke stroke = ReadLinkStroke(object);
    lineWidth = stroke.lineWidth;
    dashPattern = stroke.dashPattern;
    path = object->Path();
    pageIndex = annot->Page() ? annot->Page()->PageIndex() : 0;
    actions = object->Actions();
    lastModDate = GQ_ToQStringFromUtf8(annot->LastModDate());
    visible = stroke.visible;
    boundary = annot->Boundary();
    return true;
}

LinkStroke LinkAttributeState::Stroke() const
{
    LinkStroke stroke;
    stroke.color = color;
    stroke.lineWidth = lineWidth;
    stroke.dashPattern = dashPattern;
    stroke.visible = visible;
    return stroke;
}
