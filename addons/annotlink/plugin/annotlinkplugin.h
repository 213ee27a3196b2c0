#pragma once

#include "extensionsystem/iplugin.h"

class GA_Link;
class GP_Action;
class GP_AddLink;
class GP_DeleteAllLinkAnnot;
class GP_DeleteLinkAnnot;
class GP_LinkAnnotCopy;
class GP_LinkAnnotCut;
class GP_LinkAnnotPaste;
class GP_LinkChangeHandler;
class GP_LinkProperty;
class GPI_DeleteAllLinkAnnot;
class GPI_LinkAnnotPaste;
class GPI_LinkProperty;
class QTranslator;

// Creates, registers and owns the link operations, their interceptors and the link tool.
class AnnotLinkPlugin : public ExtensionSystem::IPlugin
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID "com.olmet.OFD.PcApp" FILE "annotlink.json")
public:
    AnnotLinkPlugin();
    ~AnnotLinkPlugin() override;

    bool Initialize(const QStringList &arguments, QString *errorString) override;
    void ExtensionsInitialized() override;
    G_EventMgr *PluginEventMgr() override;

private:
    GP_LinkChangeHandler *m_changeHandler = nullptr;
    GA_Link *m_linkTool = nullptr;
    GP_DeleteAllLinkAnnot *m_deleteAll = nullptr;
    GPI_DeleteAllLinkAnnot *m_deleteAllInterceptor = nullptr;
    GPI_LinkProperty *m_propertyInterceptor = nullptr;
    GP_LinkProperty *m_property = nullptr;
    GP_DeleteLinkAnnot *m_delete = nullptr;
    GPI_LinkAnnotPaste *m_pasteInterceptor = nullptr;
    GP_LinkAnnotCopy *m_copy = nullptr;
    GP_LinkAnnotCut *m_cut = nullptr;
    GP_LinkAnnotPaste *m_paste = nullptr;
    GP_Action *m_action = nullptr;
    GP_AddLink *m_addLink = nullptr;
    QTranslator *m_translator = nullptr;
};
