#pragma once

#include "g_action.h"
#include "ig_color.h"

#include "ombase/cca_array.h"
#include "ombase/cca_geometry.h"
#include "ombase/cca_path.h"

// Page object type codes.
enum G_PageObjType {
    G_PageObj_Unknown = 0,
    G_PageObj_Text = 1,
    G_PageObj_Path = 2,
    G_PageObj_Image = 3,
    G_PageObj_Composite = 4
};

CCA_String PageObjTypeToString(int type); // "Text", "Path", "Image", "Composite"; "" otherwise
int PageObjTypeFromString(const CCA_String &text);

// A graphic unit. Object space: point * CTM, then + (Boundary.left, Boundary.top).
class IG_PageObject
{
public:
    virtual ~IG_PageObject() = default;
    virtual int Type() const = 0;
    virtual uint32_t ID() const = 0;

    virtual bool IsVisible() const = 0;
    virtual void SetVisible(bool visible) = 0;
    virtual float LineWidth() const = 0;
    // Negative or non-finite widths are refused.
    virtual void SetLineWidth(float width) = 0;
    virtual CCA_ArrayTemplate<float> DashPattern() const = 0;
    virtual void SetDashPattern(const CCA_ArrayTemplate<float> &pattern) = 0;
    // The object's own colour; null when none is set. Set copies the given object.
    virtual IG_Color *StrokeColor() const = 0;
    virtual void SetStrokeColor(const IG_Color *color) = 0;
    virtual IG_Color *FillColor() const = 0;
    virtual void SetFillColor(const IG_Color *color) = 0;
    virtual bool IsStroke() const = 0;
    virtual void SetStroke(bool stroke) = 0;
    virtual bool IsFill() const = 0;
    virtual void SetFill(bool fill) = 0;
    virtual CCA_Path Path() const = 0;
    virtual void SetPath(const CCA_Path &path) = 0;
    virtual CCA_GRect Boundary() const = 0;
    // A boundary that is not finite is refused; the old one stays.
    virtual void SetBoundary(const CCA_GRect &boundary) = 0;
    virtual CCA_Matrix CTM() const = 0;
    // A matrix that is not finite is refused.
    virtual void SetCTM(const CCA_Matrix &matrix) = 0;
    // Moves the content (path) by dx, dy within the object; the boundary stays.
    virtual void MoveBy(float dx, float dy) = 0;
    // The actions belong to the object. SetActions takes ownership of the given ones;
    // the replaced ones stay alive until the document closes, so undo records may hold them.
    virtual CCA_ArrayTemplate<G_Action *> Actions() const = 0;
    virtual void SetActions(const CCA_ArrayTemplate<G_Action *> &actions) = 0;
};
