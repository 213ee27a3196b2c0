#include "clipboard/gp_linkannotpaste.h"

#include "tool/linkclipboardrecord.h"
#include "tool/gac_link.h"
#include "tool/linkstyle.h"

#include "omofd/ofd_codec.h"
#include "omofdapi/ig_document.h"
#include "uiframework/g_docview.h"
#include "uiframework/g_event.h"
#include "uiframework/g_settingmgr.h"
#include "uiframework/g_uicontext.h"
#include "uiframework/gq_convert.h"

#include <QDateTime>
#include <QDebug>
#include <QDir>

#include <cmath>
#include <memory>

namespace {

// Kept clear of the page edges, and the largest size that still fits inside them.
const float kMargin = 2;
const float kSizeSlack = 4;
// The most a record may ask for: a link ten times its page, a line a few millimetres wide.
const float kMaxPageMultiple = 10;
const float kMaxLineWidth = 5;

G_Action *NewAction(int type)
{
    switch (type) {
    case G_ActionType_URI:
        return new G_ActionURI;
    case G_ActionType_Sound:
        return new G_ActionSound;
    case G_ActionType_Movie:
        return new G_ActionMovie;
    case G_ActionType_GotoA:
        return new G_ActionGotoA;
    default:
        return new G_ActionGoto;
    }
}

} // namespace

GP_LinkAnnotPaste::GP_LinkAnnotPaste() = default;

GP_LinkAnnotPaste::~GP_LinkAnnotPaste()
{
    delete m_link;
}

G_Operation *GP_LinkAnnotPaste::Clone() const
{
    GP_LinkAnnotPaste *copy = new GP_LinkAnnotPaste;
    copy->CopyFrom(*this);
    return copy;
}

const char *GP_LinkAnnotPaste::Name() const
{
    return "d_annotlinkpaste";
}

int GP_LinkAnnotPaste::AuthorityType() const
{
    return 2;
}

int GP_LinkAnnotPaste::DoAction()
{
    G_DocView *view = DocView();
    if (!view)
        return 0;
    const LinkClipboardRecord record = LinkClipboardRecord::FromClipboard();
    if (!record.IsFromDocument(view->GDocument()))
        return 0;

    const int askedPage = Param().GetInt32(QStringLiteral("pageindex"), 0);
    int pageIndex = askedPage;
    CCA_GRect page = view->DocRectFromSceneRect(GQ_ToCARect(view->PageRect(pageIndex)), &pageIndex);
    if (pageIndex < 0)
        return 0;
    // An index the view does not have was replaced by the page the view found: measure that one.
    if (pageIndex != askedPage)
        page = view->DocRectFromSceneRect(GQ_ToCARect(view->PageRect(pageIndex)), &pageIndex);

    if (record.IsLink() && !PasteLink(record, pageIndex, page))
        return 0;
    view->Refresh();
    delete m_link;
    m_link = nullptr;
    return 1;
}

