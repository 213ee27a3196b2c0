#include "uiframework/g_docview.h"
#include "uiframework/g_toolhandler.h"

#include "omofdapi/ofd_document.h"

#include <QAction>
#include <QApplication>
#include <QMouseEvent>
#include <QMainWindow>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

namespace {

QStringList g_log;

// Writes every call it gets to g_log, prefixed with its name.
class RecordingTool : public G_ToolHandler
{
public:
    explicit RecordingTool(const char *name) : m_name(name) {}
    G_ToolHandler *Clone() const override { return new RecordingTool(m_name); }
    CCA_String Name() const override { return CCA_String(m_name); }
    void OnActivate() override { g_log << QStringLiteral("%1 activate").arg(m_name); }
    void OnDeactivate() override { g_log << QStringLiteral("%1 deactivate").arg(m_name); }
    int OnLButtonDown(unsigned f, const CCA_Point &p) override { return Log("ldown", f, p); }
    int OnLButtonUp(unsigned f, const CCA_Point &p) override { return Log("lup", f, p); }
    int OnLButtonDblClk(unsigned f, const CCA_Point &p) override { return Log("ldbl", f, p); }
    int OnRButtonDown(unsigned f, const CCA_Point &p) override { return Log("rdown", f, p); }
    int OnRButtonUp(unsigned f, const CCA_Point &p) override { return Log("rup", f, p); }
    int OnMButtonDown(unsigned f, const CCA_Point &p) override { return Log("mdown", f, p); }
    int OnMouseMove(unsigned f, const CCA_Point &p) override { return Log("move", f, p); }
    int OnKeyDown(int key, unsigned, unsigned) override
    {
        if (key == Qt::Key_Control || key == Qt::Key_Shift)
            return 0;
        g_log << QStringLiteral("%1 key %2").arg(m_name).arg(key);
        return 0;
    }
    int ShortCutActivated(int key, Qt::KeyboardModifiers modifiers) override
    {
        g_log << QStringLiteral("%1 shortcut %2 %3").arg(m_name).arg(key).arg(int(modifiers));
        return 1;
    }

private:
    int Log(const char *what, unsigned flags, const CCA_Point &p)
    {
        g_log << QStringLiteral("%1 %2 %3 %4,%5").arg(m_name, what).arg(flags).arg(p.x).arg(p.y);
        return 0;
    }
    const char *m_name;
};

} // namespace

