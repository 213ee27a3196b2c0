#include "tool/linkstyle.h"

#include "omofdapi/ig_annot.h"
#include "omofdapi/ig_appearance.h"
#include "omofdapi/ig_color.h"
#include "omofdapi/ig_document.h"
#include "omofdapi/ig_page.h"
#include "omofdapi/ig_pageobject.h"
#include "uiframework/g_docview.h"
#include "uiframework/g_uicontext.h"
#include "uiframework/gq_convert.h"

#include <QDebug>

namespace {

// Lengths of 5, 3, 2 and 1 pixels at 96 dpi, in mm.
const double kPixels5 = 1.3229166666666667;
const double kPixels3 = 0.79375;
const double kPixels2 = 0.5291666666666666;
const double kPixels1 = 0.2645833333333333;

// Out-of-range indices (a list without a current item) fall back to the thin line.
int WidthPoints(LinkLineWidth width)
{
    const int index = int(width);
    return index < 0 || index > 2 ? 1 : index + 1;
}

float DashEntry(int points, double pixels)
{
    return float(double(points) * pixels * 4 / 3);
}

} // namespace

IG_PageObject *LinkPathObject(const IG_Annot *annot)
{
    if (!annot)
        return nullptr;
    IG_Appearance *appearance = annot->Appearance();
    return appearance ? appearance->PageObject(0) : nullptr;
}

LinkLookup FindLink(const G_UIContext *context, int pageIndex, uint32_t annotID, const CCA_String *documentKey)
{
    LinkLookup link;
    const G_DocView *view = context ? context->CurrentDocView() : nullptr;
    link.document = view ? view->GDocument() : nullptr;
    // IDs repeat between documents: a link of another document is not this one.
    if (link.document && documentKey && link.document->DocumentKey() != *documentKey)
        link.document = nullptr;
    IG_Page *page = link.document ? link.document->GetPage(pageIndex) : nullptr;
    if (!page)
        return link;
    if (!page->IsParsed())
        page->Parse();
    if (!page->IsAnnotsLoaded())
        page->LoadAnnots();
    link.annot = page->AnnotByID(annotID);
    link.object = LinkPathObject(link.annot);
    return link;
}

CCA_String CurrentDocumentKey(const G_UIContext *context)
{
    const G_DocView *view = context ? context->CurrentDocView() : nullptr;
    const IG_Document *document = view ? view->GDocument() : nullptr;
    return document ? document->DocumentKey() : CCA_String();
}

float EncodeLineWidth(LinkLineWidth width)
{
    // The first part runs in single precision, the last factor in double.
    float points = float(WidthPoints(width));
    float inches = points * 4.0f / 3.0f / 96.0f;
    return float(double(inches) * 25.4);
}

LinkLineWidth DecodeLineWidth(float width, LinkLineWidth current)
{
    float points = float(double(width) / 25.4 * 96 * 3 * 0.25);
    if (points > 0.5f && points < 1.5f)
        return LinkLineWidth::Thin;
    if (points > 1.5f && points < 2.5f)
        return LinkLineWidth::Middle;
    if (points > 2.5f && points < 3.5f)
        return LinkLineWidth::Coarse;
    return current;
}

CCA_ArrayTemplate<float> EncodeDashPattern(LinkLineType lineType, LinkLineWidth width)
{
    const int n = WidthPoints(width);
    CCA_ArrayTemplate<float> pattern;
    switch (lineType) {
    case LinkLineType::Dotted1:
        pattern.Add(DashEntry(n, kPixels5));
        pattern.Add(DashEntry(n, kPixels3));
        break;
    case LinkLineType::Dotted2:
        pattern.Add(DashEntry(n, kPixels3));
        pattern.Add(DashEntry(n, kPixels1));
        break;
    case LinkLineType::Dotted3:
        pattern.Add(DashEntry(n, kPixels5));
        pattern.Add(DashEntry(n, kPixels2));
        pattern.Add(DashEntry(n, kPixels1));
        pattern.Add(DashEntry(n, kPixels2));
        break;
    case LinkLineType::Dotted4:
        pattern.Add(DashEntry(n, kPixels5));
        for (int i = 0; i < 2; ++i) {
            pattern.Add(DashEntry(n, kPixels2));
            pattern.Add(DashEntry(n, kPixels1));
        }
        pattern.Add(DashEntry(n, kPixels2));
        break;
    case LinkLineType::Solid:
        break;
    }
    return pattern;
}

LinkLineType DecodeLineType(const CCA_ArrayTemplate<float> &pattern, LinkLineWidth width, LinkLineType current)
{
    switch (pattern.GetSize()) {
    case 0:
        return LinkLineType::Solid;
    case 2: {
        const double n = WidthPoints(width);
        const double four = n * 1.0583333333333331 * 4 / 3;
        const double six = n * 1.5875 * 4 / 3;
        const double two = n * 0.5291666666666666 * 4 / 3;
        const double first = pattern[0];
        if (four < first && first < six)
            return LinkLineType::Dotted1;
        if (two < first && first < four)
            return LinkLineType::Dotted2;
        return current;
    }
    case 4:
        return LinkLineType::Dotted3;
    case 6:
        return LinkLineType::Dotted4;
    default:
        return current;
    }
}

