#include "operations/gp_action.h"
#include "operations/gp_addlink.h"
#include "operations/gp_deletealllinkannot.h"
#include "operations/gp_deletelinkannot.h"
#include "operations/gp_linkchangehandler.h"
#include "operations/gpi_deletealllinkannot.h"

#include "omofdapi/ig_appearance.h"
#include "omofdapi/ofd_annot.h"
#include "omofdapi/ofd_document.h"
#include "omofdapi/ofd_packagereader.h"
#include "omofdapi/ofd_packagewriter.h"
#include "omofdapi/ofd_page.h"
#include "uiframework/g_actionhandler.h"
#include "uiframework/g_docview.h"
#include "uiframework/g_event.h"
#include "uiframework/g_operationinterceptor.h"
#include "uiframework/gp_delannot.h"

#include "testoperation.h"

#include <QtTest>

#include <functional>
#include <memory>
#include <vector>

namespace {

// "name{key=value,...}" with the keys in order.
QString RunText(const G_Operation &operation)
{
    QStringList keys = operation.Param().Keys();
    keys.sort();
    QStringList items;
    for (const QString &key : keys) {
        const QVariant value = operation.Param().Value(key);
        const CCA_GPoint point = value.value<CCA_GPoint>();
        items << key + '=' + (value.canConvert<CCA_GPoint>() ? QStringLiteral("(%1 %2)").arg(point.x).arg(point.y)
                                                              : value.toString());
    }
    return QString::fromLatin1(operation.Name()) + '{' + items.join(',') + '}';
}

// Notes which operations took the path through the interceptors.
class WatchingInterceptor : public G_OperationInterceptor
{
public:
    bool IsIntercept(G_Operation *operation) override
    {
        asked << QString::fromLatin1(operation->Name());
        return false;
    }
    QStringList asked;
};

class RecordingActionHandler : public G_ActionHandler
{
public:
    using G_ActionHandler::G_ActionHandler;
    int DoActions(const CCA_ArrayTemplate<G_Action *> &actions, IG_Document *document, int eventType) override
    {
        QStringList types;
        for (G_Action *action : actions)
            types << QString::number(action->Type());
        runs << QStringLiteral("[%1] event %2").arg(types.join(',')).arg(eventType);
        lastDocument = document;
        return actions.GetSize();
    }
    QStringList runs;
    IG_Document *lastDocument = nullptr;
};

class CountingChangeHandler : public GP_LinkChangeHandler
{
public:
    void InitHandler() override { ++switches; }
    int switches = 0;
};

} // namespace

Q_DECLARE_METATYPE(G_HighLightItem)

