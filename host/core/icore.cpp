#include "icore.h"

#include "uiframework/g_uicontext.h"

#include <QPointer>
#include <QWidget>

namespace {
// Weak: a context or window that goes away is no longer handed out.
QPointer<G_UIContext> s_uiContext;
QPointer<QWidget> s_mainWindow;
} // namespace

namespace Core {

G_UIContext *ICore::UIContext()
{
    return s_uiContext.data();
}

QWidget *ICore::mainWindow()
{
    return s_mainWindow.data();
}

void ICore::SetUIContext(G_UIContext *context)
{
    s_uiContext = context;
}

void ICore::SetMainWindow(QWidget *window)
{
    s_mainWindow = window;
}

} // namespace Core
