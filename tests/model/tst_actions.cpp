#include "omofdapi/g_action.h"
#include "omofdapi/ig_annot.h"
#include "omofdapi/ig_pageobject.h"

#include <QtTest>

#include <limits>
#include <memory>

Q_DECLARE_METATYPE(std::shared_ptr<G_Action>)

namespace {

std::shared_ptr<G_Action> Goto(float left, float right, float top, float bottom, float zoom)
{
    auto action = std::make_shared<G_ActionGoto>();
    G_Dest dest;
    dest.pageIndex = std::numeric_limits<int>::min();
    dest.pageID = 0xffffffffu;
    dest.left = left;
    dest.right = right;
    dest.top = top;
    dest.bottom = bottom;
    dest.zoom = zoom;
    dest.type = G_Dest_FitR;
    action->SetDest(dest);
    action->SetEvent(G_ActionEvent_PageOpen);
    return action;
}

// One fresh object of each action class.
std::vector<std::unique_ptr<G_Action>> FreshOfEveryClass()
{
    std::vector<std::unique_ptr<G_Action>> all;
    all.push_back(std::make_unique<G_ActionGoto>());
    all.push_back(std::make_unique<G_ActionURI>());
    all.push_back(std::make_unique<G_ActionSound>());
    all.push_back(std::make_unique<G_ActionMovie>());
    all.push_back(std::make_unique<G_ActionGotoA>());
    return all;
}

} // namespace

class tst_Actions : public QObject
{
    Q_OBJECT

private slots:
    void roundTrip_data()
    {
        QTest::addColumn<std::shared_ptr<G_Action>>("action");
        const float inf = std::numeric_limits<float>::infinity();
        QTest::newRow("goto plain") << Goto(10.5f, 200, 0.1f, 297, 1.25f);
        QTest::newRow("goto extremes") << Goto(std::numeric_limits<float>::max(), std::numeric_limits<float>::denorm_min(),
                                              -0.0f, -inf, std::numeric_limits<float>::quiet_NaN());
        QTest::newRow("goto unusual code") << [] {
            auto a = Goto(1, 2, 3, 4, 5);
            a->SetType(7);
            return a;
        }();

        auto uri = std::make_shared<G_ActionURI>();
        uri->SetURI(CCA_String("https://example.org/a?b=\"c\"&d=\\e\n\xe9\x93\xbe"));
        uri->SetBase(CCA_String("abc"));
        uri->SetTarget(CCA_String(""));
        QTest::newRow("uri") << std::shared_ptr<G_Action>(uri);

        auto sound = std::make_shared<G_ActionSound>();
        sound->SetResourceID(0xffffffffu);
        sound->SetVolume(std::numeric_limits<int>::min());
        sound->SetRepeat(true);
        sound->SetSynchronous(true);
        QTest::newRow("sound") << std::shared_ptr<G_Action>(sound);

        auto movie = std::make_shared<G_ActionMovie>();
        movie->SetResourceID(1);
        movie->SetOperator(G_ActionMovie::Resume);
        movie->SetEvent(G_ActionEvent_DocOpen);
        QTest::newRow("movie") << std::shared_ptr<G_Action>(movie);

        auto gotoA = std::make_shared<G_ActionGotoA>();
        gotoA->SetAttachID(4294967295u);
        gotoA->SetNewWindow(false);
        QTest::newRow("gotoA") << std::shared_ptr<G_Action>(gotoA);
    }

    void roundTrip()
    {
        QFETCH(std::shared_ptr<G_Action>, action);
        const CCA_String text = action->ToString();
        std::unique_ptr<G_Action> back;
        for (auto &candidate : FreshOfEveryClass())
            if (typeid(*candidate) == typeid(*action))
                back = std::move(candidate);
        QVERIFY(back);
        QVERIFY2(back->FromString(text), text.c_str());
        QVERIFY2(back->Equals(*action), text.c_str());
        QCOMPARE(back->ToString().StdString(), text.StdString());
        if (auto *dest = dynamic_cast<G_ActionGoto *>(back.get())) {
            // Equality takes -0 for 0; the sign must survive all the same.
            const auto *original = static_cast<const G_ActionGoto *>(action.get());
            QCOMPARE(std::signbit(dest->Dest().top), std::signbit(original->Dest().top));
        }
    }

    void otherClassIsRefused()
    {
        const auto sources = FreshOfEveryClass();
        for (const auto &source : sources) {
            const CCA_String text = source->ToString();
            for (auto &target : FreshOfEveryClass()) {
                if (typeid(*target) == typeid(*source))
                    continue;
                target->SetEvent(G_ActionEvent_DocOpen);
                const std::unique_ptr<G_Action> before(target->Clone());
                QVERIFY2(!target->FromString(text), text.c_str());
                QVERIFY(target->Equals(*before));
            }
        }
    }

    void malformed_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("empty") << QByteArray("");
        QTest::newRow("not JSON") << QByteArray("GotoA 5");
        QTest::newRow("array") << QByteArray(R"(["GotoA"])");
        QTest::newRow("no fields") << QByteArray(R"({"type":"GotoA"})");
        QTest::newRow("negative id") << QByteArray(R"({"type":"GotoA","code":5,"event":0,"attachID":-1,"newWindow":true})");
        QTest::newRow("id past 32 bits") << QByteArray(R"({"type":"GotoA","code":5,"event":0,"attachID":4294967296,"newWindow":true})");
        QTest::newRow("flag as number") << QByteArray(R"({"type":"GotoA","code":5,"event":0,"attachID":3,"newWindow":1})");
        QTest::newRow("fractional code") << QByteArray(R"({"type":"GotoA","code":5.5,"event":0,"attachID":3,"newWindow":true})");
    }

    void malformed()
    {
        QFETCH(QByteArray, text);
        G_ActionGotoA action;
        action.SetAttachID(42);
        QVERIFY(!action.FromString(CCA_String(text.constData())));
        QCOMPARE(action.AttachID(), 42u);
        QCOMPARE(action.NewWindow(), true);
        QCOMPARE(action.Type(), int(G_ActionType_GotoA));

        // A float field holding something that is not a float.
        G_ActionGoto jump;
        QVERIFY(!jump.FromString(CCA_String(R"({"type":"Goto","code":1,"event":0,"dest":{"pageIndex":0,"pageID":1,)"
                                            R"("left":1e39,"right":0,"top":0,"bottom":0,"zoom":0,"type":0}})")));
        QVERIFY(jump.Equals(G_ActionGoto()));
    }

    // The event counts, and two classes never compare equal even under one type code.
    void equality()
    {
        G_ActionURI a, b;
        a.SetURI(CCA_String("abc"));
        b.SetURI(CCA_String("abc"));
        QVERIFY(a == b);
        b.SetEvent(G_ActionEvent_DocOpen);
        QVERIFY(a != b);
        G_ActionSound sound;
        G_ActionMovie movie;
        movie.SetType(G_ActionType_Sound);
        QVERIFY(!(sound == movie));
    }
};

QTEST_GUILESS_MAIN(tst_Actions)
#include "tst_actions.moc"
