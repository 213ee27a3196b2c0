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

#include "omofdapi/g_action.h"
#include "omofdapi/ig_appearance.h"
#include "omofdapi/ofd_annot.h"
#include "omofdapi/ofd_document.h"
#include "omofdapi/ofd_page.h"
#include "uiframework/g_actionhandler.h"
#include "uiframework/g_docview.h"
#include "uiframework/g_event.h"
#include "uiframework/g_operationinterceptor.h"
#include "uiframework/g_toolhandler.h"
#include "uiframework/g_uicontext.h"

#include <QtTest>

#include <functional>
#include <memory>
#include <typeinfo>
#include <vector>

namespace {

struct Call
{
    QString name;
    QVariantHash params;
};

// Stands in for an operation under its name and logs every run with its parameters.
class RecordingOperation : public G_Operation
{
public:
    RecordingOperation(const QByteArray &name, QList<Call> *log) : m_name(name), m_log(log) {}
    G_Operation *Clone() const override
    {
        RecordingOperation *copy = new RecordingOperation(m_name, m_log);
        copy->CopyFrom(*this);
        return copy;
    }
    const char *Name() const override { return m_name.constData(); }
    int DoAction() override
    {
        Call call;
        call.name = QString::fromLatin1(m_name);
        for (const QString &key : Param().Keys())
            call.params.insert(key, Param().Value(key));
        if (m_log)
            m_log->append(call);
        return 1;
    }

private:
    QByteArray m_name;
    QList<Call> *m_log;
};

class DefaultAuthorityOperation : public G_Operation
{
public:
    G_Operation *Clone() const override { return new DefaultAuthorityOperation; }
    const char *Name() const override { return "probe"; }
    int DoAction() override { return 0; }
};

class FakeTool : public G_ToolHandler
{
public:
    explicit FakeTool(const char *name) : m_name(name) {}
    G_ToolHandler *Clone() const override { return new FakeTool(m_name.c_str()); }
    CCA_String Name() const override { return m_name; }

private:
    CCA_String m_name;
};

// Logs which operations went through the interceptor path (PerformAction).
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

class MessageBoxContext : public G_UIContext
{
public:
    int ShowMessageBox(const QString &title, const QString &text, QMessageBox::StandardButtons buttons,
                       QMessageBox::StandardButton defaultButton, const QStringList &buttonTexts,
                       const QSize &size) override
    {
        shown << title << text;
        shownButtons = buttons;
        shownDefault = defaultButton;
        shownTexts = buttonTexts;
        shownSize = size;
        return answer;
    }
    int answer = QMessageBox::Ok;
    QStringList shown;
    QMessageBox::StandardButtons shownButtons;
    QMessageBox::StandardButton shownDefault = QMessageBox::NoButton;
    QStringList shownTexts;
    QSize shownSize;
};

class RecordingActionHandler : public G_ActionHandler
{
public:
    using G_ActionHandler::G_ActionHandler;
    int DoActions(const CCA_ArrayTemplate<G_Action *> &actions, IG_Document *document, int eventType) override
    {
        ++calls;
        types.clear();
        for (G_Action *action : actions)
            types << action->Type();
        lastDocument = document;
        lastEventType = eventType;
        return actions.GetSize();
    }
    int calls = 0;
    QList<int> types;
    IG_Document *lastDocument = nullptr;
    int lastEventType = -1;
};

class CountingChangeHandler : public GP_LinkChangeHandler
{
public:
    void InitHandler() override { ++switches; }
    int switches = 0;
};

// A document of three A4 pages in a view that is current in its context.
struct Fixture
{
    std::unique_ptr<OFD_Document> document = OFD_Document::CreateBlank(3, 210, 297);
    MessageBoxContext context;
    G_DocView view{&context, document.get()};
    QList<int> eventTypes;
    QList<int> eventSubTypes;
    QList<G_DocView *> eventViews;

    Fixture()
    {
        context.SetCurrentDocView(&view);
        context.EventMgr()->AddListener([this](const G_Event &event) {
            eventTypes << event.Type();
            if (auto changed = dynamic_cast<const G_DocumentChangedEvent *>(&event)) {
                eventSubTypes << changed->SubType();
                eventViews << changed->DocView();
            }
        });
    }

