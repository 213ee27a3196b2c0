#include "ofd_graphicunit.h"

#include "ofd_annot.h"
#include "ofd_documentcontext.h"

#include <algorithm>
#include <cmath>

template <class Interface>
OFD_GraphicUnit<Interface>::OFD_GraphicUnit(int type, std::shared_ptr<OFD_DocumentContext> context, uint32_t id)
    : m_type(type)
    , m_context(context ? std::move(context) : std::make_shared<OFD_DocumentContext>())
    , m_id(id)
{
    m_context->NoteID(id);
}

template <class Interface>
OFD_GraphicUnit<Interface>::~OFD_GraphicUnit()
{
    // Undo records may still point at these actions; the document frees them.
    for (G_Action *action : m_actions) {
        if (m_context->IsClosing())
            delete action;
        else
            m_context->RetireAction(action);
    }
}

template <class Interface>
void OFD_GraphicUnit<Interface>::Touch()
{
    m_context->Touch();
    m_context->NoteObjectChange();
    if (m_owner)
        m_owner->NoteEdited();
}

template <class Interface>
void OFD_GraphicUnit<Interface>::SetID(uint32_t id)
{
    m_id = id;
    m_context->NoteID(id);
    Touch();
}

template <class Interface>
void OFD_GraphicUnit<Interface>::SetVisible(bool visible)
{
    m_visible = visible;
    Touch();
}

template <class Interface>
void OFD_GraphicUnit<Interface>::SetLineWidth(float width)
{
    if (!std::isfinite(width) || width < 0)
        return;
    m_lineWidth = width;
    Touch();
}

template <class Interface>
void OFD_GraphicUnit<Interface>::SetDashPattern(const CCA_ArrayTemplate<float> &pattern)
{
    m_dashPattern = pattern;
    Touch();
}

template <class Interface>
void OFD_GraphicUnit<Interface>::SetStrokeColor(const IG_Color *color)
{
    m_strokeColor.reset(color ? color->Clone() : nullptr);
    Touch();
}

template <class Interface>
void OFD_GraphicUnit<Interface>::SetFillColor(const IG_Color *color)
{
    m_fillColor.reset(color ? color->Clone() : nullptr);
    Touch();
}

template <class Interface>
void OFD_GraphicUnit<Interface>::SetStroke(bool stroke)
{
    m_stroke = stroke;
    Touch();
}

template <class Interface>
void OFD_GraphicUnit<Interface>::SetFill(bool fill)
{
    m_fill = fill;
    Touch();
}

template <class Interface>
void OFD_GraphicUnit<Interface>::SetPath(const CCA_Path &path)
{
    m_path = path;
    Touch();
}

template <class Interface>
void OFD_GraphicUnit<Interface>::SetBoundary(const CCA_GRect &boundary)
{
    if (!boundary.IsFinite())
        return;
    m_boundary = boundary;
    Touch();
}

template <class Interface>
void OFD_GraphicUnit<Interface>::SetCTM(const CCA_Matrix &matrix)
{
    if (!matrix.IsFinite())
        return;
    m_ctm = matrix;
    Touch();
}

template <class Interface>
void OFD_GraphicUnit<Interface>::MoveBy(float dx, float dy)
{
    m_path.Translate(dx, dy);
    Touch();
}

template <class Interface>
void OFD_GraphicUnit<Interface>::SetActions(const CCA_ArrayTemplate<G_Action *> &actions)
{
    CCA_ArrayTemplate<G_Action *> fresh;
    for (G_Action *action : actions) {
        if (!action || fresh.Find(action) >= 0)
            continue;
        // An action given back from the retired pool (undo) is owned here again.
        if (m_actions.Find(action) < 0)
            m_context->ReclaimAction(action);
        fresh.Add(action);
    }
    for (G_Action *old : m_actions)
        if (fresh.Find(old) < 0)
            m_context->RetireAction(old);
    m_actions = fresh;
    Touch();
}

template <class Interface>
void OFD_GraphicUnit<Interface>::SetName(const QString &name)
{
    m_name = name;
    Touch();
}

template <class Interface>
void OFD_GraphicUnit<Interface>::SetCap(int cap)
{
    m_cap = cap;
    Touch();
}

template <class Interface>
void OFD_GraphicUnit<Interface>::SetJoin(int join)
{
    m_join = join;
    Touch();
}

template <class Interface>
void OFD_GraphicUnit<Interface>::SetMiterLimit(float limit)
{
    m_miterLimit = limit;
    Touch();
}

template <class Interface>
void OFD_GraphicUnit<Interface>::SetDashOffset(float offset)
{
    m_dashOffset = offset;
    Touch();
}

template <class Interface>
void OFD_GraphicUnit<Interface>::SetAlpha(uint8_t alpha)
{
    m_alpha = alpha;
    Touch();
}

template <class Interface>
void OFD_GraphicUnit<Interface>::SetClips(const std::vector<CCA_Path> &clips)
{
    m_clips = clips;
    Touch();
}

template class OFD_GraphicUnit<IG_PageObject>;
template class OFD_GraphicUnit<IG_TextObject>;
template class OFD_GraphicUnit<IG_ImageObject>;
