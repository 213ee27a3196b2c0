#pragma once

#include "g_textlayout.h"
#include "g_toolhandler.h"

#include <QPoint>
#include <QRect>
#include <QString>
#include <QVector>

class IG_Annot;
class IG_Page;

// "t_handtool": dragging scrolls the view, a click on a link runs it, and a drag that
// starts on text selects that text.
class GT_HandTool : public G_ToolHandler
{
public:
    G_ToolHandler *Clone() const override;
    CCA_String Name() const override;
    void OnActivate() override;
    void OnDeactivate() override;
    int OnLButtonDown(unsigned flags, const CCA_Point &point) override;
    int OnLButtonUp(unsigned flags, const CCA_Point &point) override;
    int OnMouseMove(unsigned flags, const CCA_Point &point) override;

    // What the link under a scene point leads to ("Page 3", an address, a file name),
    // empty when there is no link or it leads nowhere; the link's scene rectangle goes
    // to `sceneArea`.
    QString LinkToolTip(const CCA_Point &point, QRect *sceneArea) const;

protected:
    // The topmost link under a scene point, or null; its page goes to `pageIndex`.
    IG_Annot *LinkAt(const CCA_Point &point, int *pageIndex) const;
    // Runs "d_linkaction" for the link.
    void RunLinkAction(int pageIndex, IG_Annot *link);
    // Notes the link under a press (none: page -1), so that only a release on it runs it.
    IG_Annot *PressLink(const CCA_Point &point);
    void ReleaseLink(const CCA_Point &point);

    int m_pressPage = -1;
    unsigned m_pressLinkID = 0;

private:
    enum Drag { DragNone, DragPan, DragSelect, DragLink };

    // The glyphs of a page, kept while the page's content stays the same.
    const QVector<G_PageGlyph> &Glyphs(int pageIndex);
    int GlyphAt(int pageIndex, const CCA_GPoint &point);
    int NearestGlyph(const CCA_GPoint &point) const;
    void SelectGlyphs(int from, int to);
    void Pan(const CCA_Point &point);
    void UpdateHoverCursor(const CCA_Point &point);

    int m_drag = DragNone;
    QPoint m_pressViewport;
    QPoint m_pressScroll;
    int m_anchorGlyph = -1;
    bool m_moved = false;
    IG_Page *m_glyphPage = nullptr;
    int m_glyphObjectCount = -1;
    int m_glyphPageIndex = -1;
    QVector<G_PageGlyph> m_glyphs;
};
