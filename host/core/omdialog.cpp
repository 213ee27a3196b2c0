#include "omdialog.h"

#include <QPainter>
#include <QPaintEvent>

namespace Core {

OMDialog::OMDialog(QWidget *parent, Qt::WindowFlags flags)
    : Utils::OMBaseDialog(parent, flags | Qt::FramelessWindowHint)
{
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
}

void OMDialog::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    painter.fillRect(event->rect(), Qt::white);
    // The frame runs along the outermost pixels; a frameless window has no other border.
    painter.setPen(QColor(0xD7, 0xD9, 0xDE));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

} // namespace Core
