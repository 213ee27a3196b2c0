#include "gr_pagegraphicitem.h"

#include "g_docview.h"

GR_PageGraphicItem::GR_PageGraphicItem(G_DocView *view, int pageIndex)
    : m_view(view), m_pageIndex(pageIndex)
{
}

QRectF GR_PageGraphicItem::boundingRect() const
{
    return m_view ? QRectF(m_view->PageRect(m_pageIndex)) : QRectF();
}

void GR_PageGraphicItem::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    if (m_view)
        m_view->PaintPageItem(painter, this);
}
