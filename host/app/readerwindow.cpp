#include "readerwindow.h"

#include "readerdocumentio.h"

#include "core/icore.h"
#include "extensionsystem/pluginmanager.h"
#include "uiframework/g_docview.h"
#include "uiframework/g_hostoperations.h"
#include "uiframework/g_hosttools.h"
#include "uiframework/g_operation.h"
#include "uiframework/g_runoperation.h"
#include "uiframework/g_toolhandler.h"
#include "uiframework/g_uicontext.h"
#include "uiframework/g_viewhistory.h"

#include "omofdapi/ig_document.h"

#include <QAction>
#include <QCloseEvent>
#include <QDebug>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QSpinBox>
#include <QStatusBar>
#include <QToolBar>
#include <QUndoStack>

namespace {

const float kZoomStep = 1.25f;

} // namespace

ReaderWindow::ReaderWindow(const QString &pluginFolder, QWidget *parent)
    : QMainWindow(parent), m_context(new G_UIContext(this))
{
    Core::ICore::SetUIContext(m_context);
    Core::ICore::SetMainWindow(this);
    G_RegisterHostOperations();
    G_RegisterHostTools();

    m_plugins = new ExtensionSystem::PluginManager(this);
    LoadPlugins(pluginFolder);

    CreateActions();
    CreateMenusAndToolBars();
    ShowDocument(ReaderDocumentIO::CreateBlank(), QString());
    resize(1000, 800);
}

// Views hold clones of the plug-ins' tools and commands made by the plug-ins' code: they
// go before the plug-ins are unloaded.
ReaderWindow::~ReaderWindow()
{
    delete m_view;
    m_view = nullptr;
    m_document.reset();
    m_plugins->Shutdown();
    Core::ICore::SetMainWindow(nullptr);
    if (Core::ICore::UIContext() == m_context)
        Core::ICore::SetUIContext(nullptr);
}

QString ReaderWindow::DefaultPluginFolder()
{
    const QString fromEnvironment = qEnvironmentVariable("OFDREADER_PLUGIN_PATH");
    return fromEnvironment.isEmpty() ? QStringLiteral(ANNOTLINK_PLUGIN_DIR) : fromEnvironment;
}

void ReaderWindow::LoadPlugins(const QString &folder)
{
    m_plugins->LoadPlugins(folder);
    const QStringList files = m_plugins->PluginFiles();
    for (const QString &file : files)
        qDebug() << "ofdreader: loaded plug-in" << QFileInfo(file).fileName();
    for (const QString &error : m_plugins->Errors())
        qWarning() << "ofdreader:" << error;
}

