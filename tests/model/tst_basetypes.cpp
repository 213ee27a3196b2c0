#include "omofd/ofd_codec.h"
#include "ombase/cca_array.h"
#include "ombase/cca_geometry.h"
#include "ombase/cca_path.h"
#include "ombase/cca_string.h"

#include <QString>
#include <QtTest>

#include <cstring>

namespace {

CCA_Path PathOf(const char *text)
{
    bool ok = false;
    CCA_Path path = OFD_StringToPath(CCA_String(text), &ok);
    Q_ASSERT(ok);
    return path;
}

QRectF BoxOf(const CCA_GRect &r)
{
    return QRectF(QPointF(r.left, r.top), QPointF(r.right, r.bottom));
}

} // namespace

class tst_BaseTypes : public QObject
{
    Q_OBJECT

private slots:
    void isRect_data();
    void isRect();
    void arcBoundingBox_data();
    void arcBoundingBox();
    void transformKeepsArcShape();
    void mirrorReversesSweep();
    void translateMovesEveryPoint();
    void matrixConcatAppliesInOrder();
    void rectInRect_data();
    void rectInRect();
    void normalizeAndUnite();
    void rgbValue();
    void arrayCopiesElements();
    void arrayInsertRemove();
    void stringLengths();
    void memoryBlocks();
};

void tst_BaseTypes::isRect_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("rect");
    QTest::newRow("clockwise") << "M 0 0 L 10 0 L 10 5 L 0 5 C" << true;
    QTest::newRow("counter-clockwise") << "M 0 0 L 0 5 L 10 5 L 10 0 C" << true;
    QTest::newRow("fourth line home") << "M 2 1 L 8 1 L 8 4 L 2 4 L 2 1 C" << true;
    QTest::newRow("fourth line elsewhere") << "M 2 1 L 8 1 L 8 4 L 2 4 L 2 2 C" << false;
    QTest::newRow("open four lines") << "M 0 0 L 10 0 L 10 5 L 0 5 L 0 0" << false;
    QTest::newRow("underline") << "M 0 5 L 10 5" << false;
    QTest::newRow("rotated quad") << "M 5 0 L 10 5 L 5 10 L 0 5 C" << false;
    QTest::newRow("zero width") << "M 3 0 L 3 0 L 3 5 L 3 5 C" << false;
    QTest::newRow("zero height") << "M 0 3 L 10 3 L 10 3 L 0 3 C" << false;
    QTest::newRow("curved side") << "M 0 0 L 10 0 Q 12 2 10 5 L 0 5 C" << false;
    QTest::newRow("two figures") << "M 0 0 L 10 0 L 10 5 L 0 5 C M 0 0" << false;
    QTest::newRow("empty") << "" << false;
}

void tst_BaseTypes::isRect()
{
    QFETCH(QString, path);
    QFETCH(bool, rect);
    QCOMPARE(PathOf(path.toLatin1().constData()).IsRect(), rect);
}

void tst_BaseTypes::arcBoundingBox_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QRectF>("box");
    // Half circle of radius 5 over (0,0)-(10,0); y grows downwards, sweep 1 turns clockwise on screen.
    QTest::newRow("bulges up") << "M 0 0 A 5 5 0 0 1 10 0" << QRectF(0, -5, 10, 5);
    QTest::newRow("bulges down") << "M 0 0 A 5 5 0 0 0 10 0" << QRectF(0, 0, 10, 5);
    // Radii too small for the chord are scaled up to just reach it.
    QTest::newRow("radius too small") << "M 0 0 A 1 1 0 0 0 10 0" << QRectF(0, 0, 10, 5);
    QTest::newRow("lines and controls") << "M 1 1 B 0 4 9 -2 6 3" << QRectF(0, -2, 9, 6);
}

