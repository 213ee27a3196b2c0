#include "linetypeitemdelegate.h"

#include "utils/omdpi.h"

#include <QPainter>
#include <QPixmap>
#include <QWidget>

namespace {

const char *const kPopupPictures[] = {"long-solid.svg", "long-dotted1.svg", "long-dotted2.svg",
                                      "long-dotted3.svg", "long-dotted4.svg"};
const int kPopupPictureCount = int(sizeof(kPopupPictures) / sizeof(kPopupPictures[0]));

} // namespace

LineTypeItemDelegate::LineTypeItemDelegate(QObject *parent)
    : QStyledItemDelegate(parent)
{
}

LineTypeItemDelegate::~LineTypeItemDelegate() = default;

// The base painting is skipped on purpose: rows carry no text and the current row
// gets no highlight, only the hovered one does.
void LineTypeItemDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                                 const QModelIndex &index) const
{
    const float s = Utils::OMDpi::Instance().DpiScale();
    if (option.state & QStyle::State_MouseOver) {
        QColor highlight(198, 206, 214);
        highlight.setAlphaF(0.2);
        painter->setPen(QColor(Qt::transparent));
        painter->setBrush(QBrush(highlight, Qt::SolidPattern));
        painter->drawRoundedRect(option.rect, 2 * s, 2 * s, Qt::AbsoluteSize);
    }

    const int row = index.row();
    if (row < 0 || row >= kPopupPictureCount)
        return;
    const QPixmap picture(QString(":/img/%1").arg(QLatin1String(kPopupPictures[row])));
    // Rows are laid out from the top of the popup, 24 px each, whatever the option rectangle says.
    const QRect target(int(9 * s), int((24 * row + 12) * s), int(101 * s), int(s));
    painter->drawPixmap(target, picture);
}

QSize LineTypeItemDelegate::sizeHint(const QStyleOptionViewItem &option,
                                     const QModelIndex &index) const
{
    const float s = Utils::OMDpi::Instance().DpiScale();
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    if (const QWidget *list = qobject_cast<const QWidget *>(parent()))
        size.setWidth(list->width());
    size.setHeight(int(24 * s));
    return size;
}