bool GP_LinkAnnotPaste::PasteLink(const LinkClipboardRecord &record, int pageIndex, const CCA_GRect &page)
{
    G_DocView *view = DocView();
    float w = 0, h = 0;
    if (!record.Size(&w, &h) || w > kMaxPageMultiple * page.Width() || h > kMaxPageMultiple * page.Height())
        return false;
    bool widthOk = false;
    const float lineWidth = record.Value("linewidth").toFloat(&widthOk);
    if (!widthOk || !(lineWidth > 0) || !(lineWidth < kMaxLineWidth))
        return false;

    float left = Param().GetFloat(QStringLiteral("left"), 0);
    float top = Param().GetFloat(QStringLiteral("top"), 0);
    if (!std::isfinite(left) || !std::isfinite(top))
        return false;
    const bool fitsWide = w <= page.right - page.left - kSizeSlack;
    const bool fitsTall = h <= page.bottom - page.top - kSizeSlack;
    bool moved = false;
    if (fitsWide && fitsTall) {
        if (left < kMargin) {
            left = kMargin;
            moved = true;
        }
        if (top < kMargin) {
            top = kMargin;
            moved = true;
        }
        if (left + w > page.right - kMargin) {
            left = page.right - w - kMargin;
            moved = true;
        }
        if (top + h > page.bottom - kMargin) {
            top = page.bottom - h - kMargin;
            moved = true;
        }
    } else if (fitsTall) {
        left = kMargin;
        if (top + h > page.bottom - kMargin)
            top = page.bottom - h - kMargin;
        moved = true;
    } else if (fitsWide) {
        top = kMargin;
        if (left + w > page.right - kMargin)
            left = page.right - w - kMargin;
        moved = true;
    } else {
        left = kMargin;
        top = kMargin;
        moved = true;
    }
    if (moved)
        Param().Add(QStringLiteral("iswelt"), true);
    const CCA_GRect rect(left, top, left + w, top + h);
    qDebug() << "GP_LinkAnnotPaste::DoAction" << rect.left << rect.top << rect.right << rect.bottom;

    G_UIContext *context = UIContext();
    G_DocView *current = context ? context->CurrentDocView() : nullptr;
    IG_Document *document = current ? current->GDocument() : GDocument();
    LinkStroke stroke;
    stroke.color.setNamedColor(record.Value("pathcolor"));
    stroke.lineWidth = lineWidth;
    stroke.dashPattern = OFD_StringToArray(GQ_ToCAS(record.Value("linetype")), 0);
    stroke.visible = record.Value("isvisible") == QLatin1String("true");
    const CCA_Path path = OFD_StringToPath(GQ_ToCAS(record.Value("path")));
    const bool readOnly = record.Value("readonly") == QLatin1String("true");
    const CCA_ArrayTemplate<float> factors = OFD_StringToArray(GQ_ToCAS(record.Value("matrix")), 0);
    if (factors.GetSize() < 6 || !document)
        return false;
    const CCA_Matrix matrix(factors[0], factors[1], factors[2], factors[3], factors[4], factors[5]);

    std::unique_ptr<G_Action> action;
    const QString actionType = record.Value("actionType");
    if (!actionType.isEmpty()) {
        action.reset(NewAction(ActionTypeFromString(GQ_ToCAS(actionType))));
        action->FromString(GQ_ToCAS(record.Value("action")));
    }

    IG_Page *target = view->Page(pageIndex);
    IG_Annot *annot = target ? target->AddAnnot(G_AnnotType_Link, "Link", -1, false, OMSharedPtr<const OMJson>())
                             : nullptr;
    if (!annot)
        return false;
    IG_Appearance *appearance = annot->Appearance();
    if (!appearance)
        appearance = annot->CreateAppearance();
    annot->SetReadOnly(readOnly);
    IG_PageObject *object = appearance->InsertPageObject(G_PageObj_Path, -1, false);
    object->SetStroke(true);
    WriteLinkStroke(document, object, stroke);

    const QString creator = G_SettingMgr::Instance()
                                .ConfigValue(QStringLiteral("annot.annothighlight.identity.username"),
                                             QDir::home().dirName())
                                .toString();
    annot->SetLastModDate(GQ_ToCAS(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"))));
    annot->SetCreator(GQ_ToCAS(creator));
    CCA_ArrayTemplate<G_Action *> actions;
    if (action)
        actions.Add(action.release());
    object->SetActions(actions);
    object->SetCTM(matrix);
    RestoreLinkGeometry(annot, object, path, rect, "GP_LinkAnnotPaste::DoAction");

    delete m_link;
    m_link = new GAC_Link(view);
    m_link->CreateAnnotCmd(annot);
    if (context)
        context->FireEvent(new G_AnnotationEvent(document, annot, G_Event_Annotation));

    int visiblePage = pageIndex;
    const CCA_GRect shown = view->DocRectFromSceneRect(GQ_ToCARect(view->VisibleSceneRect()), &visiblePage);
    if (!shown.RectInRect(rect))
        G_DocView::GoToPage(view, pageIndex, rect, false);
    return true;
}
