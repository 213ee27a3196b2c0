#include "properties/singlelinkpropertydialog.h"

#include "properties/linetypeitemdelegate.h"
#include "properties/linkannotattributecommand.h"
#include "properties/linkstylesettings.h"
#include "tool/gac_link.h"
#include "tool/linkstyle.h"

#include "omofdapi/g_action.h"
#include "omofdapi/ig_annot.h"
#include "omofdapi/ig_document.h"
#include "omofdapi/ig_page.h"
#include "uiframework/g_docview.h"
#include "uiframework/g_event.h"
#include "uiframework/g_uicontext.h"
#include "uiframework/gq_convert.h"
#include "utils/omcolordialog.h"
#include "utils/omdpi.h"

#include <QComboBox>
#include <QDateTime>
#include <QDebug>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRegExpValidator>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QStyleOptionComboBox>
#include <QTimer>
#include <QUndoStack>
#include <QVBoxLayout>

#include <initializer_list>

namespace {

const char *const kNoAttachments = QT_TRANSLATE_NOOP("SingleLinkPropertyDialog", "This document has no attachments");
const char *const kNoMedia =
    QT_TRANSLATE_NOOP("SingleLinkPropertyDialog", "This document has no embedded audio and video files");

const char *const kNormalColor = "#4F5D79";
const char *const kGreyedColor = "#D4DBE9";

const char *const kTitleStyle = "font-size: %1px;font-family: Microsoft YaHei;color: #242F44;";
const char *const kHeadingStyle = "font-size: %1px;font-family: Microsoft YaHei;color: #B7BFD0;";
const char *const kLabelStyle = "font-size: %1px;font-family: Microsoft YaHei;color: #4F5D79;";
const char *const kFieldLabelStyle = "font-size: %1px;font-family: Microsoft YaHei;color: #36425A;";
const char *const kFieldStyle = "background: #FFFFFF;border-radius: 2px;border: 1px solid #D7D9DE;font-size: %1px;"
                                "font-family: Microsoft YaHei;color: #4F5D79;";
const char *const kOkStyle =
    "QPushButton{background: #14A8F0;border-radius: 2px;border:1px solid #14A8F0;font-size: %1px;"
    "font-family: Microsoft YaHei;color: #FFFFFF;}QPushButton:disabled {background: #D0F0FF;"
    "border:1px solid #D0F0FF;color: #FFFFFF;}";
const char *const kCancelStyle =
    "QPushButton{background: #FFFFFF;border-radius: 2px;border: 1px solid #D7D9DE;font-size: %1px;"
    "font-family: Microsoft YaHei;color: #36425A;}";
const char *const kColorButtonStyle = "QPushButton{border: 1px solid #D7D9DE;background-color:%1;}";
const char *const kColorButtonStates =
    "QPushButton:hover{border: 1px solid #FF902B;}QPushButton:disabled{background-color:white;}";

// Rule blocks of the list stylesheets.
const char *const kListBase =
    "QComboBox{padding-left:%1px;font-size: %2px;font-family: Microsoft YaHei;color: #4F5D79;"
    "background: #FFFFFF;border-radius: 2px;border: 1px solid #D7D9DE;}";
const char *const kListDisabled = "QComboBox:!enabled{ border-radius: 2px;background: #FFFFFF;"
                                  "border: 1px solid #ECECEC;color: #D4DBE9; }";
const char *const kListDropDown = "QComboBox::drop-down {"
                                  "subcontrol-origin: padding;subcontrol-position: top right;"
                                  "width: %3px;height: %4px;border:none;}";
const char *const kListArrow = "QComboBox::down-arrow {"
                               "background-image: url(:/img/down_arrow.svg);background-repeat:no-repeat;"
                               "background-position:center;width: %1px;border:none;"
                               "height: %1px;}";
const char *const kListArrowGreyed = "QComboBox::down-arrow {"
                                     "background-image: url(:/img/down_arrowdisable.svg);background-repeat:no-repeat;"
                                     "background-position:center;width: %1px;border:none;"
                                     "height: %1px;}";
const char *const kPopupHead = "QComboBox QAbstractItemView {";
const char *const kPopupTail = "selection-background-color:rgba(198,206,214,0.2000);"
                               "font-size: %2px;font-family:Microsoft YaHei;color:#4F5D79;}";
const char *const kBoundaryPopupLine =
    "background: #FFFFFF;min-height:%5px;max-height:%5px;border-radius: 2px;border: 1px solid #D7D9DE;";
const char *const kActionPopupLine =
    "background: #FFFFFF;border-radius: 2px;min-height:%5px;max-height:%5px;border: 1px solid #D7D9DE;";
const char *const kListPopupLine = "background: #FFFFFF;border-radius: 2px;border: 1px solid #D7D9DE;";
const char *const kItemHead = "QComboBox QAbstractItemView::item{";
const char *const kItemTail = "border-radius: 2px;font-size: %2px;font-family:Microsoft YaHei;"
                              "color:#4F5D79;}";
const char *const kHover = "QComboBox QAbstractItemView::item:hover{"
                           "background-color:rgba(198, 206, 214, 0.2000);}";
const char *const kSelected = "QComboBox QAbstractItemView::item:selected"
                              "{background-color:rgba(198, 206, 214, 0.2000);}";
const char *const kActionHover = "QComboBox QAbstractItemView::item:hover{"
                                 "background:rgba(198, 206, 214, 0.2000);}";
const char *const kActionSelected = "QComboBox QAbstractItemView::item:selected"
                                    "{background:rgba(198, 206, 214, 0.2000);}";

// The line-type and width lists take the arrow picture as %1, so their numbers start at %2.
const char *const kStyleListBase =
    "QComboBox{padding-left:%2px;font-size: %3px;font-family: Microsoft YaHei;color: #4F5D79;"
    "background: #FFFFFF;border-radius: 2px;border: 1px solid #D7D9DE;}";
const char *const kStyleListDropDown = "QComboBox::drop-down {"
                                       "subcontrol-origin: padding;subcontrol-position: top right;"
                                       "width: %4px;height: %5px;border:none;}";
const char *const kStyleListArrow = "QComboBox::down-arrow {"
                                    "background-image: url(:/img/%1);background-repeat:no-repeat;"
                                    "background-position:center;width: %2px;border:none;"
                                    "height: %2px;}";
const char *const kLineTypePopup = "QComboBox QAbstractItemView {"
                                   "background: #FFFFFF;height:%6px;border-radius: 2px;border: 1px solid #D7D9DE;}";
const char *const kWidthPopup = "QComboBox QAbstractItemView {"
                                "background: #FFFFFF;height:%6px;border-radius: 2px;border: 1px solid #D7D9DE;"
                                "selection-background-color:rgba(198,206,214,0.2000);"
                                "font-size: %3px;font-family:Microsoft YaHei;color:#4F5D79;}";
const char *const kWidthItem = "QComboBox QAbstractItemView::item{"
                               "padding-left:%2px;height: %7px;border-radius: 2px;font-size: %3px;"
                               "font-family:Microsoft YaHei;"
                               "color:#4F5D79;}";

const char *const kShortPictures[] = {"short-solid", "short-dotted1", "short-dotted2", "short-dotted3",
                                      "short-dotted4"};

QString Join(std::initializer_list<QString> blocks)
{
    QString sheet;
    for (const QString &block : blocks)
        sheet += block;
    return sheet;
}

// Numbers go through QString::arg's general format, so 12.5 stays 12.5 and 15.0 becomes 15.
QString Fill(QString sheet, float scale, std::initializer_list<int> pixels)
{
    for (int value : pixels)
        sheet = sheet.arg(double(value * scale));
    return sheet;
}

QString ItemBlock(const char *heightPlaceholder)
{
    return QString(kItemHead) + "padding-left:%1px;height: " + heightPlaceholder + "px;" + kItemTail;
}

QString BoundarySheet(float s)
{
    return Fill(Join({kListBase, kListDisabled, kListDropDown, kListArrow,
                      QString(kPopupHead) + kBoundaryPopupLine + kPopupTail, ItemBlock("%6"), kHover,
                      kSelected}),
                s, {10, 12, 22, 26, 72, 24});
}

QString ActionSheet(float s)
{
    return Fill(Join({kListBase, kListDropDown, kListArrow,
                      QString(kPopupHead) + kActionPopupLine + kPopupTail, ItemBlock("%6"), kActionHover,
                      kActionSelected}),
                s, {10, 12, 22, 28, 96, 24});
}

QString ListSheet(float s, bool empty)
{
    const QString sheet = empty
        ? Join({kListBase, kListDisabled, kListDropDown, kListArrowGreyed,
                QString(kPopupHead) + kListPopupLine + kPopupTail, ItemBlock("%5"), kHover, kSelected})
        : Join({kListBase, kListDropDown, kListArrow, QString(kPopupHead) + kListPopupLine + kPopupTail,
                ItemBlock("%5"), kHover, kSelected});
    return Fill(sheet, s, {10, 12, 22, 28, 24});
}

int DestTypeFromZoomMode(int zoomMode)
{
    switch (zoomMode) {
    case G_Zoom_FitWidth:
        return G_Dest_FitH;
    case G_Zoom_FitHeight:
        return G_Dest_FitV;
    case G_Zoom_FitPage:
        return G_Dest_Fit;
    case G_Zoom_FitVisible:
        return G_Dest_FitR;
    default:
        return G_Dest_XYZ;
    }
}

QString FileNameOf(const QString &path)
{
    return path.mid(path.lastIndexOf('/') + 1);
}

G_Action *NewJump(int page, G_DocView *view, IG_Document *document)
{
    G_ActionGoto *jump = new G_ActionGoto;
    G_Dest &dest = jump->Dest();
    dest.pageIndex = page - 1;
    dest.pageID = document->GetPageID(page - 1);
    // Left, right, top, bottom go into the bounds in their declaration order.
    const CCA_GRect visible = view->CurrentPageVisibleRectMM();
    dest.left = visible.left;
    dest.right = visible.right;
    dest.top = visible.top;
    dest.bottom = visible.bottom;
    dest.zoom = float(double(view->GetZoom()) / 100.0);
    dest.type = DestTypeFromZoomMode(view->ZoomMode());
    return jump;
}

G_Action *NewMediaAction(uint32_t resourceID, IG_Document *document)
{
    G_MultiMediaInfo info;
    document->MultiMediaInfo(resourceID, info);
    if (info.type == G_MultiMedia_Audio) {
        G_ActionSound *sound = new G_ActionSound;
        sound->SetResourceID(resourceID);
        return sound;
    }
    if (info.type == G_MultiMedia_Video) {
        G_ActionMovie *movie = new G_ActionMovie;
        movie->SetResourceID(resourceID);
        return movie;
    }
    return nullptr;
}

} // namespace

