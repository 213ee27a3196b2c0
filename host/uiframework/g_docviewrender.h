#pragma once

class QPainter;
class GR_PageGraphicItem;

// Painting hooks of the view. Painters are in scene coordinates.
class G_DocViewRender
{
public:
    virtual ~G_DocViewRender() = default;
    virtual void PaintSceneStart(QPainter *painter);
    virtual void PaintSceneEnd(QPainter *painter);
    virtual void PaintBeforePage(QPainter *painter, GR_PageGraphicItem *item);
    virtual void PaintAfterPage(QPainter *painter, GR_PageGraphicItem *item);
    virtual void ResetViewRender();
};
