#pragma once

#include "tool/linkgeometrystate.h"

#include "annotsplugin/ga_common.h"
#include "ombase/cca_array.h"

#include <QCache>
#include <QImage>
#include <QObject>
#include <QRect>
#include <QTransform>

#include <cstdint>
#include <vector>

class IG_Annot;
class IG_Page;

// The link tool: drags out new links, selects, moves and resizes existing ones.
class GA_Link : public QObject, public GA_Common
{
    Q_OBJECT
public:
    GA_Link();
    ~GA_Link() override;

    void PaintAfterPage(QPainter *painter, GR_PageGraphicItem *item) override;
    G_ToolHandler *Clone() const override;
    CCA_String Name() const override;
    void OnActivate() override;
    int OnLButtonDown(unsigned flags, const CCA_Point &point) override;
    int OnLButtonUp(unsigned flags, const CCA_Point &point) override;
    int OnLButtonDblClk(unsigned flags, const CCA_Point &point) override;
    int OnRButtonUp(unsigned flags, const CCA_Point &point) override;
    int OnMouseMove(unsigned flags, const CCA_Point &point) override;
    int OnKeyDown(int key, unsigned repeatCount, unsigned modifiers) override;
    int ShortCutActivated(int key, Qt::KeyboardModifiers modifiers) override;

private:
    // The page under a scene point, null when there is none; `top` is the topmost annotation
    // there of the subtype (of any with an empty filter), or null.
    IG_Page *AnnotUnder(const CCA_Point &point, const char *subTypeFilter, IG_Annot *&top) const;
    // The topmost link under a scene point that can be selected, or null.
    IG_Annot *SelectableLinkAt(const CCA_Point &point) const;
    static bool IsSelectable(const IG_Annot *annot);
    // The page's document rectangle truncated to whole millimetres, Qt-inclusive size.
    QRect PageRectMM(int pageIndex) const;
    CCA_GPoint ClampToPage(CCA_GPoint point, int pageIndex) const;
    void RecordResize();
    // Forgets a link being drawn.
    void CancelCreation();
    void RunPropertyOperation(bool edit, IG_Annot *annot);
    // Runs a host or module operation by name; `fill` puts in its parameters.
    // Where a paste from the keyboard points: the mouse when it is on a page, else the
    // middle of the visible part of the current page.
    QPoint PastePoint() const;
    // Every link of the page outlined, from a layer kept while the page's links and the
    // view's zoom stay, or drawn afresh for the exposed part of the page.
    void PaintOutlines(QPainter *painter, int pageIndex, IG_Page *page);

    struct OutlineLayer;
    QRect Outline(const CCA_GRect &boundary, int pageIndex) const;
    bool UpdateOutlineLayer(OutlineLayer *layer, int pageIndex, IG_Page *page) const;

    struct OutlineLayer
    {
        QImage image; // the outlines that lie within `area`, over transparency
        QRect area;   // scene rectangle of the image
        uint64_t revision = 0;
        uint64_t ownRevision = 0;
        QTransform pageToScene;
        std::vector<QRect> outside; // outlines reaching beyond `area`, drawn every frame
    };

    bool m_creating = false;
    CCA_GPoint m_start;
    CCA_GPoint m_end;
    CCA_GPoint m_second;
    int m_pressPage = -1;
    bool m_selected = false;
    LinkGeometryState m_before;
    LinkGeometryState m_after;
    QCache<int, OutlineLayer> m_outlineLayers;
};
