#pragma once

#include <QMainWindow>
#include <QString>
#include <QStringList>

#include <memory>

class G_DocView;
class G_UIContext;
class IG_Document;
class QAction;
class QLabel;
class QMenu;
class QSpinBox;
class QToolBar;

namespace ExtensionSystem {
class PluginManager;
}

// The reader's main window: one document view, its menus and tool bar, and the plug-ins.
class ReaderWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit ReaderWindow(const QString &pluginFolder, QWidget *parent = nullptr);
    ~ReaderWindow() override;

    G_DocView *DocView() const { return m_view; }
    G_UIContext *UIContext() const { return m_context; }
    ExtensionSystem::PluginManager *Plugins() const { return m_plugins; }
    IG_Document *Document() const { return m_document.get(); }

    // Shows `document` instead of the current one; `path` empty for an unsaved document.
    void ShowDocument(std::unique_ptr<IG_Document> document, const QString &path);
    // False, with a message, when the file could not be read.
    bool OpenFile(const QString &path, bool quiet = false);

    // False, with a message, when the file could not be written.
    bool SaveTo(const QString &path);

    // The folder named by OFDREADER_PLUGIN_PATH, else the build's plug-in folder.
    static QString DefaultPluginFolder();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void CreateActions();
    void CreateMenusAndToolBars();
    void BindUndoActions();
    void LoadPlugins(const QString &folder);
    // Runs a named operation on the view; answers false when there is no such operation.
    bool RunOperation(const QString &name);
    void SwitchTool(const QString &name);
    void UpdateTitle();
    void UpdateOperationActions();
    void UpdateHistoryActions();
    void OnToolChanged(const QString &name);
    void OnPageChanged(int pageIndex);
    void OnZoomChanged(float percent);
    void Open();
    bool Save();
    bool SaveAs();
    void Zoom(float factor);

    G_UIContext *m_context = nullptr;
    ExtensionSystem::PluginManager *m_plugins = nullptr;
    std::unique_ptr<IG_Document> m_document;
    G_DocView *m_view = nullptr;
    QString m_path;

    QMenu *m_editMenu = nullptr;
    QToolBar *m_toolBar = nullptr;
    QAction *m_openAction = nullptr;
    QAction *m_saveAction = nullptr;
    QAction *m_saveAsAction = nullptr;
    QAction *m_undoAction = nullptr;
    QAction *m_redoAction = nullptr;
    QAction *m_undoAnchor = nullptr; // the undo and redo actions go before it
    QAction *m_toolBarUndoAnchor = nullptr;
    QAction *m_zoomInAction = nullptr;
    QAction *m_zoomOutAction = nullptr;
    QAction *m_actualSizeAction = nullptr;
    QAction *m_fitWidthAction = nullptr;
    QAction *m_fitPageAction = nullptr;
    QAction *m_rotateAction = nullptr;
    QAction *m_firstPageAction = nullptr;
    QAction *m_previousPageAction = nullptr;
    QAction *m_nextPageAction = nullptr;
    QAction *m_lastPageAction = nullptr;
    QAction *m_backAction = nullptr;
    QAction *m_forwardAction = nullptr;
    QAction *m_handToolAction = nullptr;
    QAction *m_linkToolAction = nullptr;
    QAction *m_fullScreenAction = nullptr;
    QAction *m_showAnnotsAction = nullptr;
    QAction *m_deleteAllLinksAction = nullptr;
    QAction *m_addLinkAction = nullptr;
    QAction *m_quitAction = nullptr;
    QSpinBox *m_pageBox = nullptr;
    QLabel *m_pageCountLabel = nullptr;
    QLabel *m_zoomLabel = nullptr;
    QLabel *m_pageLabel = nullptr;
};