void tst_BaseTypes::arcBoundingBox()
{
    QFETCH(QString, path);
    QFETCH(QRectF, box);
    const QRectF got = BoxOf(PathOf(path.toLatin1().constData()).BoundingBox());
    QVERIFY2(qAbs(got.left() - box.left()) < 1e-4 && qAbs(got.top() - box.top()) < 1e-4
                 && qAbs(got.right() - box.right()) < 1e-4 && qAbs(got.bottom() - box.bottom()) < 1e-4,
             qPrintable(QStringLiteral("box %1 %2 %3 %4").arg(got.left()).arg(got.top()).arg(got.right()).arg(got.bottom())));
}

void tst_BaseTypes::transformKeepsArcShape()
{
    CCA_Path path = PathOf("M 0 0 A 5 5 0 0 0 10 0");
    path.Transform(CCA_Matrix(2, 0, 0, 3, 1, 1));
    // (0,0,10,5) scaled by 2 and 3, then moved by 1,1.
    const CCA_GRect box = path.BoundingBox();
    QVERIFY2(qAbs(box.left - 1) < 1e-4 && qAbs(box.top - 1) < 1e-4 && qAbs(box.right - 21) < 1e-4
                 && qAbs(box.bottom - 16) < 1e-4,
             qPrintable(QStringLiteral("%1 %2 %3 %4").arg(box.left).arg(box.top).arg(box.right).arg(box.bottom)));
}

void tst_BaseTypes::mirrorReversesSweep()
{
    CCA_Path path = PathOf("M 0 0 A 5 5 0 0 0 10 0");
    path.Transform(CCA_Matrix(1, 0, 0, -1, 0, 0));
    const CCA_GRect box = path.BoundingBox();
    QVERIFY2(qAbs(box.top + 5) < 1e-4 && qAbs(box.bottom) < 1e-4,
             qPrintable(QStringLiteral("%1 %2").arg(box.top).arg(box.bottom)));
    QCOMPARE(path.SegmentAt(1).v[4], 1.0f);
}

void tst_BaseTypes::translateMovesEveryPoint()
{
    CCA_Path path = PathOf("M 0 0 Q 1 1 2 2 B 3 3 4 4 5 5 A 1 2 30 1 0 6 6 C");
    path.Translate(10, -1);
    QCOMPARE(OFD_PathToString(path).StdString(),
             std::string("M 10 -1 Q 11 0 12 1 B 13 2 14 3 15 4 A 1 2 30 1 0 16 5 C"));
}

void tst_BaseTypes::matrixConcatAppliesInOrder()
{
    const CCA_Matrix move(1, 0, 0, 1, 5, 0);
    const CCA_Matrix scale(2, 0, 0, 2, 0, 0);
    QCOMPARE(move.Concat(scale).Map(CCA_GPoint(1, 1)), CCA_GPoint(12, 2));
    QCOMPARE(scale.Concat(move).Map(CCA_GPoint(1, 1)), CCA_GPoint(7, 2));
    // x' = a x + c y + e, y' = b x + d y + f
    QCOMPARE(CCA_Matrix(0, 1, -1, 0, 3, 4).Map(CCA_GPoint(2, 1)), CCA_GPoint(2, 6));
}

void tst_BaseTypes::rectInRect_data()
{
    QTest::addColumn<QRectF>("inner");
    QTest::addColumn<bool>("inside");
    QTest::newRow("inside") << QRectF(10, 10, 5, 5) << true;
    QTest::newRow("same edges") << QRectF(0, 0, 100, 50) << true;
    QTest::newRow("past the right") << QRectF(90, 10, 20, 5) << false;
    QTest::newRow("above") << QRectF(10, -1, 5, 5) << false;
    QTest::newRow("around") << QRectF(-1, -1, 102, 52) << false;
}

void tst_BaseTypes::rectInRect()
{
    QFETCH(QRectF, inner);
    QFETCH(bool, inside);
    const CCA_GRect outer(0, 0, 100, 50);
    const CCA_GRect r(float(inner.left()), float(inner.top()), float(inner.right()), float(inner.bottom()));
    QCOMPARE(outer.RectInRect(r), inside);
}

