#pragma once

#include "g_highlightitem.h"

#include "ombase/cca_geometry.h"

#include <QCache>
#include <QGraphicsView>
#include <QHash>
#include <QImage>
#include <QList>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QSizeF>
#include <QTransform>
#include <QVector>

#include <vector>

class G_ToolHandler;
class G_UIContext;
class G_ViewHistory;
class GR_PageGraphicItem;
class IG_Document;
class IG_Page;
class QUndoStack;
class G_Dest;
class G_Event;
class IG_Annot;

// Zoom modes of a view.
enum G_ZoomMode {
    G_Zoom_Custom = 0,
    G_Zoom_ActualSize = 1,
    G_Zoom_FitWidth = 2,
    G_Zoom_FitHeight = 3,
    G_Zoom_FitPage = 4,
    G_Zoom_FitVisible = 5
};

// Cursor ids of SetCursor.
enum G_CursorId {
    G_Cursor_Arrow = 0,
    G_Cursor_IBeam = 4,
    G_Cursor_SizeVer = 5,
    G_Cursor_SizeHor = 6,
    G_Cursor_SizeBDiag = 7,
    G_Cursor_SizeFDiag = 8,
    G_Cursor_Move = 9,
    G_Cursor_PointingHand = 13,
    G_Cursor_ClosedHand = 14,
    G_Cursor_OpenHand = 17,
    G_Cursor_Cross = 18
};

// A document shown as pages stacked top to bottom in a scene whose unit is one screen
// pixel at the current zoom (96 pixels per inch at 100 %). Document coordinates are
// millimetres from a page's top-left corner, y downwards, before rotation.
class G_DocView : public QGraphicsView
{
    Q_OBJECT
public:
    G_DocView(G_UIContext *context, IG_Document *document, QWidget *parent = nullptr);
    ~G_DocView() override;

    IG_Document *GDocument() const { return m_document; }
    G_UIContext *UIContext() const { return m_context; }
    IG_Page *Page(int index) const;
    int PageCount() const;
    int CurrentPageIndex() const;

    // Annotation mode (the annotation toolbar is on).
    bool AnnotStatus() const { return m_annotStatus; }
    void SetAnnotStatus(bool on) { m_annotStatus = on; }
    bool AnnotsVisible() const { return m_annotsVisible; }
    void SetAnnotsVisible(bool visible);

    QList<G_HighLightItem> SelectHighLightText() const { return m_selection; }
    void SetSelectHighLightText(const QList<G_HighLightItem> &selection);

    QUndoStack *UndoStack() const { return m_undoStack; }
    QUndoStack *CreateUndoStack();

    float GetZoom() const { return m_zoom; } // percent
    void SetZoom(float percent);
    int GetRotate() const { return m_rotate; } // 0, 90, 180 or 270
    void SetRotate(int degrees);
    int ZoomMode() const { return m_zoomMode; }
    void SetZoomMode(int mode);
    // Scene pixels per millimetre at the current zoom.
    double PixelsPerMM() const;

    void GoToPage(int pageIndex);
    // Scrolls `view` so that `rect` of the page is visible; with `toTop` the rect's top
    // goes to the top of the viewport.
    static void GoToPage(G_DocView *view, int pageIndex, const CCA_GRect &rect, bool toTop);
    // Jumps as a go-to link does, noting the place left in History().
    void GoToDest(const G_Dest &dest);
    G_ViewHistory *History() const { return m_history; }

    CCA_GRect CurrentPageVisibleRectMM() const;
    QRect VisibleSceneRect() const;
    QRect PageRect(int pageIndex) const;
    // Page under a scene point, or -1. `widen` counts the gap around a page as the page;
    // `nearest` answers the nearest page instead of -1.
    int PageIndexByPoint(const QPoint &point, bool widen, bool nearest) const;

    // The page is the one under the point (or the nearest); it is written to `pageIndex`.
    CCA_GPoint DocPointFromScenePoint(const CCA_Point &point, int *pageIndex) const;
    CCA_GPoint DocPointFromScenePointByPageIndex(const CCA_Point &point, int pageIndex) const;
    CCA_Point ScenePointFromDocPoint(const CCA_GPoint &point, int pageIndex) const;
    QPoint ScenePointFromGlobalPoint(const QPoint &global) const;
    // With a valid *pageIndex the rect is taken relative to that page; otherwise the page
    // under the rect's centre is used and written back.
    CCA_GRect DocRectFromSceneRect(const CCA_Rect &rect, int *pageIndex) const;
    CCA_Rect SceneRectFromDocRect(const CCA_GRect &rect, int pageIndex) const;

    virtual G_ToolHandler *CurrentToolHandler() const;
    // This view's instance of the named tool, cloned from the prototype on first use.
    virtual G_ToolHandler *ToolHandler(const QString &name);
    bool SetCurrentToolHandler(const QString &name);
    virtual void Refresh();
    virtual void SetCursor(int cursorId);
    int CursorId() const { return m_cursorId; }

