#include "ig_pageobject.h"

namespace {
const char *const PageObjNames[] = {"", "Text", "Path", "Image", "Composite"};
}

CCA_String PageObjTypeToString(int type)
{
    if (type < G_PageObj_Text || type > G_PageObj_Composite)
        return CCA_String();
    return CCA_String(PageObjNames[type]);
}

int PageObjTypeFromString(const CCA_String &text)
{
    for (int type = G_PageObj_Text; type <= G_PageObj_Composite; ++type)
        if (text == PageObjNames[type])
            return type;
    return G_PageObj_Unknown;
}
