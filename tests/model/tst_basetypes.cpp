#include "omofd/ofd_codec.h"
#include "ombase/cca_array.h"
#include "ombase/cca_geometry.h"
#include "ombase/cca_path.h"
#include "ombase/cca_string.h"

#include <QString>
#include <QtTest>

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
    void isRect_data()
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

    void isRect()
    {
        QFETCH(QString, path);
        QTEST(PathOf(path.toLatin1().constData()).IsRect(), "rect");
    }

    void arcBoundingBox_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QVector<float>>("matrix"); // a b c d e f, applied to the path first
        QTest::addColumn<QRectF>("box");
        // Half circle of radius 5 over (0,0)-(10,0); y grows downwards, sweep 1 turns clockwise on screen.
        QTest::newRow("bulges up") << "M 0 0 A 5 5 0 0 1 10 0" << QVector<float>() << QRectF(0, -5, 10, 5);
        QTest::newRow("bulges down") << "M 0 0 A 5 5 0 0 0 10 0" << QVector<float>() << QRectF(0, 0, 10, 5);
        // Radii too small for the chord are scaled up to just reach it.
        QTest::newRow("radius too small") << "M 0 0 A 1 1 0 0 0 10 0" << QVector<float>() << QRectF(0, 0, 10, 5);
        QTest::newRow("lines and controls") << "M 1 1 B 0 4 9 -2 6 3" << QVector<float>() << QRectF(0, -2, 9, 6);
        // (0,0,10,5) scaled by 2 and 3, then moved by 1,1.
        QTest::newRow("scaled arc") << "M 0 0 A 5 5 0 0 0 10 0" << QVector<float>{2, 0, 0, 3, 1, 1} << QRectF(1, 1, 20, 15);
        // A mirror must reverse the sweep, or the arc would still bulge downwards.
        QTest::newRow("mirrored arc") << "M 0 0 A 5 5 0 0 0 10 0" << QVector<float>{1, 0, 0, -1, 0, 0} << QRectF(0, -5, 10, 5);
    }

    void arcBoundingBox()
    {
        QFETCH(QString, path);
        QFETCH(QVector<float>, matrix);
        QFETCH(QRectF, box);
        CCA_Path shape = PathOf(path.toLatin1().constData());
        if (!matrix.isEmpty())
            shape.Transform(CCA_Matrix(matrix[0], matrix[1], matrix[2], matrix[3], matrix[4], matrix[5]));
        const QRectF got = BoxOf(shape.BoundingBox());
        QVERIFY2(qAbs(got.left() - box.left()) < 1e-4 && qAbs(got.top() - box.top()) < 1e-4
                     && qAbs(got.right() - box.right()) < 1e-4 && qAbs(got.bottom() - box.bottom()) < 1e-4,
                 qPrintable(QStringLiteral("box %1 %2 %3 %4").arg(got.left()).arg(got.top()).arg(got.right()).arg(got.bottom())));
    }

    void translateMovesEveryPoint()
    {
        CCA_Path path = PathOf("M 0 0 Q 1 1 2 2 B 3 3 4 4 5 5 A 1 2 30 1 0 6 6 C");
        path.Translate(10, -1);
        QCOMPARE(OFD_PathToString(path).StdString(),
                 std::string("M 10 -1 Q 11 0 12 1 B 13 2 14 3 15 4 A 1 2 30 1 0 16 5 C"));
    }

    void matrixConcatAppliesInOrder()
    {
        const CCA_Matrix move(1, 0, 0, 1, 5, 0);
        const CCA_Matrix scale(2, 0, 0, 2, 0, 0);
        QCOMPARE(move.Concat(scale).Map(CCA_GPoint(1, 1)), CCA_GPoint(12, 2));
        QCOMPARE(scale.Concat(move).Map(CCA_GPoint(1, 1)), CCA_GPoint(7, 2));
        // x' = a x + c y + e, y' = b x + d y + f
        QCOMPARE(CCA_Matrix(0, 1, -1, 0, 3, 4).Map(CCA_GPoint(2, 1)), CCA_GPoint(2, 6));
    }

    void rectInRect_data()
    {
        QTest::addColumn<QRectF>("inner");
        QTest::addColumn<bool>("inside");
        QTest::newRow("inside") << QRectF(10, 10, 5, 5) << true;
        QTest::newRow("same edges") << QRectF(0, 0, 100, 50) << true;
        QTest::newRow("past the right") << QRectF(90, 10, 20, 5) << false;
        QTest::newRow("above") << QRectF(10, -1, 5, 5) << false;
        QTest::newRow("around") << QRectF(-1, -1, 102, 52) << false;
    }

    void rectInRect()
    {
        QFETCH(QRectF, inner);
        const CCA_GRect outer(0, 0, 100, 50);
        const CCA_GRect r(float(inner.left()), float(inner.top()), float(inner.right()), float(inner.bottom()));
        QTEST(outer.RectInRect(r), "inside");
    }

    void arrayValueSemantics()
    {
        CCA_ArrayTemplate<QString> a;
        for (int i = 0; i < 20; ++i)
            a.Add(QString::number(i).repeated(3));
        CCA_ArrayTemplate<QString> b(a);
        b[0] = QStringLiteral("changed");
        QCOMPARE(a[0], QStringLiteral("000"));
        CCA_ArrayTemplate<QString> c;
        c = a;
        c = c;
        QVERIFY(c == a);
        a.RemoveAll();
        QCOMPARE(c[19], QStringLiteral("191919"));

        CCA_ArrayTemplate<QString> d;
        d.Add(QStringLiteral("a"));
        d.Add(QStringLiteral("c"));
        d.InsertAt(1, QStringLiteral("b"));
        d.InsertAt(-1, QStringLiteral("d"));
        d.InsertAt(0, d[3]); // an element of the array itself, while it grows
        QCOMPARE(QStringList(QList<QString>(d.begin(), d.end())), QStringList({"d", "a", "b", "c", "d"}));
        d.RemoveAt(1, 2);
        d.RemoveAt(2, 5);
        QCOMPARE(QStringList(QList<QString>(d.begin(), d.end())), QStringList({"d", "c", "d"}));
        QCOMPARE(d.Find(QStringLiteral("c")), 1);
        d.SetSize(5);
        QCOMPARE(d[4], QString());
    }
};

QTEST_GUILESS_MAIN(tst_BaseTypes)
#include "tst_basetypes.moc"
