#pragma once

#include <QGraphicsItem>

class G_DocView;

// One page in the view's scene. The item sits at the scene origin and its bounding
// rectangle is the page's scene rectangle, so item and scene coordinates agree.
class GR_PageGraphicItem : public QGraphicsItem
{
public:
    GR_PageGraphicItem(G_DocView *view, int pageIndex);
    int PageIndex() const { return m_pageIndex; }
    G_DocView *DocView() const { return m_view; }
    QRectF boundingRect() const override;
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget) override;

private:
    G_DocView *m_view;
    int m_pageIndex;
};