    void Prepare(G_Operation &operation)
    {
        operation.SetUIContext(&context);
        operation.SetDocView(&view);
    }
};

using OperationFactory = std::function<G_Operation *()>;

QString NamesOf(const QList<Call> &calls)
{
    QStringList names;
    for (const Call &call : calls)
        names << call.name;
    return names.join(QLatin1Char(','));
}

QPointF GPointOf(const QVariant &value)
{
    const CCA_GPoint point = value.value<CCA_GPoint>();
    return QPointF(point.x, point.y);
}

} // namespace

Q_DECLARE_METATYPE(OperationFactory)
Q_DECLARE_METATYPE(G_HighLightItem)

class tst_Operations : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();
    void operationTable_data();
    void operationTable();
    void interceptNameMatch_data();
    void interceptNameMatch();
    void changeHandler_data();
    void changeHandler();
    void changeHandlerWhenLinkToolIsCurrent();
    void linkAction_data();
    void linkAction();
    void linkActionLoadsThePage();
    void addLink_data();
    void addLink();
    void deleteLink_data();
    void deleteLink();
    void deleteAll_data();
    void deleteAll();

private:
    RecordingOperation *Record(const char *name)
    {
        m_prototypes.emplace_back(new RecordingOperation(name, &m_calls));
        m_prototypes.back()->RegisterToGlobal();
        return static_cast<RecordingOperation *>(m_prototypes.back().get());
    }
    void Tool(const char *name)
    {
        m_tools.emplace_back(new FakeTool(name));
        m_tools.back()->RegisterHandlerToGlobal();
    }

    QList<Call> m_calls;
    std::vector<std::unique_ptr<G_Operation>> m_prototypes;
    std::vector<std::unique_ptr<G_ToolHandler>> m_tools;
};

void tst_Operations::cleanup()
{
    G_Operation::FlushPendingDeletes();
    m_prototypes.clear();
    m_tools.clear();
    m_calls.clear();
}

void tst_Operations::operationTable_data()
{
    QTest::addColumn<OperationFactory>("factory");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("authority");
    const int host = DefaultAuthorityOperation().AuthorityType();
    QTest::newRow("tool switch") << OperationFactory([] { return new GP_LinkChangeHandler; }) << "ga_link" << 1;
    QTest::newRow("delete all") << OperationFactory([] { return new GP_DeleteAllLinkAnnot; }) << "tt_deletealllink" << 1;
    QTest::newRow("property") << OperationFactory([] { return new GP_LinkProperty; }) << "d_annotlinkproperty" << host;
    QTest::newRow("delete") << OperationFactory([] { return new GP_DeleteLinkAnnot; }) << "d_annotlinkdel" << host;
    QTest::newRow("copy") << OperationFactory([] { return new GP_LinkAnnotCopy; }) << "d_annotlinkcopy" << 2;
    QTest::newRow("cut") << OperationFactory([] { return new GP_LinkAnnotCut; }) << "d_annotlinkcut" << 2;
    QTest::newRow("paste") << OperationFactory([] { return new GP_LinkAnnotPaste; }) << "d_annotlinkpaste" << 2;
    QTest::newRow("link action") << OperationFactory([] { return new GP_Action; }) << "d_linkaction" << host;
    QTest::newRow("add link") << OperationFactory([] { return new GP_AddLink; }) << "d_addlink" << 2;
}

void tst_Operations::operationTable()
{
    QFETCH(OperationFactory, factory);
    QFETCH(QString, name);
    QFETCH(int, authority);
    std::unique_ptr<G_Operation> prototype(factory());
    QCOMPARE(QString::fromLatin1(prototype->Name()), name);
    QCOMPARE(prototype->AuthorityType(), authority);

    prototype->Param().Add(QStringLiteral("pageIndex"), 6);
    std::unique_ptr<G_Operation> copy(prototype->Clone());
    QCOMPARE(typeid(*copy).name(), typeid(*prototype).name());
    QCOMPARE(copy->Param().GetInt32(QStringLiteral("pageIndex")), 6);
    QCOMPARE(copy->Param().GetQString(QStringLiteral("name")),
             name == QLatin1String("ga_link") ? QStringLiteral("ga_link") : QString());
}

