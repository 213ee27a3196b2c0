#pragma once

#include "omofdapi/ofd_document.h"
#include "uiframework/g_docview.h"
#include "uiframework/g_uicontext.h"

#include <QtTest>

#include <memory>

// Blank pages in a real view of a real context.
struct ViewFixture
{
    G_UIContext context;
    std::unique_ptr<OFD_Document> document;
    G_DocView *view;

    explicit ViewFixture(int pageCount = 5, float widthMM = 210, float heightMM = 297)
        : document(OFD_Document::CreateBlank(pageCount, widthMM, heightMM))
        , view(new G_DocView(&context, document.get()))
    {
        context.SetCurrentDocView(view);
    }
    ~ViewFixture()
    {
        context.SetCurrentDocView(nullptr);
        delete view;
    }

    bool Show(int width, int height)
    {
        view->resize(width, height);
        view->show();
        return QTest::qWaitForWindowExposed(view);
    }

    // A point of a page, in millimetres, where it is in the viewport.
    QPoint ViewportPoint(float x, float y, int page = 0) const
    {
        const CCA_Point scene = view->ScenePointFromDocPoint(CCA_GPoint(x, y), page);
        return view->mapFromScene(QPoint(scene.x, scene.y));
    }

    uint32_t AddAttachment(const char *name, const char *format = "", bool listed = true,
                           const QByteArray &data = "data")
    {
        G_AttachmentInfo info;
        info.name = name;
        info.format = format;
        info.listed = listed;
        document->AttachmentInfo(document->AddAttachment(info, data), info);
        return info.id;
    }

    uint32_t AddMedium(int type, const char *path = "", const QByteArray &data = "data")
    {
        G_MultiMediaInfo info;
        info.type = type;
        info.filePath = path;
        return document->AddMultiMedia(0, info, data);
    }
};
