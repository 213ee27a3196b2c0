#include "annotlinkplugin.h"

#include "clipboard/gp_linkannotcopy.h"
#include "clipboard/gp_linkannotcut.h"
#include "clipboard/gp_linkannotpaste.h"
#include "clipboard/gpi_linkannotpaste.h"
#include "operations/gp_action.h"
#include "operations/gp_addlink.h"
#include "operations/gp_deletealllinkannot.h"
#include "operations/gp_deletelinkannot.h"
#include "operations/gp_linkchangehandler.h"
#include "operations/gp_linkproperty.h"
#include "operations/gpi_deletealllinkannot.h"
#include "operations/gpi_linkproperty.h"
#include "tool/ga_link.h"

#include "core/icore.h"
#include "uiframework/g_uicontext.h"

#include <QCoreApplication>
#include <QLocale>
#include <QTranslator>

AnnotLinkPlugin::AnnotLinkPlugin() = default;

// Nothing is unregistered: the host has stopped using the prototypes by now.
AnnotLinkPlugin::~AnnotLinkPlugin()
{
    delete m_changeHandler;
    delete m_linkTool;
    delete m_deleteAll;
    delete m_deleteAllInterceptor;
    delete m_propertyInterceptor;
    delete m_property;
    delete m_delete;
    delete m_pasteInterceptor;
    delete m_copy;
    delete m_cut;
    delete m_paste;
    delete m_action;
    delete m_addLink;
}

// The module's texts travel in its resources, translated for the host's default locale.
bool AnnotLinkPlugin::Initialize(const QStringList &, QString *)
{
    m_translator = new QTranslator(this);
    if (m_translator->load(QLocale(), QStringLiteral("annotlink"), QStringLiteral("_"), QStringLiteral(":/i18n")))
        QCoreApplication::installTranslator(m_translator);
    return true;
}

// Interceptors take part in dispatch by being constructed; each is made right after (or,
// for paste, before) the operations it serves.
void AnnotLinkPlugin::ExtensionsInitialized()
{
    m_changeHandler = new GP_LinkChangeHandler;
    m_changeHandler->RegisterToGlobal();
    m_linkTool = new GA_Link;
    m_linkTool->RegisterHandlerToGlobal();
    m_deleteAll = new GP_DeleteAllLinkAnnot;
    m_deleteAll->RegisterToGlobal();
    m_deleteAllInterceptor = new GPI_DeleteAllLinkAnnot;
    m_property = new GP_LinkProperty;
    m_property->RegisterToGlobal();
    m_propertyInterceptor = new GPI_LinkProperty;
    m_delete = new GP_DeleteLinkAnnot;
    m_delete->RegisterToGlobal();
    m_pasteInterceptor = new GPI_LinkAnnotPaste;
    m_copy = new GP_LinkAnnotCopy;
    m_copy->RegisterToGlobal();
    m_cut = new GP_LinkAnnotCut;
    m_cut->RegisterToGlobal();
    m_paste = new GP_LinkAnnotPaste;
    m_paste->RegisterToGlobal();
    m_action = new GP_Action;
    m_action->RegisterToGlobal();
    m_addLink = new GP_AddLink;
    m_addLink->RegisterToGlobal();
}

G_EventMgr *AnnotLinkPlugin::PluginEventMgr()
{
    G_UIContext *context = Core::ICore::UIContext();
    return context ? context->EventMgr() : nullptr;
}