void ReaderWindow::CreateActions()
{
    m_openAction = new QAction(tr("&Open..."), this);
    m_openAction->setShortcut(QKeySequence::Open);
    connect(m_openAction, &QAction::triggered, this, &ReaderWindow::Open);

    m_saveAction = new QAction(tr("&Save"), this);
    m_saveAction->setShortcut(QKeySequence::Save);
    connect(m_saveAction, &QAction::triggered, this, &ReaderWindow::Save);
    m_saveAsAction = new QAction(tr("Save &As..."), this);
    m_saveAsAction->setShortcut(QKeySequence::SaveAs);
    connect(m_saveAsAction, &QAction::triggered, this, &ReaderWindow::SaveAs);

    m_quitAction = new QAction(tr("&Quit"), this);
    m_quitAction->setShortcut(QKeySequence::Quit);
    connect(m_quitAction, &QAction::triggered, this, &QWidget::close);

    m_zoomInAction = new QAction(tr("Zoom &In"), this);
    m_zoomInAction->setShortcut(QKeySequence::ZoomIn);
    connect(m_zoomInAction, &QAction::triggered, this, [this] { Zoom(kZoomStep); });
    m_zoomOutAction = new QAction(tr("Zoom &Out"), this);
    m_zoomOutAction->setShortcut(QKeySequence::ZoomOut);
    connect(m_zoomOutAction, &QAction::triggered, this, [this] { Zoom(1 / kZoomStep); });
    m_actualSizeAction = new QAction(tr("&Actual Size"), this);
    m_actualSizeAction->setShortcut(Qt::CTRL + Qt::Key_0);
    connect(m_actualSizeAction, &QAction::triggered, this, [this] { m_view->SetZoomMode(G_Zoom_ActualSize); });
    m_fitWidthAction = new QAction(tr("Fit &Width"), this);
    connect(m_fitWidthAction, &QAction::triggered, this, [this] { m_view->SetZoomMode(G_Zoom_FitWidth); });
    m_fitPageAction = new QAction(tr("Fit &Page"), this);
    connect(m_fitPageAction, &QAction::triggered, this, [this] { m_view->SetZoomMode(G_Zoom_FitPage); });
    m_rotateAction = new QAction(tr("&Rotate Clockwise"), this);
    m_rotateAction->setShortcut(Qt::CTRL + Qt::Key_R);
    connect(m_rotateAction, &QAction::triggered, this, [this] { m_view->SetRotate(m_view->GetRotate() + 90); });

    m_firstPageAction = new QAction(tr("&First Page"), this);
    connect(m_firstPageAction, &QAction::triggered, this, [this] { m_view->GoToPage(0); });
    m_previousPageAction = new QAction(tr("&Previous Page"), this);
    connect(m_previousPageAction, &QAction::triggered, this,
            [this] { m_view->GoToPage(std::max(0, m_view->CurrentPageIndex() - 1)); });
    m_nextPageAction = new QAction(tr("&Next Page"), this);
    connect(m_nextPageAction, &QAction::triggered, this,
            [this] { m_view->GoToPage(m_view->CurrentPageIndex() + 1); });
    m_lastPageAction = new QAction(tr("&Last Page"), this);
    connect(m_lastPageAction, &QAction::triggered, this, [this] { m_view->GoToPage(m_view->PageCount() - 1); });
    // Back and forward through followed links, as browsers do.
    m_backAction = new QAction(tr("&Back"), this);
    m_backAction->setShortcuts({QKeySequence(Qt::ALT + Qt::Key_Left), QKeySequence(Qt::Key_Back)});
    connect(m_backAction, &QAction::triggered, this, [this] { m_view->History()->GoBack(); });
    m_forwardAction = new QAction(tr("F&orward"), this);
    m_forwardAction->setShortcuts({QKeySequence(Qt::ALT + Qt::Key_Right), QKeySequence(Qt::Key_Forward)});
    connect(m_forwardAction, &QAction::triggered, this, [this] { m_view->History()->GoForward(); });

    m_handToolAction = new QAction(tr("&Hand Tool"), this);
    m_handToolAction->setShortcut(Qt::Key_H);
    m_handToolAction->setCheckable(true);
    connect(m_handToolAction, &QAction::triggered, this, [this] { SwitchTool(QStringLiteral("t_handtool")); });
    m_linkToolAction = new QAction(tr("&Link Tool"), this);
    m_linkToolAction->setShortcut(Qt::Key_L);
    m_linkToolAction->setCheckable(true);
    connect(m_linkToolAction, &QAction::triggered, this, [this] {
        RunOperation(QStringLiteral("ga_link"));
        OnToolChanged(m_view && m_view->CurrentToolHandler()
                          ? QString::fromUtf8(m_view->CurrentToolHandler()->Name().c_str())
                          : QString());
    });
    m_fullScreenAction = new QAction(tr("&Full Screen"), this);
    m_fullScreenAction->setShortcut(Qt::Key_F11);
    connect(m_fullScreenAction, &QAction::triggered, this, [this] { SwitchTool(QStringLiteral("gt_fullscreen")); });
    m_showAnnotsAction = new QAction(tr("Show &Annotations"), this);
    m_showAnnotsAction->setCheckable(true);
    m_showAnnotsAction->setChecked(true);
    connect(m_showAnnotsAction, &QAction::toggled, this, [this](bool on) {
        const auto shown = ::RunOperation(m_context, QStringLiteral("t_showannot"), [this, on](G_Operation &operation) {
            operation.SetDocView(m_view);
            operation.Param().Add(QStringLiteral("isVisible"), on);
        });
        if (!shown && m_view) {
            m_view->SetAnnotsVisible(on);
        }
    });

    m_deleteAllLinksAction = new QAction(tr("&Delete All Links"), this);
    connect(m_deleteAllLinksAction, &QAction::triggered, this,
            [this] { RunOperation(QStringLiteral("tt_deletealllink")); });
    m_addLinkAction = new QAction(tr("Add Link from &Selection"), this);
    m_addLinkAction->setShortcut(Qt::CTRL + Qt::Key_K);
    connect(m_addLinkAction, &QAction::triggered, this, [this] { RunOperation(QStringLiteral("d_addlink")); });

    // Keys of the view's tools stay with the view; these work from anywhere in the window.
    for (QAction *action : {m_handToolAction, m_linkToolAction, m_fullScreenAction, m_backAction, m_forwardAction})
        action->setShortcutContext(Qt::WindowShortcut);
    UpdateOperationActions();
}

