#include "ig_annot.h"

namespace {
const char *const AnnotNames[] = {"", "Link", "Path", "Highlight", "Stamp", "Watermark"};
}

CCA_String AnnotTypeToString(int type)
{
    if (type < G_AnnotType_Link || type > G_AnnotType_Watermark)
        return CCA_String();
    return CCA_String(AnnotNames[type]);
}

int AnnotTypeFromString(const CCA_String &text)
{
    for (int type = G_AnnotType_Link; type <= G_AnnotType_Watermark; ++type)
        if (text == AnnotNames[type])
            return type;
    return G_AnnotType_Unknown;
}
