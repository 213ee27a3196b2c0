#include "g_pagerenderer.h"

#include "g_textlayout.h"

#include "ombase/cca_path.h"
#include "omofdapi/ig_annot.h"
#include "omofdapi/ig_appearance.h"
#include "omofdapi/ig_color.h"
#include "omofdapi/ig_page.h"
#include "omofdapi/ig_textobject.h"

#include <QBuffer>
#include <QCache>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QPen>
#include <QVector>

#include <algorithm>
#include <cmath>

namespace {

const double kPi = 3.14159265358979323846;

// One cubic piece per quarter turn (or less) of the arc's centre form.
void AddArc(QPainterPath &path, const CCA_Path::Segment &arc)
{
    const QPointF start = path.currentPosition();
    const QPointF end(arc.v[5], arc.v[6]);
    if (start == end)
        return;
    CCA_Path::ArcCentre a;
    if (!CCA_Path::ArcToCentre(start.x(), start.y(), arc, a)) {
        path.lineTo(end);
        return;
    }
    const double cosPhi = std::cos(a.phi), sinPhi = std::sin(a.phi);
    auto map = [&](double px, double py) {
        return QPointF(a.cx + a.rx * px * cosPhi - a.ry * py * sinPhi, a.cy + a.rx * px * sinPhi + a.ry * py * cosPhi);
    };
    const int segments = std::max(1, int(std::ceil(std::fabs(a.delta) / (kPi / 2) - 1e-9)));
    const double step = a.delta / segments;
    for (int i = 0; i < segments; ++i) {
        const double from = a.theta1 + i * step, to = from + step;
        const double alpha = 4.0 / 3.0 * std::tan(step / 4);
        const QPointF c1 = map(std::cos(from) - alpha * std::sin(from), std::sin(from) + alpha * std::cos(from));
        const QPointF c2 = map(std::cos(to) + alpha * std::sin(to), std::sin(to) - alpha * std::cos(to));
        path.cubicTo(c1, c2, i == segments - 1 ? end : map(std::cos(to), std::sin(to)));
    }
}

QPen MakePen(const IG_PageObject *object, const QTransform &device)
{
    QPen pen(G_PageRenderer::ToQColor(object->StrokeColor(), Qt::black));
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::MiterJoin);
    const float width = object->LineWidth();
    const CCA_ArrayTemplate<float> dashes = object->DashPattern();
    // Dashes are millimetres; Qt counts them in pen widths (device pixels for a cosmetic pen).
    const double unit = width > 0 ? width : 1.0 / std::sqrt(std::fabs(device.determinant()));
    pen.setWidthF(width > 0 ? width : 0);
    if (!dashes.IsEmpty()) {
        QVector<qreal> pattern;
        qreal total = 0;
        for (float value : dashes) {
            pattern << std::max(0.01, value / unit);
            total += value;
        }
        // An odd list repeats, as in PostScript.
        if (pattern.size() % 2)
            pattern += pattern;
        if (total > 0)
            pen.setDashPattern(pattern);
    }
    return pen;
}

// One image is decoded to at most this many pixels, and one paint decodes at most
// kMaxPixelsPerPaint afresh; what lies beyond is left out of the page rather than stalling it.
const qint64 kMaxImagePixels = 24 * 1000 * 1000;
const qint64 kMaxPixelsPerPaint = 64 * 1000 * 1000;
const int kImageCacheKiB = 128 * 1024;

// Decoded images by their bytes' identity, costed in KiB.
QCache<QString, QImage> &ImageCache()
{
    static QCache<QString, QImage> cache(kImageCacheKiB);
    return cache;
}