class tst_Operations : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_document = OFD_Document::CreateBlank(3, 210, 297);
        m_context.reset(new AnsweringContext);
        m_view.reset(new G_DocView(m_context.get(), m_document.get()));
        m_context->SetCurrentDocView(m_view.get());
        m_context->EventMgr()->AddListener([this](const G_Event &event) {
            auto changed = dynamic_cast<const G_DocumentChangedEvent *>(&event);
            m_events << QStringLiteral("%1/%2/%3").arg(event.Type()).arg(changed ? changed->SubType() : -1)
                            .arg(changed && changed->DocView() == m_view.get());
        });
    }

    void cleanup()
    {
        G_Operation::FlushPendingDeletes();
        m_view.reset();
        m_context.reset();
        m_document.reset();
        m_prototypes.clear();
        m_tools.clear();
        m_log.clear();
        m_events.clear();
    }

    void changeHandler_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<int>("result");
        QTest::addColumn<int>("switches");
        QTest::addColumn<QStringList>("log");
        const QString show = QStringLiteral("t_showannot{isVisible=true}");
        const QString button = QStringLiteral("t_toolbarbtnstate{btnName=t_annot,checked=false}");
        QTest::newRow("abort") << "abort" << 0 << 0 << QStringList();
        QTest::newRow("no view") << "no view" << 0 << 0 << QStringList();
        QTest::newRow("annotation mode on") << "annotation mode" << 1 << 1 << QStringList{show};
        QTest::newRow("annotation mode off") << "" << 1 << 1 << QStringList{show, button};
        QTest::newRow("link tool already current") << "current" << 1 << 0 << QStringList{show, button};
    }

    void changeHandler()
    {
        QFETCH(QString, setup);
        QFETCH(int, result);
        QFETCH(int, switches);
        Tool("ga_link");
        Record("t_showannot");
        Record("t_toolbarbtnstate");
        m_view->SetAnnotStatus(setup == QLatin1String("annotation mode"));
        if (setup == QLatin1String("current"))
            QVERIFY(m_view->SetCurrentToolHandler(QStringLiteral("ga_link")));
        WatchingInterceptor watcher;

        CountingChangeHandler operation;
        Prepare(operation);
        if (setup == QLatin1String("no view"))
            operation.SetDocView(nullptr);
        operation.Param().Add(QStringLiteral("abort"), setup == QLatin1String("abort"));
        QCOMPARE(operation.DoAction(), result);
        QTEST(m_log, "log");
        QCOMPARE(operation.switches, switches);
        QCOMPARE(m_view->CurrentToolHandler() == m_view->ToolHandler(QStringLiteral("ga_link")), result == 1);
        // The toolbar state is set past the interceptors.
        QCOMPARE(watcher.asked.contains(QStringLiteral("t_showannot")), result == 1);
        QVERIFY(!watcher.asked.contains(QStringLiteral("t_toolbarbtnstate")));
    }

    void linkAction_data()
    {
        QTest::addColumn<QString>("tool");
        QTest::addColumn<QString>("setup");
        QTest::addColumn<int>("result");
        QTest::addColumn<QStringList>("runs");
        const QStringList gotoRun{QStringLiteral("[1] event 3")};
        QTest::newRow("hand tool") << "t_handtool" << "" << 1 << gotoRun;
        QTest::newRow("full screen") << "gt_fullscreen" << "" << 1 << gotoRun;
        QTest::newRow("link tool") << "ga_link" << "" << 0 << QStringList();
        QTest::newRow("no appearance") << "t_handtool" << "no appearance" << 0 << QStringList();
        QTest::newRow("empty appearance") << "t_handtool" << "empty appearance" << 0 << QStringList();
        QTest::newRow("unknown id") << "t_handtool" << "unknown id" << 0 << QStringList();
        QTest::newRow("other annotation type") << "t_handtool" << "highlight" << 1 << gotoRun;
        QTest::newRow("no actions") << "t_handtool" << "no actions" << 1 << QStringList{QStringLiteral("[] event 3")};
        QTest::newRow("page not loaded yet") << "t_handtool" << "not loaded" << 1 << gotoRun;
    }

    void linkAction()
    {
        QFETCH(QString, tool);
        QFETCH(QString, setup);
        QFETCH(QStringList, runs);
        for (const char *name : {"t_handtool", "gt_fullscreen", "ga_link"})
            Tool(name);
        RecordingActionHandler *handler = new RecordingActionHandler(m_context.get());
        m_context->SetActionHandler(handler);
        QVERIFY(m_view->SetCurrentToolHandler(tool));

        OFD_Page *page = m_document->Page(1);
        IG_Annot *annot = page->AppendLoadedAnnot(setup == QLatin1String("highlight") ? 3 : 1, 9);
        if (setup != QLatin1String("no appearance")) {
            IG_Appearance *appearance = annot->CreateAppearance();
            if (setup != QLatin1String("empty appearance")) {
                IG_PageObject *object = appearance->InsertPageObject(2, -1, false);
                CCA_ArrayTemplate<G_Action *> actions;
                if (setup != QLatin1String("no actions"))
                    actions.Add(new G_ActionGoto);
                object->SetActions(actions);
            }
        }
        page->SetAnnotsLoaded(setup != QLatin1String("not loaded"));

        GP_Action operation;
        Prepare(operation);
        operation.Param().Add(QStringLiteral("pageIndex"), 1);
        operation.Param().Add(QStringLiteral("annotID"), setup == QLatin1String("unknown id") ? 10 : 9);
        QTEST(operation.DoAction(), "result");
        QVERIFY(page->IsAnnotsLoaded());
        QCOMPARE(handler->runs, runs);
        if (!runs.isEmpty())
            QCOMPARE(handler->lastDocument, static_cast<IG_Document *>(m_document.get()));
    }

    void addLink_data()
    {
        using Rect = G_HighLightItem::Rect;
        QTest::addColumn<QList<G_HighLightItem>>("selection");
        QTest::addColumn<int>("result");
        QTest::addColumn<QStringList>("log");
        G_HighLightItem lines;
        lines.pageIndex = 2;
        lines.rects = {Rect{20, 30, 180, 35}, Rect{15, 36, 190, 41}, Rect{15, 42, 100, 47}};
        G_HighLightItem first;
        first.rects = {Rect{10, 10, 50, 20}};
        G_HighLightItem second;
        second.pageIndex = 1;
        second.rects = {Rect{5, 100, 60, 110}, Rect{30, 111, 40, 120}};
        G_HighLightItem bare;
        bare.pageIndex = 1;

        QTest::newRow("no selection") << QList<G_HighLightItem>() << 0 << QStringList();
        QTest::newRow("three lines") << QList<G_HighLightItem>{lines} << 1
            << QStringList{"d_annotlinkproperty{edit=false,first=(15 30),pressIndex=2,second=(190 47)}"};
        QTest::newRow("two pages: last item only") << QList<G_HighLightItem>{first, second} << 1
            << QStringList{"d_annotlinkproperty{edit=false,first=(5 100),pressIndex=1,second=(60 120)}"};
        QTest::newRow("last item without rectangles") << QList<G_HighLightItem>{first, bare} << 1
            << QStringList{"d_annotlinkproperty{edit=false,first=(10 10),pressIndex=1,second=(50 20)}"};
    }

    void addLink()
    {
        QFETCH(QList<G_HighLightItem>, selection);
        QFETCH(int, result);
        Record("d_annotlinkproperty");
        m_view->SetSelectHighLightText(selection);
        WatchingInterceptor watcher;

        GP_AddLink operation;
        Prepare(operation);
        QCOMPARE(operation.DoAction(), result);
        QTEST(m_log, "log");
        QCOMPARE(watcher.asked.contains(QStringLiteral("d_annotlinkproperty")), result == 1);
    }

    void deleteLink_data()
    {
        QTest::addColumn<QVariant>("pageIndex");
        QTest::addColumn<QVariant>("annotID");
        QTest::addColumn<QVariant>("noUndo");
        QTest::addColumn<QString>("log");
        QTest::newRow("ints") << QVariant(4) << QVariant(12) << QVariant() << "d_delannot{NoUndo=false,pageAndAnnotID=4:12}";
        QTest::newRow("no undo passed on") << QVariant(0) << QVariant(3) << QVariant(true) << "d_delannot{NoUndo=true,pageAndAnnotID=0:3}";
        QTest::newRow("texts") << QVariant("7") << QVariant("015") << QVariant(false) << "d_delannot{NoUndo=false,pageAndAnnotID=7:15}";
        QTest::newRow("not numbers") << QVariant("x") << QVariant("1.5") << QVariant() << "d_delannot{NoUndo=false,pageAndAnnotID=0:0}";
        QTest::newRow("no view") << QVariant() << QVariant() << QVariant() << "";
    }

    void deleteLink()
    {
        QFETCH(QVariant, pageIndex);
        QFETCH(QVariant, annotID);
        QFETCH(QVariant, noUndo);
        QFETCH(QString, log);
        Record("d_delannot");
        GP_DeleteLinkAnnot operation;
        Prepare(operation);
        if (!pageIndex.isValid())
            operation.SetDocView(nullptr);
        for (const auto &pair : {qMakePair(QStringLiteral("pageIndex"), pageIndex), qMakePair(QStringLiteral("annotID"), annotID)}) {
            if (pair.second.type() == QVariant::Int)
                operation.Param().Add(pair.first, pair.second.toInt());
            else if (pair.second.isValid())
                operation.Param().Add(pair.first, pair.second.toString());
        }
        if (noUndo.isValid())
            operation.Param().Add(QStringLiteral("NoUndo"), noUndo.toBool());
        QCOMPARE(operation.DoAction(), log.isEmpty() ? 0 : 1);
        QCOMPARE(m_log.join(QString()), log);
    }

    void deleteAll_data()
    {
        QTest::addColumn<bool>("links");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("host");
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("log");
        QTest::addColumn<QStringList>("events");
        const QStringList changed{QStringLiteral("110/0/1")};
        QTest::newRow("links on pages 0 and 2") << true << int(QMessageBox::Ok) << true << 1
                                                << "d_delannot{NoUndo=false,pageAndAnnotID=0:3,0:7,2:1}" << changed;
        QTest::newRow("no links") << false << int(QMessageBox::Ok) << true << 1 << "d_delannot{NoUndo=false,pageAndAnnotID=}" << changed;
        QTest::newRow("cancel") << true << int(QMessageBox::Cancel) << true << 0 << "" << QStringList();
        QTest::newRow("box closed") << true << int(QMessageBox::NoButton) << true << 0 << "" << QStringList();
        QTest::newRow("no d_delannot") << true << int(QMessageBox::Ok) << false << 1 << "" << changed;
    }

    void deleteAll()
    {
        QFETCH(bool, links);
        QFETCH(int, answer);
        QFETCH(bool, host);
        if (host)
            Record("d_delannot");
        m_context->answer = answer;
        if (links) {
            m_document->Page(0)->AppendLoadedAnnot(1, 3);
            m_document->Page(0)->AppendLoadedAnnot(1, 7);
            m_document->Page(1)->AppendLoadedAnnot(3, 5);
            m_document->Page(2)->AppendLoadedAnnot(1, 1);
        }
        GPI_DeleteAllLinkAnnot interceptor;
        GP_DeleteAllLinkAnnot operation;
        Prepare(operation);
        QTEST(operation.PerformAction(), "result");
        // Ok | Cancel with Ok as default, no button texts, default size.
        QCOMPARE(m_context->shown, (QStringList{"clear link", "Are you sure to delete all link annots in the document?",
                                                QString::number(QMessageBox::Ok | QMessageBox::Cancel), "1024", "", "0"}));
        QTEST(m_log.join(QString()), "log");
        QTEST(m_events, "events");
        QCOMPARE(m_document->Page(0)->AnnotCount(), links ? 2 : 0);
    }

    // Pages 1, 5 and 10 of a saved file are read lazily: the links of the pages never
    // shown must go as well.
    void deleteAllReachesPagesNeverShown()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("links.ofd"));
        QString error;
        {
            std::unique_ptr<OFD_Document> saved = OFD_Document::CreateBlank(10, 210, 297);
            for (int p : {0, 4, 9})
                saved->Page(p)->AddAnnot(G_AnnotType_Link, "Link", -1, false, {});
            saved->Page(4)->AddAnnot(G_AnnotType_Stamp, "Stamp", -1, false, {});
            QVERIFY2(OFD_PackageWriter::Save(saved.get(), path, &error), qPrintable(error));
        }
        m_view.reset();
        m_document = OFD_PackageReader::Open(path, &error);
        QVERIFY2(m_document, qPrintable(error));
        m_view.reset(new G_DocView(m_context.get(), m_document.get()));
        m_context->SetCurrentDocView(m_view.get());
        m_prototypes.emplace_back(new GP_DelAnnot);
        m_prototypes.back()->RegisterToGlobal();

        GP_DeleteAllLinkAnnot operation;
        Prepare(operation);
        QCOMPARE(operation.DoAction(), 1);
        QStringList left;
        for (int p = 0; p < 10; ++p) {
            OFD_Page *page = m_document->Page(p);
            page->LoadAnnots();
            for (int i = 0; i < page->AnnotCount(); ++i)
                left << QStringLiteral("%1:%2").arg(p).arg(page->AnnotAt(i)->Type());
        }
        QCOMPARE(left, QStringList{QStringLiteral("4:4")});
    }

private:
    // Stands in for the operation `name` and logs each run.
    void Record(const char *name)
    {
        m_prototypes.emplace_back(new TestOperation(name, [this](G_Operation &operation) {
            m_log << RunText(operation);
            return 1;
        }));
        m_prototypes.back()->RegisterToGlobal();
    }
    void Tool(const char *name)
    {
        m_tools.emplace_back(new TestTool(name));
        m_tools.back()->RegisterHandlerToGlobal();
    }
    void Prepare(G_Operation &operation)
    {
        operation.SetUIContext(m_context.get());
        operation.SetDocView(m_view.get());
    }

    QStringList m_log;
    QStringList m_events;
    std::vector<std::unique_ptr<G_Operation>> m_prototypes;
    std::vector<std::unique_ptr<G_ToolHandler>> m_tools;
    // Three A4 pages in a view that is current in its context.
    std::unique_ptr<OFD_Document> m_document;
    std::unique_ptr<AnsweringContext> m_context;
    std::unique_ptr<G_DocView> m_view;
};

QTEST_MAIN(tst_Operations)
#include "tst_operations.moc"
