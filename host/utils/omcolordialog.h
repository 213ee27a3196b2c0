#pragma once

#include <QColor>
#include <QWidget>

class QGridLayout;
class QPushButton;

namespace Utils {

// A small colour chooser: a grid of swatches, the custom colour and a "More..." button
// that opens the system colour dialog. Emits ColorSelected and hides when a colour is picked.
class OMColorDialog : public QWidget
{
    Q_OBJECT
public:
    explicit OMColorDialog(QWidget *parent = nullptr);
    void SetCustomColor(const QColor &color);
    QColor CustomColor() const { return m_customColor; }
    // The swatch colours in grid order.
    QList<QColor> Swatches() const;
    // Picks a colour as a click on a swatch would.
    void Select(const QColor &color);

signals:
    void ColorSelected(QColor color);

protected:
    // The system colour dialog behind "More..."; an invalid colour means cancelled.
    virtual QColor AskColor(const QColor &initial);

private:
    void MoreColors();
    void StyleCustomButton();

    QColor m_customColor;
    QList<QColor> m_swatches;
    QPushButton *m_customButton;
};

} // namespace Utils
