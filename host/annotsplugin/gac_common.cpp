#include "gac_common.h"

#include "gac_createannotcommand.h"

#include "uiframework/g_docview.h"
#include "uiframework/g_settingmgr.h"
#include "uiframework/gq_convert.h"

#include "omofdapi/ig_annot.h"
#include "omofdapi/ig_page.h"

#include <QDateTime>
#include <QDir>
#include <QUndoStack>

GAC_Common::GAC_Common() = default;

GAC_Common::~GAC_Common() = default;

OMSharedPtr<OMJson> GAC_Common::BuildAppearanceJson()
{
    return OMSharedPtr<OMJson>();
}

void GAC_Common::Flush(const CCA_GRect &rect, bool stamp)
{
    m_annot = nullptr;
    IG_Page *page = m_docView ? m_docView->Page(m_pageIndex) : nullptr;
    if (!page)
        return;
    if (!page->IsAnnotsLoaded())
        page->LoadAnnots();
    const OMSharedPtr<OMJson> description = BuildAppearanceJson();
    CCA_String subType = m_typeName;
    if (description && description->IsObject()) {
        const OMSharedPtr<OMJson> described = description->Member("SubType");
        if (described && described->GetType() == OMJson::String && !described->GetString().empty())
            subType = CCA_String(described->GetString());
    }
    IG_Annot *annot = page->AddAnnot(m_annotType, subType, -1, true, description);
    if (!annot)
        return;
    annot->SetBoundary(rect);
    if (stamp) {
        const QString creator = G_SettingMgr::Instance()
                                    .ConfigValue(QStringLiteral("annot.annothighlight.identity.username"),
                                                 QDir::home().dirName())
                                    .toString();
        annot->SetCreator(GQ_ToCAS(creator));
        annot->SetLastModDate(
            GQ_ToCAS(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"))));
    }
    m_annot = annot;
}

void GAC_Common::CreateAnnotCmd(IG_Annot *annot)
{
    IG_Page *page = annot ? annot->Page() : nullptr;
    if (!m_docView || !page)
        return;
    QUndoStack *stack = m_docView->CreateUndoStack();
    if (!stack)
        return;
    stack->push(new GAC_CreateAnnotCommand(m_docView, page->PageIndex(), annot));
}
