#include "benchsession.h"

#include "tool/gac_link.h"
#include "tool/linkstyle.h"

#include "omofdapi/g_action.h"
#include "omofdapi/ig_pageobject.h"
#include "uiframework/g_allocatorpolicy.h"
#include "uiframework/g_deferreddelete.h"
#include "uiframework/g_docview.h"
#include "uiframework/g_runoperation.h"

#include <QCoreApplication>
#include <QLoggingCategory>

#include <algorithm>
#include <cmath>

void BenchSession::PrepareProcess()
{
    G_ApplyAllocatorPolicy();
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
}

BenchSession::BenchSession(std::unique_ptr<OFD_Document> document, QSize size)
    : m_document(std::move(document))
    , m_view(new G_DocView(&m_context, m_document.get()))
{
    m_context.SetCurrentDocView(m_view);
    m_view->resize(size);
    m_view->show();
    QCoreApplication::processEvents();
}

BenchSession::~BenchSession()
{
    Close();
}

void BenchSession::AddLinks(int pageIndex, int count)
{
    IG_Page *page = m_document ? m_document->GetPage(pageIndex) : nullptr;
    if (!page || count <= 0)
        return;
    GAC_Link creator(m_view);
    LinkStyle style;
    style.lineType = LinkLineType::Dotted3;
    style.color = QColor(0, 0, 255);
    const CCA_GRect box = page->PageBox();
    const int columns = std::max(1, int(std::ceil(std::sqrt(double(count) * box.Width() / box.Height()))));
    const int rows = (count + columns - 1) / columns;
    const float w = box.Width() / float(columns), h = box.Height() / float(rows);
    for (int i = 0; i < count; ++i) {
        const float x = float(i % columns) * w, y = float(i / columns) * h;
        IG_Annot *annot = creator.CreateLinkAnnot(x + w * 0.1f, y + h * 0.1f, x + w * 0.9f, y + h * 0.9f, pageIndex);
        if (!annot || !ApplyLinkStyle(m_document.get(), annot, style, "bench"))
            continue;
        auto *action = new G_ActionURI;
        action->SetURI(QStringLiteral("https://example.org/%1").arg(i).toUtf8().constData());
        CCA_ArrayTemplate<G_Action *> actions;
        actions.Add(action);
        LinkPathObject(annot)->SetActions(actions);
    }
}

int BenchSession::Run(const char *name)
{
    return RunOperation(&m_context, QString::fromLatin1(name), nullptr, G_RunMode::Execute).value_or(-1);
}

void BenchSession::Close()
{
    if (!m_document)
        return;
    m_context.SetCurrentDocView(nullptr);
    delete m_view;
    m_view = nullptr;
    m_document.reset();
    G_DeferredDelete::Flush();
}
