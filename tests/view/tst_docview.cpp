#include "uiframework/gq_convert.h"

#include "omofdapi/g_action.h"

#include "viewfixture.h"

#include <QSignalSpy>

// Expected pixels come from 96 / 25.4 = 3.7795276 pixels per millimetre at 100 %.
class tst_DocView : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_fixture.reset(new ViewFixture(3));
        m_view = m_fixture->view;
        QVERIFY(m_fixture->Show(600, 400));
    }

    void cleanup() { m_fixture.reset(); }

    void docToScene_data()
    {
        QTest::addColumn<float>("zoom");
        QTest::addColumn<int>("rotate");
        QTest::addColumn<int>("page");
        QTest::addColumn<QPointF>("doc");
        QTest::addColumn<QPoint>("offset"); // from the page rectangle's top-left

        QTest::newRow("100%: 10,20") << 100.f << 0 << 0 << QPointF(10, 20) << QPoint(38, 76);
        QTest::newRow("100%: far corner") << 100.f << 0 << 2 << QPointF(210, 297) << QPoint(794, 1123);
        QTest::newRow("137.5%: 100,200") << 137.5f << 0 << 2 << QPointF(100, 200) << QPoint(520, 1039);
        QTest::newRow("400%: one inch") << 400.f << 0 << 1 << QPointF(25.4, 50.8) << QPoint(384, 768);
        // 90: x' = 297 mm - y, y' = x; 180: x' = 210 mm - x, y' = 297 mm - y; 270: x' = y, y' = 210 mm - x.
        QTest::newRow("90: 10,20") << 100.f << 90 << 1 << QPointF(10, 20) << QPoint(1047, 38);
        QTest::newRow("180: 10,20") << 100.f << 180 << 0 << QPointF(10, 20) << QPoint(756, 1047);
        QTest::newRow("270: 10,20") << 100.f << 270 << 2 << QPointF(10, 20) << QPoint(76, 756);
    }

    void docToScene()
    {
        QFETCH(float, zoom);
        QFETCH(int, rotate);
        QFETCH(int, page);
        QFETCH(QPointF, doc);
        m_view->SetZoom(zoom);
        m_view->SetRotate(rotate);
        const QPoint origin = m_view->PageRect(page).topLeft();
        const CCA_Point scene = m_view->ScenePointFromDocPoint(CCA_GPoint(float(doc.x()), float(doc.y())), page);
        QTEST(QPoint(scene.x, scene.y) - origin, "offset");

        // A whole-millimetre page rotated a quarter turn swaps its pixel sizes.
        const QSize size = m_view->PageRect(page).size();
        if (rotate == 90 || rotate == 270)
            QCOMPARE(size, QSize(1123, 794));
    }

    void sceneToDocRoundTrip_data()
    {
        QTest::addColumn<float>("zoom");
        QTest::addColumn<int>("rotate");
        QTest::newRow("100") << 100.f << 0;
        QTest::newRow("137.5") << 137.5f << 0;
        QTest::newRow("100 rotated 90") << 100.f << 90;
        QTest::newRow("137.5 rotated 270") << 137.5f << 270;
    }

    void sceneToDocRoundTrip()
    {
        QFETCH(float, zoom);
        QFETCH(int, rotate);
        m_view->SetZoom(zoom);
        m_view->SetRotate(rotate);
        const QRect page = m_view->PageRect(1);
        for (int dx = 0; dx < page.width(); dx += 37) {
            for (int dy = 0; dy < page.height(); dy += 53) {
                const CCA_Point scene(page.left() + dx, page.top() + dy);
                int index = -1;
                const CCA_GPoint doc = m_view->DocPointFromScenePoint(scene, &index);
                QCOMPARE(index, 1);
                const CCA_Point back = m_view->ScenePointFromDocPoint(doc, 1);
                QVERIFY2(back == scene, qPrintable(QStringLiteral("%1,%2 came back as %3,%4")
                                                       .arg(scene.x).arg(scene.y).arg(back.x).arg(back.y)));
            }
        }
        // Scene to document is exact: 38 pixels at 100 % are 10.0541667 mm.
        if (zoom == 100.f && rotate == 0) {
            const CCA_GPoint doc = m_view->DocPointFromScenePointByPageIndex(
                CCA_Point(page.left() + 38, page.top() + 76), 1);
            QVERIFY(qAbs(doc.x - 10.0541667f) < 1e-4f);
            QVERIFY(qAbs(doc.y - 20.1083333f) < 1e-4f);
        }
    }

    void pageRectCoversWholeMillimetres_data()
    {
        QTest::addColumn<float>("zoom");
        for (float zoom : {10.f, 25.f, 50.f, 100.f, 137.5f, 400.f, 6400.f})
            QTest::newRow(qPrintable(QString::number(double(zoom)))) << zoom;
    }

    // Truncated to whole millimetres, the page rectangle of a 210 x 297 mm page is 211 x 298
    // in Qt's inclusive sizes.
    void pageRectCoversWholeMillimetres()
    {
        QFETCH(float, zoom);
        m_view->SetZoom(zoom);
        int page = 1;
        const CCA_GRect doc = m_view->DocRectFromSceneRect(GQ_ToCARect(m_view->PageRect(page)), &page);
        QCOMPARE(page, 1);
        QVERIFY2(doc.right >= 210.f && doc.right < 211.f, qPrintable(QString::number(double(doc.right))));
        QVERIFY2(doc.bottom >= 297.f && doc.bottom < 298.f, qPrintable(QString::number(double(doc.bottom))));
        const QRect truncated(QPoint(int(doc.left), int(doc.top)), QPoint(int(doc.right), int(doc.bottom)));
        QCOMPARE(truncated.width(), 211);
        QCOMPARE(truncated.height(), 298);
    }

    // Pages of mixed sizes, checked point by point against a plain scan of every page.
    void pageUnderPointMatchesAScanOfEveryPage()
    {
        std::unique_ptr<OFD_Document> document = OFD_Document::CreateBlank(0, 210, 297);
        const float sizes[][2] = {{210, 297}, {100, 50}, {297, 210}, {30, 400}, {148, 210}, {60, 60}};
        for (const auto &size : sizes)
            document->AddPage(CCA_GRect(0, 0, size[0], size[1]));
        G_DocView view(nullptr, document.get());
        view.SetZoom(25);
        QList<QRect> rects;
        for (int i = 0; i < view.PageCount(); ++i)
            rects << view.PageRect(i);
        const auto scan = [&rects](const QPoint &p, bool widen, bool nearest) {
            const int m = widen ? 6 : 0;
            for (int i = 0; i < rects.size(); ++i)
                if (rects[i].adjusted(-m, -m, m, m).contains(p))
                    return i;
            if (!nearest)
                return -1;
            int best = -1;
            qint64 bestDistance = 0;
            for (int i = 0; i < rects.size(); ++i) {
                const qint64 dx = std::max({rects[i].left() - p.x(), 0, p.x() - rects[i].right()});
                const qint64 dy = std::max({rects[i].top() - p.y(), 0, p.y() - rects[i].bottom()});
                if (best < 0 || dx * dx + dy * dy < bestDistance) {
                    best = i;
                    bestDistance = dx * dx + dy * dy;
                }
            }
            return best;
        };
        const QRect scene = rects.first().united(rects.last()).adjusted(-300, -50, 300, 50);
        for (int y = scene.top(); y <= scene.bottom(); y += 3) {
            for (int x = scene.left(); x <= scene.right(); x += 17) {
                for (int mode = 0; mode < 4; ++mode) {
                    const QPoint p(x, y);
                    const bool widen = mode & 1, nearest = mode & 2;
                    if (view.PageIndexByPoint(p, widen, nearest) != scan(p, widen, nearest))
                        QFAIL(qPrintable(QStringLiteral("(%1, %2) widen %3 nearest %4: %5, a scan finds %6")
                                             .arg(x).arg(y).arg(widen).arg(nearest)
                                             .arg(view.PageIndexByPoint(p, widen, nearest)).arg(scan(p, widen, nearest))));
                }
            }
        }
        // No document: no page anywhere.
        G_DocView empty(nullptr, nullptr);
        QCOMPARE(empty.PageIndexByPoint(QPoint(10, 10), true, true), -1);
        int index = 5;
        empty.DocPointFromScenePoint(CCA_Point(10, 10), &index);
        QCOMPARE(index, -1);
    }

    void zoomIsClamped()
    {
        QSignalSpy spy(m_view, &G_DocView::ZoomChanged);
        m_view->SetZoom(5);
        QCOMPARE(m_view->GetZoom(), 10.f);
        m_view->SetZoom(10000);
        QCOMPARE(m_view->GetZoom(), 6400.f);
        QCOMPARE(spy.count(), 2);
        QCOMPARE(m_view->ZoomMode(), int(G_Zoom_Custom));
        QCOMPARE(m_view->PageRect(0).width(), 50797); // ceil(210 * 3.7795276 * 64 = 50796.85)
    }

    void fitWidthFillsTheViewport()
    {
        m_view->SetZoomMode(G_Zoom_FitWidth);
        const int width = m_view->PageRect(0).width();
        QVERIFY2(width > m_view->viewport()->width() - 60 && width <= m_view->viewport()->width(),
                 qPrintable(QStringLiteral("page %1, viewport %2").arg(width).arg(m_view->viewport()->width())));
        m_view->resize(900, 400);
        QTRY_VERIFY(m_view->PageRect(0).width() > width + 200); // applied again on resize
        m_view->SetZoomMode(G_Zoom_FitPage);
        QVERIFY(m_view->PageRect(0).height() <= m_view->viewport()->height());
        m_view->SetZoomMode(G_Zoom_ActualSize);
        QCOMPARE(m_view->GetZoom(), 100.f);
    }

    void currentPageFollowsScrolling()
    {
        QSignalSpy spy(m_view, &G_DocView::CurrentPageChanged);
        m_view->GoToPage(2);
        QCOMPARE(m_view->CurrentPageIndex(), 2);
        QVERIFY(m_view->VisibleSceneRect().contains(m_view->PageRect(2).topLeft()));
        QCOMPARE(spy.last().at(0).toInt(), 2);
        m_view->GoToPage(0);
        QCOMPARE(m_view->CurrentPageIndex(), 0);
        QCOMPARE(spy.last().at(0).toInt(), 0);
    }

    void goToDestXYZ()
    {
        G_Dest dest;
        dest.pageIndex = 1;
        dest.left = 0;
        dest.top = 100;
        dest.zoom = 2; // a factor, 200 %
        dest.type = G_Dest_XYZ;
        m_view->GoToDest(dest);
        QCOMPARE(m_view->GetZoom(), 200.f);
        // 100 mm at 200 % are 755.9 pixels below the page's top.
        const int top = m_view->PageRect(1).top() + 756;
        QCOMPARE(m_view->VisibleSceneRect().top(), top);
        QCOMPARE(m_view->CurrentPageIndex(), 1);
    }

    void visibleRectInMillimetres()
    {
        m_view->SetZoom(100);
        m_view->ScrollToScenePoint(m_view->PageRect(1).topLeft() + QPoint(38, 76));
        const CCA_GRect visible = m_view->CurrentPageVisibleRectMM();
        QVERIFY(qAbs(visible.left - 10.054f) < 0.01f);
        QVERIFY(qAbs(visible.top - 20.108f) < 0.01f);
        // The viewport's width at 3.7795 pixels per millimetre, but no further than the page.
        const float width = m_view->viewport()->width() / 3.7795276f;
        QVERIFY(qAbs(visible.right - std::min(210.f, 10.054f + width)) < 0.3f);
    }

    // Any size a file can give a page, at either end of the zoom range and turned a quarter,
    // lays out inside the scene, and any destination on it scrolls without overflowing.
    void hostileSizesStayInTheScene_data()
    {
        QTest::addColumn<float>("width");
        QTest::addColumn<float>("height");
        QTest::addColumn<float>("left");
        QTest::addColumn<float>("zoom");
        QTest::newRow("1e30 square") << 1e30f << 1e30f << 0.f << 1.f;
        QTest::newRow("1e9 x 1") << 1e9f << 1.f << 5e8f << 64.f;
        QTest::newRow("largest float") << 3.4e38f << 3.4e38f << 3e38f << 64.f;
        QTest::newRow("A4, destination at 3e38") << 210.f << 297.f << 3e38f << 2.f;
        QTest::newRow("A4, destination at -3e38") << 210.f << 297.f << -3e38f << 0.001f;
        QTest::newRow("1e-30 wide") << 1e-30f << 297.f << 1e-30f << 3e38f;
    }

    void hostileSizesStayInTheScene()
    {
        QFETCH(float, width);
        QFETCH(float, height);
        QFETCH(float, left);
        QFETCH(float, zoom);
        const auto document = OFD_Document::CreateBlank(40, width, height);
        G_DocView view(nullptr, document.get());
        view.resize(600, 400);
        for (int mode : {int(G_Zoom_FitWidth), int(G_Zoom_FitPage), int(G_Zoom_FitVisible)})
            view.SetZoomMode(mode);
        for (int rotate : {90, 0}) {
            view.SetRotate(rotate);
            for (float percent : {6400.f, 10.f}) {
                view.SetZoom(percent);
                const QRect last = view.PageRect(39);
                QVERIFY(last.width() > 0 && last.height() > 0);
                QVERIFY2(qint64(last.bottom()) < GQ_MaxSceneCoordinate, qPrintable(QString::number(last.bottom())));
                const CCA_Point far = view.ScenePointFromDocPoint(CCA_GPoint(left, -left), 39);
                QVERIFY(std::abs(far.x) <= GQ_MaxSceneCoordinate && std::abs(far.y) <= GQ_MaxSceneCoordinate);
                for (int type : {int(G_Dest_XYZ), int(G_Dest_FitH), int(G_Dest_FitV), int(G_Dest_FitR)}) {
                    G_Dest dest;
                    dest.type = type;
                    dest.pageIndex = 39;
                    dest.left = left;
                    dest.top = left;
                    dest.right = -left;
                    dest.bottom = 1;
                    dest.zoom = zoom;
                    view.GoToDest(dest);
                    view.GoToPage(39);
                }
                const QRect scene = GQ_ToQRect(view.SceneRectFromDocRect(CCA_GRect(-left, -left, left, left), 39));
                QVERIFY(scene.width() >= 0 && scene.height() >= 0);
            }
        }
        QVERIFY(view.GetZoom() >= 10.f && view.GetZoom() <= 6400.f);
    }

private:
    std::unique_ptr<ViewFixture> m_fixture;
    G_DocView *m_view = nullptr;
};

QTEST_MAIN(tst_DocView)
#include "tst_docview.moc"
