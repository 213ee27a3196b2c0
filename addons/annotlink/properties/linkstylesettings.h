#pragma once

#include <QString>

struct LinkStyle;

// The style last saved in the property dialog, offered as the start style of the next new link.
class LinkStyleSettings
{
public:
    static const char *const BoundaryKey;
    static const char *const LineTypeKey;
    static const char *const LineWidthKey;
    static const char *const ColorKey;

    struct Values
    {
        int boundary = -1; // -1: nothing was stored yet; the other fields are then unused
        int lineType = 0;
        int lineWidth = 0;
        QString colorName; // "#aarrggbb"; empty when missing
        bool IsStored() const { return boundary != -1; }
    };

    static Values Read();
    // All four keys are written together, in this order.
    static void Write(const LinkStyle &style);
};