SingleLinkPropertyDialog::SingleLinkPropertyDialog(IG_Annot *annot, bool edit, double firstX,
                                                   double firstY, double secondX, double secondY,
                                                   int pageIndex, G_UIContext *context, QWidget *parent)
    : Core::OMDialog(parent, Qt::WindowFlags())
    , m_annot(annot)
    , m_uiContext(context)
    , m_documentKey(CurrentDocumentKey(context))
    , m_annotID(annot ? annot->ID() : 0)
    , m_isEdit(edit)
    , m_firstPoint(firstX, firstY)
    , m_secondPoint(secondX, secondY)
    , m_pageIndex(pageIndex)
    , m_dpiScale(Utils::OMDpi::Instance().DpiScale())
{
    // Escape closes the dialog as well; it must not outlive that either.
    setAttribute(Qt::WA_DeleteOnClose);
    m_colorDialog = new Utils::OMColorDialog(this);
    connect(m_colorDialog, &Utils::OMColorDialog::ColorSelected, this, &SingleLinkPropertyDialog::ColorChanged);
    m_color = QColor(0, 0, 0, 255);

    resize(Scaled(460), Scaled(377));
    BuildWidgets();

    // Return must reach keyPressEvent, never a button that happens to hold the focus.
    m_okButton->setFocusPolicy(Qt::NoFocus);
    m_cancelButton->setFocusPolicy(Qt::NoFocus);
    m_closeButton->setFocusPolicy(Qt::NoFocus);
    m_colorButton->setFocusPolicy(Qt::NoFocus);

    if (m_isEdit) {
        FillFromLink();
    } else {
        m_okButton->setEnabled(false);
        update();
        if (!m_linkCreator) {
            m_linkCreator = new GAC_Link(CurrentView());
            m_linkCreator->SetTypeName(CCA_String("Link"));
            m_linkCreator->SetAnnotType(G_AnnotType_Link);
        }
        ReadStyleSettings();
    }

    Utils::DPI::OM_Util::MoveToCenter(this);
}

