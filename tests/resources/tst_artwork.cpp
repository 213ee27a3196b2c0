#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <QtTest>

namespace {

QImage Render(const QString &path, const QSize &size)
{
    QImage image(size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    QSvgRenderer(path).render(&painter);
    return image;
}

} // namespace

class tst_Artwork : public QObject
{
    Q_OBJECT

private slots:
    void linePictures_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("width");
        QTest::addColumn<QColor>("colour");
        QTest::addColumn<QList<int>>("pattern");
        const QList<QPair<QString, QList<int>>> types = {
            {"solid", {}}, {"dotted1", {5, 3}}, {"dotted2", {3, 1}}, {"dotted3", {5, 2, 1, 2}}, {"dotted4", {5, 2, 1, 2, 1, 2}}};
        for (const auto &type : types) {
            for (const QString &form : {QStringLiteral("short-%1.svg"), QStringLiteral("short-%1-dis.svg"), QStringLiteral("long-%1.svg")}) {
                const QString name = form.arg(type.first);
                QTest::newRow(qPrintable(name)) << name << (name.startsWith("long") ? 101 : 77)
                                                << QColor(name.contains("-dis") ? "#D4DBE9" : "#4F5D79") << type.second;
            }
        }
    }

    void linePictures()
    {
        QFETCH(QString, name);
        QFETCH(int, width);
        QFETCH(QColor, colour);
        QFETCH(QList<int>, pattern);
        const QString path = QStringLiteral(":/img/") + name;
        QCOMPARE(QSvgRenderer(path).defaultSize(), QSize(width, 1));
        const QImage image = Render(path, QSize(width, 1));
        // Bars and gaps repeat from x = 0; the last one is cut at the edge.
        int run = 0;
        int left = pattern.isEmpty() ? width : pattern.first();
        for (int x = 0; x < width; ++x, --left) {
            for (; left == 0; left = pattern.at(run))
                run = (run + 1) % pattern.size();
            const QRgb expected = run % 2 == 0 ? colour.rgba() : 0;
            QVERIFY2(image.pixel(x, 0) == expected, qPrintable(QStringLiteral("pixel %1").arg(x)));
        }
    }

    void otherPictures_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QPoint>("inside");
        QTest::addColumn<QColor>("colour");
        QTest::addColumn<QPoint>("outside");
        QTest::newRow("down_arrow") << "down_arrow.svg" << QSize(10, 10) << QPoint(50, 40) << QColor("#8B97AF") << QPoint(50, 75);
        QTest::newRow("down_arrowdisable") << "down_arrowdisable.svg" << QSize(10, 10) << QPoint(50, 70)
                                           << QColor("#D4DBE9") << QPoint(15, 40);
        QTest::newRow("disable_color frame") << "disable_color.svg" << QSize(18, 18) << QPoint(0, 90) << QColor("#CED1D7") << QPoint();
        QTest::newRow("disable_color fill") << "disable_color.svg" << QSize(18, 18) << QPoint(40, 40) << QColor("#F4F5F7") << QPoint();
        QTest::newRow("disable_color stroke") << "disable_color.svg" << QSize(18, 18) << QPoint(40, 140) << QColor("#CED1D7") << QPoint();
    }

    void otherPictures()
    {
        QFETCH(QString, name);
        QFETCH(QSize, size);
        QFETCH(QPoint, inside);
        QFETCH(QPoint, outside);
        const QString path = QStringLiteral(":/img/") + name;
        QCOMPARE(QSvgRenderer(path).defaultSize(), size);
        // Ten times larger, so that edges do not blur the probes.
        const QImage image = Render(path, size * 10);
        QTEST(QColor(image.pixel(inside)), "colour");
        if (!outside.isNull())
            QCOMPARE(qAlpha(image.pixel(outside)), 0);
    }
};

QTEST_MAIN(tst_Artwork)
#include "tst_artwork.moc"
