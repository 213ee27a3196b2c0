#include "linktestfixture.h"

#include "tool/ga_link.h"

#include "omofdapi/ig_page.h"
#include "uiframework/g_deferreddelete.h"
#include "uiframework/g_operation.h"
#include "uiframework/gq_convert.h"

#include <QPointer>
#include <QStandardPaths>
#include <QUndoStack>
#include <QtTest>

namespace {

// Stands in for the property operation and keeps what the tool hands it.
class RecordingPropertyOperation : public G_Operation
{
public:
    static QList<QVariantMap> calls;

    G_Operation *Clone() const override
    {
        auto *copy = new RecordingPropertyOperation;
        copy->CopyFrom(*this);
        return copy;
    }
    const char *Name() const override { return "d_annotlinkproperty"; }
    int DoAction() override
    {
        QVariantMap call;
        for (const QString &key : Param().Keys())
            call.insert(key, Param().Value(key));
        calls << call;
        return 1;
    }
};

QList<QVariantMap> RecordingPropertyOperation::calls;

// Two pixels per millimetre (as near as a float zoom gets), so every pixel is half a millimetre.
const float kZoomTwoPixelsPerMM = float(2.0 / (96.0 / 25.4) * 100.0);

CCA_GPoint GPointOf(const QVariant &value)
{
    return value.value<CCA_GPoint>();
}

bool Near(const CCA_GPoint &point, float x, float y)
{
    return qAbs(point.x - x) < 1e-3f && qAbs(point.y - y) < 1e-3f;
}

QString PointText(const CCA_GPoint &p)
{
    return QString("(%1, %2)").arg(p.x).arg(p.y);
}

} // namespace

class TestGALink : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void pressNeedsPageMargins_data();
    void pressNeedsPageMargins();
    void dragHandsOverCorners_data();
    void dragHandsOverCorners();
    void clickWithoutMovementOpensNothing();
    void dragOntoAnotherPageKeepsLastCorner();
    void resizeIsOneUndoStep_data();
    void resizeIsOneUndoStep();
    void plainMoveRecordsNothing();
    void rotatedViewMovesInsteadOfResizing();
    void doubleClickEditsLink();
    void doubleClickIgnoresTextAppearance();
    void cursorFollowsLinks();
    void outlinesAndRubberBandArePainted();

private:
    QPoint Scene(float xmm, float ymm, int page = 0) const;
    void Press(const QPoint &scene);
    void Move(const QPoint &scene);
    void Release(const QPoint &scene);
    void Drag(const QPoint &from, const QPoint &to);
    QUndoStack *Stack() const { return m_fixture->view->UndoStack(); }

    GA_Link m_prototype;
    RecordingPropertyOperation m_operation;
    std::unique_ptr<LinkFixture> m_fixture;
};

void TestGALink::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QVERIFY(m_prototype.RegisterHandlerToGlobal());
    QVERIFY(m_operation.RegisterToGlobal());
}

void TestGALink::cleanupTestCase()
{
    G_ToolHandler::UnregisterFromGlobal(&m_prototype);
    G_Operation::UnregisterFromGlobal(&m_operation);
}

// Pages of 210 x 100 mm: both fit the viewport at two pixels per millimetre.
void TestGALink::init()
{
    RecordingPropertyOperation::calls.clear();
    m_fixture.reset(new LinkFixture(2, 210, 100));
    G_DocView *view = m_fixture->view;
    view->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    view->SetZoom(kZoomTwoPixelsPerMM);
    view->resize(600, 520);
    view->show();
    QVERIFY(QTest::qWaitForWindowExposed(view));
    QVERIFY(view->SetCurrentToolHandler("ga_link"));
    QCOMPARE(view->VisibleSceneRect().topLeft(), QPoint(0, 0));
}

void TestGALink::cleanup()
{
    m_fixture.reset();
    G_DeferredDelete::Flush();
}

QPoint TestGALink::Scene(float xmm, float ymm, int page) const
{
    return GQ_ToQPoint(m_fixture->view->ScenePointFromDocPoint(CCA_GPoint(xmm, ymm), page));
}

void TestGALink::Press(const QPoint &scene)
{
    QTest::mousePress(m_fixture->view->viewport(), Qt::LeftButton, Qt::NoModifier,
                      m_fixture->view->mapFromScene(scene));
}