void tst_BaseTypes::normalizeAndUnite()
{
    CCA_GRect r(60, 30, 10, 20);
    r.Normalize();
    QCOMPARE(r, CCA_GRect(10, 20, 60, 30));
    QVERIFY(r.Contains(CCA_GPoint(60, 30)));
    QVERIFY(!r.Contains(CCA_GPoint(60.5f, 30)));
    QCOMPARE(r.United(CCA_GRect(0, 25, 20, 40)), CCA_GRect(0, 20, 60, 40));
    r.Offset(-10, 5);
    QCOMPARE(r, CCA_GRect(0, 25, 50, 35));
}

void tst_BaseTypes::rgbValue()
{
    uint8_t r = 0, g = 0, b = 0;
    GetRGBValue(0x00f0a814u, r, g, b);
    QCOMPARE(int(r), 0x14);
    QCOMPARE(int(g), 0xa8);
    QCOMPARE(int(b), 0xf0);
    GetRGBValue(0xff0000ffu, r, g, b);
    QCOMPARE(int(r), 255);
    QCOMPARE(int(g), 0);
    QCOMPARE(int(b), 0);
}

void tst_BaseTypes::arrayCopiesElements()
{
    CCA_ArrayTemplate<QString> a;
    for (int i = 0; i < 20; ++i)
        a.Add(QString::number(i).repeated(3));
    CCA_ArrayTemplate<QString> b(a);
    b[0] = QStringLiteral("changed");
    b.Add(QStringLiteral("more"));
    QCOMPARE(a.GetSize(), 20);
    QCOMPARE(a[0], QStringLiteral("000"));
    QCOMPARE(b.GetSize(), 21);
    CCA_ArrayTemplate<QString> c;
    c = a;
    c = c;
    QVERIFY(c == a);
    a.RemoveAll();
    QCOMPARE(c[19], QStringLiteral("191919"));
    CCA_ArrayTemplate<QString> moved(std::move(c));
    QCOMPARE(moved.GetSize(), 20);
}

void tst_BaseTypes::arrayInsertRemove()
{
    CCA_ArrayTemplate<QString> a;
    a.Add(QStringLiteral("a"));
    a.Add(QStringLiteral("c"));
    a.InsertAt(1, QStringLiteral("b"));
    a.InsertAt(-1, QStringLiteral("d"));
    a.InsertAt(0, a[3]);
    QCOMPARE(QStringList(QList<QString>(a.begin(), a.end())), QStringList({"d", "a", "b", "c", "d"}));
    a.RemoveAt(1, 2);
    QCOMPARE(QStringList(QList<QString>(a.begin(), a.end())), QStringList({"d", "c", "d"}));
    a.RemoveAt(2, 5);
    QCOMPARE(a.GetSize(), 3);
    QCOMPARE(a.Find(QStringLiteral("c")), 1);
    a.SetSize(5);
    QCOMPARE(a[4], QString());
    a.SetSize(1);
    QCOMPARE(a.GetSize(), 1);
}

void tst_BaseTypes::stringLengths()
{
    const char bytes[] = "ab\0cd";
    QCOMPARE(CCA_String(bytes).GetLength(), 2);
    QCOMPARE(CCA_String(bytes, 5).GetLength(), 5);
    QVERIFY(CCA_String(nullptr).IsEmpty());
    const CCA_String utf8("\xe9\x93\xbe\xe6\x8e\xa5");
    QCOMPARE(QString::fromUtf8(utf8.c_str()), QString::fromUtf8("\u94fe\u63a5"));
    QVERIFY(CCA_String("Li") + CCA_String("nk") == "Link");
}

void tst_BaseTypes::memoryBlocks()
{
    void *block = CA_AllocMemory(0);
    QVERIFY(block);
    CA_FreeMemory(block);
    char *text = static_cast<char *>(CA_AllocMemory(4));
    std::memcpy(text, "abc", 4);
    text = static_cast<char *>(CA_ReallocMemory(text, 4096));
    QCOMPARE(QByteArray(text), QByteArray("abc"));
    CA_FreeMemory(text);
    CA_FreeMemory(nullptr);
}

QTEST_GUILESS_MAIN(tst_BaseTypes)
#include "tst_basetypes.moc"