void ReaderWindow::CreateMenusAndToolBars()
{
    QMenu *fileMenu = menuBar()->addMenu(tr("&File"));
    fileMenu->addAction(m_openAction);
    fileMenu->addAction(m_saveAction);
    fileMenu->addAction(m_saveAsAction);
    fileMenu->addSeparator();
    fileMenu->addAction(m_quitAction);

    m_editMenu = menuBar()->addMenu(tr("&Edit"));
    m_undoAnchor = m_editMenu->addSeparator();
    m_editMenu->addAction(m_addLinkAction);
    m_editMenu->addAction(m_deleteAllLinksAction);

    QMenu *viewMenu = menuBar()->addMenu(tr("&View"));
    viewMenu->addAction(m_zoomInAction);
    viewMenu->addAction(m_zoomOutAction);
    viewMenu->addAction(m_actualSizeAction);
    viewMenu->addAction(m_fitWidthAction);
    viewMenu->addAction(m_fitPageAction);
    viewMenu->addAction(m_rotateAction);
    viewMenu->addSeparator();
    viewMenu->addAction(m_firstPageAction);
    viewMenu->addAction(m_previousPageAction);
    viewMenu->addAction(m_nextPageAction);
    viewMenu->addAction(m_lastPageAction);
    viewMenu->addAction(m_backAction);
    viewMenu->addAction(m_forwardAction);
    viewMenu->addSeparator();
    viewMenu->addAction(m_showAnnotsAction);
    viewMenu->addAction(m_fullScreenAction);

    QMenu *toolsMenu = menuBar()->addMenu(tr("&Tools"));
    toolsMenu->addAction(m_handToolAction);
    toolsMenu->addAction(m_linkToolAction);

    m_openAction->setIconText(tr("Open"));
    m_saveAction->setIconText(tr("Save"));
    m_handToolAction->setIconText(tr("Hand"));
    m_linkToolAction->setIconText(tr("Link"));
    m_zoomOutAction->setIconText(QStringLiteral("\u2212"));
    m_zoomInAction->setIconText(QStringLiteral("+"));
    m_fitWidthAction->setIconText(tr("Width"));
    m_fitPageAction->setIconText(tr("Page"));
    m_previousPageAction->setIconText(QStringLiteral("\u25C0"));
    m_nextPageAction->setIconText(QStringLiteral("\u25B6"));

    m_toolBar = addToolBar(tr("Main"));
    m_toolBar->setObjectName(QStringLiteral("mainToolBar"));
    m_toolBar->setMovable(false);
    m_toolBar->addAction(m_openAction);
    m_toolBar->addAction(m_saveAction);
    m_toolBar->addSeparator();
    m_toolBarUndoAnchor = m_toolBar->addSeparator();
    m_toolBar->addAction(m_handToolAction);
    m_toolBar->addAction(m_linkToolAction);
    m_toolBar->addSeparator();
    m_toolBar->addAction(m_zoomOutAction);
    m_toolBar->addAction(m_zoomInAction);
    m_toolBar->addAction(m_fitWidthAction);
    m_toolBar->addAction(m_fitPageAction);
    m_toolBar->addSeparator();
    m_toolBar->addAction(m_previousPageAction);
    m_pageBox = new QSpinBox(this);
    m_pageBox->setObjectName(QStringLiteral("pageBox"));
    m_pageBox->setKeyboardTracking(false);
    connect(m_pageBox, QOverload<int>::of(&QSpinBox::valueChanged), this, [this](int page) {
        if (m_view && page - 1 != m_view->CurrentPageIndex())
            m_view->GoToPage(page - 1);
    });
    m_toolBar->addWidget(m_pageBox);
    m_pageCountLabel = new QLabel(this);
    m_toolBar->addWidget(m_pageCountLabel);
    m_toolBar->addAction(m_nextPageAction);

    m_pageLabel = new QLabel(this);
    m_zoomLabel = new QLabel(this);
    statusBar()->addWidget(m_pageLabel);
    statusBar()->addPermanentWidget(m_zoomLabel);
}

