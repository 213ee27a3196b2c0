#include <QSvgRenderer>
#include <QtTest>

// The pictures are drawn at their own size by the dialog and the delegate; a broken or
// missing file would leave an empty list entry without any error.
class tst_Artwork : public QObject
{
    Q_OBJECT

private slots:
    void everyPictureLoadsAtItsSize_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QSize>("size");
        for (const char *type : {"solid", "dotted1", "dotted2", "dotted3", "dotted4"}) {
            for (const char *form : {"short-%1.svg", "short-%1-dis.svg", "long-%1.svg"}) {
                const QString name = QString::fromLatin1(form).arg(QLatin1String(type));
                QTest::newRow(qPrintable(name)) << name << QSize(name.startsWith("long") ? 101 : 77, 1);
            }
        }
        QTest::newRow("down_arrow") << "down_arrow.svg" << QSize(10, 10);
        QTest::newRow("down_arrowdisable") << "down_arrowdisable.svg" << QSize(10, 10);
        QTest::newRow("disable_color") << "disable_color.svg" << QSize(18, 18);
    }

    void everyPictureLoadsAtItsSize()
    {
        QFETCH(QString, name);
        const QSvgRenderer renderer(QStringLiteral(":/img/") + name);
        QVERIFY(renderer.isValid());
        QTEST(renderer.defaultSize(), "size");
    }
};

QTEST_MAIN(tst_Artwork)
#include "tst_artwork.moc"
