#include "omofd/ofd_codec.h"
#include "omofdapi/ofd_annot.h"
#include "omofdapi/ofd_document.h"
#include "omofdapi/ofd_page.h"
#include "omofdapi/ofd_pageloader.h"
#include "omofdapi/ofd_pageobject.h"
#include "omutility/omjsonfactory.h"

#include <QtTest>

#include <set>

namespace {

OMSharedPtr<const OMJson> LinkDescription(float x1, float y1, float x2, float y2)
{
    const std::string text = "{\"SubType\":\"Link\",\"Appearance\":[{\"Type\":\"Path\","
                             "\"StrokeColor\":{\"Alpha\":0,\"ColorSpace\":2,\"ColorValue\":0},"
                             "\"Link\":{\"Points\":[[" + std::to_string(x1) + "," + std::to_string(y1) + "],["
        + std::to_string(x2) + "," + std::to_string(y2) + "]]}}]}";
    return OMJsonFactory::ParseJsonString(CCA_String(text));
}

IG_Annot *AddAt(IG_Page *page, const CCA_GRect &box, const char *subType)
{
    IG_Annot *annot = page->AddAnnot(G_AnnotType_Link, CCA_String(subType), -1, false, nullptr);
    annot->SetBoundary(box);
    return annot;
}

// Serves one annotation per page, as a package reader would.
class CountingLoader : public OFD_PageLoader
{
public:
    explicit CountingLoader(int *calls) : m_calls(calls) {}
    bool LoadContent(OFD_Page *page) override
    {
        ++*m_calls;
        return page->CreatePageObject(G_PageObj_Path) != nullptr;
    }
    bool LoadAnnots(OFD_Page *page) override
    {
        ++*m_calls;
        OFD_Annot *annot = page->AppendLoadedAnnot(G_AnnotType_Link, 900);
        annot->SetBoundary(CCA_GRect(1, 1, 5, 5));
        return true;
    }

private:
    int *m_calls;
};

} // namespace

class tst_DocumentModel : public QObject
{
    Q_OBJECT

private slots:
    void idsAreUniqueAcrossTheDocument()
    {
        auto doc = OFD_Document::CreateBlank(3, 210, 297);
        std::set<uint32_t> ids;
        for (int i = 0; i < doc->PageCount(); ++i)
            ids.insert(doc->GetPageID(i));
        for (int i : {0, 2, 0}) {
            IG_Annot *annot = doc->GetPage(i)->AddAnnot(G_AnnotType_Link, CCA_String("Link"), -1, true,
                                                       LinkDescription(0, 0, 10, 10));
            ids.insert(annot->ID());
            ids.insert(annot->Appearance()->PageObject(0)->ID());
            ids.insert(annot->Appearance()->InsertPageObject(G_PageObj_Path, -1, false)->ID());
        }
        QCOMPARE(int(ids.size()), 3 + 3 * 3);
        QVERIFY(!ids.count(0));
        QCOMPARE(doc->GetPageID(7), 0u);
        QCOMPARE(doc->PageIndexByID(doc->GetPageID(2)), 2);

        // IDs read from a file move the counter; nothing below them is handed out again.
        doc->NoteID(100);
        QCOMPARE(doc->NewID(), 101u);
        doc->Page(1)->AppendLoadedAnnot(G_AnnotType_Link, 500);
        QCOMPARE(doc->NewID(), 501u);
        doc->NoteID(7);
        QCOMPARE(doc->NewID(), 502u);
    }

    void documentKeys()
    {
        auto a = OFD_Document::CreateBlank(1, 100, 100);
        auto b = OFD_Document::CreateBlank(1, 100, 100);
        const QString key = QString::fromUtf8(a->DocumentKey().c_str());
        a->SetFilePath(QStringLiteral("/tmp/same.ofd"));
        b->SetFilePath(QStringLiteral("/tmp/same.ofd"));
        QVERIFY(a->DocumentKey() != b->DocumentKey());
        // Saving as another file keeps the key; the path never shows in it.
        QCOMPARE(QString::fromUtf8(a->DocumentKey().c_str()), key);
        // 128 random bits a process shares between its documents, then the document's serial.
        QVERIFY2(QRegularExpression(QStringLiteral("^ofd:[0-9a-f]{32}:\\d+$")).match(key).hasMatch(), qPrintable(key));
        QCOMPARE(key.section(':', 1, 1), QString::fromUtf8(b->DocumentKey().c_str()).section(':', 1, 1));
    }