// Sent directly: QTest::mouseMove goes through the platform cursor, which the offscreen
// platform does not turn into move events.
void TestGALink::Move(const QPoint &scene)
{
    QWidget *viewport = m_fixture->view->viewport();
    const QPoint pos = m_fixture->view->mapFromScene(scene);
    QMouseEvent event(QEvent::MouseMove, pos, viewport->mapToGlobal(pos), Qt::NoButton,
                      QGuiApplication::mouseButtons(), Qt::NoModifier);
    QApplication::sendEvent(viewport, &event);
}

void TestGALink::Release(const QPoint &scene)
{
    QTest::mouseRelease(m_fixture->view->viewport(), Qt::LeftButton, Qt::NoModifier,
                        m_fixture->view->mapFromScene(scene));
}

void TestGALink::Drag(const QPoint &from, const QPoint &to)
{
    Press(from);
    Move(QPoint((from.x() + to.x()) / 2, (from.y() + to.y()) / 2));
    Move(to);
    Release(to);
}

void TestGALink::pressNeedsPageMargins_data()
{
    QTest::addColumn<float>("x");
    QTest::addColumn<float>("y");
    QTest::addColumn<bool>("starts");

    // The page is 210 x 100 mm; its inclusive width and height are 211 and 101.
    QTest::newRow("1.5 mm from the left") << 1.5f << 50.0f << false;
    QTest::newRow("2.5 mm from the left") << 2.5f << 50.0f << true;
    QTest::newRow("1.5 mm from the top") << 50.0f << 1.5f << false;
    QTest::newRow("x 209") << 209.0f << 50.0f << true;
    QTest::newRow("x 209.5") << 209.5f << 50.0f << false;
    QTest::newRow("y 99") << 50.0f << 99.0f << true;
    QTest::newRow("y 99.5") << 50.0f << 99.5f << false;
}

void TestGALink::pressNeedsPageMargins()
{
    QFETCH(float, x);
    QFETCH(float, y);
    QFETCH(bool, starts);

    Drag(Scene(x, y), Scene(100, 30));
    QCOMPARE(RecordingPropertyOperation::calls.size(), starts ? 1 : 0);
    if (starts) {
        const CCA_GPoint first = GPointOf(RecordingPropertyOperation::calls[0].value("first"));
        QVERIFY2(Near(first, x, y), qPrintable(PointText(first)));
    }
}

void TestGALink::dragHandsOverCorners_data()
{
    QTest::addColumn<QPointF>("from");
    QTest::addColumn<QPointF>("to");
    QTest::addColumn<QPointF>("second");

    QTest::newRow("down right") << QPointF(20, 30) << QPointF(80, 60) << QPointF(80, 60);
    QTest::newRow("bottom-right to top-left") << QPointF(80, 60) << QPointF(20, 30) << QPointF(20, 30);
    // Off the page edges, in the gap that still belongs to the page: clamped 2 mm inside.
    QTest::newRow("past the right edge") << QPointF(150, 50) << QPointF(212, 50) << QPointF(209, 50);
    QTest::newRow("past the bottom edge") << QPointF(150, 50) << QPointF(160, 102.5) << QPointF(160, 99);
    QTest::newRow("past the top-left corner") << QPointF(50, 50) << QPointF(-2, -2) << QPointF(2, 2);
}

void TestGALink::dragHandsOverCorners()
{
    QFETCH(QPointF, from);
    QFETCH(QPointF, to);
    QFETCH(QPointF, second);

    Drag(Scene(from.x(), from.y()), Scene(to.x(), to.y()));
    QCOMPARE(RecordingPropertyOperation::calls.size(), 1);
    const QVariantMap call = RecordingPropertyOperation::calls[0];
    QCOMPARE(call.value("edit").toBool(), false);
    QCOMPARE(call.value("pressIndex").toInt(), 0);
    const CCA_GPoint first = GPointOf(call.value("first"));
    const CCA_GPoint handed = GPointOf(call.value("second"));
    QVERIFY2(Near(first, from.x(), from.y()), qPrintable(PointText(first)));
    QVERIFY2(Near(handed, second.x(), second.y()), qPrintable(PointText(handed)));
}

