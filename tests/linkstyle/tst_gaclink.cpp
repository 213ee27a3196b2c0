#include "tool/gac_link.h"

#include "omofdapi/ig_appearance.h"
#include "omofdapi/ofd_document.h"
#include "uiframework/g_docview.h"
#include "uiframework/g_uicontext.h"

#include <QRegularExpression>
#include <QStandardPaths>
#include <QtTest>

#include <memory>

class tst_GacLink : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void metaCastAnswersBothNames();
    void emptyPointListGivesNoDescription();
    void onePairGivesOneAppearanceElement();
    void createLinkAnnotMakesALinkWithOnePathObject();
};

void tst_GacLink::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
}

void tst_GacLink::metaCastAnswersBothNames()
{
    GAC_Link link;
    QCOMPARE(link.qt_metacast("GAC_Link"), static_cast<void *>(&link));
    QCOMPARE(link.qt_metacast("GAC_PostilCommon"), static_cast<void *>(static_cast<GAC_PostilCommon *>(&link)));
    QCOMPARE(link.qt_metacast("QObject"), static_cast<void *>(static_cast<QObject *>(&link)));
    QCOMPARE(link.qt_metacast("GA_Link"), static_cast<void *>(nullptr));
    QCOMPARE(link.TypeName(), CCA_String("Link"));
    QCOMPARE(link.AnnotType(), 1);
}

void tst_GacLink::emptyPointListGivesNoDescription()
{
    GAC_Link link;
    QVERIFY(!link.BuildAppearanceJson());
}

void tst_GacLink::onePairGivesOneAppearanceElement()
{
    GAC_Link link;
    G_PointPair pair;
    pair.x1 = 10.1;
    pair.y1 = 20;
    pair.x2 = 60;
    pair.y2 = 30.3;
    link.Points().append(pair);

    QTest::ignoreMessage(QtDebugMsg, QRegularExpression(QStringLiteral(
        "^\\{\"SubType\":\"Link\",\"Appearance\":\\[\\{\"Type\":\"Path\",\"StrokeColor\":"
        "\\{\"Alpha\":0,\"ColorSpace\":2,\"ColorValue\":0\\},\"Link\":\\{\"Points\":\\[\\[")));
    const OMSharedPtr<OMJson> json = link.BuildAppearanceJson();
    QVERIFY(json && json->IsObject());
    QCOMPARE(json->Keys(), (std::vector<std::string>{"SubType", "Appearance"}));
    QCOMPARE(json->Member("SubType")->GetString(), std::string("Link"));
    const OMSharedPtr<OMJson> appearance = json->Member("Appearance");
    QCOMPARE(appearance->Size(), 1);

    const OMSharedPtr<OMJson> element = appearance->At(0);
    QCOMPARE(element->Keys(), (std::vector<std::string>{"Type", "StrokeColor", "Link"}));
    QCOMPARE(element->Member("Type")->GetString(), std::string("Path"));
    const OMSharedPtr<OMJson> stroke = element->Member("StrokeColor");
    QCOMPARE(stroke->Member("Alpha")->GetType(), OMJson::Int);
    QCOMPARE(stroke->Member("Alpha")->GetInt(), 0LL);
    QCOMPARE(stroke->Member("ColorSpace")->GetInt(), 2LL);
    QCOMPARE(stroke->Member("ColorValue")->GetInt(), 0LL);

    const OMSharedPtr<OMJson> points = element->Member("Link")->Member("Points");
    QCOMPARE(points->Size(), 2);
    // Written as floats: 10.1 arrives as the float nearest to it.
    QCOMPARE(points->At(0)->At(0)->GetDouble(), double(10.1f));
    QCOMPARE(points->At(0)->At(1)->GetDouble(), 20.0);
    QCOMPARE(points->At(1)->At(0)->GetDouble(), 60.0);
    QCOMPARE(points->At(1)->At(1)->GetDouble(), double(30.3f));
}

void tst_GacLink::createLinkAnnotMakesALinkWithOnePathObject()
{
    std::unique_ptr<OFD_Document> document = OFD_Document::CreateBlank(2, 210, 297);
    G_UIContext context;
    G_DocView view(&context, document.get());
    GAC_Link link(&view);

    QTest::ignoreMessage(QtDebugMsg, QRegularExpression(QStringLiteral("^\\{\"SubType\":\"Link\"")));
    // Corners from bottom-right to top-left: the link still spans left-top to right-bottom.
    IG_Annot *annot = link.CreateLinkAnnot(60, 30, 10, 20, 1);
    QVERIFY(annot);
    QCOMPARE(link.Annot(), annot);
    QCOMPARE(annot->Page(), document->GetPage(1));
    QCOMPARE(annot->Type(), 1);
    QCOMPARE(annot->SubType(), CCA_String("Link"));
    QVERIFY(annot->Boundary() == CCA_GRect(10, 20, 60, 30));
    QCOMPARE(link.Points().size(), 1);
    QCOMPARE(link.Points().first().x1, 10.0);
    QCOMPARE(link.Points().first().y2, 30.0);
    QVERIFY(annot->Appearance());
    QCOMPARE(annot->Appearance()->PageObjectCount(), 1);
    QCOMPARE(annot->Appearance()->PageObject(0)->Type(), 2);
}

QTEST_MAIN(tst_GacLink)
#include "tst_gaclink.moc"
