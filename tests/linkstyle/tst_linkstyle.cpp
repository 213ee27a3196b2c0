#include "tool/linkstyle.h"

#include "omofdapi/ig_appearance.h"
#include "omofdapi/ofd_document.h"

#include <QRegularExpression>
#include <QtTest>

#include <memory>

namespace {

using Floats = QVector<float>;

// Nine digits tell every float apart.
QString Text(const CCA_ArrayTemplate<float> &values)
{
    QStringList items;
    for (float value : values)
        items << QString::number(double(value), 'g', 9);
    return items.join(QLatin1Char(','));
}

CCA_ArrayTemplate<float> Array(const Floats &values)
{
    CCA_ArrayTemplate<float> array;
    for (float value : values)
        array.Add(value);
    return array;
}

IG_Annot *NewLink(OFD_Document &document)
{
    IG_Annot *annot = document.GetPage(0)->AddAnnot(1, "Link", -1, false, OMSharedPtr<const OMJson>());
    annot->CreateAppearance()->InsertPageObject(2, -1, false);
    return annot;
}

} // namespace

Q_DECLARE_METATYPE(LinkBoundaryKind)
Q_DECLARE_METATYPE(LinkLineType)
Q_DECLARE_METATYPE(LinkLineWidth)

class tst_LinkStyle : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void decodeLineWidth_data()
    {
        using W = LinkLineWidth;
        QTest::addColumn<float>("width");
        QTest::addColumn<LinkLineWidth>("current");
        QTest::addColumn<LinkLineWidth>("index");
        QTest::newRow("middle") << 0.70555556f << W::Thin << W::Middle;
        QTest::newRow("coarse") << 1.0583334f << W::Thin << W::Coarse;
        QTest::newRow("1.5 mm is 4.25 pt") << 1.5f << W::Middle << W::Middle;
        QTest::newRow("exactly 0.5 pt") << 0.17638889f << W::Coarse << W::Coarse;
        QTest::newRow("exactly 2.5 pt") << 0.88194442f << W::Thin << W::Thin;
        QTest::newRow("exactly 3.5 pt") << 1.2347223f << W::Middle << W::Middle;
        // 1.49999988 pt once the double result is stored as a float.
        QTest::newRow("just under 1.5 pt") << 0.52916664f << W::Coarse << W::Thin;
    }

    void decodeLineWidth()
    {
        QFETCH(float, width);
        QFETCH(LinkLineWidth, current);
        QTEST(DecodeLineWidth(width, current), "index");
    }

    void encodeDashPattern_data()
    {
        using T = LinkLineType;
        using W = LinkLineWidth;
        QTest::addColumn<LinkLineType>("type");
        QTest::addColumn<LinkLineWidth>("width");
        QTest::addColumn<Floats>("pattern");
        // n × c × 4 ÷ 3 in double, c = 5, 3, 2, 1 pixels at 96 dpi; n = 1, 2, 3 points.
        QTest::newRow("solid") << T::Solid << W::Coarse << Floats{};
        QTest::newRow("dotted1 thin") << T::Dotted1 << W::Thin << Floats{1.7638888f, 1.0583333f};
        QTest::newRow("dotted2 coarse") << T::Dotted2 << W::Coarse << Floats{3.175f, 1.0583333f};
        QTest::newRow("dotted3 middle") << T::Dotted3 << W::Middle << Floats{3.5277777f, 1.4111111f, 0.70555556f, 1.4111111f};
        QTest::newRow("dotted4 coarse") << T::Dotted4 << W::Coarse << Floats{5.2916665f, 2.1166666f, 1.0583333f, 2.1166666f, 1.0583333f, 2.1166666f};
        QTest::newRow("no width chosen is thin") << T::Dotted2 << W(-1) << Floats{1.0583333f, 0.35277778f};
    }

    void encodeDashPattern()
    {
        QFETCH(LinkLineType, type);
        QFETCH(LinkLineWidth, width);
        QFETCH(Floats, pattern);
        QCOMPARE(Text(EncodeDashPattern(type, width)), Text(Array(pattern)));
    }

    void decodeLineType_data()
    {
        using T = LinkLineType;
        using W = LinkLineWidth;
        QTest::addColumn<Floats>("pattern");
        QTest::addColumn<LinkLineWidth>("width");
        QTest::addColumn<LinkLineType>("current");
        QTest::addColumn<LinkLineType>("type");
        QTest::newRow("empty is solid") << Floats{} << W::Coarse << T::Dotted3 << T::Solid;
        // n = 3: T = 2.1167 < dotted2 < A = 4.2333 < dotted1 < S = 6.35, all exclusive.
        QTest::newRow("just above A") << Floats{4.24f, 1} << W::Coarse << T::Solid << T::Dotted1;
        QTest::newRow("just below A") << Floats{4.23f, 1} << W::Coarse << T::Solid << T::Dotted2;
        QTest::newRow("just above T") << Floats{2.12f, 1} << W::Coarse << T::Solid << T::Dotted2;
        QTest::newRow("below T") << Floats{2.11f, 1} << W::Coarse << T::Dotted4 << T::Dotted4;
        QTest::newRow("above S") << Floats{6.36f, 1} << W::Coarse << T::Dotted3 << T::Dotted3;
        QTest::newRow("four entries") << Floats{1, 2, 3, 4} << W::Thin << T::Solid << T::Dotted3;
        QTest::newRow("six entries") << Floats{1, 2, 3, 4, 5, 6} << W::Middle << T::Solid << T::Dotted4;
        QTest::newRow("five entries") << Floats{1, 2, 3, 4, 5} << W::Middle << T::Dotted2 << T::Dotted2;
    }

    void decodeLineType()
    {
        QFETCH(Floats, pattern);
        QFETCH(LinkLineWidth, width);
        QFETCH(LinkLineType, current);
        QTEST(DecodeLineType(Array(pattern), width, current), "type");
    }

    void colourAndKind()
    {
        std::unique_ptr<OFD_Document> document = OFD_Document::CreateBlank(1, 210, 297);
        const std::unique_ptr<IG_Color> red = EncodeColor(document.get(), QColor(255, 0, 0, 128));
        QCOMPARE(red->ColorSpace(), 2);
        QCOMPARE(red->Value(), 255u);
        QCOMPARE(int(red->Alpha()), 128);
        QCOMPARE(DecodeColor(red.get()), QColor(255, 0, 0, 128));
        const std::unique_ptr<IG_Color> blue = EncodeColor(document.get(), QColor(0x14, 0xa8, 0xf0));
        QCOMPARE(blue->Value(), 0xf0a814u);
        // An open path reads as an underline even when hidden; the rest is pinned by rebuildLinkPath.
        CCA_Path underline;
        underline.MoveTo(1, 5);
        underline.LineTo(9, 5);
        QCOMPARE(DecodeBoundaryKind(underline, false), LinkBoundaryKind::Underline);
    }

    void rebuildLinkPath_data()
    {
        QTest::addColumn<LinkBoundaryKind>("kind");
        QTest::addColumn<QVector<QPointF>>("points");
        // Boundary (10, 20, 60, 30), width 0.70555556: h = 0.35277778, W = 50, H = 10.
        const double h = 0.35277778;
        const QVector<QPointF> box = {{h, h}, {50 - h, h}, {50 - h, 10 - h}, {h, 10 - h}};
        QTest::newRow("rectangle") << LinkBoundaryKind::Rectangle << box;
        QTest::newRow("underline") << LinkBoundaryKind::Underline << QVector<QPointF>{{h, 10 - h}, {50 - h, 10 - h}};
        QTest::newRow("invisible") << LinkBoundaryKind::Invisible << box;
    }

    void rebuildLinkPath()
    {
        QFETCH(LinkBoundaryKind, kind);
        QFETCH(QVector<QPointF>, points);
        std::unique_ptr<OFD_Document> document = OFD_Document::CreateBlank(1, 210, 297);
        IG_Annot *annot = NewLink(*document);
        IG_PageObject *object = LinkPathObject(annot);
        LinkStroke stroke;
        stroke.lineWidth = 0.70555556f;
        stroke.visible = kind == LinkBoundaryKind::Invisible;
        QVERIFY(WriteLinkStroke(document.get(), object, stroke));

        QTest::ignoreMessage(QtDebugMsg, QRegularExpression(
            QStringLiteral("^Trace::Rebuild QRectF\\(10,20 50x10\\) QRectF\\(0,0 50x10\\)$")));
        RebuildLinkPath(annot, object, CCA_GRect(10, 20, 60, 30), kind, "Trace::Rebuild");

        QCOMPARE(object->IsVisible(), kind != LinkBoundaryKind::Invisible);
        const CCA_GRect outer = annot->Boundary();
        const CCA_GRect own = object->Boundary();
        QVERIFY(qAbs(outer.left - 10) + qAbs(outer.top - 20) + qAbs(outer.right - 60) + qAbs(outer.bottom - 30) < 1e-4);
        QVERIFY(qAbs(own.left) + qAbs(own.top) + qAbs(own.right - 50) + qAbs(own.bottom - 10) < 1e-4);
        const CCA_Path path = object->Path();
        const bool closed = kind != LinkBoundaryKind::Underline;
        QCOMPARE(path.SegmentCount(), points.size() + (closed ? 1 : 0));
        for (int i = 0; i < points.size(); ++i) {
            const CCA_Path::Segment &segment = path.SegmentAt(i);
            QCOMPARE(segment.type, i == 0 ? CCA_Path::Move : CCA_Path::Line);
            QVERIFY2(qAbs(segment.v[0] - points[i].x()) + qAbs(segment.v[1] - points[i].y()) < 1e-4,
                     qPrintable(QStringLiteral("point %1 is %2, %3").arg(i).arg(segment.v[0]).arg(segment.v[1])));
        }
        QCOMPARE(DecodeBoundaryKind(path, object->IsVisible()), kind);
    }
};

QTEST_MAIN(tst_LinkStyle)
#include "tst_linkstyle.moc"