void ReaderWindow::ShowDocument(std::unique_ptr<IG_Document> document, const QString &path)
{
    if (!document)
        return;
    G_DocView *old = m_view;
    m_view = nullptr;
    auto *view = new G_DocView(m_context, document.get(), this);
    view->setObjectName(QStringLiteral("docView"));
    setCentralWidget(view);
    delete old;
    m_document = std::move(document);
    m_view = view;
    m_path = path;
    m_context->SetCurrentDocView(view);

    connect(view, &G_DocView::ToolChanged, this, &ReaderWindow::OnToolChanged);
    connect(view, &G_DocView::CurrentPageChanged, this, &ReaderWindow::OnPageChanged);
    connect(view, &G_DocView::ZoomChanged, this, &ReaderWindow::OnZoomChanged);
    connect(view, &G_DocView::SelectionChanged, this, &ReaderWindow::UpdateOperationActions);
    connect(view->History(), &G_ViewHistory::Changed, this, &ReaderWindow::UpdateHistoryActions);
    view->SetZoomMode(G_Zoom_FitWidth);
    view->GoToPage(0);
    view->setFocus();

    const int pages = view->PageCount();
    {
        const QSignalBlocker blocker(m_pageBox);
        m_pageBox->setRange(pages > 0 ? 1 : 0, std::max(pages, 0));
    }
    m_pageCountLabel->setText(tr(" / %1 ").arg(pages));
    BindUndoActions();
    OnPageChanged(view->CurrentPageIndex());
    OnZoomChanged(view->GetZoom());
    const G_ToolHandler *tool = view->CurrentToolHandler();
    OnToolChanged(tool ? QString::fromUtf8(tool->Name().c_str()) : QString());
    UpdateOperationActions();
    UpdateHistoryActions();
    UpdateTitle();
}

// The undo stack belongs to the view, so the actions follow the view.
void ReaderWindow::BindUndoActions()
{
    delete m_undoAction;
    delete m_redoAction;
    QUndoStack *stack = m_view->CreateUndoStack();
    m_undoAction = stack->createUndoAction(this, tr("&Undo"));
    m_undoAction->setShortcut(QKeySequence::Undo);
    m_redoAction = stack->createRedoAction(this, tr("&Redo"));
    // Ctrl+Y as well, as on the other desktops.
    QList<QKeySequence> redoKeys = QKeySequence::keyBindings(QKeySequence::Redo);
    if (!redoKeys.contains(QKeySequence(Qt::CTRL + Qt::Key_Y)))
        redoKeys << QKeySequence(Qt::CTRL + Qt::Key_Y);
    m_redoAction->setShortcuts(redoKeys);
    m_editMenu->insertAction(m_undoAnchor, m_undoAction);
    m_editMenu->insertAction(m_undoAnchor, m_redoAction);
    m_toolBar->insertAction(m_toolBarUndoAnchor, m_undoAction);
    m_toolBar->insertAction(m_toolBarUndoAnchor, m_redoAction);
    connect(stack, &QUndoStack::indexChanged, this, &ReaderWindow::UpdateTitle);
}

bool ReaderWindow::OpenFile(const QString &path, bool quiet)
{
    QString error;
    std::unique_ptr<IG_Document> document = ReaderDocumentIO::Open(path, &error);
    if (!document) {
        qWarning().noquote() << "ofdreader:" << path << error;
        if (!quiet)
            QMessageBox::warning(this, tr("Open"), tr("%1 could not be opened.\n%2").arg(path, error));
        return false;
    }
    ShowDocument(std::move(document), path);
    return true;
}

void ReaderWindow::Open()
{
    const QString path = QFileDialog::getOpenFileName(this, tr("Open"), QFileInfo(m_path).absolutePath(),
                                                      tr("OFD documents (*.ofd)"));
    if (!path.isEmpty())
        OpenFile(path);
}

bool ReaderWindow::Save()
{
    return m_path.isEmpty() ? SaveAs() : SaveTo(m_path);
}

bool ReaderWindow::SaveAs()
{
    const QString path = QFileDialog::getSaveFileName(this, tr("Save As"), m_path, tr("OFD documents (*.ofd)"));
    return !path.isEmpty() && SaveTo(path);
}