    QList<GR_PageGraphicItem *> PageItems() const;
    // Relayout after the document's pages changed.
    void Relayout();

    // Page millimetres to scene pixels for one page (rotation included); identity when missing.
    QTransform PageTransform(int pageIndex) const;
    // A scene displacement in millimetres (rotation undone).
    CCA_GPoint DocVectorFromSceneVector(float dx, float dy) const;
    // The tools this view has cloned so far.
    QList<G_ToolHandler *> ToolHandlers() const { return m_handlers.values(); }
    // Clears `annot` from every tool's selection (it is leaving its page).
    void ForgetAnnot(IG_Annot *annot);
    // The same for many at once.
    void ForgetAnnots(const std::vector<IG_Annot *> &annots);
    // Scrolls so that the scene point lands at the viewport's top-left corner.
    void ScrollToScenePoint(const QPoint &point);
    // Paints one page item: page, content, annotations, selection and the tool's hooks.
    void PaintPageItem(QPainter *painter, GR_PageGraphicItem *item);
    // Paints the page items that `exposed` (scene coordinates) shows.
    void PaintExposedPages(QPainter *painter, const QRectF &exposed);
    // Whether drawings are kept between frames (on by default; off draws every frame afresh,
    // which must give the same pixels).
    bool PageCacheEnabled() const { return m_pageCacheEnabled; }
    void SetPageCacheEnabled(bool enabled);
    // Page millimetres of what `painter` can still change on the page, widened by `pixels`
    // scene pixels: what lies wholly outside need not be drawn.
    CCA_GRect ExposedPageArea(QPainter *painter, int pageIndex, int pixels) const;

signals:
    void ZoomChanged(float percent);
    void CurrentPageChanged(int pageIndex);
    void ToolChanged(const QString &name);
    void SelectionChanged();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void drawBackground(QPainter *painter, const QRectF &rect) override;
    void drawForeground(QPainter *painter, const QRectF &rect) override;
    bool event(QEvent *event) override;
    bool viewportEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    G_ToolHandler *ActiveHandler();
    void ApplyZoom(float percent, const QPoint &viewportAnchor);
    void ApplyZoomMode();
    QSizeF PageSizeMM(int pageIndex) const; // unrotated
    GR_PageGraphicItem *PageItem(int index) const;
    void UpdateCurrentPage();
    void DispatchMouse(QMouseEvent *event, int kind);
    void PaintContent(QPainter *painter, int pageIndex);
    QImage *ContentImage(QPainter *painter, int pageIndex);
    bool HasNoContent(QPainter *painter, IG_Page *page) const;
    QTransform PageToImage(int pageIndex) const;
    bool PaintPageImage(QPainter *painter, int pageIndex);
    struct PageImage;
    bool UpdatePageImage(PageImage *cached, const QImage &content, IG_Page *page, int pageIndex);
    void DrawAnnotsInto(PageImage *cached, IG_Page *page, int pageIndex, const QImage *content,
                        const QRegion *region, const CCA_GRect *cull);
    bool AnnotsWithinPage(IG_Page *page, int pageIndex) const;
    static bool WithinPage(const CCA_GRect &boundary, const QSizeF &pageSize);
    void OnEvent(const G_Event &event);

    G_UIContext *m_context;
    IG_Document *m_document;
    QGraphicsScene *m_scene;
    mutable QVector<GR_PageGraphicItem *> m_pageItems; // null until first needed
    bool m_pagesStacked = false; // some pages stacked at the scene's end, out of order
    QVector<QRect> m_pageRects;
    QHash<QString, G_ToolHandler *> m_handlers;
    G_ToolHandler *m_currentHandler = nullptr;
    QUndoStack *m_undoStack = nullptr;
    G_ViewHistory *m_history = nullptr;
    QList<G_HighLightItem> m_selection;
    float m_zoom = 100;
    int m_rotate = 0;
    int m_zoomMode = G_Zoom_Custom;
    int m_cursorId = G_Cursor_Arrow;
    bool m_annotStatus = false;
    bool m_annotsVisible = true;
    int m_currentPage = -1;
    bool m_applyingZoomMode = false;
    // The events of the context this view listens to; the context may go first.
    QPointer<G_UIContext> m_eventContext;
    int m_eventListener = 0;
    // Page content drawn at the current zoom, by page index.
    QCache<int, QImage> m_contentCache;
    struct PageImage
    {
        QImage image;
        qint64 contentKey;
        uint64_t annotsRevision;
        uint64_t ownRevision;
        bool annotsWithinPage; // else the page is drawn live
    };
    // Content with the annotations drawn over it, by page index.
    QCache<int, PageImage> m_pageCache;
    bool m_pageCacheEnabled = true;
};
