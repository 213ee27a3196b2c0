#pragma once

#include "properties/linkattributestate.h"

#include "core/omdialog.h"
#include "ombase/cca_string.h"

#include <QColor>
#include <QPointF>
#include <QString>

#include <functional>

class GAC_Link;
class G_Action;
class G_DocView;
class G_UIContext;
class IG_Annot;
class IG_Document;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QStackedWidget;
class QTimer;

namespace Utils {
class OMColorDialog;
}

// Style and action of one link, for a link about to be created or an existing one.
// The dialog deletes itself when it is closed.
class SingleLinkPropertyDialog : public Core::OMDialog
{
    Q_OBJECT
public:
    SingleLinkPropertyDialog(IG_Annot *annot, bool edit, double firstX, double firstY,
                             double secondX, double secondY, int pageIndex,
                             G_UIContext *context, QWidget *parent = nullptr);
    ~SingleLinkPropertyDialog() override;

    QColor Color() const { return m_color; }

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void showEvent(QShowEvent *event) override;

public slots:
    void SelectColor();
    void SaveLinkProperty();
    void CurrentIndexChanged(int index);
    void SetBoundaryIndex(int index);
    void ColorChanged(QColor color);
    void OnTimeout();
    void TextChanged(QString text);

private:
    // The action kinds, in the order of the action list and its pages.
    enum class ActionKind : int { GoToPage = 0, WebAddress = 1, Attachment = 2, Media = 3 };
    // Everything the dialog does differently per action kind.
    struct ActionPage
    {
        QWidget *input = nullptr; // focused when Return finds it empty
        bool empty = false;
        bool blocksOk = false;
        // The new action, or null to keep the link's actions.
        std::function<G_Action *(G_DocView *, IG_Document *)> build;
    };
    ActionPage CurrentActionPage() const;
    void ShowActionPage(ActionKind kind);

    void BuildWidgets();
    QWidget *BuildActionPage(QWidget *first, QWidget *second, int spacing);
    void GrowToText(QLabel *label) const;
    void GrowToText(QComboBox *combo) const;
    void FillAttachmentList(IG_Document *document);
    void FillMediaList(IG_Document *document);
    void FillFromLink();
    void FillActionFromLink(IG_Document *document);
    void ReadStyleSettings();
    void BuildLineTypeItems(const QString &color);
    void StyleColorButton(const QString &colorName);
    G_DocView *CurrentView() const;
    int Scaled(int pixels) const;

    IG_Annot *m_annot;
    G_UIContext *m_uiContext;
    // What the dialog was opened for, looked up again when it saves: the document may be
    // closed, or the link removed, while it is open.
    CCA_String m_documentKey;
    uint32_t m_annotID = 0;
    QColor m_color;
    QPushButton *m_closeButton = nullptr;
    QComboBox *m_boundaryCombo = nullptr;
    QComboBox *m_lineTypeCombo = nullptr;
    QComboBox *m_lineWidthCombo = nullptr;
    QPushButton *m_colorButton = nullptr;
    QComboBox *m_actionCombo = nullptr;
    QLineEdit *m_pageEdit = nullptr;
    QLabel *m_totalLabel = nullptr;
    QLineEdit *m_urlEdit = nullptr;
    QPushButton *m_okButton = nullptr;
    QPushButton *m_cancelButton = nullptr;
    QStackedWidget *m_actionStack = nullptr;
    QComboBox *m_attachmentCombo = nullptr;
    QComboBox *m_mediaCombo = nullptr;
    LinkAttributeState m_oldAttributes;
    LinkAttributeState m_newAttributes;
    bool m_isEdit;
    GAC_Link *m_linkCreator = nullptr;
    QTimer *m_checkTimer = nullptr;
    QPointF m_firstPoint;
    QPointF m_secondPoint;
    int m_pageIndex;
    QString m_arrowImage;
    float m_dpiScale;
    QLabel *m_appearanceLabel = nullptr;
    Utils::OMColorDialog *m_colorDialog = nullptr;
};
