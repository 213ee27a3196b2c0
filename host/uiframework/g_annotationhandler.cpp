#include "g_annotationhandler.h"

#include <QBrush>
#include <QColor>
#include <QPainter>
#include <QPen>

void G_AnnotationHandler::DrawControlPoints(QPainter *painter, const QVector<QRect> &rects)
{
    if (!painter || rects.isEmpty())
        return;
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, false);
    painter->setPen(QPen(QColor(0, 90, 200), 1));
    painter->setBrush(Qt::white);
    for (const QRect &rect : rects)
        painter->drawRect(rect.adjusted(0, 0, -1, -1)); // the frame stays inside the square
    painter->restore();
}

bool G_AnnotationHandler::Filter(IG_Annot *) { return true; }
void G_AnnotationHandler::OnSelected() {}
void G_AnnotationHandler::OnDeselected() {}
int G_AnnotationHandler::CtrlPointIndex(const CCA_Point &) { return -1; }
int G_AnnotationHandler::CtrlPointIndex() { return -1; }
QVector<QRect> G_AnnotationHandler::GetCtrlPoints() { return {}; }
IG_Annot *G_AnnotationHandler::HitTest(const CCA_Point &) { return nullptr; }
void G_AnnotationHandler::DoMove(int, int) {}
void G_AnnotationHandler::DoResize(int, const CCA_Point &) {}