void tst_Operations::interceptNameMatch_data()
{
    QTest::addColumn<int>("interceptor");
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<bool>("match");
    QTest::newRow("delete all") << 0 << QByteArray("tt_deletealllink") << true;
    QTest::newRow("delete all, prefixes and case") << 0 << QByteArray("a/b/TT_DeleteAllLink") << true;
    QTest::newRow("delete all, trailing slash") << 0 << QByteArray("tt_deletealllink/") << false;
    QTest::newRow("delete all, longer name") << 0 << QByteArray("tt_deletealllinks") << false;
    QTest::newRow("delete all, other") << 0 << QByteArray("d_annotlinkproperty") << false;
    QTest::newRow("property") << 1 << QByteArray("d_annotlinkproperty") << true;
    QTest::newRow("property, prefixes and case") << 1 << QByteArray("a/b/D_AnnotLinkProperty") << true;
    QTest::newRow("property, empty prefix") << 1 << QByteArray("/d_annotlinkproperty") << true;
    QTest::newRow("property, suffix part") << 1 << QByteArray("d_annotlinkproperty/x") << false;
    QTest::newRow("property, empty") << 1 << QByteArray("") << false;
    QTest::newRow("paste") << 2 << QByteArray("d_annotlinkpaste") << true;
    QTest::newRow("paste, prefix and case") << 2 << QByteArray("x/D_ANNOTLINKPASTE") << true;
    QTest::newRow("paste, copy") << 2 << QByteArray("d_annotlinkcopy") << false;
}

void tst_Operations::interceptNameMatch()
{
    QFETCH(int, interceptor);
    QFETCH(QByteArray, name);
    QFETCH(bool, match);
    GPI_DeleteAllLinkAnnot deleteAll;
    GPI_LinkProperty property;
    GPI_LinkAnnotPaste paste;
    G_OperationInterceptor *interceptors[] = {&deleteAll, &property, &paste};
    RecordingOperation operation(name, nullptr);
    QCOMPARE(interceptors[interceptor]->IsIntercept(&operation), match);
}

void tst_Operations::changeHandler_data()
{
    QTest::addColumn<bool>("withView");
    QTest::addColumn<bool>("abort");
    QTest::addColumn<bool>("annotMode");
    QTest::addColumn<int>("result");
    QTest::addColumn<QString>("calls");
    QTest::newRow("abort") << true << true << false << 0 << "";
    QTest::newRow("no view") << false << false << false << 0 << "";
    QTest::newRow("annotation mode on") << true << false << true << 1 << "t_showannot";
    QTest::newRow("annotation mode off") << true << false << false << 1 << "t_showannot,t_toolbarbtnstate";
}

void tst_Operations::changeHandler()
{
    QFETCH(bool, withView);
    QFETCH(bool, abort);
    QFETCH(bool, annotMode);
    QFETCH(int, result);
    QFETCH(QString, calls);
    Tool("ga_link");
    Record("t_showannot");
    Record("t_toolbarbtnstate");
    Fixture fixture;
    fixture.view.SetAnnotStatus(annotMode);
    WatchingInterceptor watcher;

    CountingChangeHandler operation;
    fixture.Prepare(operation);
    if (!withView)
        operation.SetDocView(nullptr);
    if (abort)
        operation.Param().Add(QStringLiteral("abort"), true);
    QCOMPARE(operation.DoAction(), result);

    QCOMPARE(NamesOf(m_calls), calls);
    QCOMPARE(operation.switches, result);
    QCOMPARE(fixture.view.CurrentToolHandler() == fixture.view.ToolHandler(QStringLiteral("ga_link")), result == 1);
    if (result == 0)
        return;
    QCOMPARE(m_calls.at(0).params.value(QStringLiteral("isVisible")), QVariant(true));
    // The toolbar state is set directly, past the interceptors.
    QVERIFY(watcher.asked.contains(QStringLiteral("t_showannot")));
    QVERIFY(!watcher.asked.contains(QStringLiteral("t_toolbarbtnstate")));
    if (!annotMode) {
        QCOMPARE(m_calls.at(1).params.value(QStringLiteral("btnName")), QVariant(QStringLiteral("t_annot")));
        QCOMPARE(m_calls.at(1).params.value(QStringLiteral("checked")), QVariant(false));
    }
}

