#include "tool/linkgeometrystate.h"
#include "tool/linkstyle.h"

#include "omofdapi/ig_appearance.h"
#include "omofdapi/ofd_document.h"

#include <QRegularExpression>
#include <QtTest>

#include <memory>

namespace {

// Widths in points at which a stored width lies exactly on a row boundary.
const float kHalfPoint = 0.17638889f;
const float kTwoAndHalfPoints = 0.88194442f;
const float kThreeAndHalfPoints = 1.2347223f;
// Just under 1.5 points once the decode's double arithmetic has been rounded to float.
const float kJustUnderOneAndHalfPoints = 0.52916664f;

QString FloatText(float value)
{
    return QString::number(double(value), 'g', 9);
}

QString PatternText(const CCA_ArrayTemplate<float> &pattern)
{
    QStringList items;
    for (float value : pattern)
        items << FloatText(value);
    return items.join(QLatin1Char(','));
}

// Float arithmetic of the rebuild leaves a few ulps on the edges.
bool Near(const CCA_GRect &rect, float left, float top, float right, float bottom)
{
    return qAbs(rect.left - left) < 1e-4f && qAbs(rect.top - top) < 1e-4f && qAbs(rect.right - right) < 1e-4f
           && qAbs(rect.bottom - bottom) < 1e-4f;
}

QString RectText(const CCA_GRect &rect)
{
    return QStringLiteral("(%1, %2, %3, %4)").arg(FloatText(rect.left), FloatText(rect.top), FloatText(rect.right),
                                                   FloatText(rect.bottom));
}

CCA_ArrayTemplate<float> Pattern(std::initializer_list<float> values)
{
    CCA_ArrayTemplate<float> pattern;
    for (float value : values)
        pattern.Add(value);
    return pattern;
}

CCA_Path RectPath()
{
    CCA_Path path;
    path.MoveTo(1, 1);
    path.LineTo(9, 1);
    path.LineTo(9, 5);
    path.LineTo(1, 5);
    path.CloseFigure();
    return path;
}

CCA_Path LinePath()
{
    CCA_Path path;
    path.MoveTo(1, 5);
    path.LineTo(9, 5);
    return path;
}

} // namespace

Q_DECLARE_METATYPE(CCA_ArrayTemplate<float>)
Q_DECLARE_METATYPE(LinkBoundaryKind)

class tst_LinkStyle : public QObject
{
    Q_OBJECT

private slots:
    void encodeLineWidth_data();
    void encodeLineWidth();
    void decodeLineWidth_data();
    void decodeLineWidth();
    void encodeDashPattern_data();
    void encodeDashPattern();
    void decodeLineType_data();
    void decodeLineType();
    void colourRoundTrip_data();
    void colourRoundTrip();
    void decodeBoundaryKind_data();
    void decodeBoundaryKind();
    void rebuildLinkPath_data();
    void rebuildLinkPath();
    void applyLinkStyleDecodesBack();
    void geometryStateFromAnnot();
};

void tst_LinkStyle::encodeLineWidth_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<float>("width");
    QTest::newRow("thin") << 0 << 0.35277778f;
    QTest::newRow("middle") << 1 << 0.70555556f;
    QTest::newRow("coarse") << 2 << 1.0583334f;
}

void tst_LinkStyle::encodeLineWidth()
{
    QFETCH(int, index);
    QFETCH(float, width);
    const float actual = EncodeLineWidth(index);
    QVERIFY2(actual == width, qPrintable(FloatText(actual) + " != " + FloatText(width)));
}

void tst_LinkStyle::decodeLineWidth_data()
{
    QTest::addColumn<float>("width");
    QTest::addColumn<int>("current");
    QTest::addColumn<int>("index");
    QTest::newRow("thin") << 0.35277778f << 2 << 0;
    QTest::newRow("middle") << 0.70555556f << 0 << 1;
    QTest::newRow("coarse") << 1.0583334f << 0 << 2;
    QTest::newRow("1.5 mm matches no row") << 1.5f << 1 << 1;
    QTest::newRow("0.5 pt is outside") << kHalfPoint << 2 << 2;
    QTest::newRow("2.5 pt is on no row") << kTwoAndHalfPoints << 0 << 0;
    QTest::newRow("3.5 pt is outside") << kThreeAndHalfPoints << 1 << 1;
    QTest::newRow("just under 1.5 pt") << kJustUnderOneAndHalfPoints << 2 << 0;
    QTest::newRow("zero") << 0.0f << 1 << 1;
}

