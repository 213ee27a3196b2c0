#include "uiframework/g_actionhandler.h"
#include "uiframework/g_deferreddelete.h"
#include "uiframework/g_docview.h"
#include "uiframework/g_event.h"
#include "uiframework/g_hostoperations.h"
#include "uiframework/g_operation.h"
#include "uiframework/g_toolhandler.h"
#include "uiframework/g_uicontext.h"

#include "omofdapi/g_action.h"
#include "omofdapi/ofd_document.h"

#include "testoperation.h"
#include "viewfixture.h"

#include <QUndoStack>
#include <QtTest>

namespace {

// Three links on page 0 and one on page 2.
struct Fixture : ViewFixture
{
    Fixture() : ViewFixture(3)
    {
        for (int page : {0, 0, 0, 2}) {
            IG_Annot *annot = document->GetPage(page)->AddAnnot(G_AnnotType_Link, "Link", -1, false, nullptr);
            annots << annot;
            ids << annot->ID();
        }
    }
    int Run(const QString &name, const QList<QPair<QString, QVariant>> &params)
    {
        return RunOperation(context, name, [&params](G_OperationParam &param) {
            for (const auto &pair : params)
                param.AddValue(pair.first, pair.second);
        });
    }
    QList<IG_Annot *> PageAnnots(int page) const
    {
        QList<IG_Annot *> list;
        IG_Page *p = document->GetPage(page);
        for (int i = 0; i < p->AnnotCount(); ++i)
            list << p->AnnotAt(i);
        return list;
    }

    QList<IG_Annot *> annots;
    QList<uint32_t> ids;
};

QString Entry(int page, uint32_t id)
{
    return QStringLiteral("%1:%2").arg(page).arg(id);
}

} // namespace

