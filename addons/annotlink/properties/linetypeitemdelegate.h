#pragma once

#include <QStyledItemDelegate>

// Paints the line-type popup: a picture of each dash pattern instead of a text.
class LineTypeItemDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    explicit LineTypeItemDelegate(QObject *parent = nullptr);
    ~LineTypeItemDelegate() override;

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;
};