void tst_LinkStyle::decodeLineWidth()
{
    QFETCH(float, width);
    QFETCH(int, current);
    QFETCH(int, index);
    QCOMPARE(DecodeLineWidth(width, current), index);
}

void tst_LinkStyle::encodeDashPattern_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("width");
    QTest::addColumn<CCA_ArrayTemplate<float>>("pattern");
    // Multiples of the line width: 5,3 / 3,1 / 5,2,1,2 / 5,2,1,2,1,2, n = 1, 2, 3 points.
    QTest::newRow("solid thin") << 0 << 0 << Pattern({});
    QTest::newRow("solid coarse") << 0 << 2 << Pattern({});
    QTest::newRow("dotted1 thin") << 1 << 0 << Pattern({1.7638888f, 1.0583333f});
    QTest::newRow("dotted1 middle") << 1 << 1 << Pattern({3.5277777f, 2.1166666f});
    QTest::newRow("dotted1 coarse") << 1 << 2 << Pattern({5.2916665f, 3.175f});
    QTest::newRow("dotted2 thin") << 2 << 0 << Pattern({1.0583333f, 0.35277778f});
    QTest::newRow("dotted2 middle") << 2 << 1 << Pattern({2.1166666f, 0.70555556f});
    QTest::newRow("dotted2 coarse") << 2 << 2 << Pattern({3.175f, 1.0583333f});
    QTest::newRow("dotted3 thin") << 3 << 0 << Pattern({1.7638888f, 0.70555556f, 0.35277778f, 0.70555556f});
    QTest::newRow("dotted3 middle") << 3 << 1 << Pattern({3.5277777f, 1.4111111f, 0.70555556f, 1.4111111f});
    QTest::newRow("dotted3 coarse") << 3 << 2 << Pattern({5.2916665f, 2.1166666f, 1.0583333f, 2.1166666f});
    QTest::newRow("dotted4 thin") << 4 << 0
        << Pattern({1.7638888f, 0.70555556f, 0.35277778f, 0.70555556f, 0.35277778f, 0.70555556f});
    QTest::newRow("dotted4 middle") << 4 << 1
        << Pattern({3.5277777f, 1.4111111f, 0.70555556f, 1.4111111f, 0.70555556f, 1.4111111f});
    QTest::newRow("dotted4 coarse") << 4 << 2
        << Pattern({5.2916665f, 2.1166666f, 1.0583333f, 2.1166666f, 1.0583333f, 2.1166666f});
}

void tst_LinkStyle::encodeDashPattern()
{
    QFETCH(int, type);
    QFETCH(int, width);
    QFETCH(CCA_ArrayTemplate<float>, pattern);
    // Exact: the entries are computed in double and rounded once (coarse 1.0583333, not the
    // coarse width 1.0583334).
    const CCA_ArrayTemplate<float> actual = EncodeDashPattern(type, width);
    QCOMPARE(PatternText(actual), PatternText(pattern));
}

void tst_LinkStyle::decodeLineType_data()
{
    QTest::addColumn<CCA_ArrayTemplate<float>>("pattern");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("current");
    QTest::addColumn<int>("type");
    QTest::newRow("empty is solid") << Pattern({}) << 2 << 3 << 0;
    QTest::newRow("coarse dotted2") << Pattern({3.175f, 1.0583333f}) << 2 << 0 << 2;
    QTest::newRow("coarse dotted1") << Pattern({5.2916665f, 3.175f}) << 2 << 0 << 1;
    // n = 3: T = 2.1167, A = 4.2333, S = 6.35, all exclusive.
    QTest::newRow("just above A") << Pattern({4.24f, 1}) << 2 << 0 << 1;
    QTest::newRow("just below A") << Pattern({4.23f, 1}) << 2 << 0 << 2;
    QTest::newRow("just above T") << Pattern({2.12f, 1}) << 2 << 0 << 2;
    QTest::newRow("below T") << Pattern({2.11f, 1}) << 2 << 4 << 4;
    QTest::newRow("above S") << Pattern({6.36f, 1}) << 2 << 3 << 3;
    QTest::newRow("thin width reads other rows") << Pattern({3.175f, 1.0583333f}) << 0 << 4 << 4;
    QTest::newRow("four entries") << Pattern({1, 2, 3, 4}) << 0 << 0 << 3;
    QTest::newRow("six entries") << Pattern({1, 2, 3, 4, 5, 6}) << 1 << 0 << 4;
    QTest::newRow("five entries unchanged") << Pattern({1, 2, 3, 4, 5}) << 1 << 2 << 2;
    QTest::newRow("one entry unchanged") << Pattern({1}) << 1 << 3 << 3;
}