std::unique_ptr<IG_Color> EncodeColor(const IG_Document *document, const QColor &color)
{
    if (!document)
        return nullptr;
    std::unique_ptr<IG_Color> object(document->CreateColor());
    if (!object)
        return nullptr;
    const uint32_t value = uint32_t(color.red()) | uint32_t(color.green()) << 8
                           | uint32_t(color.blue()) << 16;
    object->SetColorSpace(G_ColorSpace_RGB);
    object->SetValue(value);
    object->SetAlpha(uint8_t(color.alpha()));
    return object;
}

QColor DecodeColor(const IG_Color *color)
{
    if (!color)
        return QColor(0, 0, 0, 255);
    uint8_t red = 0, green = 0, blue = 0;
    GetRGBValue(color->Value(), red, green, blue);
    QColor result(red, green, blue, 255);
    result.setAlpha(color->Alpha() & 255);
    return result;
}

LinkBoundaryKind DecodeBoundaryKind(const CCA_Path &path, bool visible)
{
    if (!path.IsRect())
        return LinkBoundaryKind::Underline;
    return visible ? LinkBoundaryKind::Rectangle : LinkBoundaryKind::Invisible;
}

LinkStroke ReadLinkStroke(const IG_PageObject *object)
{
    LinkStroke stroke;
    if (!object)
        return stroke;
    stroke.color = DecodeColor(object->StrokeColor());
    stroke.lineWidth = object->LineWidth();
    stroke.dashPattern = object->DashPattern();
    stroke.visible = object->IsVisible();
    return stroke;
}

bool WriteLinkStroke(const IG_Document *document, IG_PageObject *object, const LinkStroke &stroke)
{
    const std::unique_ptr<IG_Color> color = object ? EncodeColor(document, stroke.color) : nullptr;
    if (!color)
        return false;
    // The object keeps a copy of the colour.
    object->SetStrokeColor(color.get());
    object->SetLineWidth(stroke.lineWidth);
    object->SetDashPattern(stroke.dashPattern);
    object->SetVisible(stroke.visible);
    return true;
}

LinkStyle DecodeLinkStyle(const IG_PageObject *object, const LinkStyle &current)
{
    if (!object)
        return current;
    LinkStyle style;
    style.lineWidth = DecodeLineWidth(object->LineWidth(), current.lineWidth);
    style.lineType = DecodeLineType(object->DashPattern(), style.lineWidth, current.lineType);
    style.boundary = DecodeBoundaryKind(object->Path(), object->IsVisible());
    style.color = DecodeColor(object->StrokeColor());
    return style;
}

void RebuildLinkPath(IG_Annot *annot, IG_PageObject *object, const CCA_GRect &rect,
                     LinkBoundaryKind kind, const char *traceText)
{
    if (!annot || !object)
        return;
    const float w = object->LineWidth();
    const float h = w * 0.5f;
    const CCA_GRect inset(rect.left + h, rect.top + h, rect.right - h, rect.bottom - h);

    const float xl = inset.left + h;
    const float yt = inset.top + h;
    const float xr = (inset.right - inset.left) + inset.left + h;
    const float yb = (inset.bottom - inset.top) + inset.top + h;
    CCA_Path path;
    if (kind == LinkBoundaryKind::Underline) {
        path.MoveTo(xl, yb);
        path.LineTo(xr, yb);
    } else {
        path.MoveTo(xl, yt);
        path.LineTo(xr, yt);
        path.LineTo(xr, yb);
        path.LineTo(xl, yb);
        path.CloseFigure();
    }
    object->SetVisible(kind != LinkBoundaryKind::Invisible);
    object->SetBoundary(CCA_GRect(0, 0, (inset.right - inset.left) + w, (inset.bottom - inset.top) + w));
    object->SetPath(path);
    annot->SetBoundary(CCA_GRect(inset.left - h, inset.top - h, inset.right + h, inset.bottom + h));

    const CCA_GRect placed = annot->Boundary();
    qDebug() << traceText << GQ_ToQRectF(placed) << GQ_ToQRectF(object->Boundary());
    // The path was built in page coordinates; the object keeps it relative to its own origin.
    object->MoveBy(-placed.left - h, -placed.top - h);
}

void RestoreLinkGeometry(IG_Annot *annot, IG_PageObject *object, const CCA_Path &shape,
                         const CCA_GRect &rect, const char *traceText)
{
    if (!object)
        return;
    RebuildLinkPath(annot, object, rect, DecodeBoundaryKind(shape, object->IsVisible()), traceText);
}

bool ApplyLinkStyle(const IG_Document *document, IG_Annot *annot, const LinkStyle &style,
                    const char *traceText)
{
    IG_PageObject *object = LinkPathObject(annot);
    const std::unique_ptr<IG_Color> color = object ? EncodeColor(document, style.color) : nullptr;
    if (!color)
        return false;
    object->SetLineWidth(EncodeLineWidth(style.lineWidth));
    object->SetDashPattern(EncodeDashPattern(style.lineType, style.lineWidth));
    RebuildLinkPath(annot, object, annot->Boundary(), style.boundary, traceText);
    object->SetStrokeColor(color.get());
    return true;
}
