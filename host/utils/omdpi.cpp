#include "omdpi.h"

#include <QGuiApplication>
#include <QRect>
#include <QScreen>
#include <QWidget>

namespace Utils {

OMDpi &OMDpi::Instance()
{
    static OMDpi instance;
    return instance;
}

// 96 logical dots per inch is the factor 1; without a screen nothing is scaled.
OMDpi::OMDpi() : m_scale(1.0f)
{
    if (qobject_cast<QGuiApplication *>(QCoreApplication::instance())) {
        if (const QScreen *screen = QGuiApplication::primaryScreen()) {
            const qreal dpi = screen->logicalDotsPerInch();
            if (dpi > 0)
                m_scale = float(dpi / 96.0);
        }
    }
}

namespace DPI {

void OM_Util::MoveToCenter(QWidget *widget)
{
    if (!widget)
        return;
    const QSize size = widget->frameGeometry().size();
    if (!widget->isWindow()) {
        if (const QWidget *parent = widget->parentWidget())
            widget->move((parent->width() - size.width()) / 2, (parent->height() - size.height()) / 2);
        return;
    }
    QRect area;
    if (const QWidget *parent = widget->parentWidget())
        area = parent->window()->frameGeometry();
    if (area.isEmpty()) {
        const QScreen *screen = widget->screen();
        if (!screen)
            screen = QGuiApplication::primaryScreen();
        if (!screen)
            return;
        area = screen->availableGeometry();
    }
    widget->move(area.x() + (area.width() - size.width()) / 2, area.y() + (area.height() - size.height()) / 2);
}

} // namespace DPI

} // namespace Utils