    void addAnnotBuildsDescribedAppearance()
    {
        auto doc = OFD_Document::CreateBlank(1, 210, 297);
        IG_Page *page = doc->GetPage(0);
        IG_Annot *annot = page->AddAnnot(G_AnnotType_Link, CCA_String(""), -1, true, LinkDescription(60, 30, 10, 20));
        QCOMPARE(annot->Page(), page);
        // The subtype comes from the description when none is given.
        QCOMPARE(annot->SubType().StdString(), std::string("Link"));
        QCOMPARE(annot->Boundary(), CCA_GRect(10, 20, 60, 30));
        QCOMPARE(annot->Appearance()->PageObjectCount(), 1);

        IG_PageObject *path = annot->Appearance()->PageObject(0);
        QCOMPARE(path->Type(), int(G_PageObj_Path));
        QVERIFY(path->StrokeColor());
        QCOMPARE(int(path->StrokeColor()->Alpha()), 0);
        QCOMPARE(OFD_PathToString(path->Path()).StdString(), std::string("M 0 0 L 50 0 L 50 10 L 0 10 C"));
        QCOMPARE(path->Boundary(), CCA_GRect(0, 0, 50, 10));
        QVERIFY(doc->IsModified());
    }

    void addAnnotWithoutDescription()
    {
        auto doc = OFD_Document::CreateBlank(1, 210, 297);
        IG_Page *page = doc->GetPage(0);
        IG_Annot *plain = page->AddAnnot(G_AnnotType_Link, CCA_String("Link"), -1, false, LinkDescription(0, 0, 5, 5));
        QVERIFY(plain->Appearance());
        QCOMPARE(plain->Appearance()->PageObjectCount(), 0);
        QCOMPARE(plain->Boundary(), CCA_GRect());

        const auto junk = OMJsonFactory::ParseJsonString(CCA_String(
            R"({"Appearance":[{"Type":"Path","Link":{"Points":[[1,"x"]]}},{"Type":"Nonsense"},7]})"));
        IG_Annot *odd = page->AddAnnot(G_AnnotType_Link, CCA_String("Link"), 0, true, junk);
        QCOMPARE(page->AnnotIndex(odd), 0);
        QCOMPARE(odd->Appearance()->PageObjectCount(), 1);
        QVERIFY(odd->Appearance()->PageObject(0)->Path().IsEmpty());
        QVERIFY(odd->ID() != plain->ID());
    }

    // Order, hidden annotations and the filter are compared with a plain scan on random
    // layouts in tst_annotindex; the filter's case is not.
    void annotsAtPointFilterKeepsCase()
    {
        auto doc = OFD_Document::CreateBlank(1, 210, 297);
        IG_Page *page = doc->GetPage(0);
        AddAt(page, CCA_GRect(0, 0, 50, 50), "Link");
        CCA_ArrayTemplate<IG_Annot *> hits;
        QCOMPARE(page->AnnotsAtPoint(hits, CCA_GPoint(25, 25), 0, 1, 1, CCA_String("link"), nullptr), 0);
    }

    void annotsAtPointTolerance_data()
    {
        QTest::addColumn<float>("tolerance");
        QTest::addColumn<float>("scale");
        QTest::addColumn<bool>("hit");
        // The point lies 1 mm right of the boundary; 2 px at zoom 1 are 2 * 25.4 / 96 = 0.529 mm.
        QTest::newRow("2 px at 100%") << 2.0f << 1.0f << false;
        QTest::newRow("2 px at 25%") << 2.0f << 0.25f << true; // 2.117 mm
        QTest::newRow("4 px at 100%") << 4.0f << 1.0f << true; // 1.058 mm
        QTest::newRow("no tolerance") << 0.0f << 1.0f << false;
        QTest::newRow("zero scale taken as 1") << 2.0f << 0.0f << false;
    }

    void annotsAtPointTolerance()
    {
        QFETCH(float, tolerance);
        QFETCH(float, scale);
        QFETCH(bool, hit);
        auto doc = OFD_Document::CreateBlank(1, 210, 297);
        IG_Page *page = doc->GetPage(0);
        AddAt(page, CCA_GRect(10, 10, 20, 20), "Link");
        CCA_ArrayTemplate<IG_Annot *> hits;
        QCOMPARE(page->AnnotsAtPoint(hits, CCA_GPoint(21, 15), tolerance, scale, 1, CCA_String("Link"), nullptr),
                 hit ? 1 : 0);
    }