SingleLinkPropertyDialog::~SingleLinkPropertyDialog()
{
    delete m_linkCreator;
}

int SingleLinkPropertyDialog::Scaled(int pixels) const
{
    return int(pixels * m_dpiScale);
}

G_DocView *SingleLinkPropertyDialog::CurrentView() const
{
    return m_uiContext ? m_uiContext->CurrentDocView() : nullptr;
}

void SingleLinkPropertyDialog::BuildWidgets()
{
    const float s = m_dpiScale;
    G_DocView *view = CurrentView();
    IG_Document *document = view ? view->GDocument() : nullptr;

    auto spacer = [this](int w, int h) {
        return new QSpacerItem(Scaled(w), Scaled(h), QSizePolicy::Expanding, QSizePolicy::Expanding);
    };
    auto label = [this](const QString &text, int w, int h, const char *style, int fontPixels) {
        QLabel *widget = new QLabel(text, this);
        widget->setFixedSize(Scaled(w), Scaled(h));
        widget->setStyleSheet(QString(style).arg(double(fontPixels * m_dpiScale)));
        GrowToText(widget);
        return widget;
    };
    auto row = []() {
        QHBoxLayout *layout = new QHBoxLayout;
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
        return layout;
    };

    QVBoxLayout *layout = new QVBoxLayout(this);
    layout->setContentsMargins(Scaled(24), Scaled(18), Scaled(24), Scaled(24));
    layout->setSpacing(0);

    QHBoxLayout *titleRow = row();
    titleRow->addWidget(label(tr("link property"), 332, 28, kTitleStyle, 20));
    titleRow->addItem(spacer(64, 28));
    m_closeButton = new QPushButton(this);
    m_closeButton->setObjectName("closeButton");
    m_closeButton->setFixedSize(Scaled(16), Scaled(16));
    m_closeButton->setProperty("class", "closeBtn");
    connect(m_closeButton, &QPushButton::clicked, this, &QObject::deleteLater);
    titleRow->addWidget(m_closeButton);
    layout->addLayout(titleRow);
    layout->addItem(spacer(412, 27));

    QHBoxLayout *appearanceRow = row();
    m_appearanceLabel = label(tr("appearence"), 24, 22, kHeadingStyle, 12);
    m_appearanceLabel->setObjectName("appearanceLabel");
    appearanceRow->addWidget(m_appearanceLabel);
    appearanceRow->addItem(spacer(388, 22));
    layout->addLayout(appearanceRow);
    layout->addItem(spacer(412, 8));

    QHBoxLayout *styleRow = row();
    styleRow->addWidget(label(tr("boundary:"), 36, 22, kLabelStyle, 12));
    styleRow->addItem(spacer(10, 26));
    m_boundaryCombo = new QComboBox(this);
    m_boundaryCombo->setObjectName("boundaryCombo");
    m_boundaryCombo->setFixedSize(Scaled(90), Scaled(26));
    m_boundaryCombo->setView(new QListView(m_boundaryCombo));
    m_boundaryCombo->addItems({tr("rectangle"), tr("underline"), tr("invisible")});
    m_boundaryCombo->setStyleSheet(BoundarySheet(s));
    GrowToText(m_boundaryCombo);
    styleRow->addWidget(m_boundaryCombo);
    styleRow->addItem(spacer(10, 26));
    styleRow->addWidget(label(tr("line type") + ":", 36, 22, kLabelStyle, 12));
    styleRow->addItem(spacer(10, 26));
    m_lineTypeCombo = new QComboBox(this);
    m_lineTypeCombo->setObjectName("lineTypeCombo");
    m_lineTypeCombo->setFixedSize(Scaled(120), Scaled(26));
    m_lineTypeCombo->setIconSize(QSize(int(77 * s), int(s)));
    m_lineTypeCombo->setItemDelegate(new LineTypeItemDelegate(m_lineTypeCombo));
    styleRow->addWidget(m_lineTypeCombo);
    styleRow->addItem(spacer(10, 26));
    m_lineWidthCombo = new QComboBox(this);
    m_lineWidthCombo->setObjectName("lineWidthCombo");
    m_lineWidthCombo->setFixedSize(Scaled(60), Scaled(26));
    m_lineWidthCombo->setView(new QListView(m_lineWidthCombo));
    m_lineWidthCombo->addItems({tr("thin"), tr("middle"), tr("coarse")});
    styleRow->addWidget(m_lineWidthCombo);
    BuildLineTypeItems(kNormalColor);
    GrowToText(m_lineWidthCombo);
    styleRow->addItem(spacer(12, 26));
    m_colorButton = new QPushButton(this);
    m_colorButton->setObjectName("colorButton");
    m_colorButton->setFixedSize(Scaled(18), Scaled(18));
    StyleColorButton(m_color.name(QColor::HexArgb));
    connect(m_colorButton, &QPushButton::clicked, this, &SingleLinkPropertyDialog::SelectColor);
    styleRow->addWidget(m_colorButton);
    layout->addLayout(styleRow);
    connect(m_boundaryCombo, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &SingleLinkPropertyDialog::SetBoundaryIndex);
    layout->addItem(spacer(412, 24));

    QHBoxLayout *actionHeadingRow = row();
    actionHeadingRow->addWidget(label(tr("link action"), 48, 22, kHeadingStyle, 12));
    actionHeadingRow->addItem(spacer(364, 22));
    layout->addLayout(actionHeadingRow);
    layout->addItem(spacer(412, 7));

    QHBoxLayout *actionRow = row();
    m_actionCombo = new QComboBox(this);
    m_actionCombo->setObjectName("actionCombo");
    m_actionCombo->setFixedSize(Scaled(412), Scaled(28));
    m_actionCombo->setView(new QListView(m_actionCombo));
    m_actionCombo->addItems({tr("jump to page"), tr("open web page"), tr("open document attachment"),
                             tr("play audio video file")});
    m_actionCombo->setStyleSheet(ActionSheet(s));
    GrowToText(m_actionCombo);
    actionRow->addWidget(m_actionCombo);
    layout->addLayout(actionRow);
    layout->addItem(spacer(412, 12));

    m_actionStack = new QStackedWidget(this);
    m_actionStack->setObjectName("actionStack");
    m_actionStack->setMinimumSize(Scaled(412), Scaled(70));

    m_pageEdit = new QLineEdit(this);
    m_pageEdit->setObjectName("pageEdit");
    m_pageEdit->setFixedSize(Scaled(254), Scaled(28));
    m_pageEdit->setStyleSheet(QString(kFieldStyle).arg(double(12 * s)));
    m_pageEdit->setValidator(new QRegExpValidator(QRegExp("[0-9]+$"), m_pageEdit));
    connect(m_pageEdit, &QLineEdit::textChanged, this, &SingleLinkPropertyDialog::TextChanged);
    const int pageCount = document ? document->PageCount() : 0;
    m_totalLabel = label(tr("total") + QString::number(pageCount) + tr("page", nullptr, pageCount), 59, 22,
                         kLabelStyle, 12);
    m_totalLabel->setObjectName("totalLabel");
    QLabel *jumpPage = new QLabel(m_actionStack);
    jumpPage->setFixedSize(Scaled(412), Scaled(70));
    QHBoxLayout *jumpRow = new QHBoxLayout(jumpPage);
    jumpRow->setContentsMargins(0, 0, 0, Scaled(42));
    jumpRow->setSpacing(0);
    jumpRow->addWidget(label(tr("go to page:"), 60, 22, kFieldLabelStyle, 12));
    jumpRow->addItem(spacer(28, 28));
    jumpRow->addWidget(m_pageEdit);
    jumpRow->addItem(spacer(10, 28));
    jumpRow->addWidget(m_totalLabel);
    jumpPage->setFixedWidth(qMax(jumpPage->width(), jumpRow->sizeHint().width()));
    m_actionStack->addWidget(jumpPage);

    m_urlEdit = new QLineEdit(this);
    m_urlEdit->setObjectName("urlEdit");
    m_urlEdit->setFixedSize(Scaled(324), Scaled(28));
    m_urlEdit->setStyleSheet(QString(kFieldStyle).arg(double(12 * s)));
    m_urlEdit->setMaxLength(1000);
    m_actionStack->addWidget(
        BuildActionPage(label(tr("web address:"), 60, 22, kFieldLabelStyle, 12), m_urlEdit, 28));

    m_attachmentCombo = new QComboBox(this);
    m_attachmentCombo->setObjectName("attachmentCombo");
    m_attachmentCombo->setFixedSize(Scaled(324), Scaled(28));
    m_attachmentCombo->setView(new QListView(m_attachmentCombo));
    FillAttachmentList(document);
    m_actionStack->addWidget(
        BuildActionPage(label(tr("select attachment:"), 60, 22, kFieldLabelStyle, 12), m_attachmentCombo, 28));

    m_mediaCombo = new QComboBox(this);
    m_mediaCombo->setObjectName("mediaCombo");
    m_mediaCombo->setFixedSize(Scaled(290), Scaled(28));
    m_mediaCombo->setView(new QListView(m_mediaCombo));
    FillMediaList(document);
    m_actionStack->addWidget(BuildActionPage(
        label(tr("select audio or video file:"), 120, 22, kFieldLabelStyle, 12), m_mediaCombo, 2));

    layout->addWidget(m_actionStack);
    connect(m_actionCombo, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &SingleLinkPropertyDialog::CurrentIndexChanged);
    layout->addItem(spacer(412, 31));

    QHBoxLayout *buttonRow = row();
    buttonRow->addItem(spacer(244, 30));
    m_okButton = new QPushButton(tr("ok"), this);
    m_okButton->setObjectName("okButton");
    m_okButton->setFixedSize(Scaled(80), Scaled(30));
    m_okButton->setStyleSheet(QString(kOkStyle).arg(double(12 * s)));
    connect(m_okButton, &QPushButton::clicked, this, &SingleLinkPropertyDialog::SaveLinkProperty);
    buttonRow->addWidget(m_okButton);
    buttonRow->addSpacing(Scaled(8));
    m_cancelButton = new QPushButton(tr("cancel"), this);
    m_cancelButton->setObjectName("cancelButton");
    m_cancelButton->setFixedSize(Scaled(80), Scaled(30));
    m_cancelButton->setStyleSheet(QString(kCancelStyle).arg(double(12 * s)));
    connect(m_cancelButton, &QPushButton::clicked, this, &QObject::deleteLater);
    buttonRow->addWidget(m_cancelButton);
    layout->addLayout(buttonRow);
    resize(qMax(width(), layout->sizeHint().width()), height());

    m_checkTimer = new QTimer(this);
    m_checkTimer->setInterval(200);
    connect(m_checkTimer, &QTimer::timeout, this, &SingleLinkPropertyDialog::OnTimeout);
    m_checkTimer->start();
}

