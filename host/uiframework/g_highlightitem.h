#pragma once

#include <QList>
#include <QString>

// One run of selected text: its page, rectangles (left, top, right, bottom in mm) and text.
struct G_HighLightItem
{
    struct Rect
    {
        float left = 0, top = 0, right = 0, bottom = 0;
    };
    int pageIndex = 0;
    QList<Rect> rects;
    QString text;
    QList<G_HighLightItem> children;
};