    void takeAndInsertAnnot()
    {
        auto doc = OFD_Document::CreateBlank(1, 210, 297);
        IG_Page *page = doc->GetPage(0);
        IG_Annot *first = AddAt(page, CCA_GRect(0, 0, 5, 5), "Link");
        IG_Annot *second = AddAt(page, CCA_GRect(0, 0, 5, 5), "Link");
        doc->SetModified(false);

        IG_Annot *taken = page->TakeAnnot(first);
        QVERIFY(!taken->Page());
        QCOMPARE(page->AnnotCount(), 1);
        QVERIFY(doc->IsModified());
        QVERIFY(!page->TakeAnnot(first));
        // Still a whole annotation while out, as an undo record needs it.
        QCOMPARE(taken->Boundary(), CCA_GRect(0, 0, 5, 5));

        page->InsertAnnot(taken, 0);
        QCOMPARE(taken->Page(), page);
        QCOMPARE(page->AnnotAt(0), first);
        QCOMPARE(page->AnnotAt(1), second);
        page->InsertAnnot(taken, 1); // already there: no second owner
        QCOMPARE(page->AnnotCount(), 2);

        delete page->TakeAnnot(second);
        QCOMPARE(page->AnnotCount(), 1);
    }

    void takenAnnotOutlivesDocument()
    {
        auto doc = OFD_Document::CreateBlank(1, 210, 297);
        IG_Annot *annot = doc->GetPage(0)->AddAnnot(G_AnnotType_Link, CCA_String("Link"), -1, true,
                                                   LinkDescription(0, 0, 10, 10));
        auto *action = new G_ActionURI;
        CCA_ArrayTemplate<G_Action *> actions;
        actions.Add(action);
        annot->Appearance()->PageObject(0)->SetActions(actions);
        std::unique_ptr<IG_Annot> held(doc->GetPage(0)->TakeAnnot(annot));
        doc.reset();
        QCOMPARE(held->Appearance()->PageObject(0)->Actions()[0], action);
        held->SetBoundary(CCA_GRect(1, 1, 2, 2));
    }

    void setActionsRetiresReplaced()
    {
        auto doc = OFD_Document::CreateBlank(1, 210, 297);
        IG_Annot *annot = doc->GetPage(0)->AddAnnot(G_AnnotType_Link, CCA_String("Link"), -1, true,
                                                   LinkDescription(0, 0, 10, 10));
        IG_PageObject *path = annot->Appearance()->PageObject(0);
        auto *first = new G_ActionURI;
        auto *second = new G_ActionGotoA;
        auto *third = new G_ActionSound;

        CCA_ArrayTemplate<G_Action *> list;
        list.Add(first);
        path->SetActions(list);
        QCOMPARE(doc->RetiredActionCount(), 0);

        list.SetAt(0, second);
        path->SetActions(list);
        QCOMPARE(doc->RetiredActionCount(), 1);
        QCOMPARE(first->Type(), int(G_ActionType_URI)); // kept alive for undo records

        // Undo hands the old action back: it leaves the pool, the replaced one enters it.
        list.SetAt(0, first);
        path->SetActions(list);
        QCOMPARE(doc->RetiredActionCount(), 1);
        QCOMPARE(second->AttachID(), 0u);

        // An action that stays in the list is neither retired nor copied.
        list.Add(third);
        path->SetActions(list);
        QCOMPARE(doc->RetiredActionCount(), 1);
        QCOMPARE(path->Actions()[0], static_cast<G_Action *>(first));

        path->SetActions(CCA_ArrayTemplate<G_Action *>());
        QCOMPARE(doc->RetiredActionCount(), 3);
        // The pool and the document free every action exactly once (checked by the sanitizer build).
    }

    // Each kind gets its own class and a styled path a stroke colour; an unknown kind gets nothing.
    void pageObjectKinds()
    {
        auto doc = OFD_Document::CreateBlank(1, 210, 297);
        IG_Annot *annot = doc->GetPage(0)->AddAnnot(G_AnnotType_Link, CCA_String("Link"), -1, false, nullptr);
        QVERIFY(!annot->Appearance()->InsertPageObject(G_PageObj_Path, -1, false)->StrokeColor());
        IG_PageObject *styled = annot->Appearance()->InsertPageObject(G_PageObj_Path, 0, true);
        QVERIFY(annot->Appearance()->PageObject(0) == styled && styled->StrokeColor());
        QVERIFY(dynamic_cast<IG_TextObject *>(annot->Appearance()->InsertPageObject(G_PageObj_Text, -1, false)));
        QVERIFY(dynamic_cast<IG_ImageObject *>(annot->Appearance()->InsertPageObject(G_PageObj_Image, -1, false)));
        QVERIFY(!annot->Appearance()->InsertPageObject(99, -1, false));
        QCOMPARE(annot->Appearance()->PageObjectCount(), 4);
    }

