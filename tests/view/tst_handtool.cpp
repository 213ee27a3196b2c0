#include "uiframework/g_actionhandler.h"
#include "uiframework/g_hosttools.h"

#include "omofdapi/g_action.h"
#include "omofdapi/ig_appearance.h"
#include "omofdapi/ig_pageobject.h"
#include "omofdapi/ofd_page.h"
#include "omofdapi/ofd_textobject.h"

#include "testoperation.h"
#include "viewfixture.h"

#include <QApplication>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTest>
#include <QToolTip>

namespace {

// What "d_linkaction" was asked to run: page index and annotation ID.
QList<QPair<int, int>> g_calls;

void SendMove(QWidget *viewport, const QPoint &at, Qt::MouseButtons buttons)
{
    QMouseEvent move(QEvent::MouseMove, at, Qt::NoButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(viewport, &move);
}

} // namespace

using MakeAction = std::function<G_Action *()>;
Q_DECLARE_METATYPE(MakeAction)

class tst_HandTool : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        G_RegisterHostTools();
        m_linkAction.RegisterToGlobal();
    }

    void cleanupTestCase()
    {
        G_Operation::UnregisterFromGlobal(&m_linkAction);
    }

    void init()
    {
        g_calls.clear();
        m_follow = false;
        m_fixture.reset(new ViewFixture(3));
        OFD_Page *page = m_fixture->document->Page(0);
        m_link = page->AddAnnot(G_AnnotType_Link, CCA_String("Link"), -1, false, OMSharedPtr<const OMJson>());
        m_link->SetBoundary(CCA_GRect(20, 20, 80, 40));

        // Two lines of text, "Hello" over "World", 4 mm apart per glyph.
        auto *text = dynamic_cast<OFD_TextObject *>(page->CreatePageObject(G_PageObj_Text));
        QVERIFY(text);
        text->SetBoundary(CCA_GRect(20, 100, 150, 130));
        text->SetFontSize(5);
        G_TextCode hello;
        hello.y = 10;
        hello.text = QStringLiteral("Hello");
        hello.deltaX = {4, 4, 4, 4};
        G_TextCode world = hello;
        world.y = 20;
        world.text = QStringLiteral("World");
        text->SetTextCodes({hello, world});

        m_view = m_fixture->view;
        QVERIFY(m_fixture->Show(600, 500));
        m_view->SetZoom(100);
        m_view->GoToPage(0);
        QCOMPARE(QString::fromUtf8(m_view->CurrentToolHandler()->Name().c_str()), QStringLiteral("t_handtool"));
    }

    void cleanup() { m_fixture.reset(); }

    void clickOnLinkRunsItsAction()
    {
        QWidget *viewport = m_view->viewport();
        const QPoint onLink = ViewportPoint(0, 50, 30);
        SendMove(viewport, onLink, Qt::NoButton);
        QCOMPARE(m_view->CursorId(), int(G_Cursor_PointingHand));
        QTest::mouseClick(viewport, Qt::LeftButton, Qt::NoModifier, onLink);
        QCOMPARE(g_calls, (QList<QPair<int, int>>{{0, int(m_link->ID())}}));

        SendMove(viewport, ViewportPoint(0, 50, 60), Qt::NoButton);
        QCOMPARE(m_view->CursorId(), int(G_Cursor_OpenHand));

        // With annotations hidden there is nothing to follow.
        m_view->SetAnnotsVisible(false);
        QTest::mouseClick(viewport, Qt::LeftButton, Qt::NoModifier, onLink);
        QCOMPARE(g_calls.size(), 1);
    }

    void dragOnThePageScrolls()
    {
        QWidget *viewport = m_view->viewport();
        QScrollBar *bar = m_view->verticalScrollBar();
        const int before = bar->value();
        const QPoint start = ViewportPoint(0, 100, 80);
        QTest::mousePress(viewport, Qt::LeftButton, Qt::NoModifier, start);
        QCOMPARE(m_view->CursorId(), int(G_Cursor_ClosedHand));
        SendMove(viewport, start - QPoint(0, 60), Qt::LeftButton);
        SendMove(viewport, start - QPoint(0, 100), Qt::LeftButton);
        QTest::mouseRelease(viewport, Qt::LeftButton, Qt::NoModifier, start - QPoint(0, 100));
        QCOMPARE(bar->value(), before + 100);
        QVERIFY(g_calls.isEmpty());
    }

    void dragOverTextSelectsLineByLine()
    {
        QWidget *viewport = m_view->viewport();
        // From inside the "H" (baseline at y = 110) to the "d" of the second line (baseline 120).
        const QPoint start = ViewportPoint(0, 21, 109);
        QTest::mousePress(viewport, Qt::LeftButton, Qt::NoModifier, start);
        SendMove(viewport, ViewportPoint(0, 30, 115), Qt::LeftButton);
        SendMove(viewport, ViewportPoint(0, 37.5f, 119), Qt::LeftButton);
        QTest::mouseRelease(viewport, Qt::LeftButton, Qt::NoModifier, ViewportPoint(0, 37.5f, 119));

        const QList<G_HighLightItem> selection = m_view->SelectHighLightText();
        QCOMPARE(selection.size(), 1);
        const G_HighLightItem &item = selection.first();
        QCOMPARE(item.pageIndex, 0);
        QCOMPARE(item.text, QStringLiteral("Hello\nWorld"));
        QCOMPARE(item.rects.size(), 2);
        // Each line starts at the object's left edge and holds its baseline.
        for (int line = 0; line < 2; ++line) {
            const G_HighLightItem::Rect &r = item.rects[line];
            const float baseline = 110 + 10 * line;
            QVERIFY2(qAbs(r.left - 20) < 0.01f, qPrintable(QString::number(double(r.left))));
            QVERIFY(r.right > 36); // four advances of 4 mm and the last glyph
            QVERIFY(r.top < baseline && r.bottom > baseline);
        }
        QVERIFY(item.rects[0].bottom <= item.rects[1].top + 1);
        QVERIFY(g_calls.isEmpty());

        // A press off the text drops the selection.
        QTest::mouseClick(viewport, Qt::LeftButton, Qt::NoModifier, ViewportPoint(0, 100, 200));
        QVERIFY(m_view->SelectHighLightText().isEmpty());
    }

    void fullScreenTurnsPagesAndEscapeLeaves()
    {
        m_view->SetZoom(80);
        QVERIFY(m_view->SetCurrentToolHandler(QStringLiteral("gt_fullscreen")));
        QVERIFY(m_view->window()->isFullScreen());
        QCOMPARE(m_view->ZoomMode(), int(G_Zoom_FitPage));
        QCOMPARE(m_view->CurrentPageIndex(), 0);

        QWidget *viewport = m_view->viewport();
        QTest::mouseClick(viewport, Qt::LeftButton, Qt::NoModifier, ViewportPoint(0, 150, 250));
        QCOMPARE(m_view->CurrentPageIndex(), 1);
        QTest::mouseClick(viewport, Qt::RightButton, Qt::NoModifier, viewport->rect().center());
        QCOMPARE(m_view->CurrentPageIndex(), 0);
        // A link is followed, not turned over.
        QTest::mouseClick(viewport, Qt::LeftButton, Qt::NoModifier, ViewportPoint(0, 50, 30));
        QCOMPARE(g_calls.size(), 1);
        QCOMPARE(m_view->CurrentPageIndex(), 0);

        QTest::keyClick(m_view, Qt::Key_Escape);
        QCOMPARE(QString::fromUtf8(m_view->CurrentToolHandler()->Name().c_str()), QStringLiteral("t_handtool"));
        QVERIFY(!m_view->window()->isFullScreen());
        QCOMPARE(m_view->GetZoom(), 80.f);
    }

    void toolTipNamesTheTarget_data()
    {
        QTest::addColumn<MakeAction>("make");
        QTest::addColumn<QString>("tip");
        QTest::newRow("go to") << MakeAction([] { auto *a = new G_ActionGoto; a->Dest().pageIndex = 2; return a; }) << "Page 3";
        QTest::newRow("web address")
            << MakeAction([] { auto *a = new G_ActionURI; a->SetURI("https://example.org/a?b=1"); return a; }) << "https://example.org/a?b=1";
        QTest::newRow("attachment") << MakeAction([this] {
            auto *a = new G_ActionGotoA;
            a->SetAttachID(m_fixture->AddAttachment("readme", "txt"));
            return a;
        }) << "readme.txt";
        QTest::newRow("sound")
            << MakeAction([this] { auto *a = new G_ActionSound; a->SetResourceID(m_fixture->AddMedium(G_MultiMedia_Audio, "media/chime.wav")); return a; })
            << "chime.wav";
        QTest::newRow("movie")
            << MakeAction([this] { auto *a = new G_ActionMovie; a->SetResourceID(m_fixture->AddMedium(G_MultiMedia_Video, "clip.mp4")); return a; })
            << "clip.mp4";
        QTest::newRow("no action") << MakeAction([]() -> G_Action * { return nullptr; }) << QString();
    }

    void toolTipNamesTheTarget()
    {
        QFETCH(MakeAction, make);
        QFETCH(QString, tip);
        SetLinkAction(make());

        QWidget *viewport = m_view->viewport();
        const QPoint onLink = ViewportPoint(0, 50, 30);
        QHelpEvent help(QEvent::ToolTip, onLink, viewport->mapToGlobal(onLink));
        QApplication::sendEvent(viewport, &help);
        QCOMPARE(help.isAccepted(), !tip.isEmpty());
        if (!tip.isEmpty())
            QCOMPARE(QToolTip::text(), tip);
        QToolTip::hideText();
    }

    void backAndForwardAfterGoTo()
    {
        auto *jump = new G_ActionGoto;
        jump->Dest().pageIndex = 2;
        jump->Dest().top = 100;
        SetLinkAction(jump);
        m_follow = true;
        m_view->ScrollToScenePoint(QPoint(10, 15));
        QScrollBar *horizontal = m_view->horizontalScrollBar();
        QScrollBar *vertical = m_view->verticalScrollBar();
        const QPoint before(horizontal->value(), vertical->value());

        QTest::mouseClick(m_view->viewport(), Qt::LeftButton, Qt::NoModifier, ViewportPoint(0, 50, 30));
        QCOMPARE(m_view->CurrentPageIndex(), 2);
        const QPoint followed(horizontal->value(), vertical->value());
        QTest::keyClick(m_view, Qt::Key_Left, Qt::AltModifier);
        QCOMPARE(QPoint(horizontal->value(), vertical->value()), before);
        QTest::keyClick(m_view, Qt::Key_Right, Qt::AltModifier);
        QCOMPARE(QPoint(horizontal->value(), vertical->value()), followed);
        // Nothing further ahead: the view stays.
        QTest::keyClick(m_view, Qt::Key_Right, Qt::AltModifier);
        QCOMPARE(QPoint(horizontal->value(), vertical->value()), followed);
    }

