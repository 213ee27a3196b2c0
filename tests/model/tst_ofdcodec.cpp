#include "omofd/ofd_codec.h"
#include "omofdapi/ofd_xmlelement.h"

#include <QtTest>

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

class tst_OfdCodec : public QObject
{
    Q_OBJECT

private slots:
    void pathRoundTrip_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("segments");
        QTest::newRow("rectangle") << "M 0 0 L 10 0 L 10 5 L 0 5 C" << 5;
        QTest::newRow("underline") << "M 0.25 9.75 L 49.5 9.75" << 2;
        QTest::newRow("negative") << "M -1.5 -0.25 L 3 -7" << 2;
        QTest::newRow("quad") << "M 1 2 Q 3 4 5 6 C" << 3;
        QTest::newRow("cubic") << "M 0 0 B 1 2 3 4 5 6 L 7 8" << 3;
        QTest::newRow("arc") << "M 0 0 A 5 3 30 1 0 10 0 C" << 3;
        QTest::newRow("two figures") << "M 0 0 L 1 1 C M 5 5 L 6 6 C" << 6;
        QTest::newRow("empty") << "" << 0;
    }

    void pathRoundTrip()
    {
        QFETCH(QString, text);
        bool ok = false;
        const CCA_Path path = OFD_StringToPath(CCA_String(text.toStdString()), &ok);
        QVERIFY(ok);
        QTEST(path.SegmentCount(), "segments");
        QCOMPARE(QString::fromStdString(OFD_PathToString(path).StdString()), text);
    }

    void pathSegments()
    {
        bool ok = false;
        // S starts a figure like M; commas and runs of white space separate too.
        const CCA_Path path = OFD_StringToPath(CCA_String("S 1,2\n L\t3  4 A 5 5 0 0 1 9 4 B 1 2 3 4 5 6 C"), &ok);
        QVERIFY(ok);
        CCA_Path expected;
        expected.MoveTo(1, 2);
        expected.LineTo(3, 4);
        expected.ArcTo(5, 5, 0, false, true, 9, 4);
        expected.BezierTo(1, 2, 3, 4, 5, 6);
        expected.CloseFigure();
        QVERIFY(path == expected);
        QCOMPARE(OFD_PathToString(path).StdString(), std::string("M 1 2 L 3 4 A 5 5 0 0 1 9 4 B 1 2 3 4 5 6 C"));
    }

    void floatText_data()
    {
        QTest::addColumn<float>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("integer") << 10.0f << "10";
        QTest::newRow("tenth") << 0.1f << "0.1";
        QTest::newRow("negative zero") << -0.0f << "0";
        QTest::newRow("small") << 1e-7f << "0.0000001";
        QTest::newRow("max") << std::numeric_limits<float>::max() << "340282346638528859811704183484516925440";
        QTest::newRow("one point in mm") << 0.3527778f << "0.3527778";
    }

    void floatText()
    {
        QFETCH(float, value);
        QTEST(QString::fromStdString(OFD_FloatToString(value).StdString()), "text");
        bool ok = false;
        const CCA_ArrayTemplate<float> back = OFD_StringToArray(OFD_FloatToString(value), 1, &ok);
        QVERIFY(ok);
        QCOMPARE(back[0], value);
    }

    void pathMalformed_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("segmentsRead");
        QTest::newRow("missing number") << "M 0 0 L 10" << 1;
        QTest::newRow("unknown operator") << "M 0 0 X 1 2" << 1;
        QTest::newRow("Z is not OFD") << "M 0 0 L 1 1 Z" << 2;
        QTest::newRow("not a number") << "M a b" << 0;
        QTest::newRow("nan") << "M 0 0 L nan 1" << 1;
        QTest::newRow("inf") << "M 0 0 L 1 inf" << 1;
        QTest::newRow("overflow") << "M 0 0 L 1e50 0" << 1;
        QTest::newRow("extra number") << "M 0 0 L 1 2 3" << 2;
        QTest::newRow("glued operator") << "M0 0" << 0;
        QTest::newRow("half an arc") << "M 0 0 A 5 5 0 1" << 1;
        QTest::newRow("double sign") << "M +-1 0" << 0;
    }

    void pathMalformed()
    {
        QFETCH(QString, text);
        bool ok = true;
        const CCA_Path path = OFD_StringToPath(CCA_String(text.toStdString()), &ok);
        QVERIFY(!ok);
        QTEST(path.SegmentCount(), "segmentsRead");
    }

    void arrayToString()
    {
        CCA_ArrayTemplate<float> values;
        QCOMPARE(OFD_ArrayToString(values, 0).StdString(), std::string());
        for (float value : {0.3125f, 2.5f, -0.001f})
            values.Add(value);
        QCOMPARE(OFD_ArrayToString(values, 0).StdString(), std::string("0.3125 2.5 -0.001"));
        // Two decimals drop trailing zeros; -0.001 becomes a plain 0.
        QCOMPARE(OFD_ArrayToString(values, 2).StdString(), std::string("0.31 2.5 0"));
    }

    void arrayParse_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("expectedCount");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QVector<float>>("values");
        QTest::newRow("matrix") << "1 0 0 1 12.5 -3" << 6 << true << QVector<float>{1, 0, 0, 1, 12.5f, -3};
        QTest::newRow("more than asked") << "1 2 3" << 2 << true << QVector<float>{1, 2, 3};
        QTest::newRow("white space") << "  1\t2\n" << 0 << true << QVector<float>{1, 2};
        QTest::newRow("empty") << "" << 0 << true << QVector<float>{};
        QTest::newRow("too few") << "1 2" << 6 << false << QVector<float>{};
        QTest::newRow("empty but six wanted") << "" << 6 << false << QVector<float>{};
        QTest::newRow("word") << "1 x 3" << 0 << false << QVector<float>{};
        QTest::newRow("nan") << "nan" << 0 << false << QVector<float>{};
    }

    void arrayParse()
    {
        QFETCH(QString, text);
        QFETCH(int, expectedCount);
        QFETCH(bool, ok);
        bool parsed = !ok;
        const CCA_ArrayTemplate<float> array = OFD_StringToArray(CCA_String(text.toStdString()), expectedCount, &parsed);
        QCOMPARE(parsed, ok);
        QTEST(QVector<float>(array.begin(), array.end()), "values");
    }
    // Plain decimals take a short road to float; it must land where the full conversion does,
    // ties between two floats included.
    void plainFloatsRoundAsTheFullConversion()
    {
        const struct
        {
            const char *text;
            float value;
        } ties[] = {{"16777217", 16777216.0f}, {"16777219", 16777220.0f}, {"-0.0", -0.0f}, {"0.1", 0.1f}};
        for (const auto &tie : ties) {
            const CCA_ArrayTemplate<float> read = OFD_StringToArray(CCA_String(tie.text), 1);
            QCOMPARE(read.GetSize(), 1);
            QVERIFY2(std::memcmp(&read[0], &tie.value, sizeof(float)) == 0, tie.text);
        }
        QRandomGenerator random(20261206);
        for (int i = 0; i < 20000; ++i) {
            const int decimals = random.bounded(11);
            const int digits = decimals + 1 + random.bounded(15 - decimals);
            std::string text = random.bounded(2) ? "-" : "";
            for (int d = 0; d < digits; ++d) {
                if (d == digits - decimals && decimals > 0)
                    text += '.';
                text += char('0' + random.bounded(10));
            }
            float expected = 0;
            std::from_chars(text.data(), text.data() + text.size(), expected);
            const CCA_ArrayTemplate<float> read = OFD_StringToArray(CCA_String(text), 1);
            QVERIFY2(read.GetSize() == 1 && std::memcmp(&read[0], &expected, sizeof(float)) == 0, text.c_str());
        }
    }

    // Plain decimals take a short road, and attributes are read from their UTF-8; every road
    // must give the same doubles.
    void numbersParse_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QVector<double>>("values");
        QTest::newRow("box") << "10 20.5 -0.1 0.353" << true << QVector<double>{10, 20.5, -0.1, 0.353};
        QTest::newRow("fifteen digits") << "123456789012345 0.123456789012345" << true
                                        << QVector<double>{123456789012345.0, 0.123456789012345};
        QTest::newRow("more digits") << "1234567890.12345678" << true << QVector<double>{1234567890.12345678};
        QTest::newRow("commas, exponent") << "1e3,2.5E-1" << true << QVector<double>{1000, 0.25};
        QTest::newRow("leading zeros") << "007.5 0.5" << true << QVector<double>{7.5, 0.5};
        QTest::newRow("no-break space") << QStringLiteral("1\u00A02") << true << QVector<double>{1, 2};
        QTest::newRow("bare points") << ".5 5." << true << QVector<double>{0.5, 5};
        QTest::newRow("plus") << "+2" << true << QVector<double>{2};
        QTest::newRow("two points") << "1.2.3" << false << QVector<double>{};
        QTest::newRow("sign alone") << "1 -" << false << QVector<double>{};
        QTest::newRow("beyond float") << "3.5e38" << false << QVector<double>{};
    }

    void numbersParse()
    {
        QFETCH(QString, text);
        QFETCH(bool, ok);
        QFETCH(QVector<double>, values);
        QVector<double> numbers;
        QCOMPARE(OFD_XmlElement::ParseNumbers(text, numbers), ok);
        QCOMPARE(numbers, values);
        if (values.size() == 1) {
            double value = 0;
            QVERIFY(OFD_XmlElement::ParseDouble(QLatin1Char(' ') + text + QLatin1Char(' '), value));
            QCOMPARE(value, values.first());
        }
        OFD_XmlElement element(QStringLiteral("a"));
        element.SetAttribute(QStringLiteral("v"), text);
        QVector<double> read(values.size());
        QCOMPARE(element.NumbersAttribute(QStringLiteral("v"), read.data(), read.size()), ok);
        if (ok)
            QCOMPARE(read, values);
        if (values.size() == 1)
            QCOMPARE(element.DoubleAttribute(QStringLiteral("v"), -1), values.first());
    }

    void uintParse_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<uint>("value");
        QTest::newRow("id") << "123456789" << true << 123456789u;
        QTest::newRow("leading zeros") << "007" << true << 7u;
        QTest::newRow("spaces") << " 42 " << true << 42u;
        QTest::newRow("largest") << "4294967295" << true << 4294967295u;
        QTest::newRow("too large") << "4294967296" << false << 0u;
        QTest::newRow("negative") << "-1" << false << 0u;
        QTest::newRow("empty") << "" << false << 0u;
        QTest::newRow("word") << "12a" << false << 0u;
    }

    void uintParse()
    {
        QFETCH(QString, text);
        QFETCH(bool, ok);
        uint32_t value = 0;
        QCOMPARE(OFD_XmlElement::ParseUInt(text, value), ok);
        QTEST(uint(value), "value");
    }

    void negativeZero()
    {
        double value = 1;
        QVERIFY(OFD_XmlElement::ParseDouble(QStringLiteral("-0"), value));
        QVERIFY(value == 0 && std::signbit(value));
        QVector<double> numbers;
        QVERIFY(OFD_XmlElement::ParseNumbers(QStringLiteral("-0.0 0"), numbers));
        QVERIFY(std::signbit(numbers.at(0)) && !std::signbit(numbers.at(1)));
    }
};

QTEST_GUILESS_MAIN(tst_OfdCodec)
#include "tst_ofdcodec.moc"