void tst_Operations::changeHandlerWhenLinkToolIsCurrent()
{
    Tool("ga_link");
    Record("t_showannot");
    Record("t_toolbarbtnstate");
    Fixture fixture;
    QVERIFY(fixture.view.SetCurrentToolHandler(QStringLiteral("ga_link")));

    CountingChangeHandler operation;
    fixture.Prepare(operation);
    QCOMPARE(operation.DoAction(), 1);
    QCOMPARE(operation.switches, 0);
    QCOMPARE(NamesOf(m_calls), QStringLiteral("t_showannot,t_toolbarbtnstate"));
}

void tst_Operations::linkAction_data()
{
    QTest::addColumn<QString>("tool");
    QTest::addColumn<QString>("setup");
    QTest::addColumn<int>("result");
    QTest::addColumn<int>("actions");
    QTest::newRow("hand tool") << "t_handtool" << "link" << 1 << 1;
    QTest::newRow("full screen") << "gt_fullscreen" << "link" << 1 << 1;
    QTest::newRow("link tool") << "ga_link" << "link" << 0 << -1;
    QTest::newRow("no appearance") << "t_handtool" << "no appearance" << 0 << -1;
    QTest::newRow("empty appearance") << "t_handtool" << "empty appearance" << 0 << -1;
    QTest::newRow("unknown id") << "t_handtool" << "unknown id" << 0 << -1;
    QTest::newRow("other annotation type") << "t_handtool" << "highlight" << 1 << 1;
    QTest::newRow("no actions") << "t_handtool" << "no actions" << 1 << 0;
}

void tst_Operations::linkAction()
{
    QFETCH(QString, tool);
    QFETCH(QString, setup);
    QFETCH(int, result);
    QFETCH(int, actions);
    Tool("t_handtool");
    Tool("gt_fullscreen");
    Tool("ga_link");
    Fixture fixture;
    RecordingActionHandler *handler = new RecordingActionHandler(&fixture.context);
    fixture.context.SetActionHandler(handler);
    QVERIFY(fixture.view.SetCurrentToolHandler(tool));

    OFD_Page *page = fixture.document->Page(1);
    IG_Annot *annot = page->AppendLoadedAnnot(setup == QLatin1String("highlight") ? 3 : 1, 9);
    if (setup != QLatin1String("no appearance")) {
        IG_Appearance *appearance = annot->CreateAppearance();
        if (setup != QLatin1String("empty appearance")) {
            IG_PageObject *object = appearance->InsertPageObject(2, -1, false);
            if (setup != QLatin1String("no actions")) {
                CCA_ArrayTemplate<G_Action *> list;
                list.Add(new G_ActionGoto);
                object->SetActions(list);
            }
        }
    }

    GP_Action operation;
    fixture.Prepare(operation);
    operation.Param().Add(QStringLiteral("pageIndex"), 1);
    operation.Param().Add(QStringLiteral("annotID"), setup == QLatin1String("unknown id") ? 10 : 9);
    QCOMPARE(operation.DoAction(), result);
    QCOMPARE(handler->calls, actions < 0 ? 0 : 1);
    if (actions < 0)
        return;
    QCOMPARE(handler->types.size(), actions);
    if (actions > 0)
        QCOMPARE(handler->types.first(), int(G_ActionType_Goto));
    QCOMPARE(handler->lastEventType, 3);
    QCOMPARE(handler->lastDocument, static_cast<IG_Document *>(fixture.document.get()));
}

void tst_Operations::linkActionLoadsThePage()
{
    Tool("t_handtool");
    Fixture fixture;
    QVERIFY(fixture.view.SetCurrentToolHandler(QStringLiteral("t_handtool")));
    OFD_Page *page = fixture.document->Page(0);
    IG_Annot *annot = page->AppendLoadedAnnot(1, 4);
    annot->CreateAppearance()->InsertPageObject(2, -1, false);
    page->SetAnnotsLoaded(false);

    GP_Action operation;
    fixture.Prepare(operation);
    operation.Param().Add(QStringLiteral("annotID"), 4);
    QCOMPARE(operation.DoAction(), 1);
    QVERIFY(page->IsAnnotsLoaded());
}

