#pragma once

#include "testgeometry.h"
#include "viewfixture.h"

#include "properties/linkstylesettings.h"
#include "properties/singlelinkpropertydialog.h"
#include "tool/gac_link.h"
#include "tool/linkstyle.h"

#include "omofdapi/g_action.h"
#include "uiframework/g_settingmgr.h"

#include <QApplication>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <memory>

// Blank pages in a real view of a real context, with links made as the dialog makes them.
struct LinkFixture : ViewFixture
{
    using ViewFixture::ViewFixture;

    // A link made and styled as the dialog makes one; the link owns `action`.
    IG_Annot *AddLink(int page, const CCA_GRect &rect, const LinkStyle &style, G_Action *action)
    {
        GAC_Link creator(view);
        IG_Annot *annot = creator.CreateLinkAnnot(rect.left, rect.top, rect.right, rect.bottom, page);
        ApplyLinkStyle(document.get(), annot, style, "LinkFixture");
        if (action) {
            CCA_ArrayTemplate<G_Action *> actions;
            actions.Add(action);
            LinkPathObject(annot)->SetActions(actions);
        }
        annot->SetLastModDate("2020-01-02 03:04:05");
        return annot;
    }
};

inline void ClearLinkStyleSettings()
{
    for (const char *key : {LinkStyleSettings::BoundaryKey, LinkStyleSettings::LineTypeKey,
                            LinkStyleSettings::LineWidthKey, LinkStyleSettings::ColorKey})
        G_SettingMgr::Instance().RemoveConfigValue(QString::fromLatin1(key));
}

template <class T>
T *Child(QObject *dialog, const char *name)
{
    T *child = dialog->findChild<T *>(QLatin1String(name));
    if (!child)
        qFatal("no child %s", name);
    return child;
}

// Answers the next modal property dialog from inside its own event loop.
inline void AnswerPropertyDialog(std::function<void(SingleLinkPropertyDialog *)> answer, int attempts = 200)
{
    QTimer::singleShot(10, [answer, attempts]() {
        if (auto *dialog = qobject_cast<SingleLinkPropertyDialog *>(QApplication::activeModalWidget()))
            answer(dialog);
        else if (attempts > 0)
            AnswerPropertyDialog(answer, attempts - 1);
    });
}