void tst_LinkStyle::decodeLineType()
{
    QFETCH(CCA_ArrayTemplate<float>, pattern);
    QFETCH(int, width);
    QFETCH(int, current);
    QFETCH(int, type);
    QCOMPARE(DecodeLineType(pattern, width, current), type);
}

void tst_LinkStyle::colourRoundTrip_data()
{
    QTest::addColumn<QColor>("colour");
    QTest::addColumn<uint>("value");
    QTest::addColumn<int>("alpha");
    QTest::newRow("red, half alpha") << QColor(255, 0, 0, 128) << 255u << 128;
    QTest::newRow("module blue") << QColor(20, 168, 240, 255) << 0xf0a814u << 255;
    QTest::newRow("transparent white") << QColor(255, 255, 255, 0) << 0xffffffu << 0;
}

void tst_LinkStyle::colourRoundTrip()
{
    QFETCH(QColor, colour);
    QFETCH(uint, value);
    QFETCH(int, alpha);
    std::unique_ptr<OFD_Document> document = OFD_Document::CreateBlank(1, 210, 297);
    std::unique_ptr<IG_Color> object(EncodeColor(document.get(), colour));
    QVERIFY(object);
    QCOMPARE(object->ColorSpace(), 2);
    QCOMPARE(uint(object->Value()), value);
    QCOMPARE(int(object->Alpha()), alpha);
    QCOMPARE(DecodeColor(object.get()), colour);
    QCOMPARE(EncodeColor(nullptr, colour), static_cast<IG_Color *>(nullptr));
}

void tst_LinkStyle::decodeBoundaryKind_data()
{
    QTest::addColumn<bool>("rect");
    QTest::addColumn<bool>("visible");
    QTest::addColumn<LinkBoundaryKind>("kind");
    QTest::newRow("visible rectangle") << true << true << LinkBoundaryKind::Rectangle;
    QTest::newRow("hidden rectangle") << true << false << LinkBoundaryKind::Invisible;
    QTest::newRow("visible line") << false << true << LinkBoundaryKind::Underline;
    QTest::newRow("hidden line") << false << false << LinkBoundaryKind::Underline;
}

void tst_LinkStyle::decodeBoundaryKind()
{
    QFETCH(bool, rect);
    QFETCH(bool, visible);
    QFETCH(LinkBoundaryKind, kind);
    QCOMPARE(DecodeBoundaryKind(rect ? RectPath() : LinePath(), visible), kind);
}

void tst_LinkStyle::rebuildLinkPath_data()
{
    QTest::addColumn<LinkBoundaryKind>("kind");
    QTest::addColumn<bool>("visible");
    QTest::addColumn<QVector<QPointF>>("points");
    QTest::addColumn<bool>("closed");
    // Boundary (10, 20, 60, 30), width 0.70555556: h = 0.35277778, W = 50, H = 10.
    const double h = 0.35277778;
    const QVector<QPointF> box = {{h, h}, {50 - h, h}, {50 - h, 10 - h}, {h, 10 - h}};
    QTest::newRow("rectangle") << LinkBoundaryKind::Rectangle << true << box << true;
    QTest::newRow("underline") << LinkBoundaryKind::Underline << true
                               << QVector<QPointF>{{h, 10 - h}, {50 - h, 10 - h}} << false;
    QTest::newRow("invisible") << LinkBoundaryKind::Invisible << false << box << true;
}

