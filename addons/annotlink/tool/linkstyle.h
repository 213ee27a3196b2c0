#pragma once

#include "ombase/cca_array.h"
#include "ombase/cca_geometry.h"
#include "ombase/cca_string.h"

#include <QColor>

#include <cstdint>
#include <memory>

class CCA_Path;
class G_UIContext;
class IG_Annot;
class IG_Color;
class IG_Document;
class IG_PageObject;

// The values are the indices of the property dialog's lists and of the stored settings.
enum class LinkBoundaryKind : int { Rectangle = 0, Underline = 1, Invisible = 2 };
enum class LinkLineType : int { Solid = 0, Dotted1 = 1, Dotted2 = 2, Dotted3 = 3, Dotted4 = 4 };
enum class LinkLineWidth : int { Thin = 0, Middle = 1, Coarse = 2 };

// The four choices of a link; all of them live in the link path object (page object 0 of
// the annotation's appearance).
struct LinkStyle
{
    LinkBoundaryKind boundary = LinkBoundaryKind::Rectangle;
    LinkLineType lineType = LinkLineType::Solid;
    LinkLineWidth lineWidth = LinkLineWidth::Thin;
    QColor color = QColor(0, 0, 0, 255);
};

// Page object 0 of the annotation's appearance, or null.
IG_PageObject *LinkPathObject(const IG_Annot *annot);

// A link of the context's current document looked up by page and ID; `object` is null when
// the link or its path object is missing.
struct LinkLookup
{
    IG_Document *document = nullptr;
    IG_Annot *annot = nullptr;
    IG_PageObject *object = nullptr;
};
// Parses the page and loads its annotations first when they are not yet read. With
// `documentKey`, a current document of another key gives an empty lookup.
LinkLookup FindLink(const G_UIContext *context, int pageIndex, uint32_t annotID,
                    const CCA_String *documentKey = nullptr);
// The key of the context's current document; empty without one.
CCA_String CurrentDocumentKey(const G_UIContext *context);

// Stored width in mm (n points, n = index + 1).
float EncodeLineWidth(LinkLineWidth width);
// `current` when the stored width matches no row.
LinkLineWidth DecodeLineWidth(float width, LinkLineWidth current);

// Dash pattern in mm; empty for a solid line.
CCA_ArrayTemplate<float> EncodeDashPattern(LinkLineType lineType, LinkLineWidth width);
// `current` when the pattern matches no row.
LinkLineType DecodeLineType(const CCA_ArrayTemplate<float> &pattern, LinkLineWidth width, LinkLineType current);

// A new colour object of `document` (RGB, packed value, alpha); null without a document.
std::unique_ptr<IG_Color> EncodeColor(const IG_Document *document, const QColor &color);
// Opaque black for a missing colour object.
QColor DecodeColor(const IG_Color *color);

LinkBoundaryKind DecodeBoundaryKind(const CCA_Path &path, bool visible);

// The stroke as the link path object stores it, before any decoding into list choices: what
// undo, copy and paste carry.
struct LinkStroke
{
    QColor color = QColor(0, 0, 0, 255);
    float lineWidth = 0;
    CCA_ArrayTemplate<float> dashPattern;
    bool visible = true;
};

LinkStroke ReadLinkStroke(const IG_PageObject *object);
// Colour, width, dash pattern, visible flag, in that order; false (nothing written) without an
// object or a document.
bool WriteLinkStroke(const IG_Document *document, IG_PageObject *object, const LinkStroke &stroke);

// Reads the style out of a link path object; rows that match nothing keep `current`.
LinkStyle DecodeLinkStyle(const IG_PageObject *object, const LinkStyle &current);

// Rebuilds the link's path, visible flag, object boundary and annotation boundary from `rect`
// with the object's current line width, and logs both boundaries behind `traceText`.
void RebuildLinkPath(IG_Annot *annot, IG_PageObject *object, const CCA_GRect &rect,
                     LinkBoundaryKind kind, const char *traceText);

// Rebuilds on `rect` with the kind that `shape` and the object's visible flag tell; the stored
// shape itself is not written back.
void RestoreLinkGeometry(IG_Annot *annot, IG_PageObject *object, const CCA_Path &shape,
                         const CCA_GRect &rect, const char *traceText);

// Writes `style` into the link path object of `annot` and rebuilds it on the annotation's
// current boundary. False when the annotation has no link path object or no document.
bool ApplyLinkStyle(const IG_Document *document, IG_Annot *annot, const LinkStyle &style,
                    const char *traceText);