void tst_Operations::addLink_data()
{
    using Rect = G_HighLightItem::Rect;
    QTest::addColumn<QList<G_HighLightItem>>("selection");
    QTest::addColumn<int>("result");
    QTest::addColumn<int>("page");
    QTest::addColumn<QPointF>("first");
    QTest::addColumn<QPointF>("second");

    QTest::newRow("no selection") << QList<G_HighLightItem>() << 0 << -1 << QPointF() << QPointF();

    G_HighLightItem lines;
    lines.pageIndex = 2;
    lines.rects = {Rect{20, 30, 180, 35}, Rect{15, 36, 190, 41}, Rect{15, 42, 100, 47}};
    QTest::newRow("three lines") << QList<G_HighLightItem>{lines} << 1 << 2 << QPointF(15, 30) << QPointF(190, 47);

    G_HighLightItem first;
    first.pageIndex = 0;
    first.rects = {Rect{10, 10, 50, 20}};
    G_HighLightItem second;
    second.pageIndex = 1;
    second.rects = {Rect{5, 100, 60, 110}, Rect{30, 111, 40, 120}};
    QTest::newRow("two pages, last item only") << QList<G_HighLightItem>{first, second} << 1 << 1
                                               << QPointF(5, 100) << QPointF(60, 120);
    G_HighLightItem bare;
    bare.pageIndex = 1;
    QTest::newRow("last item without rectangles") << QList<G_HighLightItem>{first, bare} << 1 << 1
                                                  << QPointF(10, 10) << QPointF(50, 20);
}

void tst_Operations::addLink()
{
    QFETCH(QList<G_HighLightItem>, selection);
    QFETCH(int, result);
    QFETCH(int, page);
    QFETCH(QPointF, first);
    QFETCH(QPointF, second);
    Record("d_annotlinkproperty");
    Fixture fixture;
    fixture.view.SetSelectHighLightText(selection);
    WatchingInterceptor watcher;

    GP_AddLink operation;
    fixture.Prepare(operation);
    QCOMPARE(operation.DoAction(), result);
    if (page < 0) {
        QVERIFY(m_calls.isEmpty());
        return;
    }
    QCOMPARE(NamesOf(m_calls), QStringLiteral("d_annotlinkproperty"));
    QVERIFY(watcher.asked.contains(QStringLiteral("d_annotlinkproperty")));
    const QVariantHash &params = m_calls.first().params;
    QCOMPARE(params.value(QStringLiteral("pressIndex")), QVariant(page));
    QCOMPARE(GPointOf(params.value(QStringLiteral("first"))), first);
    QCOMPARE(GPointOf(params.value(QStringLiteral("second"))), second);
    QCOMPARE(params.value(QStringLiteral("edit")), QVariant(false));
}

void tst_Operations::deleteLink_data()
{
    QTest::addColumn<QVariant>("pageIndex");
    QTest::addColumn<QVariant>("annotID");
    QTest::addColumn<QVariant>("noUndo");
    QTest::addColumn<QString>("entry");
    QTest::newRow("ints") << QVariant(4) << QVariant(12) << QVariant() << "4:12";
    QTest::newRow("no undo passed on") << QVariant(0) << QVariant(3) << QVariant(true) << "0:3";
    QTest::newRow("texts") << QVariant(QStringLiteral("7")) << QVariant(QStringLiteral("015")) << QVariant(false) << "7:15";
    QTest::newRow("not numbers") << QVariant(QStringLiteral("x")) << QVariant(QStringLiteral("1.5")) << QVariant() << "0:0";
}