void TestGALink::clickWithoutMovementOpensNothing()
{
    const QPoint at = Scene(40, 40);
    Press(at);
    Release(at);
    QCOMPARE(RecordingPropertyOperation::calls.size(), 0);

    // A press outside the margins starts nothing, and its release does nothing either.
    Press(Scene(1.5f, 40));
    Move(Scene(60, 60));
    Release(Scene(60, 60));
    QCOMPARE(RecordingPropertyOperation::calls.size(), 0);
}

void TestGALink::dragOntoAnotherPageKeepsLastCorner()
{
    Press(Scene(50, 50));
    Move(Scene(70, 99.5f));
    Move(Scene(90, 20, 1));
    Release(Scene(90, 20, 1));
    QCOMPARE(RecordingPropertyOperation::calls.size(), 1);
    const CCA_GPoint handed = GPointOf(RecordingPropertyOperation::calls[0].value("second"));
    QVERIFY2(Near(handed, 70, 99), qPrintable(PointText(handed)));

    // Released off every page: the corner of the last move on the page stands.
    RecordingPropertyOperation::calls.clear();
    Press(Scene(50, 50));
    Move(Scene(120, 60));
    Release(QPoint(580, 60));
    QCOMPARE(RecordingPropertyOperation::calls.size(), 1);
    const CCA_GPoint offPage = GPointOf(RecordingPropertyOperation::calls[0].value("second"));
    QVERIFY2(Near(offPage, 120, 60), qPrintable(PointText(offPage)));
}

void TestGALink::resizeIsOneUndoStep_data()
{
    QTest::addColumn<int>("kind");
    QTest::newRow("rectangle") << int(LinkBoundaryKind::Rectangle);
    QTest::newRow("underline") << int(LinkBoundaryKind::Underline);
    QTest::newRow("invisible") << int(LinkBoundaryKind::Invisible);
}

void TestGALink::resizeIsOneUndoStep()
{
    QFETCH(int, kind);
    LinkStyle style;
    style.boundary = LinkBoundaryKind(kind);
    style.lineWidth = LinkLineWidth::Middle;
    IG_Annot *annot = m_fixture->AddLink(0, CCA_GRect(50, 20, 100, 40), style, nullptr);
    QVERIFY(annot);

    // Bottom-right handle, 10 mm to the right and down.
    Drag(Scene(100, 40), Scene(110, 50));
    QCOMPARE(RecordingPropertyOperation::calls.size(), 0);
    QVERIFY(Stack());
    QCOMPARE(Stack()->count(), 1);
    COMPARE_RECT(annot->Boundary(), CCA_GRect(50, 20, 110, 50));
    const QString resizedDate = annot->LastModDate().c_str();
    QVERIFY(resizedDate != QString("2020-01-02 03:04:05"));

    Stack()->undo();
    COMPARE_RECT(annot->Boundary(), CCA_GRect(50, 20, 100, 40));
    QCOMPARE(QString(annot->LastModDate().c_str()), QString("2020-01-02 03:04:05"));
    IG_PageObject *object = LinkPathObject(annot);
    const float h = 0.70555556f / 2;
    COMPARE_RECT(object->Boundary(), CCA_GRect(0, 0, 50, 20));
    const CCA_Path path = object->Path();
    QCOMPARE(path.IsRect(), kind != int(LinkBoundaryKind::Underline));
    QCOMPARE(object->IsVisible(), kind != int(LinkBoundaryKind::Invisible));
    if (kind == int(LinkBoundaryKind::Underline))
        COMPARE_RECT(path.BoundingBox(), CCA_GRect(h, 20 - h, 50 - h, 20 - h));
    else
        COMPARE_RECT(path.BoundingBox(), CCA_GRect(h, h, 50 - h, 20 - h));

    Stack()->redo();
    COMPARE_RECT(annot->Boundary(), CCA_GRect(50, 20, 110, 50));
    QCOMPARE(QString(annot->LastModDate().c_str()), resizedDate);
    COMPARE_RECT(LinkPathObject(annot)->Boundary(), CCA_GRect(0, 0, 60, 30));
}

void TestGALink::plainMoveRecordsNothing()
{
    IG_Annot *annot = m_fixture->AddLink(0, CCA_GRect(50, 20, 100, 40), LinkStyle(), nullptr);
    Drag(Scene(75, 30), Scene(85, 35));
    COMPARE_RECT(annot->Boundary(), CCA_GRect(60, 25, 110, 45));
    QVERIFY(!Stack() || Stack()->count() == 0);
    QCOMPARE(QString(annot->LastModDate().c_str()), QString("2020-01-02 03:04:05"));
}