QImage DecodedImage(const IG_ImageObject *object, qint64 &pixelBudget)
{
    const QByteArray data = object->ImageData();
    if (data.isEmpty())
        return QImage();
    const QString key = QStringLiteral("%1:%2:%3")
                            .arg(quintptr(data.constData()))
                            .arg(data.size())
                            .arg(qHash(data.left(512)));
    if (QImage *hit = ImageCache().object(key))
        return *hit;
    // The header says how large the image is before anything is decoded.
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    QSize size = reader.size();
    if (!size.isValid() || size.isEmpty())
        return QImage();
    const qint64 pixels = qint64(size.width()) * size.height();
    if (pixels > kMaxImagePixels) {
        // Formats that decode at a smaller size (JPEG) are shown smaller; others are left out.
        if (!reader.supportsOption(QImageIOHandler::ScaledSize))
            return QImage();
        const double scale = std::sqrt(double(kMaxImagePixels) / double(pixels));
        size = QSize(std::max(1, int(size.width() * scale)), std::max(1, int(size.height() * scale)));
        reader.setScaledSize(size);
    }
    const qint64 cost = qint64(size.width()) * size.height();
    if (cost > pixelBudget)
        return QImage();
    pixelBudget -= cost;
    QImage image = reader.read();
    if (!image.isNull())
        ImageCache().insert(key, new QImage(image), int(std::max<qint64>(1, image.sizeInBytes() / 1024)));
    return image;
}

} // namespace

G_PageRenderer::G_PageRenderer(QPainter *painter, const QTransform &pageToDevice)
    : m_painter(painter), m_pageToDevice(pageToDevice), m_pixelBudget(kMaxPixelsPerPaint)
{
}

void G_PageRenderer::PaintContent(IG_Page *page)
{
    if (!page || !m_painter)
        return;
    if (!page->IsParsed())
        page->Parse();
    for (int i = 0; i < page->PageObjectCount(); ++i)
        PaintObject(page->PageObjectAt(i), m_pageToDevice);
}

void G_PageRenderer::PaintAnnots(IG_Page *page, const CCA_GRect *area)
{
    if (!page || !m_painter)
        return;
    if (!page->IsAnnotsLoaded())
        page->LoadAnnots();
    if (!area) {
        for (int i = 0; i < page->AnnotCount(); ++i) {
            IG_Annot *annot = page->AnnotAt(i);
            if (annot && annot->IsVisible())
                PaintAnnot(annot);
        }
        return;
    }
    CCA_ArrayTemplate<IG_Annot *> meeting;
    page->AnnotsInRect(meeting, CCA_GRect(area->left - kStrokeReachMM, area->top - kStrokeReachMM,
                                          area->right + kStrokeReachMM, area->bottom + kStrokeReachMM));
    for (IG_Annot *annot : meeting)
        if (annot && annot->IsVisible())
            PaintAnnot(annot);
}

// Appearance objects are placed relative to the annotation's boundary.
void G_PageRenderer::PaintAnnot(IG_Annot *annot)
{
    IG_Appearance *appearance = annot ? annot->Appearance() : nullptr;
    if (!appearance)
        return;
    const CCA_GRect box = annot->Boundary();
    const QTransform parent = QTransform::fromTranslate(box.left, box.top) * m_pageToDevice;
    for (int i = 0; i < appearance->PageObjectCount(); ++i)
        PaintObject(appearance->PageObject(i), parent);
}

void G_PageRenderer::PaintObject(IG_PageObject *object, const QTransform &parent)
{
    if (!object || !object->IsVisible() || !m_painter)
        return;
    m_painter->save();
    const CCA_GRect box = object->Boundary();
    if (!box.IsEmpty()) {
        m_painter->setTransform(parent);
        m_painter->setClipRect(QRectF(box.left, box.top, box.Width(), box.Height()), Qt::IntersectClip);
    }
    m_painter->setTransform(ObjectTransform(object) * parent);
    switch (object->Type()) {
    case G_PageObj_Path:
        PaintPath(object);
        break;
    case G_PageObj_Text:
        PaintText(object);
        break;
    case G_PageObj_Image:
        PaintImage(object);
        break;
    default:
        break;
    }
    m_painter->restore();
}

void G_PageRenderer::PaintPath(IG_PageObject *object)
{
    const QPainterPath path = ToPainterPath(object->Path());
    if (path.isEmpty())
        return;
    if (object->IsFill())
        m_painter->fillPath(path, ToQColor(object->FillColor(), Qt::black));
    if (object->IsStroke())
        m_painter->strokePath(path, MakePen(object, m_painter->transform()));
}