class tst_HostOperations : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        G_RegisterHostOperations();
        G_RegisterHostOperations();
    }

    void deleteIsOneUndoableStep()
    {
        Fixture f;
        int changedEvents = 0;
        f.context.EventMgr()->AddListener([&](const G_Event &e) { changedEvents += e.Type() == G_Event_DocumentChanged; });
        const QString list = Entry(0, f.ids[1]) + ',' + Entry(2, f.ids[3]) + ',' + Entry(0, f.ids[0]);
        QCOMPARE(f.Run("d_delannot", {{"pageAndAnnotID", list}}), 1);
        QCOMPARE(f.PageAnnots(0), QList<IG_Annot *>{f.annots[2]});
        QVERIFY(f.PageAnnots(2).isEmpty());
        QVERIFY(!f.annots[1]->Page());
        QCOMPARE(f.view->UndoStack()->count(), 1);
        QCOMPARE(changedEvents, 0);

        f.view->UndoStack()->undo();
        QCOMPARE(f.PageAnnots(0), (QList<IG_Annot *>{f.annots[0], f.annots[1], f.annots[2]}));
        QCOMPARE(f.PageAnnots(2), QList<IG_Annot *>{f.annots[3]});
        QCOMPARE(changedEvents, 1);

        f.view->UndoStack()->redo();
        QCOMPARE(f.PageAnnots(0), QList<IG_Annot *>{f.annots[2]});
        QVERIFY(f.PageAnnots(2).isEmpty());
        f.view->UndoStack()->undo();
        QCOMPARE(f.PageAnnots(0).size(), 3);
    }

    void deleteSkipsMalformedAndUnknownEntries()
    {
        Fixture f;
        const QString list = QStringLiteral("x:1,,0:999999,7:%1, 0:%1,0:%1 ,-1:%1,0:%2:3,0:%2,0:%2")
                                 .arg(f.ids[0])
                                 .arg(f.ids[2]);
        QCOMPARE(f.Run("d_delannot", {{"pageAndAnnotID", list}}), 1);
        QCOMPARE(f.PageAnnots(0), (QList<IG_Annot *>{f.annots[0], f.annots[1]}));
        QCOMPARE(f.view->UndoStack()->count(), 1);

        QCOMPARE(f.Run("d_delannot", {{"pageAndAnnotID", "garbage"}}), 0);
        QCOMPARE(f.Run("d_delannot", {{"pageAndAnnotID", ""}}), 0);
        QCOMPARE(f.view->UndoStack()->count(), 1);
    }

    // Undone commands that leave the stack, and the stack itself, must free what is out.
    void deleteCommandOwnsWhatIsOut()
    {
        Fixture f;
        QCOMPARE(f.Run("d_delannot", {{"pageAndAnnotID", Entry(0, f.ids[0])}}), 1);
        QCOMPARE(f.Run("d_delannot", {{"pageAndAnnotID", Entry(0, f.ids[1])}}), 1);
        f.view->UndoStack()->undo();
        QCOMPARE(f.Run("d_delannot", {{"pageAndAnnotID", Entry(2, f.ids[3])}}), 1);
        QCOMPARE(f.view->UndoStack()->count(), 2);
        QCOMPARE(f.PageAnnots(0), (QList<IG_Annot *>{f.annots[1], f.annots[2]}));
    }

    void deleteWithoutUndoKeepsAnnotsUntilTheLoop()
    {
        Fixture f;
        QCOMPARE(f.Run("d_delannot", {{"pageAndAnnotID", Entry(0, f.ids[1])}, {"NoUndo", true}}), 1);
        QCOMPARE(f.PageAnnots(0).size(), 2);
        QVERIFY(!f.view->UndoStack() || f.view->UndoStack()->count() == 0);
        // A cut fires its event on the removed annotation right after the deletion.
        QVERIFY(G_DeferredDelete::IsScheduled(f.annots[1]));
        QCOMPARE(f.annots[1]->ID(), f.ids[1]);
        QCoreApplication::sendPostedEvents();
        QVERIFY(!G_DeferredDelete::IsScheduled(f.annots[1]));
    }

    void showAnnotAndToolbarState()
    {
        Fixture f;
        QCOMPARE(f.Run("t_showannot", {{"isVisible", false}}), 1);
        QVERIFY(!f.view->AnnotsVisible());
        QCOMPARE(f.Run("t_showannot", {}), 1);
        QVERIFY(f.view->AnnotsVisible());

        QSignalSpy spy(&f.context, &G_UIContext::ToolbarButtonStateChanged);
        QCOMPARE(f.Run("t_toolbarbtnstate", {{"btnName", "t_annot"}, {"checked", false}}), 1);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0), (QVariantList{QStringLiteral("t_annot"), false}));
        QCOMPARE(f.Run("t_toolbarbtnstate", {{"checked", true}}), 0);
    }

    void linkToggle()
    {
        TestTool tool("ga_link");
        tool.RegisterHandlerToGlobal();
        Fixture f;
        QCOMPARE(f.Run("tt_link", {}), 0); // no "ga_link" operation registered
        QCOMPARE(f.Run("t_changehandler", {{"name", "no_such_tool"}}), 0);
        QCOMPARE(f.Run("gt_fullscreen", {}), 1);
        QCOMPARE(f.view->CurrentToolHandler()->Name(), CCA_String("gt_fullscreen"));
        // Stands in for the module's "ga_link" switch.
        TestOperation prototype("ga_link", [](G_Operation &operation) {
            return operation.DocView() && operation.DocView()->SetCurrentToolHandler("ga_link") ? 1 : 0;
        });
        prototype.RegisterToGlobal();
        QCOMPARE(f.Run("tt_link", {}), 1);
        QCOMPARE(f.view->CurrentToolHandler()->Name(), CCA_String("ga_link"));
        QCOMPARE(f.Run("tt_link", {}), 1);
        QCOMPARE(f.view->CurrentToolHandler()->Name(), CCA_String("t_handtool"));
        G_ToolHandler::UnregisterFromGlobal(&tool);
    }

    void gotoActionByIndexAndByID()
    {
        Fixture f;
        QVERIFY(f.Show(400, 300));
        G_ActionGoto byIndex;
        G_Dest dest;
        dest.pageIndex = 2;
        byIndex.SetDest(dest);
        CCA_ArrayTemplate<G_Action *> actions;
        actions.Add(&byIndex);
        QCOMPARE(f.context.ActionHandler()->DoActions(actions, f.document.get(), 3), 1);
        QCOMPARE(f.view->CurrentPageIndex(), 2);

        G_ActionGoto byID;
        dest.pageIndex = 99;
        dest.pageID = f.document->GetPageID(1);
        byID.SetDest(dest);
        actions.SetAt(0, &byID);
        QCOMPARE(f.context.ActionHandler()->DoActions(actions, f.document.get(), 3), 1);
        QCOMPARE(f.view->CurrentPageIndex(), 1);

        dest.pageID = 0;
        byID.SetDest(dest);
        QCOMPARE(f.context.ActionHandler()->DoActions(actions, f.document.get(), 3), 0);
    }

    void closedViewIsNoLongerCurrent()
    {
        G_UIContext context;
        const auto document = OFD_Document::CreateBlank(1, 210, 297);
        auto *view = new G_DocView(&context, document.get());
        context.SetCurrentDocView(view);
        QSignalSpy spy(&context, &G_UIContext::CurrentDocViewChanged);
        delete view;
        QVERIFY(!context.CurrentDocView());
        QCOMPARE(spy.count(), 1);
    }
};

QTEST_MAIN(tst_HostOperations)
#include "tst_hostoperations.moc"
