#include "omutility/omjsonfactory.h"

#include <QtTest>

namespace {

std::string Build(const OMSharedPtr<OMJson> &json)
{
    return OMJsonFactory::BuildJsonString(json).StdString();
}

OMSharedPtr<OMJson> Parse(const char *text)
{
    return OMJsonFactory::ParseJsonString(CCA_String(text));
}

} // namespace

class tst_OMJson : public QObject
{
    Q_OBJECT

private slots:
    void buildKeepsInsertionOrder()
    {
        OMSharedPtr<OMJson> root = OMJson::NewObject();
        root->Set("SubType", OMJson::MakeString("Link"));
        OMSharedPtr<OMJson> list = OMJson::NewArray();
        list->Append(OMJson::MakeBool(true));
        list->Append(nullptr);
        list->Append(OMJson::MakeInt(-3));
        root->Set("Appearance", list);
        root->Set("Alpha", OMJson::MakeDouble(1.5));
        QCOMPARE(Build(root), std::string(R"({"SubType":"Link","Appearance":[true,null,-3],"Alpha":1.5})"));
        QCOMPARE(Build(nullptr), std::string("null"));

        const OMSharedPtr<OMJson> back = OMJsonFactory::ParseJsonString(OMJsonFactory::BuildJsonString(root));
        QVERIFY(back);
        QCOMPARE(back->Keys(), (std::vector<std::string>{"SubType", "Appearance", "Alpha"}));
        QCOMPARE(back->Member("Appearance")->Size(), 3);
        QVERIFY(back->Member("Appearance")->At(1)->IsNull());
        QVERIFY(!back->Member("absent"));
    }

    void setReplacesInPlace()
    {
        OMSharedPtr<OMJson> root = Parse("{}");
        QVERIFY(root && root->IsObject());
        root->Set("a", OMJson::MakeInt(1));
        root->Set("b", OMJson::MakeInt(2));
        root->Set("a", OMJson::MakeString("x"));
        QCOMPARE(Build(root), std::string(R"({"a":"x","b":2})"));
        // A value of another kind ignores container calls rather than losing its value.
        OMSharedPtr<OMJson> number = OMJson::MakeInt(7);
        number->Set("k", OMJson::MakeInt(1));
        number->Append(OMJson::MakeInt(1));
        QCOMPARE(Build(number), std::string("7"));
    }

    void floatsReadBackEqual()
    {
        const float values[] = {0.1f, 0.35277778f, 1.0583334f, -123.456f, 3.4028235e38f, 1e-40f};
        for (float v : values) {
            OMSharedPtr<OMJson> list = OMJson::NewArray();
            list->Append(OMJson::MakeDouble(double(v)));
            const OMSharedPtr<OMJson> back = OMJsonFactory::ParseJsonString(OMJsonFactory::BuildJsonString(list));
            QVERIFY(back);
            QCOMPARE(back->At(0)->GetType(), OMJson::Double);
            QCOMPARE(float(back->At(0)->GetDouble()), v);
        }
        // Whole doubles keep their kind through the text.
        QCOMPARE(Build(OMJson::MakeDouble(10)), std::string("10.0"));
        QCOMPARE(Build(OMJson::MakeDouble(-0.0)), std::string("-0.0"));
        QCOMPARE(Parse("10.0")->GetType(), OMJson::Double);
    }

    void integersStayIntegers()
    {
        const OMSharedPtr<OMJson> big = Parse("9007199254740993");
        QCOMPARE(big->GetType(), OMJson::Int);
        QCOMPARE(big->GetInt(), 9007199254740993LL);
        QCOMPARE(Build(big), std::string("9007199254740993"));
        // Past the 64-bit range the number is kept as a double.
        QCOMPARE(Parse("18446744073709551616")->GetType(), OMJson::Double);
        QCOMPARE(Parse("2.9")->GetInt(), 2LL);
        QCOMPARE(Parse("\"2\"")->GetInt(-1), -1LL);
    }

    void stringsEscapeAndDecode()
    {
        QCOMPARE(Build(OMJson::MakeString("q\"b\\n\n\x01/")), std::string("\"q\\\"b\\\\n\\n\\u0001/\""));
        const OMSharedPtr<OMJson> s = Parse(R"("\u00e9\ud83d\ude00\/\t")");
        QVERIFY(s);
        QCOMPARE(s->GetString(), std::string("\xc3\xa9\xf0\x9f\x98\x80/\t"));
        // Bytes that are not UTF-8 are replaced on writing, so the text stays JSON.
        QVERIFY(Parse(OMJsonFactory::BuildJsonString(OMJson::MakeString("a\xff")).c_str()));
    }

    void scalarsAtTopLevel()
    {
        QCOMPARE(Parse(" 42 ")->GetInt(), 42LL);
        QCOMPARE(Parse("true")->GetBool(), true);
        QVERIFY(Parse("null")->IsNull());
        QVERIFY(std::signbit(Parse("-0.0")->GetDouble()));
        QCOMPARE(Parse("1e-400")->GetDouble(), 0.0);
    }

    void malformed_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("empty") << QByteArray("");
        QTest::newRow("open object") << QByteArray("{");
        QTest::newRow("trailing comma") << QByteArray("[1,]");
        QTest::newRow("missing colon") << QByteArray(R"({"a" 1})");
        QTest::newRow("unquoted key") << QByteArray("{a:1}");
        QTest::newRow("leading zero") << QByteArray("01");
        QTest::newRow("bare dot") << QByteArray("1.");
        QTest::newRow("short literal") << QByteArray("nul");
        QTest::newRow("bad escape") << QByteArray(R"("\x")");
        QTest::newRow("lone surrogate") << QByteArray(R"("\udc00")");
        QTest::newRow("raw newline") << QByteArray("\"a\nb\"");
        QTest::newRow("not UTF-8") << QByteArray("\"\xff\"");
        QTest::newRow("two values") << QByteArray("[1] 2");
        QTest::newRow("huge number") << QByteArray("1e400");
        QTest::newRow("nan") << QByteArray("NaN");
    }

    void malformed()
    {
        QFETCH(QByteArray, text);
        QVERIFY(!OMJsonFactory::ParseJsonString(CCA_String(text.constData(), text.size())));
    }

    void deepNestingIsRefused()
    {
        const std::string deep(100000, '[');
        QVERIFY(!OMJsonFactory::ParseJsonString(CCA_String(deep)));
        const std::string fine = std::string(50, '[') + std::string(50, ']');
        QVERIFY(OMJsonFactory::ParseJsonString(CCA_String(fine)));
    }
};

QTEST_GUILESS_MAIN(tst_OMJson)
#include "tst_omjson.moc"