// Translations may be wider than the sizes laid out for the Chinese texts: a text's widget
// then grows to hold it, the size laid out being its minimum, and the dialog widens with it.
void SingleLinkPropertyDialog::GrowToText(QLabel *label) const
{
    label->ensurePolished();
    label->setFixedWidth(qMax(label->width(), label->sizeHint().width()));
}

// Only lists of the dialog's own texts grow; names from the document may be any length.
void SingleLinkPropertyDialog::GrowToText(QComboBox *combo) const
{
    combo->ensurePolished();
    int widest = 0;
    for (int i = 0; i < combo->count(); ++i)
        widest = qMax(widest, combo->fontMetrics().horizontalAdvance(combo->itemText(i)));
    QStyleOptionComboBox option;
    option.initFrom(combo);
    option.subControls = QStyle::SC_All;
    const int room =
        combo->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, combo).width();
    if (widest > room)
        combo->setFixedWidth(combo->width() + widest - room);
}

QWidget *SingleLinkPropertyDialog::BuildActionPage(QWidget *first, QWidget *second, int spacing)
{
    QLabel *page = new QLabel(m_actionStack);
    page->setFixedSize(Scaled(412), Scaled(70));
    QHBoxLayout *row = new QHBoxLayout(page);
    row->setContentsMargins(0, 0, 0, Scaled(42));
    row->setSpacing(Scaled(spacing));
    row->addWidget(first);
    row->addWidget(second);
    page->setFixedWidth(qMax(page->width(), row->sizeHint().width()));
    return page;
}

