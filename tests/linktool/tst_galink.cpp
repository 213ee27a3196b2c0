#include "linktestfixture.h"

#include "tool/ga_link.h"

#include "omofdapi/ig_page.h"
#include "uiframework/g_contextmenu.h"
#include "uiframework/g_deferreddelete.h"
#include "uiframework/g_operation.h"
#include "uiframework/gq_convert.h"

#include "testoperation.h"

#include <QClipboard>
#include <QMimeData>
#include <QScreen>
#include <QUndoStack>

namespace {

struct Call
{
    QString name;
    QVariantMap params;
};
QList<Call> g_calls;

// Stands in for an operation of the module or the host and keeps what it is handed.
int Record(G_Operation &operation)
{
    Call call{operation.Name(), {}};
    for (const QString &key : operation.Param().Keys())
        call.params.insert(key, operation.Param().Value(key));
    g_calls << call;
    return 1;
}

class RecordingMenu : public G_ContextMenu
{
public:
    using G_ContextMenu::G_ContextMenu;
    QString PopupMenu(const QString &name, const QHash<QString, G_MenuItemState> &states,
                      G_OperationParam *params) override
    {
        menuName = name;
        this->states = states;
        edit = params->GetBool("edit");
        delete params;
        return QString();
    }
    QString menuName;
    QHash<QString, G_MenuItemState> states;
    bool edit = false;
};

// Two pixels per millimetre (as near as a float zoom gets): a pixel is half a millimetre.
const float kZoomTwoPixelsPerMM = float(2.0 / (96.0 / 25.4) * 100.0);

QString PointText(const CCA_GPoint &p)
{
    return QString("(%1, %2)").arg(p.x).arg(p.y);
}

} // namespace

#define COMPARE_GPOINT(actual, ex, ey)                                                                  \
    do {                                                                                                \
        const CCA_GPoint p_ = (actual).value<CCA_GPoint>();                                             \
        QVERIFY2(qAbs(p_.x - float(ex)) < 1e-3f && qAbs(p_.y - float(ey)) < 1e-3f, qPrintable(PointText(p_))); \
    } while (false)

class TestGALink : public QObject
{
    Q_OBJECT

    GA_Link m_prototype;
    std::vector<std::unique_ptr<TestOperation>> m_operations;
    std::unique_ptr<LinkFixture> m_fixture;
    RecordingMenu *m_menu = nullptr;

