#pragma once

#include <QList>
#include <QObject>
#include <QPointF>

class G_DocView;

// The places a view showed before it followed go-to links, to go back and forward
// through as browsers do.
class G_ViewHistory : public QObject
{
    Q_OBJECT
public:
    explicit G_ViewHistory(G_DocView *view);

    // Notes what the view shows now, before a jump; what lay ahead is forgotten.
    void Record();
    bool CanGoBack() const { return !m_back.isEmpty(); }
    bool CanGoForward() const { return !m_forward.isEmpty(); }
    void GoBack();
    void GoForward();
    void Clear();

signals:
    void Changed();

private:
    // The page and its point at the viewport's top-left corner, and the zoom: unlike
    // scene pixels they stay right when a jump changes the zoom.
    struct Position
    {
        int pageIndex = -1;
        QPointF docPoint;
        float zoom = 100;
        int zoomMode = 0;
    };

    Position Current() const;
    void Show(const Position &position);

    G_DocView *m_view;
    QList<Position> m_back;
    QList<Position> m_forward;
};
