#pragma once

#include "properties/linkstylesettings.h"
#include "properties/singlelinkpropertydialog.h"
#include "tool/gac_link.h"
#include "tool/linkstyle.h"

#include "omofdapi/g_action.h"
#include "omofdapi/ofd_document.h"
#include "uiframework/g_docview.h"
#include "uiframework/g_settingmgr.h"
#include "uiframework/g_uicontext.h"
#include "utils/omdpi.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QTimer>

#include <functional>
#include <memory>

// A blank document of A4 pages shown in a real view of a real context.
struct LinkFixture
{
    G_UIContext context;
    std::unique_ptr<OFD_Document> document;
    G_DocView *view = nullptr;

    explicit LinkFixture(int pageCount = 5, float widthMM = 210, float heightMM = 297)
        : document(OFD_Document::CreateBlank(pageCount, widthMM, heightMM))
    {
        view = new G_DocView(&context, document.get());
        context.SetCurrentDocView(view);
    }

    ~LinkFixture()
    {
        context.SetCurrentDocView(nullptr);
        delete view;
    }

    // A link made and styled the way the dialog makes one, with `action` (owned by the link).
    IG_Annot *AddLink(int pageIndex, const CCA_GRect &rect, const LinkStyle &style, G_Action *action,
                      const char *date = "2020-01-02 03:04:05")
    {
        GAC_Link creator(view);
        IG_Annot *annot = creator.CreateLinkAnnot(rect.left, rect.top, rect.right, rect.bottom, pageIndex);
        if (!annot)
            return nullptr;
        ApplyLinkStyle(document.get(), annot, style, "LinkFixture");
        if (action) {
            CCA_ArrayTemplate<G_Action *> actions;
            actions.Add(action);
            LinkPathObject(annot)->SetActions(actions);
        }
        annot->SetLastModDate(date);
        return annot;
    }
};

inline QString RectText(const CCA_GRect &r)
{
    return QString("(%1, %2, %3, %4)").arg(r.left).arg(r.top).arg(r.right).arg(r.bottom);
}

// Rebuilt geometry goes through single-precision insets, so exact sums come back within a few ulps.
inline bool NearlySame(const CCA_GRect &a, const CCA_GRect &b, float tolerance = 1e-4f)
{
    return qAbs(a.left - b.left) <= tolerance && qAbs(a.top - b.top) <= tolerance
        && qAbs(a.right - b.right) <= tolerance && qAbs(a.bottom - b.bottom) <= tolerance;
}

#define COMPARE_RECT(actual, expected)                                                                   \
    QVERIFY2(NearlySame((actual), (expected)),                                                           \
             qPrintable(RectText(actual) + " instead of " + RectText(expected)))

inline void ClearLinkStyleSettings()
{
    G_SettingMgr &settings = G_SettingMgr::Instance();
    for (const char *key : {LinkStyleSettings::BoundaryKey, LinkStyleSettings::LineTypeKey,
                            LinkStyleSettings::LineWidthKey, LinkStyleSettings::ColorKey})
        settings.RemoveConfigValue(QString::fromLatin1(key));
}

inline void FlushDeferredDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Answers the next modal property dialog from inside its own event loop.
inline void AnswerPropertyDialog(std::function<void(SingleLinkPropertyDialog *)> answer, int attempts = 200)
{
    QTimer::singleShot(10, [answer, attempts]() {
        auto *dialog = qobject_cast<SingleLinkPropertyDialog *>(QApplication::activeModalWidget());
        if (dialog)
            answer(dialog);
        else if (attempts > 0)
            AnswerPropertyDialog(answer, attempts - 1);
    });
}