bool ReaderWindow::SaveTo(const QString &path)
{
    if (ReaderDocumentIO::IsSigned(m_document.get())
        && QMessageBox::question(this, tr("Save"),
                                 tr("The document is signed. Saving the changes breaks its signatures. Save anyway?"))
               != QMessageBox::Yes)
        return false;
    QString error;
    if (!ReaderDocumentIO::Save(m_document.get(), path, &error)) {
        QMessageBox::warning(this, tr("Save"), tr("%1 could not be saved.\n%2").arg(path, error));
        return false;
    }
    m_path = path;
    if (m_view->UndoStack())
        m_view->UndoStack()->setClean();
    UpdateTitle();
    return true;
}

void ReaderWindow::closeEvent(QCloseEvent *event)
{
    if (m_document && m_document->IsModified()) {
        const auto answer = QMessageBox::question(this, tr("Close"), tr("Save the changes to the document?"),
                                                  QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel,
                                                  QMessageBox::Save);
        if (answer == QMessageBox::Cancel || (answer == QMessageBox::Save && !Save())) {
            event->ignore();
            return;
        }
    }
    event->accept();
}

bool ReaderWindow::RunOperation(const QString &name)
{
    m_context->SetCurrentDocView(m_view);
    return ::RunOperation(m_context, name, [this](G_Operation &operation) { operation.SetDocView(m_view); })
        .has_value();
}

void ReaderWindow::SwitchTool(const QString &name)
{
    if (!RunOperation(name) && m_view)
        m_view->SetCurrentToolHandler(name);
    const G_ToolHandler *tool = m_view ? m_view->CurrentToolHandler() : nullptr;
    OnToolChanged(tool ? QString::fromUtf8(tool->Name().c_str()) : QString());
}

// Commands a plug-in brings are offered only when the plug-in is there.
void ReaderWindow::UpdateOperationActions()
{
    m_linkToolAction->setEnabled(G_Operation::GlobalPrototype(QStringLiteral("ga_link")) != nullptr);
    m_deleteAllLinksAction->setEnabled(G_Operation::GlobalPrototype(QStringLiteral("tt_deletealllink")) != nullptr);
    // A link from selected text needs selected text.
    m_addLinkAction->setEnabled(G_Operation::GlobalPrototype(QStringLiteral("d_addlink")) != nullptr && m_view
                                && !m_view->SelectHighLightText().isEmpty());
    m_fullScreenAction->setEnabled(G_ToolHandler::GlobalPrototype(QStringLiteral("gt_fullscreen")) != nullptr);
}

void ReaderWindow::UpdateHistoryActions()
{
    m_backAction->setEnabled(m_view && m_view->History()->CanGoBack());
    m_forwardAction->setEnabled(m_view && m_view->History()->CanGoForward());
}

void ReaderWindow::OnToolChanged(const QString &name)
{
    m_handToolAction->setChecked(name == QLatin1String("t_handtool"));
    m_linkToolAction->setChecked(name == QLatin1String("ga_link"));
    const bool fullScreen = name == QLatin1String("gt_fullscreen");
    menuBar()->setVisible(!fullScreen);
    m_toolBar->setVisible(!fullScreen);
    statusBar()->setVisible(!fullScreen);
}

void ReaderWindow::OnPageChanged(int pageIndex)
{
    const int pages = m_view ? m_view->PageCount() : 0;
    {
        const QSignalBlocker blocker(m_pageBox);
        m_pageBox->setValue(pageIndex + 1);
    }
    m_pageLabel->setText(pages > 0 ? tr("Page %1 of %2").arg(pageIndex + 1).arg(pages) : QString());
    m_previousPageAction->setEnabled(pageIndex > 0);
    m_firstPageAction->setEnabled(pageIndex > 0);
    m_nextPageAction->setEnabled(pageIndex + 1 < pages);
    m_lastPageAction->setEnabled(pageIndex + 1 < pages);
}

void ReaderWindow::OnZoomChanged(float percent)
{
    m_zoomLabel->setText(tr("%1 %").arg(double(percent), 0, 'f', percent < 100 ? 1 : 0));
}

void ReaderWindow::Zoom(float factor)
{
    if (m_view)
        m_view->SetZoom(m_view->GetZoom() * factor);
}

void ReaderWindow::UpdateTitle()
{
    const QString name = m_path.isEmpty() ? tr("Untitled") : QFileInfo(m_path).fileName();
    setWindowTitle(tr("%1[*] - OFD Reader").arg(name));
    setWindowModified(m_document && m_document->IsModified());
}
