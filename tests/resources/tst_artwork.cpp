#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <QtTest>

namespace {

QImage Render(const QString &path, const QSize &size)
{
    QSvgRenderer renderer(path);
    QImage image(size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    renderer.render(&painter);
    return image;
}

// The box of all pixels that are at least half covered.
QRect CoveredBox(const QImage &image)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) >= 128)
                box |= QRect(x, y, 1, 1);
    return box;
}

} // namespace

class tst_Artwork : public QObject
{
    Q_OBJECT

private slots:
    void linePictures_data();
    void linePictures();
    void arrowsAndGreyedColour_data();
    void arrowsAndGreyedColour();
    void disabledColourSwatch();
};

void tst_Artwork::linePictures_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("width");
    QTest::addColumn<QColor>("colour");
    QTest::addColumn<QList<int>>("pattern");
    const QList<QPair<QString, QList<int>>> types = {
        {QStringLiteral("solid"), {}},
        {QStringLiteral("dotted1"), {5, 3}},
        {QStringLiteral("dotted2"), {3, 1}},
        {QStringLiteral("dotted3"), {5, 2, 1, 2}},
        {QStringLiteral("dotted4"), {5, 2, 1, 2, 1, 2}},
    };
    for (const auto &type : types) {
        const QString shortName = QStringLiteral("short-%1.svg").arg(type.first);
        const QString greyName = QStringLiteral("short-%1-dis.svg").arg(type.first);
        const QString longName = QStringLiteral("long-%1.svg").arg(type.first);
        QTest::newRow(qPrintable(shortName)) << shortName << 77 << QColor(0x4F, 0x5D, 0x79) << type.second;
        QTest::newRow(qPrintable(greyName)) << greyName << 77 << QColor(0xD4, 0xDB, 0xE9) << type.second;
        QTest::newRow(qPrintable(longName)) << longName << 101 << QColor(0x4F, 0x5D, 0x79) << type.second;
    }
}

void tst_Artwork::linePictures()
{
    QFETCH(QString, name);
    QFETCH(int, width);
    QFETCH(QColor, colour);
    QFETCH(QList<int>, pattern);
    const QString path = QStringLiteral(":/img/") + name;
    QVERIFY2(QFile::exists(path), qPrintable(path));
    QCOMPARE(QSvgRenderer(path).defaultSize(), QSize(width, 1));

    const QImage image = Render(path, QSize(width, 1));
    int run = 0;
    int left = pattern.isEmpty() ? width : pattern.first();
    for (int x = 0; x < width; ++x) {
        while (left == 0) {
            run = (run + 1) % pattern.size();
            left = pattern.at(run);
        }
        const bool bar = run % 2 == 0;
        const QRgb pixel = image.pixel(x, 0);
        if (bar)
            QVERIFY2(pixel == colour.rgba(), qPrintable(QStringLiteral("x %1 is %2").arg(x).arg(pixel, 8, 16)));
        else
            QVERIFY2(qAlpha(pixel) == 0, qPrintable(QStringLiteral("x %1 is not a gap").arg(x)));
        --left;
    }
}

void tst_Artwork::arrowsAndGreyedColour_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QColor>("colour");
    QTest::addColumn<QRect>("box");
    // Drawn ten times larger: x 2.0 to 8.0, y 3.0 to 7.2 and the triangle (1.5, 3), (5, 7.5), (8.5, 3).
    QTest::newRow("down_arrow") << "down_arrow.svg" << QColor(0x8B, 0x97, 0xAF) << QRect(QPoint(20, 30), QPoint(79, 71));
    QTest::newRow("down_arrowdisable") << "down_arrowdisable.svg" << QColor(0xD4, 0xDB, 0xE9)
                                       << QRect(QPoint(15, 30), QPoint(84, 74));
}

void tst_Artwork::arrowsAndGreyedColour()
{
    QFETCH(QString, name);
    QFETCH(QColor, colour);
    QFETCH(QRect, box);
    const QString path = QStringLiteral(":/img/") + name;
    QCOMPARE(QSvgRenderer(path).defaultSize(), QSize(10, 10));
    const QImage image = Render(path, QSize(100, 100));
    const QRect covered = CoveredBox(image);
    QVERIFY2(qAbs(covered.left() - box.left()) <= 1 && qAbs(covered.top() - box.top()) <= 1
                 && qAbs(covered.right() - box.right()) <= 1 && qAbs(covered.bottom() - box.bottom()) <= 1,
             qPrintable(QStringLiteral("covers %1,%2 to %3,%4").arg(covered.left()).arg(covered.top())
                            .arg(covered.right()).arg(covered.bottom())));
    QCOMPARE(image.pixel(50, 40), colour.rgba());
}

void tst_Artwork::disabledColourSwatch()
{
    const QString path = QStringLiteral(":/img/disable_color.svg");
    QCOMPARE(QSvgRenderer(path).defaultSize(), QSize(18, 18));
    const QImage image = Render(path, QSize(18, 18));
    const QRgb frame = QColor(0xCE, 0xD1, 0xD7).rgba();
    QCOMPARE(image.pixel(0, 9), frame);
    QCOMPARE(image.pixel(9, 0), frame);
    QCOMPARE(image.pixel(17, 9), frame);
    QCOMPARE(image.pixel(4, 4), QColor(0xF4, 0xF5, 0xF7).rgba());
    QCOMPARE(image.pixel(13, 13), QColor(0xF4, 0xF5, 0xF7).rgba());
    // The stroke runs from the bottom-left to the top-right corner, so it crosses the middle.
    QVERIFY(qGray(image.pixel(9, 8)) < qGray(QColor(0xF4, 0xF5, 0xF7).rgb()));
    QVERIFY(qGray(image.pixel(4, 13)) < qGray(QColor(0xF4, 0xF5, 0xF7).rgb()));
}

QTEST_MAIN(tst_Artwork)
#include "tst_artwork.moc"
