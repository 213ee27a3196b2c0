#include "annotsplugin/ga_common.h"
#include "uiframework/g_docview.h"

#include "omofdapi/ofd_document.h"
#include "omofdapi/ofd_page.h"

#include "testgeometry.h"

#include <QTest>

namespace {

class TestTool : public GA_Common
{
public:
    G_ToolHandler *Clone() const override { return new TestTool; }
    CCA_String Name() const override { return CCA_String("test_ga"); }
};

bool Near(float a, float b)
{
    return qAbs(a - b) < 1e-3f;
}

} // namespace

// The annotation's boundary is (20, 30, 70, 50) mm; at 100 % its scene rectangle runs from
// (76, 113) to (265, 189) pixels from the page's corner (mm x 3.7795276, rounded).
class tst_GACommon : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_document = OFD_Document::CreateBlank(2, 210, 297);
        OFD_Page *page = m_document->Page(0);
        m_annot = page->AddAnnot(G_AnnotType_Link, CCA_String("Link"), -1, false, OMSharedPtr<const OMJson>());
        m_annot->SetBoundary(CCA_GRect(20, 30, 70, 50));
        IG_Appearance *appearance = m_annot->CreateAppearance();
        m_path = appearance->InsertPageObject(G_PageObj_Path, -1, false);
        m_path->SetBoundary(CCA_GRect(0, 0, 50, 20));
        m_path->SetPath(RectPath(0, 0, 50, 20));
        m_scaled = appearance->InsertPageObject(G_PageObj_Path, -1, false);
        m_scaled->SetBoundary(CCA_GRect(0, 0, 10, 10));
        m_scaled->SetPath(RectPath(0, 0, 5, 5));
        m_scaled->SetCTM(CCA_Matrix(2, 0, 0, 2, 0, 0));

        m_view = new G_DocView(nullptr, m_document.get());
        m_view->resize(800, 600);
        m_view->SetZoom(100);
        m_origin = m_view->PageRect(0).topLeft();
        m_tool = new TestTool;
        m_tool->SetDocView(m_view);
        m_tool->SetCurrentAnnot(m_annot);
    }

    void cleanup()
    {
        delete m_tool;
        delete m_view;
        m_document.reset();
    }

    void controlPoints()
    {
        const QVector<QRect> points = m_tool->GetCtrlPoints();
        QCOMPARE(points.size(), 8);
        // Centres: corners and edge middles, clockwise from the top-left; 8 x 8 squares.
        const QPoint centres[8] = {{76, 113}, {170, 113}, {265, 113}, {265, 151},
                                   {265, 189}, {170, 189}, {76, 189},  {76, 151}};
        for (int i = 0; i < 8; ++i)
            QCOMPARE(points[i], QRect(m_origin + centres[i] - QPoint(4, 4), QSize(8, 8)));
        QCOMPARE(m_tool->CtrlPointIndex(At(265, 189)), 4);
        QCOMPARE(m_tool->CtrlPointIndex(At(79, 150)), 7);
        QCOMPARE(m_tool->CtrlPointIndex(At(150, 150)), -1);
    }

    void pressChoosesTheDrag_data()
    {
        QTest::addColumn<QPoint>("press");
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("cursor");
        QTest::newRow("bottom-right point") << QPoint(265, 189) << 2 << int(G_Cursor_SizeFDiag);
        QTest::newRow("top-middle point") << QPoint(170, 110) << 2 << int(G_Cursor_SizeVer);
        QTest::newRow("top-right point") << QPoint(266, 114) << 2 << int(G_Cursor_SizeBDiag);
        QTest::newRow("left-middle point") << QPoint(76, 151) << 2 << int(G_Cursor_SizeHor);
        QTest::newRow("inside") << QPoint(150, 150) << 1 << int(G_Cursor_Move);
        QTest::newRow("outside") << QPoint(400, 400) << 0 << int(G_Cursor_Cross);
    }

    // Hovering shows what a press would do; elsewhere the cursor is left to the tool.
    void pressChoosesTheDrag()
    {
        QFETCH(QPoint, press);
        QFETCH(int, cursor);
        m_view->SetCursor(G_Cursor_Cross);
        m_tool->OnMouseMove(0, At(press.x(), press.y()));
        QCOMPARE(m_view->CursorId(), cursor);
        m_tool->OnLButtonDown(G_Mouse_LButton, At(press.x(), press.y()));
        QTEST(m_tool->DragModeValue(), "mode");
        QCOMPARE(m_tool->PressRect(), CCA_GRect(20, 30, 70, 50));
        QCOMPARE(m_view->CursorId(), cursor);
        m_tool->OnLButtonUp(0, At(press.x(), press.y()));
        QCOMPARE(m_tool->DragModeValue(), 0);
    }

    void drag_data()
    {
        QTest::addColumn<QPoint>("press");
        QTest::addColumn<QPoint>("to");
        QTest::addColumn<QRectF>("boundary");
        // 38 and 19 pixels are 10.0541667 and 5.0270833 mm.
        QTest::newRow("move") << QPoint(150, 150) << QPoint(188, 169)
                              << QRectF(QPointF(30.054167, 35.027083), QPointF(80.054167, 55.027083));
        QTest::newRow("move past the bottom-right") << QPoint(150, 150) << QPoint(3000, 3000) << QRectF(160, 277, 50, 20);
        QTest::newRow("move past the top-left") << QPoint(150, 150) << QPoint(-3000, -3000) << QRectF(0, 0, 50, 20);
        // A millimetre is kept, and corners that cross over are put back in order.
        QTest::newRow("resize onto the left edge") << QPoint(265, 151) << QPoint(76, 151) << QRectF(20, 30, 1, 20);
        QTest::newRow("resize past the left edge") << QPoint(265, 151) << QPoint(30, 151) << QRectF(7.9375, 30, 12.0625, 20);
        QTest::newRow("resize past the page") << QPoint(265, 189) << QPoint(5000, 5000) << QRectF(20, 30, 190, 267);
    }

    void drag()
    {
        QFETCH(QPoint, press);
        QFETCH(QPoint, to);
        QFETCH(QRectF, boundary);
        const CCA_GRect expected(float(boundary.left()), float(boundary.top()), float(boundary.right()), float(boundary.bottom()));
        const bool move = m_tool->CtrlPointIndex(At(press.x(), press.y())) < 0;
        m_tool->OnLButtonDown(G_Mouse_LButton, At(press.x(), press.y()));
        m_tool->OnMouseMove(G_Mouse_LButton, At((press.x() + to.x()) / 2, (press.y() + to.y()) / 2));
        m_tool->OnMouseMove(G_Mouse_LButton, At(to.x(), to.y()));
        COMPARE_RECT(m_annot->Boundary(), expected);
        m_tool->OnLButtonUp(0, At(to.x(), to.y()));
        m_tool->OnMouseMove(0, At(300, 300)); // no drag after the release
        COMPARE_RECT(m_annot->Boundary(), expected);
        if (move) // the appearance stays as it was
            QCOMPARE(m_path->Boundary(), CCA_GRect(0, 0, 50, 20));
    }

    void resizeScalesTheAppearance()
    {
        m_tool->OnLButtonDown(G_Mouse_LButton, At(265, 189));
        QCOMPARE(m_tool->CtrlPointIndex(), 4);
        // To 340 and 265 pixels: 89.958333 and 70.114583 mm.
        m_tool->OnMouseMove(G_Mouse_LButton, At(300, 200));
        m_tool->OnMouseMove(G_Mouse_LButton, At(340, 265));
        COMPARE_RECT(m_annot->Boundary(), CCA_GRect(20, 30, 89.958333f, 70.114583f));
        // sx = 69.958333 / 50 = 1.3991667, sy = 40.114583 / 20 = 2.0057292, from the press.
        COMPARE_RECT(m_path->Boundary(), CCA_GRect(0, 0, 69.958333f, 40.114583f));
        const CCA_Path path = m_path->Path();
        QVERIFY(Near(path.SegmentAt(2).v[0], 69.958333f) && Near(path.SegmentAt(2).v[1], 40.114583f));
        // An object with its own matrix is scaled through the matrix.
        const CCA_Matrix ctm = m_scaled->CTM();
        QVERIFY(Near(ctm.a, 2.7983333f) && Near(ctm.d, 4.0114583f) && ctm.b == 0 && ctm.c == 0);
        QCOMPARE(m_scaled->Path(), RectPath(0, 0, 5, 5));
        COMPARE_RECT(m_scaled->Boundary(), CCA_GRect(0, 0, 13.991667f, 20.057292f));
    }

    void doMove_data()
    {
        QTest::addColumn<int>("rotate");
        QTest::addColumn<QPoint>("by");
        QTest::addColumn<QRectF>("boundary");
        // 38 and 1 pixels are 10.0541667 and 0.2645833 mm.
        QTest::newRow("right") << 0 << QPoint(38, 0) << QRectF(QPointF(30.054167, 30), QPointF(80.054167, 50));
        QTest::newRow("up") << 0 << QPoint(0, -1) << QRectF(QPointF(20, 29.735417), QPointF(70, 49.735417));
        QTest::newRow("stops at the page's edge") << 0 << QPoint(-2000, 0) << QRectF(QPointF(0, 30), QPointF(50, 50));
        // A quarter turn clockwise: down on the screen is right on the page, right is up.
        QTest::newRow("rotated, down") << 90 << QPoint(0, 38) << QRectF(QPointF(30.054167, 30), QPointF(80.054167, 50));
        QTest::newRow("rotated, right") << 90 << QPoint(38, 0) << QRectF(QPointF(20, 19.945833), QPointF(70, 39.945833));
    }

    void doMove()
    {
        QFETCH(int, rotate);
        QFETCH(QPoint, by);
        QFETCH(QRectF, boundary);
        m_view->SetRotate(rotate);
        m_tool->DoMove(by.x(), by.y());
        COMPARE_RECT(m_annot->Boundary(), CCA_GRect(float(boundary.left()), float(boundary.top()), float(boundary.right()),
                                                    float(boundary.bottom())));
    }

    void withoutAnAnnotationNothingHappens()
    {
        m_tool->SetCurrentAnnot(nullptr);
        QVERIFY(m_tool->GetCtrlPoints().isEmpty());
        m_tool->OnLButtonDown(G_Mouse_LButton, At(150, 150));
        QCOMPARE(m_tool->DragModeValue(), 0);
        m_tool->DoMove(10, 10);
        m_tool->DoResize(4, At(300, 300));
        QCOMPARE(m_annot->Boundary(), CCA_GRect(20, 30, 70, 50));
        // The hit test finds it again under the pointer.
        QCOMPARE(m_tool->HitTest(At(150, 150)), m_annot);
        QVERIFY(!m_tool->HitTest(At(400, 400)));
    }

private:
    CCA_Point At(int dx, int dy) const { return CCA_Point(m_origin.x() + dx, m_origin.y() + dy); }

    std::unique_ptr<OFD_Document> m_document;
    G_DocView *m_view = nullptr;
    TestTool *m_tool = nullptr;
    IG_Annot *m_annot = nullptr;
    IG_PageObject *m_path = nullptr;
    IG_PageObject *m_scaled = nullptr;
    QPoint m_origin;
};

QTEST_MAIN(tst_GACommon)
#include "tst_gacommon.moc"
