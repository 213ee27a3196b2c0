#include "ofd_color.h"

bool OFD_Color::Same(const IG_Color *a, const IG_Color *b)
{
    if (!a || !b)
        return a == b;
    return a->ColorSpace() == b->ColorSpace() && a->Value() == b->Value() && a->Alpha() == b->Alpha();
}
