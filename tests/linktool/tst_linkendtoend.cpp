#include "linktestfixture.h"

#include "operations/gp_linkproperty.h"
#include "operations/gpi_linkproperty.h"
#include "tool/ga_link.h"

#include "omofdapi/ig_page.h"
#include "uiframework/g_deferreddelete.h"
#include "uiframework/gq_convert.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QUndoStack>
#include <QtTest>

// The whole road of a new link: the tool, the property operation with its interceptor,
// the modal dialog answered from its own loop, the document and the undo stack.
class TestLinkEndToEnd : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void dragCreatesStyledLinkThenEditUndoes();
    void executeWithoutInterceptorOpensNoDialog();

private:
    GA_Link m_tool;
    GP_LinkProperty m_operation;
    GPI_LinkProperty *m_interceptor = nullptr;
};

void TestLinkEndToEnd::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    ClearLinkStyleSettings();
    QVERIFY(m_tool.RegisterHandlerToGlobal());
    QVERIFY(m_operation.RegisterToGlobal());
    m_interceptor = new GPI_LinkProperty;
}

void TestLinkEndToEnd::cleanupTestCase()
{
    delete m_interceptor;
    G_ToolHandler::UnregisterFromGlobal(&m_tool);
    G_Operation::UnregisterFromGlobal(&m_operation);
}

void TestLinkEndToEnd::dragCreatesStyledLinkThenEditUndoes()
{
    LinkFixture fixture(2, 210, 100);
    G_DocView *view = fixture.view;
    view->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    view->resize(900, 600);
    view->show();
    QVERIFY(QTest::qWaitForWindowExposed(view));
    QVERIFY(view->SetCurrentToolHandler("ga_link"));
    auto scene = [view](float x, float y) {
        return view->mapFromScene(GQ_ToQPoint(view->ScenePointFromDocPoint(CCA_GPoint(x, y), 0)));
    };

    bool answered = false;
    AnswerPropertyDialog([&answered](SingleLinkPropertyDialog *dialog) {
        answered = true;
        dialog->findChild<QComboBox *>("actionCombo")->setCurrentIndex(1);
        dialog->findChild<QLineEdit *>("urlEdit")->setText("abc");
        dialog->findChild<QComboBox *>("lineWidthCombo")->setCurrentIndex(1);
        dialog->OnTimeout();
        dialog->findChild<QPushButton *>("okButton")->click();
    });
    QTest::mousePress(view->viewport(), Qt::LeftButton, Qt::NoModifier, scene(60, 30));
    QMouseEvent move(QEvent::MouseMove, scene(40, 20), view->viewport()->mapToGlobal(scene(40, 20)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view->viewport(), &move);
    QTest::mouseRelease(view->viewport(), Qt::LeftButton, Qt::NoModifier, scene(20, 10));
    QVERIFY2(answered, "the property dialog did not open");

    IG_Page *page = fixture.document->GetPage(0);
    QCOMPARE(page->AnnotCount(), 1);
    IG_Annot *annot = page->AnnotAt(0);
    QCOMPARE(QString(annot->SubType().c_str()), QString("Link"));
    const CCA_GRect boundary = annot->Boundary();
    QVERIFY2(qAbs(boundary.left - 20) < 0.5f && qAbs(boundary.top - 10) < 0.5f && qAbs(boundary.right - 60) < 0.5f
                 && qAbs(boundary.bottom - 30) < 0.5f,
             qPrintable(RectText(boundary)));
    IG_PageObject *object = LinkPathObject(annot);
    QCOMPARE(object->LineWidth(), 0.70555556f);
    QVERIFY(object->Path().IsRect());
    QCOMPARE(object->Actions().GetSize(), 1);
    QCOMPARE(QString(static_cast<G_ActionURI *>(object->Actions()[0])->URI().c_str()), QString("abc"));

    QUndoStack *stack = view->UndoStack();
    QVERIFY(stack);
    QCOMPARE(stack->count(), 1);
    stack->undo();
    QCOMPARE(page->AnnotCount(), 0);
    stack->redo();
    QCOMPARE(page->AnnotCount(), 1);

    // A double-click edits the same link; its undo step restores the rectangle.
    AnswerPropertyDialog([](SingleLinkPropertyDialog *dialog) {
        dialog->findChild<QComboBox *>("boundaryCombo")->setCurrentIndex(1);
        dialog->findChild<QPushButton *>("okButton")->click();
    });
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, scene(40, 20));
    QCOMPARE(stack->count(), 2);
    QVERIFY(!LinkPathObject(page->AnnotAt(0))->Path().IsRect());
    stack->undo();
    QVERIFY(LinkPathObject(page->AnnotAt(0))->Path().IsRect());
    QCOMPARE(LinkPathObject(page->AnnotAt(0))->Actions().GetSize(), 1);

    G_DeferredDelete::Flush();
}

void TestLinkEndToEnd::executeWithoutInterceptorOpensNoDialog()
{
    LinkFixture fixture(1);
    G_Operation *operation = fixture.context.CreateOperationByName("d_annotlinkproperty", QString());
    QVERIFY(operation);
    operation->Param().Add("edit", false);
    QCOMPARE(operation->ExecuteAction(), 1);
    QVERIFY(!QApplication::activeModalWidget());
    operation->DeleteLater();
    G_DeferredDelete::Flush();
}

QTEST_MAIN(TestLinkEndToEnd)
#include "tst_linkendtoend.moc"