void tst_LinkStyle::rebuildLinkPath()
{
    QFETCH(LinkBoundaryKind, kind);
    QFETCH(bool, visible);
    QFETCH(QVector<QPointF>, points);
    QFETCH(bool, closed);

    std::unique_ptr<OFD_Document> document = OFD_Document::CreateBlank(1, 210, 297);
    IG_Annot *annot = document->GetPage(0)->AddAnnot(1, "Link", -1, false, OMSharedPtr<const OMJson>());
    IG_PageObject *object = annot->CreateAppearance()->InsertPageObject(2, -1, false);
    object->SetLineWidth(0.70555556f);
    object->SetVisible(kind == LinkBoundaryKind::Invisible); // the rebuild must set it

    QTest::ignoreMessage(QtDebugMsg, QRegularExpression(
        QStringLiteral("^Trace::Rebuild QRectF\\(10,20 50x10\\) QRectF\\(0,0 50x10\\)$")));
    RebuildLinkPath(annot, object, CCA_GRect(10, 20, 60, 30), kind, "Trace::Rebuild");

    QCOMPARE(object->IsVisible(), visible);
    QVERIFY2(Near(annot->Boundary(), 10, 20, 60, 30), qPrintable(RectText(annot->Boundary())));
    QVERIFY2(Near(object->Boundary(), 0, 0, 50, 10), qPrintable(RectText(object->Boundary())));

    const CCA_Path path = object->Path();
    QCOMPARE(path.SegmentCount(), points.size() + (closed ? 1 : 0));
    for (int i = 0; i < points.size(); ++i) {
        const CCA_Path::Segment &segment = path.SegmentAt(i);
        QCOMPARE(segment.type, i == 0 ? CCA_Path::Move : CCA_Path::Line);
        QVERIFY2(qAbs(segment.v[0] - points[i].x()) < 1e-4 && qAbs(segment.v[1] - points[i].y()) < 1e-4,
                 qPrintable(QStringLiteral("point %1 is (%2, %3)").arg(i).arg(segment.v[0]).arg(segment.v[1])));
    }
    if (closed)
        QCOMPARE(path.SegmentAt(points.size()).type, CCA_Path::Close);
    QCOMPARE(DecodeBoundaryKind(path, object->IsVisible()), kind);
}

void tst_LinkStyle::applyLinkStyleDecodesBack()
{
    std::unique_ptr<OFD_Document> document = OFD_Document::CreateBlank(1, 210, 297);
    IG_Annot *annot = document->GetPage(0)->AddAnnot(1, "Link", -1, false, OMSharedPtr<const OMJson>());
    annot->SetBoundary(CCA_GRect(10, 20, 60, 30));
    annot->CreateAppearance()->InsertPageObject(2, -1, false);

    LinkStyle style;
    style.boundary = LinkBoundaryKind::Underline;
    style.lineType = LinkLineType::Dotted3;
    style.lineWidth = LinkLineWidth::Coarse;
    style.color = QColor(1, 2, 3, 200);
    QTest::ignoreMessage(QtDebugMsg, QRegularExpression(QStringLiteral("^apply ")));
    QVERIFY(ApplyLinkStyle(document.get(), annot, style, "apply"));

    const LinkStyle read = DecodeLinkStyle(LinkPathObject(annot), LinkStyle());
    QCOMPARE(read.boundary, style.boundary);
    QCOMPARE(read.lineType, style.lineType);
    QCOMPARE(read.lineWidth, style.lineWidth);
    QCOMPARE(read.color, style.color);

    IG_Annot *bare = document->GetPage(0)->AddAnnot(1, "Link", -1, false, OMSharedPtr<const OMJson>());
    QVERIFY(!ApplyLinkStyle(document.get(), bare, style, "apply"));
}

void tst_LinkStyle::geometryStateFromAnnot()
{
    std::unique_ptr<OFD_Document> document = OFD_Document::CreateBlank(3, 210, 297);
    IG_Annot *annot = document->GetPage(2)->AddAnnot(1, "Link", -1, false, OMSharedPtr<const OMJson>());
    annot->SetBoundary(CCA_GRect(1, 2, 3, 4));
    annot->SetLastModDate("2024-05-06 07:08:09");
    annot->CreateAppearance()->InsertPageObject(2, -1, false)->SetPath(RectPath());

    const LinkGeometryState state = LinkGeometryState::FromAnnot(annot);
    QCOMPARE(state.pageIndex, 2);
    QCOMPARE(state.date, QStringLiteral("2024-05-06 07:08:09"));
    QVERIFY(state.boundary == CCA_GRect(1, 2, 3, 4));
    QVERIFY(state.path == RectPath());

    const LinkGeometryState empty = LinkGeometryState::FromAnnot(nullptr);
    QCOMPARE(empty.pageIndex, 0);
    QVERIFY(empty.date.isEmpty() && empty.path.IsEmpty() && empty.boundary == CCA_GRect());
}

QTEST_GUILESS_MAIN(tst_LinkStyle)
#include "tst_linkstyle.moc"