void SingleLinkPropertyDialog::FillAttachmentList(IG_Document *document)
{
    const int count = document ? document->AttachmentCount() : 0;
    for (int i = 0; i < count; ++i) {
        G_AttachmentInfo info;
        if (!document->AttachmentInfo(i, info) || !info.listed)
            continue;
        QString text = GQ_ToQStringFromUtf8(info.name);
        if (!info.format.IsEmpty())
            text += "." + GQ_ToQStringFromUtf8(info.format);
        m_attachmentCombo->addItem(text, QVariant(uint(info.id)));
    }
    m_attachmentCombo->setStyleSheet(ListSheet(m_dpiScale, false));
    if (m_attachmentCombo->count() == 0) {
        m_attachmentCombo->addItem(tr(kNoAttachments));
        m_attachmentCombo->setStyleSheet(ListSheet(m_dpiScale, true));
        m_attachmentCombo->setEnabled(false);
        GrowToText(m_attachmentCombo);
    }
}

void SingleLinkPropertyDialog::FillMediaList(IG_Document *document)
{
    const int count = document ? document->MultiMediaCount() : 0;
    for (int i = 0; i < count; ++i) {
        const uint32_t id = document->MultiMediaIDByIndex(i);
        G_MultiMediaInfo info;
        if (!document->MultiMediaInfo(id, info) || info.type == G_MultiMedia_Image)
            continue;
        m_mediaCombo->addItem(FileNameOf(GQ_ToQStringFromUtf8(info.filePath)), QVariant(uint(id)));
    }
    m_mediaCombo->setStyleSheet(ListSheet(m_dpiScale, false));
    if (m_mediaCombo->count() == 0) {
        m_mediaCombo->addItem(tr(kNoMedia));
        m_mediaCombo->setStyleSheet(ListSheet(m_dpiScale, true));
        m_mediaCombo->setEnabled(false);
        GrowToText(m_mediaCombo);
    }
}