private:
    void SetLinkAction(G_Action *action)
    {
        IG_PageObject *path = m_link->CreateAppearance()->InsertPageObject(G_PageObj_Path, 0, true);
        CCA_ArrayTemplate<G_Action *> actions;
        if (action)
            actions.Add(action);
        path->SetActions(actions);
    }

    QPoint ViewportPoint(int page, float x, float y) const { return m_fixture->ViewportPoint(x, y, page); }

    // Stands in for the module's "d_linkaction"; follows the link when asked to.
    TestOperation m_linkAction{"d_linkaction", [this](G_Operation &operation) {
        g_calls << qMakePair(operation.Param().GetInt32(QStringLiteral("pageIndex")),
                             operation.Param().GetInt32(QStringLiteral("annotID")));
        IG_Appearance *appearance = m_link->Appearance();
        if (m_follow && appearance && appearance->PageObject(0))
            m_fixture->context.ActionHandler()->DoActions(appearance->PageObject(0)->Actions(), m_fixture->document.get(), 3);
        return 1;
    }};
    bool m_follow = false;
    std::unique_ptr<ViewFixture> m_fixture;
    G_DocView *m_view = nullptr;
    IG_Annot *m_link = nullptr;
};

QTEST_MAIN(tst_HandTool)
#include "tst_handtool.moc"
