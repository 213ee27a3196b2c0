#include "omcolordialog.h"

#include "omdpi.h"

#include <QColorDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace Utils {

namespace {

const char *const s_swatchNames[] = {
    "#000000", "#434343", "#666666", "#999999", "#B7B7B7", "#CCCCCC", "#EFEFEF", "#FFFFFF",
    "#980000", "#FF0000", "#FF9900", "#FFFF00", "#00FF00", "#00FFFF", "#4A86E8", "#0000FF",
    "#E6B8AF", "#F4CCCC", "#FCE5CD", "#FFF2CC", "#D9EAD3", "#D0E0E3", "#C9DAF8", "#CFE2F3",
    "#CC4125", "#E06666", "#F6B26B", "#FFD966", "#93C47D", "#76A5AF", "#6D9EEB", "#6FA8DC",
    "#85200C", "#990000", "#B45F06", "#BF9000", "#38761D", "#134F5C", "#1155CC", "#0B5394",
};
const int s_columns = 8;

QString SwatchStyle(const QColor &color)
{
    return QStringLiteral("QPushButton{border: 1px solid #D7D9DE;background-color:%1;}"
                          "QPushButton:hover{border: 1px solid #FF902B;}")
        .arg(color.name(QColor::HexArgb));
}

} // namespace

OMColorDialog::OMColorDialog(QWidget *parent)
    : QWidget(parent, Qt::Popup), m_customColor(Qt::black), m_customButton(new QPushButton(this))
{
    setObjectName(QStringLiteral("OMColorDialog"));
    setAttribute(Qt::WA_StyledBackground);
    setStyleSheet(QStringLiteral("QWidget#OMColorDialog{background-color:white;border: 1px solid #D7D9DE;}"));
    const float s = OMDpi::Instance().DpiScale();
    const int swatchSize = int(16 * s);

    auto *grid = new QGridLayout;
    grid->setSpacing(int(4 * s));
    int index = 0;
    for (const char *name : s_swatchNames) {
        const QColor color = QColor(QLatin1String(name));
        m_swatches.append(color);
        auto *swatch = new QPushButton(this);
        swatch->setObjectName(QStringLiteral("swatch%1").arg(index));
        swatch->setFixedSize(swatchSize, swatchSize);
        swatch->setFocusPolicy(Qt::NoFocus);
        swatch->setToolTip(color.name());
        swatch->setStyleSheet(SwatchStyle(color));
        connect(swatch, &QPushButton::clicked, this, [this, color] { Select(color); });
        grid->addWidget(swatch, index / s_columns, index % s_columns);
        ++index;
    }

    auto *customLabel = new QLabel(tr("Custom"), this);
    m_customButton->setObjectName(QStringLiteral("customColor"));
    m_customButton->setFixedSize(swatchSize, swatchSize);
    m_customButton->setFocusPolicy(Qt::NoFocus);
    connect(m_customButton, &QPushButton::clicked, this, [this] { Select(m_customColor); });
    auto *moreButton = new QPushButton(tr("More..."), this);
    moreButton->setObjectName(QStringLiteral("moreColors"));
    moreButton->setFocusPolicy(Qt::NoFocus);
    connect(moreButton, &QPushButton::clicked, this, &OMColorDialog::MoreColors);

    auto *bottom = new QHBoxLayout;
    bottom->addWidget(customLabel);
    bottom->addWidget(m_customButton);
    bottom->addStretch();
    bottom->addWidget(moreButton);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(int(8 * s), int(8 * s), int(8 * s), int(8 * s));
    layout->setSpacing(int(6 * s));
    layout->addLayout(grid);
    layout->addLayout(bottom);
    StyleCustomButton();
}

void OMColorDialog::SetCustomColor(const QColor &color)
{
    if (!color.isValid())
        return;
    m_customColor = color;
    StyleCustomButton();
}

QList<QColor> OMColorDialog::Swatches() const
{
    return m_swatches;
}

void OMColorDialog::Select(const QColor &color)
{
    if (!color.isValid())
        return;
    hide();
    emit ColorSelected(color);
}

QColor OMColorDialog::AskColor(const QColor &initial)
{
    return QColorDialog::getColor(initial, parentWidget(), tr("Select Color"), QColorDialog::ShowAlphaChannel);
}

// The popup closes before the modal dialog opens, as any click outside it would close it.
void OMColorDialog::MoreColors()
{
    hide();
    const QColor color = AskColor(m_customColor);
    if (!color.isValid())
        return;
    SetCustomColor(color);
    emit ColorSelected(color);
}

void OMColorDialog::StyleCustomButton()
{
    m_customButton->setStyleSheet(SwatchStyle(m_customColor));
    m_customButton->setToolTip(m_customColor.name(QColor::HexArgb));
}

} // namespace Utils