// Without a link path object there is nothing to show; the dialog keeps its first items.
void SingleLinkPropertyDialog::FillFromLink()
{
    IG_PageObject *object = LinkPathObject(m_annot);
    if (!object)
        return;

    LinkStyle current;
    current.lineType = LinkLineType(m_lineTypeCombo->currentIndex());
    current.lineWidth = LinkLineWidth(m_lineWidthCombo->currentIndex());
    const LinkStyle style = DecodeLinkStyle(object, current);
    m_lineWidthCombo->setCurrentIndex(int(style.lineWidth));
    m_lineTypeCombo->setCurrentIndex(int(style.lineType));
    {
        const QSignalBlocker blocker(m_boundaryCombo);
        m_boundaryCombo->setCurrentIndex(int(style.boundary));
    }

    m_color = style.color;
    m_oldAttributes.color = m_color;
    StyleColorButton(m_color.name(QColor::HexArgb));
    SetBoundaryIndex(m_boundaryCombo->currentIndex());

    G_DocView *view = CurrentView();
    FillActionFromLink(view ? view->GDocument() : nullptr);
}

// Only the first action is shown; the dialog offers one action per link.
void SingleLinkPropertyDialog::FillActionFromLink(IG_Document *document)
{
    IG_PageObject *object = LinkPathObject(m_annot);
    const CCA_ArrayTemplate<G_Action *> actions = object->Actions();
    if (actions.IsEmpty() || !actions[0])
        return;
    G_Action *action = actions[0];

    switch (action->Type()) {
    case G_ActionType_Goto:
        if (auto *jump = dynamic_cast<G_ActionGoto *>(action)) {
            ShowActionPage(ActionKind::GoToPage);
            m_pageEdit->setText(QString::number(jump->Dest().pageIndex + 1));
        }
        break;
    case G_ActionType_URI:
        if (auto *uri = dynamic_cast<G_ActionURI *>(action)) {
            ShowActionPage(ActionKind::WebAddress);
            m_urlEdit->setText(GQ_ToQStringFromUtf8(uri->URI()));
        }
        break;
    case G_ActionType_Sound:
    case G_ActionType_Movie: {
        uint32_t resourceID = 0;
        if (auto *sound = dynamic_cast<G_ActionSound *>(action))
            resourceID = sound->ResourceID();
        else if (auto *movie = dynamic_cast<G_ActionMovie *>(action))
            resourceID = movie->ResourceID();
        G_MultiMediaInfo info;
        if (document)
            document->MultiMediaInfo(resourceID, info);
        ShowActionPage(ActionKind::Media);
        m_mediaCombo->setCurrentText(FileNameOf(GQ_ToQStringFromUtf8(info.filePath)));
        break;
    }
    case G_ActionType_GotoA: {
        auto *gotoA = dynamic_cast<G_ActionGotoA *>(action);
        if (!gotoA)
            break;
        const int index = document ? document->AttachmentIndexByID(gotoA->AttachID()) : -1;
        if (index == -1) {
            const QString message = tr(kNoAttachments);
            if (m_attachmentCombo->count() == 1 && m_attachmentCombo->itemText(0) == message) {
                ShowActionPage(ActionKind::Attachment);
                break;
            }
            // The attachment is gone: show the page with nothing chosen, so OK stays off.
            if (m_attachmentCombo->count() > 0 && m_attachmentCombo->currentText() != message) {
                ShowActionPage(ActionKind::Attachment);
                m_attachmentCombo->setCurrentIndex(-1);
                break;
            }
        }
        G_AttachmentInfo info;
        if (document)
            document->AttachmentInfo(index, info);
        QString name = GQ_ToQStringFromUtf8(info.name);
        if (!info.name.IsEmpty() && !info.format.IsEmpty())
            name += "." + GQ_ToQStringFromUtf8(info.format);
        ShowActionPage(ActionKind::Attachment);
        m_attachmentCombo->setCurrentText(name);
        break;
    }
    default:
        break;
    }
}

void SingleLinkPropertyDialog::ReadStyleSettings()
{
    const LinkStyleSettings::Values values = LinkStyleSettings::Read();
    if (values.IsStored()) {
        {
            const QSignalBlocker blocker(m_boundaryCombo);
            m_boundaryCombo->setCurrentIndex(values.boundary);
        }
        m_lineTypeCombo->setCurrentIndex(values.lineType);
        m_lineWidthCombo->setCurrentIndex(values.lineWidth);
        StyleColorButton(values.colorName);
        m_color.setNamedColor(values.colorName);
    }
    SetBoundaryIndex(m_boundaryCombo->currentIndex());
}

