#pragma once

#include "ig_textobject.h"

#include <QString>

#include <memory>

class OFD_Annot;
class OFD_DocumentContext;

// Line cap and join (OFD Cap, Join).
enum OFD_LineCap { OFD_Cap_Butt = 0, OFD_Cap_Round = 1, OFD_Cap_Square = 2 };
enum OFD_LineJoin { OFD_Join_Miter = 0, OFD_Join_Round = 1, OFD_Join_Bevel = 2 };

// The graphic-unit attributes every page object shares, over any of the page-object
// interfaces. Instantiated for IG_PageObject, IG_TextObject and IG_ImageObject.
template <class Interface>
class OFD_GraphicUnit : public Interface
{
public:
    OFD_GraphicUnit(int type, std::shared_ptr<OFD_DocumentContext> context, uint32_t id);
    ~OFD_GraphicUnit() override;
    OFD_GraphicUnit(const OFD_GraphicUnit &) = delete;
    OFD_GraphicUnit &operator=(const OFD_GraphicUnit &) = delete;

    int Type() const override { return m_type; }
    uint32_t ID() const override { return m_id; }
    // Also tells the document's counter that the ID is taken.
    void SetID(uint32_t id);

    bool IsVisible() const override { return m_visible; }
    void SetVisible(bool visible) override;
    float LineWidth() const override { return m_lineWidth; }
    void SetLineWidth(float width) override;
    CCA_ArrayTemplate<float> DashPattern() const override { return m_dashPattern; }
    void SetDashPattern(const CCA_ArrayTemplate<float> &pattern) override;
    IG_Color *StrokeColor() const override { return m_strokeColor.get(); }
    void SetStrokeColor(const IG_Color *color) override;
    IG_Color *FillColor() const override { return m_fillColor.get(); }
    void SetFillColor(const IG_Color *color) override;
    bool IsStroke() const override { return m_stroke; }
    void SetStroke(bool stroke) override;
    bool IsFill() const override { return m_fill; }
    void SetFill(bool fill) override;
    CCA_Path Path() const override { return m_path; }
    void SetPath(const CCA_Path &path) override;
    CCA_GRect Boundary() const override { return m_boundary; }
    void SetBoundary(const CCA_GRect &boundary) override;
    CCA_Matrix CTM() const override { return m_ctm; }
    void SetCTM(const CCA_Matrix &matrix) override;
    void MoveBy(float dx, float dy) override;
    CCA_ArrayTemplate<G_Action *> Actions() const override { return m_actions; }
    void SetActions(const CCA_ArrayTemplate<G_Action *> &actions) override;

    // Further OFD graphic-unit attributes, for the package reader and writer.
    QString Name() const { return m_name; }
    void SetName(const QString &name);
    int Cap() const { return m_cap; }
    void SetCap(int cap);
    int Join() const { return m_join; }
    void SetJoin(int join);
    float MiterLimit() const { return m_miterLimit; }
    void SetMiterLimit(float limit);
    float DashOffset() const { return m_dashOffset; }
    void SetDashOffset(float offset);
    uint8_t Alpha() const { return m_alpha; }
    void SetAlpha(uint8_t alpha);
    // Clip paths in object space; the drawing is also clipped by the boundary.
    std::vector<CCA_Path> Clips() const { return m_clips; }
    void SetClips(const std::vector<CCA_Path> &clips);

    OFD_DocumentContext *Context() const { return m_context.get(); }
    // The annotation whose appearance holds this object, told of every change; null on a page.
    void SetOwner(OFD_Annot *owner) { m_owner = owner; }

protected:
    void Touch();

    int m_type;
    std::shared_ptr<OFD_DocumentContext> m_context;
    OFD_Annot *m_owner = nullptr;
    uint32_t m_id;
    bool m_visible = true;
    float m_lineWidth = 0.353f;
    CCA_ArrayTemplate<float> m_dashPattern;
    std::unique_ptr<IG_Color> m_strokeColor;
    std::unique_ptr<IG_Color> m_fillColor;
    bool m_stroke = false;
    bool m_fill = false;
    CCA_Path m_path;
    CCA_GRect m_boundary;
    CCA_Matrix m_ctm;
    CCA_ArrayTemplate<G_Action *> m_actions;
    QString m_name;
    int m_cap = OFD_Cap_Butt;
    int m_join = OFD_Join_Miter;
    float m_miterLimit = 4.234f;
    float m_dashOffset = 0;
    uint8_t m_alpha = 255;
    std::vector<CCA_Path> m_clips;
};

extern template class OFD_GraphicUnit<IG_PageObject>;
extern template class OFD_GraphicUnit<IG_TextObject>;
extern template class OFD_GraphicUnit<IG_ImageObject>;
