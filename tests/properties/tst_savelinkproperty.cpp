#include "linktestfixture.h"

#include "operations/gp_linkproperty.h"
#include "operations/gpi_linkproperty.h"
#include "properties/linkannotattributecommand.h"
#include "tool/ga_link.h"
#include "tool/linkannotmodifycommand.h"

#include "omofdapi/ig_page.h"
#include "uiframework/g_deferreddelete.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QUndoStack>

class TestSaveLinkProperty : public QObject
{
    Q_OBJECT

    std::unique_ptr<LinkFixture> m_fixture;
    std::unique_ptr<QWidget> m_mainWindow;
    uint32_t m_notesID = 0, m_songID = 0, m_clipID = 0;

    QPointer<SingleLinkPropertyDialog> NewDialog(IG_Annot *annot = nullptr, int page = 0)
    {
        // Corners from bottom-right to top-left: the dialog orders them.
        return new SingleLinkPropertyDialog(annot, annot != nullptr, 60, 30, 10, 20, page, &m_fixture->context,
                                            m_mainWindow.get());
    }

    static void ClickOk(SingleLinkPropertyDialog *dialog)
    {
        dialog->OnTimeout();
        QTest::mouseClick(Child<QPushButton>(dialog, "okButton"), Qt::LeftButton);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    IG_Annot *OnlyLink(int page = 0) const
    {
        IG_Page *p = m_fixture->document->GetPage(page);
        return p->AnnotCount() == 1 ? p->AnnotAt(0) : nullptr;
    }

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    // The whole road: the tool, the operation with its interceptor, the modal dialog
    // answered from its own loop, the document and the undo stack.
    void dragOpensDialogAndCreatesLink()
    {
        GA_Link tool;
        GP_LinkProperty operation;
        QVERIFY(tool.RegisterHandlerToGlobal() && operation.RegisterToGlobal());
        std::unique_ptr<GPI_LinkProperty> interceptor(new GPI_LinkProperty);
        G_DocView *view = m_fixture->view;
        view->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        QVERIFY(m_fixture->Show(900, 600) && view->SetCurrentToolHandler("ga_link"));
        AnswerPropertyDialog([](SingleLinkPropertyDialog *dialog) {
            Child<QComboBox>(dialog, "actionCombo")->setCurrentIndex(1);
            Child<QLineEdit>(dialog, "urlEdit")->setText("abc");
            Child<QComboBox>(dialog, "lineWidthCombo")->setCurrentIndex(1);
            ClickOk(dialog);
        });
        QTest::mousePress(view->viewport(), Qt::LeftButton, Qt::NoModifier, m_fixture->ViewportPoint(60, 30));
        QTest::mouseRelease(view->viewport(), Qt::LeftButton, Qt::NoModifier, m_fixture->ViewportPoint(20, 10));

        IG_Annot *annot = OnlyLink();
        QVERIFY2(annot, "no link after the dialog");
        const CCA_GRect box = annot->Boundary();
        QVERIFY2(qAbs(box.left - 20) < 0.5f && qAbs(box.bottom - 30) < 0.5f, qPrintable(RectText(box)));
        QCOMPARE(LinkPathObject(annot)->LineWidth(), 0.70555556f);
        QCOMPARE(QString(static_cast<G_ActionURI *>(LinkPathObject(annot)->Actions()[0])->URI()), QString("abc"));
        QCOMPARE(view->UndoStack()->count(), 1);
        view->UndoStack()->undo();
        QVERIFY(!OnlyLink());
        view->UndoStack()->redo();
        QCOMPARE(OnlyLink(), annot);

        G_ToolHandler::UnregisterFromGlobal(&tool);
        G_Operation::UnregisterFromGlobal(&operation);
        G_DeferredDelete::Flush();
    }

    void init()
    {
        ClearLinkStyleSettings();
        m_fixture.reset(new LinkFixture(5));
        m_mainWindow.reset(new QWidget);
        m_fixture->AddAttachment("report");
        m_notesID = m_fixture->AddAttachment("notes");
        m_songID = m_fixture->AddMedium(G_MultiMedia_Audio);
        m_clipID = m_fixture->AddMedium(G_MultiMedia_Video);
    }

    void cleanup()
    {
        m_mainWindow.reset();
        m_fixture.reset();
    }

    void newLinkWithEachAction_data()
    {
        QTest::addColumn<int>("actionIndex");
        QTest::addColumn<int>("listIndex");
        QTest::addColumn<int>("type");
        QTest::newRow("web address as typed") << 1 << 0 << int(G_ActionType_URI);
        QTest::newRow("second attachment") << 2 << 1 << int(G_ActionType_GotoA);
        QTest::newRow("audio") << 3 << 0 << int(G_ActionType_Sound);
        QTest::newRow("video") << 3 << 1 << int(G_ActionType_Movie);
    }

    void newLinkWithEachAction()
    {
        QFETCH(int, actionIndex);
        QFETCH(int, listIndex);
        QPointer<SingleLinkPropertyDialog> dialog = NewDialog();
        Child<QComboBox>(dialog, "actionCombo")->setCurrentIndex(actionIndex);
        QTest::keyClicks(Child<QLineEdit>(dialog, "urlEdit"), "abc");
        Child<QComboBox>(dialog, actionIndex == 2 ? "attachmentCombo" : "mediaCombo")->setCurrentIndex(listIndex);
        ClickOk(dialog);
        QVERIFY2(!dialog, "the dialog deletes itself after saving");

        IG_Annot *annot = OnlyLink();
        QVERIFY(annot);
        COMPARE_RECT(annot->Boundary(), CCA_GRect(10, 20, 60, 30));
        const CCA_ArrayTemplate<G_Action *> actions = LinkPathObject(annot)->Actions();
        QCOMPARE(actions.GetSize(), 1);
        QTEST(actions[0]->Type(), "type");
        if (auto *uri = dynamic_cast<G_ActionURI *>(actions[0]))
            QCOMPARE(QString(uri->URI()), QString("abc"));
        if (auto *attachment = dynamic_cast<G_ActionGotoA *>(actions[0]))
            QVERIFY(attachment->AttachID() == m_notesID && attachment->NewWindow());
        if (auto *sound = dynamic_cast<G_ActionSound *>(actions[0]))
            QCOMPARE(sound->ResourceID(), m_songID);
        if (auto *movie = dynamic_cast<G_ActionMovie *>(actions[0]))
            QCOMPARE(movie->ResourceID(), m_clipID);

    }

    void jumpDestinationFollowsView_data()
    {
        QTest::addColumn<int>("zoomMode");
        QTest::addColumn<int>("destType");
        QTest::newRow("custom") << 0 << 0;
        QTest::newRow("actual size") << 1 << 0;
        QTest::newRow("fit width") << 2 << 2;
        QTest::newRow("fit height") << 3 << 3;
        QTest::newRow("fit page") << 4 << 1;
        QTest::newRow("fit visible") << 5 << 4;
    }

    void jumpDestinationFollowsView()
    {
        QFETCH(int, zoomMode);
        m_fixture->view->SetZoom(150);
        m_fixture->view->SetZoomMode(zoomMode);
        QPointer<SingleLinkPropertyDialog> dialog = NewDialog();
        QTest::keyClicks(Child<QLineEdit>(dialog, "pageEdit"), "3");
        ClickOk(dialog);

        QVERIFY(OnlyLink());
        const CCA_ArrayTemplate<G_Action *> actions = LinkPathObject(OnlyLink())->Actions();
        auto *jump = actions.GetSize() == 1 ? dynamic_cast<G_ActionGoto *>(actions[0]) : nullptr;
        QVERIFY(jump);
        QCOMPARE(jump->Dest().pageIndex, 2);
        QCOMPARE(jump->Dest().pageID, m_fixture->document->GetPageID(2));
        QTEST(jump->Dest().type, "destType");
        QCOMPARE(jump->Dest().zoom, zoomMode == 0 ? 1.5f : float(m_fixture->view->GetZoom() / 100.0));
        const CCA_GRect visible = m_fixture->view->CurrentPageVisibleRectMM();
        COMPARE_RECT(CCA_GRect(jump->Dest().left, jump->Dest().top, jump->Dest().right, jump->Dest().bottom), visible);
    }

    void savedStyleStartsNextLink()
    {
        QPointer<SingleLinkPropertyDialog> dialog = NewDialog();
        Child<QComboBox>(dialog, "boundaryCombo")->setCurrentIndex(1);
        Child<QComboBox>(dialog, "lineTypeCombo")->setCurrentIndex(4);
        Child<QComboBox>(dialog, "lineWidthCombo")->setCurrentIndex(2);
        dialog->ColorChanged(QColor(255, 0, 0, 128));
        QTest::keyClicks(Child<QLineEdit>(dialog, "pageEdit"), "1");
        ClickOk(dialog);

        G_SettingMgr &settings = G_SettingMgr::Instance();
        QCOMPARE(settings.ConfigValue("annot.annotlink.boundary").toInt(), 1);
        QCOMPARE(settings.ConfigValue("annot.annotlink.linetype").toInt(), 4);
        QCOMPARE(settings.ConfigValue("annot.annotlink.linewidth").toInt(), 2);
        QCOMPARE(settings.ConfigValue("annot.annotlink.color").toString(), QString("#80ff0000"));
        // Coarse dotted4 underline: three points wide, six dash entries, an open path.
        IG_PageObject *object = LinkPathObject(OnlyLink());
        QCOMPARE(object->LineWidth(), 1.0583334f);
        QCOMPARE(object->DashPattern().GetSize(), 6);
        QVERIFY(!object->Path().IsRect());

        QPointer<SingleLinkPropertyDialog> next = NewDialog();
        QCOMPARE(Child<QComboBox>(next, "lineTypeCombo")->currentIndex(), 4);
        QCOMPARE(next->Color(), QColor(255, 0, 0, 128));
    }

    void failedCreationOnlyHides()
    {
        QPointer<SingleLinkPropertyDialog> dialog = NewDialog(nullptr, 99);
        dialog->show();
        QTest::keyClicks(Child<QLineEdit>(dialog, "pageEdit"), "1");
        ClickOk(dialog);
        QVERIFY2(dialog && !dialog->isVisible(), "a dialog with a parent stays alive, hidden");
        QVERIFY(!G_SettingMgr::Instance().ConfigValue("annot.annotlink.boundary").isValid());
    }

    // Invisible keeps the greyed width, dash and colour; one undo step puts everything back.
    void editToInvisibleIsOneUndoStep()
    {
        auto *oldAction = new G_ActionURI;
        IG_Annot *annot = m_fixture->AddLink(0, CCA_GRect(10, 20, 60, 30), LinkStyle(), oldAction);
        QUndoStack *stack = m_fixture->view->CreateUndoStack();
        QPointer<SingleLinkPropertyDialog> dialog = NewDialog(annot);
        Child<QComboBox>(dialog, "lineWidthCombo")->setCurrentIndex(1);
        Child<QComboBox>(dialog, "lineTypeCombo")->setCurrentIndex(2);
        dialog->ColorChanged(QColor(0, 0, 255));
        Child<QComboBox>(dialog, "boundaryCombo")->setCurrentIndex(2);
        Child<QComboBox>(dialog, "actionCombo")->setCurrentIndex(0);
        QTest::keyClicks(Child<QLineEdit>(dialog, "pageEdit"), "4");
        ClickOk(dialog);

        IG_PageObject *object = LinkPathObject(annot);
        const QString editedDate = annot->LastModDate().c_str();
        auto checkEdited = [&]() {
            QVERIFY(!object->IsVisible() && object->Path().IsRect());
            QCOMPARE(object->LineWidth(), 0.70555556f);
            QCOMPARE(object->DashPattern().GetSize(), 2); // dotted2 at two points: 3 and 1 widths
            QCOMPARE(object->DashPattern()[0], float(2 * 0.79375 * 4 / 3));
            QCOMPARE(DecodeColor(object->StrokeColor()), QColor(0, 0, 255));
            QCOMPARE(object->Actions()[0]->Type(), int(G_ActionType_Goto));
            QCOMPARE(QString(annot->LastModDate()), editedDate);
            COMPARE_RECT(annot->Boundary(), CCA_GRect(10, 20, 60, 30));
        };
        QCOMPARE(stack->count(), 1);
        checkEdited(); // the push itself changed nothing
        QVERIFY(editedDate != "2020-01-02 03:04:05");

        stack->undo();
        QVERIFY(object->IsVisible() && object->Path().IsRect());
        QCOMPARE(object->LineWidth(), 0.35277778f);
        QCOMPARE(object->DashPattern().GetSize(), 0);
        QCOMPARE(DecodeColor(object->StrokeColor()), QColor(0, 0, 0));
        QCOMPARE(object->Actions()[0], static_cast<G_Action *>(oldAction));
        QCOMPARE(QString(annot->LastModDate()), QString("2020-01-02 03:04:05"));
        stack->redo();
        checkEdited();
    }

    // Closing the document while the dialog is open: the view goes, then the document; in
    // some rows another document is shown instead, holding a link of the same ID.
    void documentClosedWhileDialogOpen_data()
    {
        QTest::addColumn<bool>("edit");
        QTest::addColumn<bool>("another");
        QTest::newRow("edit, closed") << true << false;
        QTest::newRow("edit, another shown") << true << true;
        QTest::newRow("new, closed") << false << false;
        QTest::newRow("new, another shown") << false << true;
    }

    void documentClosedWhileDialogOpen()
    {
        QFETCH(bool, edit);
        QFETCH(bool, another);
        const uint32_t id = m_fixture->AddLink(0, CCA_GRect(10, 20, 60, 30), LinkStyle(), nullptr)->ID();
        QPointer<SingleLinkPropertyDialog> dialog = NewDialog(edit ? OnlyLink() : nullptr);
        dialog->show();
        Child<QComboBox>(dialog, "lineWidthCombo")->setCurrentIndex(2);
        QTest::keyClicks(Child<QLineEdit>(dialog, "pageEdit"), "1");
        Reopen(another ? id : 0);

        ClickOk(dialog);
        QVERIFY(!dialog || !dialog->isVisible());
        QVERIFY(!G_SettingMgr::Instance().ConfigValue("annot.annotlink.boundary").isValid());
        if (another) {
            QCOMPARE(LinkPathObject(OnlyLink())->LineWidth(), 0.35277778f);
            QVERIFY(!m_fixture->view->UndoStack() || m_fixture->view->UndoStack()->count() == 0);
        }
    }

    // An edit's undo and redo look the link up when they run: once it is gone, or its document
    // is no longer shown, they change nothing.
    void undoAfterLinkOrDocumentWentAway_data()
    {
        QTest::addColumn<QString>("gone");
        QTest::newRow("link removed") << "link";
        QTest::newRow("document closed") << "document";
        QTest::newRow("another document shown") << "another";
    }

    void undoAfterLinkOrDocumentWentAway()
    {
        QFETCH(QString, gone);
        // The attribute command keeps the link's action, which goes with its document.
        IG_Annot *annot = m_fixture->AddLink(0, CCA_GRect(10, 20, 60, 30), LinkStyle(), new G_ActionURI);
        const uint32_t id = annot->ID();
        std::unique_ptr<QUndoStack> stack(new QUndoStack);
        G_UIContext *context = &m_fixture->context;
        LinkGeometryState before = LinkGeometryState::FromAnnot(annot), after = before;
        after.boundary = CCA_GRect(20, 30, 90, 50);
        stack->push(new LinkAnnotModifyCommand(context, int(id), before, after));
        LinkAttributeState attributes;
        attributes.Capture(annot);
        attributes.lineWidth = 1.0583333f;
        stack->push(new LinkAnnotAttributeCommand(context, int(id), attributes, attributes));

        if (gone == "link")
            delete annot->Page()->TakeAnnot(annot);
        else
            Reopen(gone == "another" ? id : 0);
        for (int i = 0; i < 2; ++i) {
            stack->undo();
            stack->undo();
            stack->redo();
            stack->redo();
        }
        if (gone == "another") {
            COMPARE_RECT(OnlyLink()->Boundary(), CCA_GRect(10, 20, 60, 30));
            QCOMPARE(LinkPathObject(OnlyLink())->LineWidth(), 0.35277778f);
        }
    }

private:
    // Closes the fixture's document; with `linkID`, shows a new one in the same context whose
    // first page holds a link of that ID.
    void Reopen(uint32_t linkID)
    {
        m_fixture->context.SetCurrentDocView(nullptr);
        delete m_fixture->view;
        m_fixture->view = nullptr;
        m_fixture->document.reset();
        if (!linkID)
            return;
        m_fixture->document = OFD_Document::CreateBlank(1, 210, 297);
        m_fixture->view = new G_DocView(&m_fixture->context, m_fixture->document.get());
        m_fixture->context.SetCurrentDocView(m_fixture->view);
        m_fixture->document->NoteID(linkID - 1);
        QCOMPARE(m_fixture->AddLink(0, CCA_GRect(10, 20, 60, 30), LinkStyle(), nullptr)->ID(), linkID);
    }
};

QTEST_MAIN(TestSaveLinkProperty)
#include "tst_savelinkproperty.moc"