void tst_Operations::deleteLink()
{
    QFETCH(QVariant, pageIndex);
    QFETCH(QVariant, annotID);
    QFETCH(QVariant, noUndo);
    QFETCH(QString, entry);
    Record("d_delannot");
    Fixture fixture;

    GP_DeleteLinkAnnot operation;
    fixture.Prepare(operation);
    for (const auto &pair : {qMakePair(QStringLiteral("pageIndex"), pageIndex), qMakePair(QStringLiteral("annotID"), annotID)}) {
        if (pair.second.type() == QVariant::Int)
            operation.Param().Add(pair.first, pair.second.toInt());
        else
            operation.Param().Add(pair.first, pair.second.toString());
    }
    if (noUndo.isValid())
        operation.Param().Add(QStringLiteral("NoUndo"), noUndo.toBool());
    QCOMPARE(operation.DoAction(), 1);
    QCOMPARE(NamesOf(m_calls), QStringLiteral("d_delannot"));
    QCOMPARE(m_calls.first().params.value(QStringLiteral("pageAndAnnotID")), QVariant(entry));
    QCOMPARE(m_calls.first().params.value(QStringLiteral("NoUndo")), QVariant(noUndo.toBool()));

    GP_DeleteLinkAnnot viewless;
    viewless.SetUIContext(&fixture.context);
    QCOMPARE(viewless.DoAction(), 0);
    QCOMPARE(m_calls.size(), 1);
}

void tst_Operations::deleteAll_data()
{
    QTest::addColumn<bool>("links");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("host");
    QTest::addColumn<int>("result");
    QTest::addColumn<QString>("list");
    QTest::addColumn<int>("events");
    QTest::newRow("links on pages 0 and 2") << true << int(QMessageBox::Ok) << true << 1 << "0:3,0:7,2:1" << 1;
    QTest::newRow("no links") << false << int(QMessageBox::Ok) << true << 1 << "" << 1;
    QTest::newRow("cancel") << true << int(QMessageBox::Cancel) << true << 0 << QString() << 0;
    QTest::newRow("box closed") << true << int(QMessageBox::NoButton) << true << 0 << QString() << 0;
    QTest::newRow("no d_delannot") << true << int(QMessageBox::Ok) << false << 1 << QString() << 1;
}

void tst_Operations::deleteAll()
{
    QFETCH(bool, links);
    QFETCH(int, answer);
    QFETCH(bool, host);
    QFETCH(int, result);
    QFETCH(QString, list);
    QFETCH(int, events);
    if (host)
        Record("d_delannot");
    Fixture fixture;
    fixture.context.answer = answer;
    if (links) {
        fixture.document->Page(0)->AppendLoadedAnnot(1, 3);
        fixture.document->Page(0)->AppendLoadedAnnot(1, 7);
        fixture.document->Page(1)->AppendLoadedAnnot(3, 5);
        fixture.document->Page(2)->AppendLoadedAnnot(1, 1);
    }
    GPI_DeleteAllLinkAnnot interceptor;

    GP_DeleteAllLinkAnnot operation;
    fixture.Prepare(operation);
    QCOMPARE(operation.PerformAction(), result);

    QCOMPARE(fixture.context.shown, (QStringList{QStringLiteral("clear link"),
                                                 QStringLiteral("Are you sure to delete all link annots in the document?")}));
    QCOMPARE(fixture.context.shownButtons, QMessageBox::Ok | QMessageBox::Cancel);
    QCOMPARE(fixture.context.shownDefault, QMessageBox::Ok);
    QVERIFY(fixture.context.shownTexts.isEmpty());
    QVERIFY(!fixture.context.shownSize.isValid());

    QCOMPARE(NamesOf(m_calls), list.isNull() ? QString() : QStringLiteral("d_delannot"));
    if (!list.isNull()) {
        QCOMPARE(m_calls.first().params.value(QStringLiteral("pageAndAnnotID")), QVariant(list));
        QCOMPARE(m_calls.first().params.value(QStringLiteral("NoUndo")), QVariant(false));
    }
    QCOMPARE(fixture.eventTypes, events ? QList<int>{110} : QList<int>());
    QCOMPARE(fixture.eventSubTypes, events ? QList<int>{0} : QList<int>());
    QCOMPARE(fixture.eventViews, events ? QList<G_DocView *>{&fixture.view} : QList<G_DocView *>());
    QCOMPARE(fixture.document->Page(0)->AnnotCount(), links ? 2 : 0);
}

QTEST_MAIN(tst_Operations)
#include "tst_operations.moc"
