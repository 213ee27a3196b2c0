#pragma once

#include <QColor>
#include <QPainterPath>
#include <QTransform>

class CCA_Path;
struct CCA_GRect;
class IG_Annot;
class IG_Color;
class IG_Page;
class IG_PageObject;
class QPainter;

// Draws a page's content objects and its annotations' appearances. Coordinates given to
// it are page millimetres; `pageToDevice` maps them into the painter's coordinates.
class G_PageRenderer
{
public:
    G_PageRenderer(QPainter *painter, const QTransform &pageToDevice);

    // How far (mm) an appearance may reach beyond its annotation's boundary: half the widest stroke.
    static constexpr float kStrokeReachMM = 5;

    void PaintContent(IG_Page *page);
    // Every visible annotation of the page; with `area` (page millimetres) only those whose
    // boundary, widened by a few millimetres for their strokes, meets it.
    void PaintAnnots(IG_Page *page, const CCA_GRect *area = nullptr);
    void PaintAnnot(IG_Annot *annot);
    // `parent` maps the object's parent space (page or annotation) to the device.
    void PaintObject(IG_PageObject *object, const QTransform &parent);

    // The object's own space to its parent's: CTM, then the boundary's offset.
    static QTransform ObjectTransform(const IG_PageObject *object);
    static QPainterPath ToPainterPath(const CCA_Path &path);
    static QColor ToQColor(const IG_Color *color, const QColor &fallback);

private:
    void PaintPath(IG_PageObject *object);
    void PaintText(IG_PageObject *object);
    void PaintImage(IG_PageObject *object);

    QPainter *m_painter;
    QTransform m_pageToDevice;
    qint64 m_pixelBudget;
};