void SingleLinkPropertyDialog::BuildLineTypeItems(const QString &color)
{
    const float s = m_dpiScale;
    const bool greyed = color == QLatin1String(kGreyedColor);
    m_arrowImage = greyed ? "down_arrowdisable.svg" : "down_arrow.svg";
    const QSize pictureSize(int(77 * s), int(s));
    for (const char *picture : kShortPictures) {
        const QPixmap loaded(QString(":/img/%1%2.svg").arg(QLatin1String(picture), greyed ? "-dis" : ""));
        const QPixmap scaled = loaded.scaled(pictureSize, Qt::IgnoreAspectRatio, Qt::FastTransformation)
                                   .scaled(pictureSize, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        m_lineTypeCombo->addItem(QIcon(scaled), QString());
    }

    const QString lineTypeSheet = Join({kStyleListBase, kListDisabled, kStyleListDropDown, kStyleListArrow,
                                        kLineTypePopup});
    m_lineTypeCombo->setStyleSheet(Fill(lineTypeSheet.arg(m_arrowImage), s, {10, 12, 22, 26, 120}));
    const QString widthSheet = Join({kStyleListBase, kListDisabled, kStyleListDropDown, kStyleListArrow,
                                     kWidthPopup, kWidthItem, kHover, kSelected});
    m_lineWidthCombo->setStyleSheet(Fill(widthSheet.arg(m_arrowImage), s, {10, 12, 22, 26, 72, 24}));
}

void SingleLinkPropertyDialog::StyleColorButton(const QString &colorName)
{
    m_colorButton->setStyleSheet(QString(kColorButtonStyle).arg(colorName) + kColorButtonStates);
}

void SingleLinkPropertyDialog::SelectColor()
{
    const int x = int(double(this->x() + m_colorButton->x()) - 5);
    const int y = int(double(m_colorButton->y() + m_colorButton->height() + this->y()));
    m_colorDialog->move(x, y);
    // "More..." starts from the link's own colour rather than from black.
    m_colorDialog->SetCustomColor(m_color);
    m_colorDialog->show();
}

void SingleLinkPropertyDialog::CurrentIndexChanged(int index)
{
    m_actionStack->setCurrentIndex(index);
}

// An invisible link has no stroke to choose, but the greyed lists keep their values.
void SingleLinkPropertyDialog::SetBoundaryIndex(int index)
{
    const float s = m_dpiScale;
    const bool invisible = index == int(LinkBoundaryKind::Invisible);
    m_lineTypeCombo->setEnabled(!invisible);
    m_lineWidthCombo->setEnabled(!invisible);
    m_colorButton->setEnabled(!invisible);

    const int lineType = m_lineTypeCombo->currentIndex();
    m_lineTypeCombo->clear();
    BuildLineTypeItems(invisible ? kGreyedColor : kNormalColor);
    m_lineTypeCombo->setCurrentIndex(lineType);

    if (invisible) {
        const QSize iconSize(int(18 * s), int(18 * s));
        const QPixmap icon = QPixmap(":/img/disable_color.svg")
                                 .scaled(iconSize, Qt::IgnoreAspectRatio, Qt::FastTransformation)
                                 .scaled(iconSize, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        m_colorButton->setIcon(QIcon(icon));
        m_colorButton->setIconSize(iconSize);
    } else {
        m_colorButton->setIcon(QIcon());
    }
}

void SingleLinkPropertyDialog::ColorChanged(QColor color)
{
    m_color = color;
    StyleColorButton(m_color.name(QColor::HexArgb));
    update();
}

SingleLinkPropertyDialog::ActionPage SingleLinkPropertyDialog::CurrentActionPage() const
{
    switch (ActionKind(m_actionCombo->currentIndex())) {
    case ActionKind::GoToPage: {
        const bool empty = m_pageEdit->text().isEmpty();
        return {m_pageEdit, empty, empty, [this](G_DocView *view, IG_Document *document) {
                    return NewJump(m_pageEdit->text().toInt(), view, document);
                }};
    }
    case ActionKind::WebAddress: {
        const bool empty = m_urlEdit->text().isEmpty();
        return {m_urlEdit, empty, empty, [this](G_DocView *, IG_Document *) -> G_Action * {
                    G_ActionURI *uri = new G_ActionURI;
                    uri->SetURI(GQ_ToCAS(m_urlEdit->text()));
                    return uri;
                }};
    }
    case ActionKind::Attachment:
        return {m_attachmentCombo, m_attachmentCombo->count() == 0,
                (m_attachmentCombo->count() == 1 && m_attachmentCombo->itemText(0) == tr(kNoAttachments))
                    || m_attachmentCombo->currentIndex() == -1,
                [this](G_DocView *, IG_Document *) -> G_Action * {
                    G_ActionGotoA *attachment = new G_ActionGotoA;
                    attachment->SetAttachID(m_attachmentCombo->currentData(Qt::UserRole).toUInt());
                    attachment->SetNewWindow(true);
                    return attachment;
                }};
    case ActionKind::Media:
        return {m_mediaCombo, m_mediaCombo->count() == 0,
                m_mediaCombo->count() == 1 && m_mediaCombo->itemText(0) == tr(kNoMedia),
                [this](G_DocView *, IG_Document *document) {
                    return NewMediaAction(m_mediaCombo->currentData(Qt::UserRole).toUInt(), document);
                }};
    }
    return {};
}

void SingleLinkPropertyDialog::ShowActionPage(ActionKind kind)
{
    m_actionCombo->setCurrentIndex(int(kind));
}

void SingleLinkPropertyDialog::OnTimeout()
{
    m_okButton->setDisabled(CurrentActionPage().blocksOk);
    update();
}

// Each correction is reported again through textChanged, so all leading zeros and all
// excess digits go one at a time.
void SingleLinkPropertyDialog::TextChanged(QString text)
{
    if (text.startsWith('0')) {
        m_pageEdit->setText(text.mid(1));
        return;
    }
    G_DocView *view = CurrentView();
    const qulonglong pageCount = view ? qulonglong(qMax(0, view->PageCount())) : 0;
    bool ok = false;
    const qulonglong number = text.toULongLong(&ok, 10);
    // A number too long for 64 bits is beyond every page count as well.
    if (!text.isEmpty() && (!ok || number > pageCount))
        m_pageEdit->setText(text.left(text.size() - 1));
}

void SingleLinkPropertyDialog::keyPressEvent(QKeyEvent *event)
{
    if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter) {
        QDialog::keyPressEvent(event);
        return;
    }
    // A disabled OK ignores the click.
    const ActionPage page = CurrentActionPage();
    if (!page.input)
        return;
    if (page.empty)
        page.input->setFocus();
    else
        m_okButton->click();
}

void SingleLinkPropertyDialog::showEvent(QShowEvent *event)
{
    // The window is dragged by its title area, down to the "appearence" heading.
    SetMovableArea(QRect(0, 0, width(), m_appearanceLabel->y()));
    QWidget::showEvent(event);
    // The page number of a new link can be typed at once, and Return then saves it.
    if (!m_isEdit && ActionKind(m_actionCombo->currentIndex()) == ActionKind::GoToPage)
        m_pageEdit->setFocus();
}

void SingleLinkPropertyDialog::SaveLinkProperty()
{
    G_DocView *view = CurrentView();
    IG_Document *document = view ? view->GDocument() : nullptr;
    if (!document || document->DocumentKey() != m_documentKey) {
        deleteLater();
        return;
    }
    if (m_isEdit) {
        m_annot = FindLink(m_uiContext, m_pageIndex, m_annotID, &m_documentKey).annot;
    } else {
        // The view the dialog was opened in may have been replaced by another of the document.
        if (m_linkCreator)
            m_linkCreator->SetDocView(view);
        const double left = qMin(m_firstPoint.x(), m_secondPoint.x());
        const double top = qMin(m_firstPoint.y(), m_secondPoint.y());
        const double right = qMax(m_firstPoint.x(), m_secondPoint.x());
        const double bottom = qMax(m_firstPoint.y(), m_secondPoint.y());
        m_firstPoint = QPointF(left, top);
        m_secondPoint = QPointF(right, bottom);
        IG_Annot *created = m_linkCreator && view
            ? m_linkCreator->CreateLinkAnnot(left, top, right, bottom, m_pageIndex)
            : nullptr;
        if (!created) {
            hide();
            // Without a parent nobody would ever free the hidden dialog.
            if (!parentWidget())
                deleteLater();
            return;
        }
        m_annot = created;
    }

    IG_PageObject *object = LinkPathObject(m_annot);
    if (!object || !document) {
        deleteLater();
        return;
    }
    LinkStyle style;
    style.boundary = LinkBoundaryKind(m_boundaryCombo->currentIndex());
    style.lineType = LinkLineType(m_lineTypeCombo->currentIndex());
    style.lineWidth = LinkLineWidth(m_lineWidthCombo->currentIndex());
    style.color = m_color;

    if (m_isEdit)
        m_oldAttributes.Capture(m_annot);

    const float half = float(double(EncodeLineWidth(style.lineWidth)) * 0.5);
    qDebug() << "SingleLinkPropertyDialog::SaveLinkProperty" << " pos " << half;
    if (!ApplyLinkStyle(document, m_annot, style, "SingleLinkPropertyDialog::SaveLinkProperty")) {
        deleteLater();
        return;
    }

    const ActionPage page = CurrentActionPage();
    if (G_Action *action = page.build ? page.build(view, document) : nullptr) {
        CCA_ArrayTemplate<G_Action *> actions;
        actions.Add(action);
        object->SetActions(actions);
    }

    m_annot->SetLastModDate(GQ_ToCAS(QDateTime::currentDateTime().toString("yyyy-MM-dd hh:mm:ss")));
    m_uiContext->FireEvent(new G_AnnotationEvent(document, m_annot, G_Event_Annotation));
    view->Refresh();

    LinkStyleSettings::Write(style);

    if (!m_isEdit) {
        m_linkCreator->CreateAnnotCmd(m_annot);
    } else {
        m_newAttributes.color = m_color;
        m_newAttributes.Capture(m_annot);
        QUndoStack *stack = view->UndoStack() ? view->UndoStack() : view->CreateUndoStack();
        if (stack)
            stack->push(new LinkAnnotAttributeCommand(m_uiContext, int(m_annot->ID()), m_oldAttributes,
                                                      m_newAttributes, nullptr));
    }
    deleteLater();
}