void G_PageRenderer::PaintText(IG_PageObject *object)
{
    const auto *text = dynamic_cast<const IG_TextObject *>(object);
    if (!text)
        return;
    const G_TextLayout layout(text);
    if (layout.Glyphs().isEmpty())
        return;
    const bool fill = text->IsFill() || !text->IsStroke();
    m_painter->setFont(layout.Font());
    m_painter->setPen(ToQColor(fill ? text->FillColor() : text->StrokeColor(), Qt::black));
    const QTransform base = m_painter->transform();
    // Glyphs wholly off the device or the clip are not drawn: a hostile run can hold
    // hundreds of thousands, and shaping each costs.
    const QPaintDevice *device = m_painter->device();
    QRectF visible = device ? QRectF(0, 0, device->width(), device->height()) : QRectF();
    if (device && m_painter->hasClipping())
        visible = visible.intersected(base.mapRect(m_painter->clipBoundingRect()));
    const qreal height = layout.Ascent() + layout.Descent();
    for (const G_TextGlyph &glyph : layout.Glyphs()) {
        // Widened by a line height on every side for overhangs.
        const QRectF box(glyph.origin.x() - height, glyph.origin.y() - 2 * height,
                         std::fabs(glyph.advance) + 2 * height, 4 * height);
        if (device && !base.mapRect(box).intersects(visible))
            continue;
        QTransform at = QTransform::fromScale(layout.SizeScale() * layout.HScale() * glyph.squeeze,
                                             layout.SizeScale());
        at *= QTransform::fromTranslate(glyph.origin.x(), glyph.origin.y());
        m_painter->setTransform(at * base);
        if (fill) {
            m_painter->drawText(QPointF(0, 0), glyph.text);
        } else {
            QPainterPath outline;
            outline.addText(QPointF(0, 0), layout.Font(), glyph.text);
            QPen pen(m_painter->pen().color());
            pen.setCosmetic(true);
            m_painter->strokePath(outline, pen);
        }
    }
}

void G_PageRenderer::PaintImage(IG_PageObject *object)
{
    const auto *image = dynamic_cast<const IG_ImageObject *>(object);
    if (!image)
        return;
    const QImage decoded = DecodedImage(image, m_pixelBudget);
    if (decoded.isNull())
        return;
    m_painter->drawImage(QRectF(0, 0, 1, 1), decoded);
}

QTransform G_PageRenderer::ObjectTransform(const IG_PageObject *object)
{
    if (!object)
        return QTransform();
    const CCA_Matrix m = object->CTM();
    const CCA_GRect box = object->Boundary();
    return QTransform(m.a, m.b, m.c, m.d, m.e, m.f) * QTransform::fromTranslate(box.left, box.top);
}

QPainterPath G_PageRenderer::ToPainterPath(const CCA_Path &source)
{
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    for (const CCA_Path::Segment &s : source.Segments()) {
        switch (s.type) {
        case CCA_Path::Move:
            path.moveTo(s.v[0], s.v[1]);
            break;
        case CCA_Path::Line:
            path.lineTo(s.v[0], s.v[1]);
            break;
        case CCA_Path::Quad:
            path.quadTo(s.v[0], s.v[1], s.v[2], s.v[3]);
            break;
        case CCA_Path::Cubic:
            path.cubicTo(s.v[0], s.v[1], s.v[2], s.v[3], s.v[4], s.v[5]);
            break;
        case CCA_Path::Arc:
            AddArc(path, s);
            break;
        case CCA_Path::Close:
            path.closeSubpath();
            break;
        }
    }
    return path;
}

QColor G_PageRenderer::ToQColor(const IG_Color *color, const QColor &fallback)
{
    if (!color)
        return fallback;
    const uint32_t value = color->Value();
    QColor result;
    if (color->ColorSpace() == G_ColorSpace_Gray) {
        const int gray = int(value & 0xFF);
        result = QColor(gray, gray, gray);
    } else {
        uint8_t red = 0, green = 0, blue = 0;
        GetRGBValue(value, red, green, blue);
        result = QColor(red, green, blue);
    }
    result.setAlpha(color->Alpha());
    return result;
}