    // What no file can hold is refused where it enters: the old value stays.
    void nonFiniteGeometryRefused()
    {
        auto doc = OFD_Document::CreateBlank(1, 210, 297);
        IG_Annot *annot = doc->GetPage(0)->AddAnnot(G_AnnotType_Link, "Link", -1, false, {});
        IG_PageObject *object = annot->Appearance()->InsertPageObject(G_PageObj_Path, -1, false);
        const CCA_GRect box(1, 2, 3, 4);
        annot->SetBoundary(box);
        object->SetBoundary(box);
        object->SetLineWidth(0.5f);
        const float nan = std::numeric_limits<float>::quiet_NaN();
        const float inf = std::numeric_limits<float>::infinity();
        // The last one is finite at its edges but not in its width.
        for (const CCA_GRect &bad : {CCA_GRect(1, 2, nan, nan), CCA_GRect(-inf, 0, 1, 1), CCA_GRect(-3e38f, 0, 3e38f, 1)}) {
            annot->SetBoundary(bad);
            object->SetBoundary(bad);
        }
        for (float bad : {nan, inf, -5.0f})
            object->SetLineWidth(bad);
        object->SetCTM(CCA_Matrix(1, 0, 0, 1, nan, 0));
        QVERIFY(annot->Boundary() == box);
        QVERIFY(object->Boundary() == box);
        QCOMPARE(object->LineWidth(), 0.5f);
        QVERIFY(object->CTM().IsIdentity());
    }

    void lazyLoadingLeavesDocumentUnmodified()
    {
        OFD_Document doc;
        int calls = 0;
        doc.SetPageLoader(std::make_unique<CountingLoader>(&calls));
        OFD_Page *page = doc.AddPage(CCA_GRect(0, 0, 100, 100), 4);
        page->SetParsed(false);
        page->SetAnnotsLoaded(false);
        doc.SetModified(false);
        QCOMPARE(page->AnnotCount(), 0);

        QVERIFY(page->LoadAnnots());
        QCOMPARE(page->AnnotCount(), 1);
        QCOMPARE(page->AnnotAt(0)->ID(), 900u);
        QCOMPARE(page->AnnotAt(0)->Page(), static_cast<IG_Page *>(page));
        QVERIFY(page->Parse());
        QCOMPARE(page->PageObjectCount(), 1);
        QVERIFY(page->Parse());
        QVERIFY(page->LoadAnnots());
        QCOMPARE(calls, 2);
        QVERIFY(!doc.IsModified());
        QCOMPARE(doc.NewID(), 902u); // 901 went to the loaded path object

        page->AnnotAt(0)->SetRemark(CCA_String("x"));
        QVERIFY(doc.IsModified());
    }

    void attachmentsAndMedia()
    {
        OFD_Document doc;
        G_AttachmentInfo info;
        info.name = CCA_String("a.txt");
        QCOMPARE(doc.AddAttachment(info, QByteArray("abc")), 0);
        info.id = 50;
        int reads = 0;
        QCOMPARE(doc.AddLazyAttachment(info, [&reads] { ++reads; return QByteArray("lazy"); }), 1);
        QCOMPARE(doc.AddAttachment(info, QByteArray()), -1);
        QCOMPARE(doc.AttachmentIndexByID(50), 1);
        QCOMPARE(doc.AttachmentData(1), QByteArray("lazy"));
        QCOMPARE(doc.AttachmentData(1), QByteArray("lazy"));
        QCOMPARE(reads, 1);
        G_AttachmentInfo back;
        QVERIFY(doc.AttachmentInfo(0, back));
        QVERIFY(back.id != 0 && back.id != 50);

        // Media share the document's IDs, and one ID is taken once.
        G_MultiMediaInfo media;
        const uint32_t video = doc.AddMultiMedia(0, media, QByteArray("mp4"));
        QCOMPARE(video, 51u);
        QCOMPARE(doc.AddMultiMedia(video, media, QByteArray()), 0u);
        QCOMPARE(doc.MultiMediaCount(), 1);
        QVERIFY(!doc.MultiMediaInfo(7, media));
        QCOMPARE(doc.MultiMediaData(video), QByteArray("mp4"));
    }
};

QTEST_GUILESS_MAIN(tst_DocumentModel)
#include "tst_documentmodel.moc"
