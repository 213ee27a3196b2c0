#pragma once

#include <QDialog>
#include <QPoint>
#include <QRect>

namespace Utils {

// Frameless dialog that the user moves by dragging inside its movable area.
class OMBaseDialog : public QDialog
{
    Q_OBJECT
public:
    explicit OMBaseDialog(QWidget *parent = nullptr, Qt::WindowFlags flags = Qt::WindowFlags());
    void SetMovableArea(const QRect &area);
    QRect MovableArea() const { return m_movableArea; }

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QRect m_movableArea;
    QPoint m_dragOffset;
    bool m_dragging = false;
};

} // namespace Utils