class tst_ToolRouting : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        g_log.clear();
        m_first.RegisterHandlerToGlobal();
        m_second.RegisterHandlerToGlobal();
        m_document = OFD_Document::CreateBlank(2, 210, 297);
        m_window = new QMainWindow;
        m_view = new G_DocView(nullptr, m_document.get(), m_window);
        m_window->setCentralWidget(m_view);
        m_window->resize(500, 400);
    }

    void cleanup()
    {
        delete m_window;
        m_window = nullptr;
        m_document.reset();
        G_ToolHandler::UnregisterFromGlobal(&m_first);
        G_ToolHandler::UnregisterFromGlobal(&m_second);
    }

    // Each view works on its own clone; a prototype that goes away leaves the registry.
    void registryHandsOutClones()
    {
        G_DocView other(nullptr, m_document.get());
        G_ToolHandler *mine = m_view->ToolHandler(QStringLiteral("first"));
        G_ToolHandler *theirs = other.ToolHandler(QStringLiteral("first"));
        QVERIFY(mine && theirs && mine != &m_first && mine != theirs);
        QCOMPARE(mine->DocView(), m_view);
        QCOMPARE(theirs->DocView(), &other);
        QCOMPARE(m_view->ToolHandler(QStringLiteral("first")), mine);
        {
            RecordingTool passing("passing");
            passing.RegisterHandlerToGlobal();
            QVERIFY(G_ToolHandler::GlobalPrototype(QStringLiteral("passing")));
        }
        QVERIFY(!G_ToolHandler::GlobalPrototype(QStringLiteral("passing")));
        QVERIFY(!m_view->SetCurrentToolHandler(QStringLiteral("passing")));
    }

    void switchingDeactivatesThenActivates()
    {
        QSignalSpy spy(m_view, &G_DocView::ToolChanged);
        QVERIFY(m_view->SetCurrentToolHandler(QStringLiteral("first")));
        QVERIFY(m_view->SetCurrentToolHandler(QStringLiteral("second")));
        QVERIFY(m_view->SetCurrentToolHandler(QStringLiteral("second"))); // already current: nothing
        QCOMPARE(g_log, QStringList({"first activate", "first deactivate", "second activate"}));
        QCOMPARE(spy.count(), 2);
        QCOMPARE(spy.at(1).at(0).toString(), QStringLiteral("second"));
        QCOMPARE(m_view->CurrentToolHandler(), m_view->ToolHandler(QStringLiteral("second")));
    }

    void mouseReachesHandlerInSceneCoordinates()
    {
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window));
        m_view->SetCurrentToolHandler(QStringLiteral("first"));
        m_view->horizontalScrollBar()->setValue(100);
        m_view->verticalScrollBar()->setValue(500);
        g_log.clear();
        QWidget *viewport = m_view->viewport();
        // Scene = viewport + scroll offset: (30, 40) + (100, 500).
        QTest::mousePress(viewport, Qt::LeftButton, Qt::ControlModifier, QPoint(30, 40));
        QTest::mouseRelease(viewport, Qt::LeftButton, Qt::NoModifier, QPoint(31, 40));
        QTest::mousePress(viewport, Qt::RightButton, Qt::NoModifier, QPoint(5, 6));
        QTest::mouseRelease(viewport, Qt::RightButton, Qt::NoModifier, QPoint(5, 6));
        QTest::mousePress(viewport, Qt::MiddleButton, Qt::ShiftModifier, QPoint(7, 8));
        QTest::mouseDClick(viewport, Qt::LeftButton, Qt::NoModifier, QPoint(9, 10));
        const QStringList expected = {
            "first ldown 17 130,540", // Ctrl | left button
            "first lup 0 131,540",
            "first rdown 0 105,506",
            "first rup 0 105,506",
            "first mdown 2 107,508", // Shift
            "first ldbl 16 109,510",
        };
        QStringList clicks;
        for (const QString &line : std::as_const(g_log))
            if (!line.contains(QLatin1String(" move ")))
                clicks << line;
        QCOMPARE(clicks, expected);

        g_log.clear();
        QMouseEvent move(QEvent::MouseMove, QPointF(50, 60), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &move);
        QCOMPARE(g_log, QStringList({"first move 16 150,560"}));
    }

    void keysAndShortcuts()
    {
        auto *copy = new QAction(m_window);
        copy->setShortcut(QKeySequence::Copy);
        m_window->addAction(copy);
        QSignalSpy copied(copy, &QAction::triggered);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowActive(m_window));
        m_view->setFocus();
        m_view->SetCurrentToolHandler(QStringLiteral("first"));
        g_log.clear();

        QTest::keyClick(m_view, Qt::Key_A);
        QTest::keyClick(m_view, Qt::Key_C, Qt::ControlModifier);
        QTest::keyClick(m_view, Qt::Key_V, Qt::ControlModifier);
        QTest::keyClick(m_view, Qt::Key_K, Qt::ControlModifier | Qt::ShiftModifier);
        const int ctrl = int(Qt::ControlModifier), ctrlShift = int(Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(g_log, QStringList({QStringLiteral("first key %1").arg(Qt::Key_A),
                                     QStringLiteral("first shortcut %1 %2").arg(Qt::Key_C).arg(ctrl),
                                     QStringLiteral("first shortcut %1 %2").arg(Qt::Key_V).arg(ctrl),
                                     QStringLiteral("first shortcut %1 %2").arg(Qt::Key_K).arg(ctrlShift)}));
        QCOMPARE(copied.count(), 0); // the view took Ctrl+C from the window's shortcut
    }

private:
    RecordingTool m_first{"first"};
    RecordingTool m_second{"second"};
    std::unique_ptr<OFD_Document> m_document;
    QMainWindow *m_window = nullptr;
    G_DocView *m_view = nullptr;
};

QTEST_MAIN(tst_ToolRouting)
#include "tst_toolrouting.moc"