void TestGALink::rotatedViewMovesInsteadOfResizing()
{
    IG_Annot *annot = m_fixture->AddLink(0, CCA_GRect(50, 20, 100, 40), LinkStyle(), nullptr);
    m_fixture->view->SetRotate(90);
    const QPoint corner = Scene(100, 40);
    Drag(corner, corner + QPoint(10, 10));
    // Moved as a whole: the size stays 50 x 20.
    QVERIFY2(qAbs(annot->Boundary().Width() - 50) < 1e-3f && qAbs(annot->Boundary().Height() - 20) < 1e-3f,
             qPrintable(RectText(annot->Boundary())));
    QVERIFY(!(annot->Boundary() == CCA_GRect(50, 20, 100, 40)));
    QVERIFY(!Stack() || Stack()->count() == 0);
}

void TestGALink::doubleClickEditsLink()
{
    IG_Annot *annot = m_fixture->AddLink(1, CCA_GRect(50, 20, 100, 40), LinkStyle(), nullptr);
    QTest::mouseDClick(m_fixture->view->viewport(), Qt::LeftButton, Qt::NoModifier,
                       m_fixture->view->mapFromScene(Scene(75, 30, 1)));
    QCOMPARE(RecordingPropertyOperation::calls.size(), 1);
    const QVariantMap call = RecordingPropertyOperation::calls[0];
    QCOMPARE(call.value("edit").toBool(), true);
    QCOMPARE(call.value("pageIndex").toInt(), 1);
    QCOMPARE(call.value("annotID").toUInt(), annot->ID());
    QVERIFY(!call.contains("first"));
}

void TestGALink::doubleClickIgnoresTextAppearance()
{
    IG_Page *page = m_fixture->document->GetPage(0);
    IG_Annot *annot = page->AddAnnot(G_AnnotType_Link, "Link", -1, false, OMSharedPtr<const OMJson>());
    annot->SetBoundary(CCA_GRect(50, 20, 100, 40));
    annot->CreateAppearance()->InsertPageObject(G_PageObj_Text, 0, false);
    QTest::mouseDClick(m_fixture->view->viewport(), Qt::LeftButton, Qt::NoModifier,
                       m_fixture->view->mapFromScene(Scene(75, 30)));
    QCOMPARE(RecordingPropertyOperation::calls.size(), 0);
}

void TestGALink::cursorFollowsLinks()
{
    m_fixture->AddLink(0, CCA_GRect(50, 20, 100, 40), LinkStyle(), nullptr);
    Move(Scene(75, 30));
    QCOMPARE(m_fixture->view->CursorId(), int(G_Cursor_Move));
    Move(Scene(150, 70));
    QCOMPARE(m_fixture->view->CursorId(), int(G_Cursor_Cross));
}

void TestGALink::outlinesAndRubberBandArePainted()
{
    IG_Annot *annot = m_fixture->AddLink(0, CCA_GRect(50, 20, 100, 40), LinkStyle(), nullptr);
    LinkPathObject(annot)->SetVisible(false);
    Press(Scene(120, 60));
    Move(Scene(160, 90));

    const QImage image = m_fixture->view->viewport()->grab().toImage();
    // Anti-aliased one-pixel lines: look for the tint of (20, 168, 240) in a small stretch.
    auto tinted = [&image](const QPoint &scene, int dx, int dy) {
        for (int i = -2; i <= 2; ++i) {
            const QColor c = image.pixelColor(scene + QPoint(i * dx, i * dy));
            if (c.blue() > 200 && c.red() < 160 && c.blue() > c.red() + 60)
                return true;
        }
        return false;
    };
    QVERIFY2(tinted(Scene(50, 30) + QPoint(-1, 0), 1, 0), "no outline left of the invisible link");
    QVERIFY2(tinted(Scene(160, 75), 1, 0), "no rubber band at its right edge");
    QVERIFY2(!tinted(Scene(140, 75), 1, 0), "the band is not filled");
    Release(Scene(160, 90));
}

QTEST_MAIN(TestGALink)
#include "tst_galink.moc"