    G_DocView *View() const { return m_fixture->view; }
    G_ToolHandler *Tool() const { return View()->CurrentToolHandler(); }
    QUndoStack *Stack() const { return View()->UndoStack(); }
    QPoint Scene(float x, float y, int page = 0) const
    {
        return GQ_ToQPoint(View()->ScenePointFromDocPoint(CCA_GPoint(x, y), page));
    }
    void Mouse(QEvent::Type type, const QPoint &scene, Qt::MouseButton button = Qt::LeftButton)
    {
        // Sent directly: the offscreen platform makes no move events from QTest::mouseMove.
        const QPoint pos = View()->mapFromScene(scene);
        QMouseEvent event(type, pos, View()->viewport()->mapToGlobal(pos), type == QEvent::MouseMove ? Qt::NoButton : button,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : button, Qt::NoModifier);
        QApplication::sendEvent(View()->viewport(), &event);
    }
    void Drag(const QPoint &from, const QPoint &to)
    {
        Mouse(QEvent::MouseButtonPress, from);
        Mouse(QEvent::MouseMove, (from + to) / 2);
        Mouse(QEvent::MouseMove, to);
        Mouse(QEvent::MouseButtonRelease, to);
    }
    IG_Annot *AddLink(LinkBoundaryKind kind = LinkBoundaryKind::Rectangle, int page = 0)
    {
        LinkStyle style;
        style.boundary = kind;
        style.lineWidth = LinkLineWidth::Middle;
        return m_fixture->AddLink(page, CCA_GRect(50, 20, 100, 40), style, nullptr);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_prototype.RegisterHandlerToGlobal());
        for (const char *name : {"d_annotlinkproperty", "d_delannot", "tt_link", "d_annotlinkcopy",
                                 "d_annotlinkcut", "d_annotlinkpaste"}) {
            m_operations.emplace_back(new TestOperation(name, Record));
            QVERIFY(m_operations.back()->RegisterToGlobal());
        }
    }

    void cleanupTestCase()
    {
        G_ToolHandler::UnregisterFromGlobal(&m_prototype);
        for (const auto &operation : m_operations)
            G_Operation::UnregisterFromGlobal(operation.get());
    }

    // Pages of 210 x 100 mm, both in the viewport, scene and viewport pixels alike.
    void init()
    {
        g_calls.clear();
        m_fixture.reset(new LinkFixture(2, 210, 100));
        m_menu = new RecordingMenu(&m_fixture->context);
        m_fixture->context.SetContextMenu(m_menu);
        View()->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        View()->SetZoom(kZoomTwoPixelsPerMM);
        QVERIFY(m_fixture->Show(600, 520));
        QVERIFY(View()->SetCurrentToolHandler("ga_link"));
        QCOMPARE(View()->CursorId(), int(G_Cursor_Cross));
    }

    void cleanup()
    {
        m_fixture.reset();
        G_DeferredDelete::Flush();
    }

    void dragHandsOverCorners_data()
    {
        QTest::addColumn<QPointF>("from");
        QTest::addColumn<QPointF>("to");
        QTest::addColumn<QPointF>("second");
        // The page's inclusive size is 211 x 101 mm, so corners stay within 2..209 and 2..99.
        QTest::newRow("1.5 mm from the left") << QPointF(1.5, 50) << QPointF(80, 60) << QPointF();
        QTest::newRow("2.5 mm from the left") << QPointF(2.5, 50) << QPointF(80, 60) << QPointF(80, 60);
        QTest::newRow("1.5 mm from the top") << QPointF(50, 1.5) << QPointF(80, 60) << QPointF();
        QTest::newRow("x 209") << QPointF(209, 50) << QPointF(80, 60) << QPointF(80, 60);
        QTest::newRow("x 209.5") << QPointF(209.5, 50) << QPointF(80, 60) << QPointF();
        QTest::newRow("y 99.5") << QPointF(50, 99.5) << QPointF(80, 60) << QPointF();
        QTest::newRow("click without movement") << QPointF(40, 40) << QPointF(40, 40) << QPointF();
        QTest::newRow("bottom-right to top-left") << QPointF(80, 60) << QPointF(20, 30) << QPointF(20, 30);
        // In the gap that still belongs to the page: clamped.
        QTest::newRow("past the right edge") << QPointF(150, 50) << QPointF(212, 50) << QPointF(209, 50);
        QTest::newRow("past the bottom edge") << QPointF(150, 50) << QPointF(160, 102.5) << QPointF(160, 99);
        QTest::newRow("past the top-left") << QPointF(50, 50) << QPointF(-2, -2) << QPointF(2, 2);
    }

    void dragHandsOverCorners()
    {
        QFETCH(QPointF, from);
        QFETCH(QPointF, to);
        QFETCH(QPointF, second);
        Drag(Scene(from.x(), from.y()), Scene(to.x(), to.y()));
        QCOMPARE(g_calls.size(), second.isNull() ? 0 : 1);
        if (second.isNull())
            return;
        QCOMPARE(g_calls[0].name, QString("d_annotlinkproperty"));
        QCOMPARE(g_calls[0].params.value("edit").toBool(), false);
        QCOMPARE(g_calls[0].params.value("pressIndex").toInt(), 0);
        COMPARE_GPOINT(g_calls[0].params.value("first"), from.x(), from.y());
        COMPARE_GPOINT(g_calls[0].params.value("second"), second.x(), second.y());
    }

    void leavingThePageKeepsLastCorner()
    {
        Mouse(QEvent::MouseButtonPress, Scene(50, 50));
        Mouse(QEvent::MouseMove, Scene(70, 99.5));
        Mouse(QEvent::MouseMove, Scene(90, 20, 1));
        Mouse(QEvent::MouseButtonRelease, Scene(90, 20, 1));
        Drag(Scene(50, 50), Scene(120, 60));
        Mouse(QEvent::MouseButtonRelease, QPoint(580, 60)); // off every page
        QCOMPARE(g_calls.size(), 2);
        COMPARE_GPOINT(g_calls[0].params.value("second"), 70, 99);
        COMPARE_GPOINT(g_calls[1].params.value("second"), 120, 60);
    }

    void resizeIsOneUndoStep_data()
    {
        QTest::addColumn<int>("kind");
        QTest::newRow("rectangle") << int(LinkBoundaryKind::Rectangle);
        QTest::newRow("underline") << int(LinkBoundaryKind::Underline);
        QTest::newRow("invisible") << int(LinkBoundaryKind::Invisible);
    }

    void resizeIsOneUndoStep()
    {
        QFETCH(int, kind);
        IG_Annot *annot = AddLink(LinkBoundaryKind(kind));
        Drag(Scene(100, 40), Scene(110, 50)); // the bottom-right handle
        QCOMPARE(Stack() ? Stack()->count() : 0, 1);
        COMPARE_RECT(annot->Boundary(), CCA_GRect(50, 20, 110, 50));
        const QString resizedDate = annot->LastModDate().c_str();
        QVERIFY(resizedDate != "2020-01-02 03:04:05");

        Stack()->undo();
        COMPARE_RECT(annot->Boundary(), CCA_GRect(50, 20, 100, 40));
        QCOMPARE(QString(annot->LastModDate()), QString("2020-01-02 03:04:05"));
        IG_PageObject *object = LinkPathObject(annot);
        const float h = 0.70555556f / 2;
        COMPARE_RECT(object->Boundary(), CCA_GRect(0, 0, 50, 20));
        const bool underline = kind == int(LinkBoundaryKind::Underline);
        QCOMPARE(object->Path().IsRect(), !underline);
        QCOMPARE(object->IsVisible(), kind != int(LinkBoundaryKind::Invisible));
        COMPARE_RECT(object->Path().BoundingBox(), CCA_GRect(h, underline ? 20 - h : h, 50 - h, 20 - h));

        Stack()->redo();
        COMPARE_RECT(annot->Boundary(), CCA_GRect(50, 20, 110, 50));
        QCOMPARE(QString(annot->LastModDate()), resizedDate);
    }

    // What the window shows, after the pending paints: a change nobody repaints stays unseen.
    QImage Shown() const
    {
        QApplication::processEvents();
        return View()->screen()->grabWindow(View()->winId()).toImage();
    }

    void undoShowsAtOnce_data()
    {
        QTest::addColumn<bool>("resize");
        QTest::newRow("resize") << true;
        QTest::newRow("style edit") << false;
    }

    void undoShowsAtOnce()
    {
        QFETCH(bool, resize);
        IG_Annot *annot = AddLink();
        if (resize)
            Drag(Scene(75, 30), Scene(75, 30)); // selected, so that its handles show throughout
        const QImage before = Shown();
        if (resize) {
            Drag(Scene(100, 40), Scene(110, 50));
        } else {
            auto *dialog = new SingleLinkPropertyDialog(annot, true, 0, 0, 0, 0, 0, &m_fixture->context);
            dialog->ColorChanged(QColor(255, 0, 0));
            dialog->SaveLinkProperty();
        }
        QVERIFY(Stack() && Stack()->count() == 1);
        QVERIFY(Shown() != before);
        Stack()->undo();
        QVERIFY2(Shown() == before, "the undone change is still on the screen");
        Stack()->redo();
        QVERIFY2(Shown() != before, "the redone change is not on the screen");
    }

    void movesAreNotRecorded()
    {
        IG_Annot *annot = AddLink();
        Drag(Scene(75, 30), Scene(85, 35));
        COMPARE_RECT(annot->Boundary(), CCA_GRect(60, 25, 110, 45));
        // On a rotated view a handle moves the link instead of resizing it.
        View()->SetRotate(90);
        const QPoint corner = Scene(110, 45);
        Drag(corner, corner + QPoint(10, 10));
        QVERIFY2(qAbs(annot->Boundary().Width() - 50) < 1e-3f && annot->Boundary().left > 60.5f,
                 qPrintable(RectText(annot->Boundary())));
        QVERIFY(!Stack() || Stack()->count() == 0);
        QCOMPARE(QString(annot->LastModDate()), QString("2020-01-02 03:04:05"));
    }

    void doubleClickEditsLink()
    {
        IG_Annot *annot = AddLink(LinkBoundaryKind::Rectangle, 1);
        QTest::mouseDClick(View()->viewport(), Qt::LeftButton, Qt::NoModifier, View()->mapFromScene(Scene(75, 30, 1)));
        QCOMPARE(g_calls.size(), 1);
        QCOMPARE(g_calls[0].params.value("edit").toBool(), true);
        QCOMPARE(g_calls[0].params.value("pageIndex").toInt(), 1);
        QCOMPARE(g_calls[0].params.value("annotID").toUInt(), annot->ID());

        // An appearance whose first object is text is not a link to edit.
        IG_Annot *text = m_fixture->document->GetPage(0)->AddAnnot(G_AnnotType_Link, "Link", -1, false, nullptr);
        text->SetBoundary(CCA_GRect(50, 20, 100, 40));
        text->CreateAppearance()->InsertPageObject(G_PageObj_Text, 0, false);
        QTest::mouseDClick(View()->viewport(), Qt::LeftButton, Qt::NoModifier, View()->mapFromScene(Scene(75, 30)));
        QCOMPARE(g_calls.size(), 1);
    }

    void hoverShowsCursor()
    {
        AddLink(LinkBoundaryKind::Invisible);
        Mouse(QEvent::MouseMove, Scene(75, 30));
        QCOMPARE(View()->CursorId(), int(G_Cursor_Move));
        Mouse(QEvent::MouseMove, Scene(150, 70));
        QCOMPARE(View()->CursorId(), int(G_Cursor_Cross));
    }

    void outlinesAreCrisp_data()
    {
        QTest::addColumn<float>("zoom");
        QTest::newRow("37 %") << 37.f;
        QTest::newRow("two pixels a millimetre") << kZoomTwoPixelsPerMM;
        QTest::newRow("137 %") << 137.f;
    }

    // One-pixel lines fill whole pixels with the link colour itself, at any zoom.
    void outlinesAreCrisp()
    {
        QFETCH(float, zoom);
        View()->SetZoom(zoom);
        View()->ScrollToScenePoint(QPoint(0, 0));
        AddLink(LinkBoundaryKind::Invisible);
        Mouse(QEvent::MouseButtonPress, Scene(20, 50));
        Mouse(QEvent::MouseMove, Scene(40, 70));
        const QImage image = View()->viewport()->grab().toImage();
        Mouse(QEvent::MouseButtonRelease, Scene(40, 70));
        const QColor link(20, 168, 240);
        const QPoint topLeft = View()->mapFromScene(Scene(50, 20));
        const QPoint bandCorner = View()->mapFromScene(Scene(40, 70));
        QCOMPARE(image.pixelColor(topLeft + QPoint(-1, 10)), link); // the outline is one pixel outside
        QCOMPARE(image.pixelColor(topLeft + QPoint(10, -1)), link);
        QCOMPARE(image.pixelColor(topLeft + QPoint(-2, 10)), QColor(Qt::white));
        QCOMPARE(image.pixelColor(bandCorner - QPoint(0, 5)), link);
        QCOMPARE(image.pixelColor(bandCorner - QPoint(1, 5)), QColor(Qt::white));
        QCOMPARE(image.pixelColor(bandCorner - QPoint(5, 0)), link);
        QCOMPARE(image.pixelColor(bandCorner - QPoint(5, 1)), QColor(Qt::white));
    }

    void cachedFramesMatchFreshOnes_data()
    {
        QTest::addColumn<float>("zoom");
        QTest::addColumn<int>("rotate");
        QTest::newRow("two pixels a millimetre") << kZoomTwoPixelsPerMM << 0;
        QTest::newRow("137 %") << 137.f << 0;
        QTest::newRow("90 degrees") << 61.f << 90;
    }

    // Frames from kept drawings equal frames drawn afresh, before and after the links change.
    void cachedFramesMatchFreshOnes()
    {
        QFETCH(float, zoom);
        QFETCH(int, rotate);
        View()->SetZoom(zoom);
        View()->SetRotate(rotate);
        View()->ScrollToScenePoint(QPoint(0, 0));
        const LinkLineType types[] = {LinkLineType::Solid, LinkLineType::Dotted1, LinkLineType::Dotted3};
        std::vector<IG_Annot *> links;
        for (int i = 0; i < 60; ++i) {
            LinkStyle style;
            style.boundary = i % 7 == 0 ? LinkBoundaryKind::Underline : LinkBoundaryKind::Rectangle;
            style.lineType = types[i % 3];
            style.lineWidth = i % 2 ? LinkLineWidth::Coarse : LinkLineWidth::Thin;
            style.color = QColor::fromHsv(i * 6, 200, 200);
            // Overlapping, and some flush with the page's edges.
            const float x = float(i % 10) * 18, y = float(i / 10) * 16.5f;
            links.push_back(m_fixture->AddLink(i / 30, CCA_GRect(x, y, x + 30, y + 12), style, nullptr));
        }
        // Reaching past its page, which is then drawn live.
        LinkStyle dotted;
        dotted.lineType = LinkLineType::Dotted3;
        m_fixture->AddLink(1, CCA_GRect(195, 60, 225, 72), dotted, nullptr);
        Mouse(QEvent::MouseButtonPress, Scene(5, 5));
        Mouse(QEvent::MouseButtonRelease, Scene(5, 5));
        Mouse(QEvent::MouseButtonPress, Scene(120, 70));
        Mouse(QEvent::MouseMove, Scene(150, 90));

        const auto frame = [this](bool kept) {
            View()->SetPageCacheEnabled(kept);
            QImage image(View()->viewport()->size(), QImage::Format_RGB32);
            QPainter painter(&image);
            View()->render(&painter, QRectF(), View()->viewport()->rect());
            return image;
        };
        // Each change comes after a kept frame, so the next one must notice it.
        const auto compare = [&](const char *after) {
            const QImage kept = frame(true), fresh = frame(false);
            QVERIFY2(kept == fresh, after);
            frame(true);
        };
        frame(true);
        compare("first frame");
        links[3]->SetBoundary(CCA_GRect(60, 60, 90, 80));
        compare("a move");
        ApplyLinkStyle(m_fixture->document.get(), links[4], LinkStyle(), "test");
        compare("a restyle");
        LinkPathObject(links[5])->SetLineWidth(2);
        compare("a wider line");
        links[6]->SetVisible(false);
        compare("hiding");
        View()->GDocument()->GetPage(0)->TakeAnnots({links[7], links[8]});
        compare("a deletion");
        View()->GDocument()->GetPage(0)->InsertAnnots({{7, links[7]}, {8, links[8]}});
        compare("its undo");
    }

    void keysAndShortcuts()
    {
        IG_Annot *annot = AddLink(LinkBoundaryKind::Rectangle, 1);
        QCOMPARE(Tool()->ShortCutActivated(Qt::Key_V, Qt::ControlModifier), 0); // nothing selected
        QCOMPARE(g_calls.takeLast().params.value("pageindex").toInt(), -1);
        Drag(Scene(75, 30, 1), Scene(75, 30, 1));

        QCOMPARE(Tool()->ShortCutActivated(Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier), 1);
        QCOMPARE(g_calls.size(), 0);
        QCOMPARE(Tool()->ShortCutActivated(Qt::Key_C, Qt::ControlModifier), 1);
        QCOMPARE(g_calls.last().name, QString("d_annotlinkcopy"));
        // 5 px right of and below the link's corner: page 1 starts at scene y 12 + 201 + 12.
        QCOMPARE(g_calls.last().params.value("capoint").value<CCA_Point>(), CCA_Point(12 + 100 + 5, 225 + 40 + 5));

        QCOMPARE(Tool()->OnKeyDown(Qt::Key_Delete, 1, 0), 0);
        QCOMPARE(g_calls.last().name, QString("d_delannot"));
        QCOMPARE(g_calls.last().params.value("pageAndAnnotID").toString(), QString("1:%1").arg(annot->ID()));

        annot->SetReadOnly(true);
        g_calls.clear();
        QCOMPARE(Tool()->OnKeyDown(Qt::Key_Delete, 1, 0), 0);
        QCOMPARE(Tool()->ShortCutActivated(Qt::Key_X, Qt::ControlModifier), 0);
        QCOMPARE(g_calls.size(), 0);
        QCOMPARE(Tool()->OnKeyDown(Qt::Key_Escape, 1, 0), 1);
        QCOMPARE(g_calls.last().name, QString("tt_link"));
    }

    void contextMenuStates()
    {
        IG_Annot *annot = AddLink();
        auto enabled = [this](const char *name) {
            return bool(m_menu->states.value(name).flags & G_MenuItemState::Enabled);
        };
        QGuiApplication::clipboard()->clear();
        QTest::mouseClick(View()->viewport(), Qt::RightButton, Qt::NoModifier, View()->mapFromScene(Scene(75, 30)));
        QCOMPARE(m_menu->menuName, QString("annotlinkmenu"));
        QVERIFY(m_menu->edit && enabled("d_annotlinkcopy") && enabled("d_annotlinkproperty"));
        QVERIFY(enabled("d_annotlinkcut") && enabled("d_annotlinkdel") && !enabled("d_annotlinkpaste"));

        auto *record = new QMimeData;
        record->setData("type", "linkannot");
        record->setData("doc", QByteArray(m_fixture->document->DocumentKey().c_str()));
        QGuiApplication::clipboard()->setMimeData(record);
        annot->SetReadOnly(true);
        QTest::mouseClick(View()->viewport(), Qt::RightButton, Qt::NoModifier, View()->mapFromScene(Scene(75, 30)));
        QVERIFY(enabled("d_annotlinkpaste") && !enabled("d_annotlinkcut") && !enabled("d_annotlinkdel"));
        QGuiApplication::clipboard()->clear();
    }
};

QTEST_MAIN(TestGALink)
#include "tst_galink.moc"
