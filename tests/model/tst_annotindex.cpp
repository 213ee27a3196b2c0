#include "omofdapi/ofd_annot.h"
#include "omofdapi/ofd_annotpool.h"
#include "omofdapi/ofd_document.h"
#include "omofdapi/ofd_page.h"
#include "omofdapi/ofd_pageobject.h"

#include <QRandomGenerator>
#include <QtTest>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

// 96 / 25.4 pixels per millimetre: the tolerance's screen pixels in page millimetres.
const float kPixelsPerMM = 96.0f / 25.4f;

// What a page answers, worked out the plain way: every annotation in page order.
QList<IG_Annot *> ScanAtPoint(const IG_Page *page, const CCA_GPoint &p, float tolerance, float scale,
                              int flags, const CCA_String &filter)
{
    const float margin = tolerance / (scale * kPixelsPerMM);
    QList<IG_Annot *> hits;
    for (int i = 0; i < page->AnnotCount(); ++i) {
        IG_Annot *annot = page->AnnotAt(i);
        CCA_GRect b = annot->Boundary();
        b.Normalize();
        if ((flags & 1) && !annot->IsVisible())
            continue;
        if (!filter.IsEmpty() && annot->SubType() != filter)
            continue;
        if (p.x >= b.left - margin && p.x <= b.right + margin && p.y >= b.top - margin && p.y <= b.bottom + margin)
            hits << annot;
    }
    return hits;
}

QList<IG_Annot *> ScanInRect(const IG_Page *page, const CCA_GRect &r)
{
    QList<IG_Annot *> hits;
    for (int i = 0; i < page->AnnotCount(); ++i) {
        CCA_GRect b = page->AnnotAt(i)->Boundary();
        b.Normalize();
        if (b.left <= r.right && b.right >= r.left && b.top <= r.bottom && b.bottom >= r.top)
            hits << page->AnnotAt(i);
    }
    return hits;
}

QList<IG_Annot *> ToList(const CCA_ArrayTemplate<IG_Annot *> &array)
{
    QList<IG_Annot *> list;
    for (IG_Annot *annot : array)
        list << annot;
    return list;
}

QList<IG_Annot *> PageAnnots(const IG_Page *page)
{
    QList<IG_Annot *> list;
    for (int i = 0; i < page->AnnotCount(); ++i)
        list << page->AnnotAt(i);
    return list;
}

} // namespace

// The page's grid, hashes and one-pass removal against plain scans of the same page.
class tst_AnnotIndex : public QObject
{
    Q_OBJECT

private:
    float Coord(float range) { return float(m_random.bounded(range * 1.2)) - range * 0.1f; }

    CCA_GRect RandomBox()
    {
        switch (m_random.bounded(10)) {
        case 0: // reversed corners
            return CCA_GRect(Coord(210), Coord(297), Coord(210), Coord(297));
        case 1: // nearly the whole page
            return CCA_GRect(Coord(20), Coord(20), 200 + Coord(20), 280 + Coord(20));
        case 2: // a point
        {
            const float x = Coord(210), y = Coord(297);
            return CCA_GRect(x, y, x, y);
        }
        default: {
            const float x = Coord(210), y = Coord(297);
            return CCA_GRect(x, y, x + float(m_random.bounded(15.0)), y + float(m_random.bounded(8.0)));
        }
        }
    }

    IG_Annot *AddRandom(OFD_Page *page)
    {
        const bool link = m_random.bounded(4) != 0;
        IG_Annot *annot = page->AddAnnot(link ? G_AnnotType_Link : G_AnnotType_Path, link ? "Link" : "Path", -1,
                                         false, nullptr);
        annot->SetBoundary(RandomBox());
        annot->SetVisible(m_random.bounded(5) != 0);
        return annot;
    }

    void CompareWithScan(const OFD_Page *page, const char *step)
    {
        for (int q = 0; q < 40; ++q) {
            const CCA_GPoint p(Coord(210), Coord(297));
            const float scale = q % 3 == 0 ? 0.1f : 1.0f;
            const CCA_String filter = q % 2 ? "Link" : "";
            CCA_ArrayTemplate<IG_Annot *> hits;
            page->AnnotsAtPoint(hits, p, 2, scale, q % 4 == 0 ? 1 : 0, filter, nullptr);
            QCOMPARE(ToList(hits), ScanAtPoint(page, p, 2, scale, q % 4 == 0 ? 1 : 0, filter));
            const CCA_GRect r(p.x, p.y, p.x + Coord(30), p.y + Coord(30));
            page->AnnotsInRect(hits, r);
            CCA_GRect normal = r;
            normal.Normalize();
            QVERIFY2(ToList(hits) == ScanInRect(page, normal), step);
        }
        std::vector<uint32_t> ids;
        for (int i = 0; i < page->AnnotCount(); ++i) {
            IG_Annot *annot = page->AnnotAt(i);
            QCOMPARE(page->AnnotIndex(annot), i);
            QCOMPARE(page->AnnotByID(annot->ID()), annot);
            ids.push_back(annot->ID());
        }
        // In page order, shuffled, with an ID nobody has: the same answers as one by one.
        ids.push_back(0xFFFFFFF0u);
        for (int round = 0; round < 2; ++round) {
            const std::vector<IG_Annot *> found = page->AnnotsByIDs(ids);
            QCOMPARE(found.size(), ids.size());
            for (size_t i = 0; i < ids.size(); ++i)
                QCOMPARE(found[i], page->AnnotByID(ids[i]));
            std::shuffle(ids.begin(), ids.end(), m_random);
        }
    }

private slots:
    void init() { m_random.seed(QTest::currentDataTag() ? qHash(QString::fromLatin1(QTest::currentDataTag())) : 7); }

    void lookupsFollowEveryChange_data()
    {
        QTest::addColumn<int>("count");
        QTest::newRow("one annotation") << 1;
        QTest::newRow("a few") << 12;
        QTest::newRow("hundreds") << 400;
    }

    void lookupsFollowEveryChange()
    {
        QFETCH(int, count);
        std::unique_ptr<OFD_Document> document = OFD_Document::CreateBlank(1, 210, 297);
        OFD_Page *page = document->Page(0);
        for (int i = 0; i < count; ++i)
            AddRandom(page);
        CompareWithScan(page, "added");

        std::vector<std::vector<std::pair<int, IG_Annot *>>> out;
        for (int step = 0; step < 60; ++step) {
            IG_Annot *some = page->AnnotCount() ? page->AnnotAt(int(m_random.bounded(page->AnnotCount()))) : nullptr;
            switch (m_random.bounded(7)) {
            case 0: // moved
                if (some) {
                    CCA_GRect b = some->Boundary();
                    b.Offset(Coord(40) - 20, Coord(40) - 20);
                    some->SetBoundary(b);
                }
                break;
            case 1: // resized
                if (some)
                    some->SetBoundary(RandomBox());
                break;
            case 2: // hidden or shown
                if (some)
                    some->SetVisible(!some->IsVisible());
                break;
            case 3: { // a few deleted at once
                std::vector<IG_Annot *> doomed;
                for (int i = 0; i < 3 && page->AnnotCount(); ++i)
                    doomed.push_back(page->AnnotAt(int(m_random.bounded(page->AnnotCount()))));
                out.push_back(page->TakeAnnots(doomed));
                break;
            }
            case 4: // undone
                if (!out.empty()) {
                    page->InsertAnnots(out.back());
                    out.pop_back();
                }
                break;
            case 5: // one deleted and put back elsewhere
                if (some) {
                    page->TakeAnnot(some);
                    page->InsertAnnot(some, int(m_random.bounded(page->AnnotCount() + 1)));
                }
                break;
            default:
                AddRandom(page);
                break;
            }
            CompareWithScan(page, "after a change");
            for (const auto &taken : out)
                for (const auto &entry : taken)
                    QCOMPARE(page->AnnotIndex(entry.second), -1);
            if (QTest::currentTestFailed())
                break;
        }
        for (auto &taken : out)
            for (auto &entry : taken)
                delete entry.second;
    }

    void takeAndInsertManyRestoresTheOrder()
    {
        std::unique_ptr<OFD_Document> document = OFD_Document::CreateBlank(1, 210, 297);
        OFD_Page *page = document->Page(0);
        for (int i = 0; i < 8; ++i)
            AddRandom(page);
        const QList<IG_Annot *> before = PageAnnots(page);
        // Asked in any order and twice: taken once each, in page order, with their old places.
        const auto taken = page->TakeAnnots({before[6], before[1], before[7], before[1], before[0]});
        QCOMPARE(int(taken.size()), 4);
        QCOMPARE(taken[0], std::make_pair(0, before[0]));
        QCOMPARE(taken[1], std::make_pair(1, before[1]));
        QCOMPARE(taken[2], std::make_pair(6, before[6]));
        QCOMPARE(taken[3], std::make_pair(7, before[7]));
        QCOMPARE(PageAnnots(page), (QList<IG_Annot *>{before[2], before[3], before[4], before[5]}));
        QVERIFY(!before[1]->Page());
        QVERIFY(page->TakeAnnots({before[1]}).empty());

        QCOMPARE(page->InsertAnnots(taken), 4);
        QCOMPARE(PageAnnots(page), before);
        QCOMPARE(before[1]->Page(), page);
        // Taken again where they were put back, or looked up when a position is wrong.
        const QList<IG_Annot *> rest{before[2], before[3], before[4], before[5]};
        QCOMPARE(page->TakeAnnotsAt(taken), taken);
        QCOMPARE(PageAnnots(page), rest);
        page->InsertAnnots(taken);
        QCOMPARE(page->TakeAnnotsAt({{0, before[0]}, {2, before[1]}, {6, before[6]}, {7, before[7]}}), taken);
        QCOMPARE(PageAnnots(page), rest);
        QVERIFY(!before[1]->Page());
        page->InsertAnnots(taken);
        // What is on a page already is not put in twice, nor onto a second page.
        page->InsertAnnots(taken);
        QCOMPARE(PageAnnots(page), before);
        std::unique_ptr<OFD_Document> second = OFD_Document::CreateBlank(1, 210, 297);
        second->Page(0)->InsertAnnots(taken);
        QCOMPARE(second->Page(0)->AnnotCount(), 0);
        QCOMPARE(before[1]->Page(), page);
        // Out of order and with one on the page already: the others go back where they were.
        const auto outAgain = page->TakeAnnots({before[2], before[5]});
        QCOMPARE(page->InsertAnnots({outAgain[1], {3, before[3]}, outAgain[0]}), 2);
        QCOMPARE(PageAnnots(page), before);
    }

    void revisionChangesWithWhatIsDrawn()
    {
        std::unique_ptr<OFD_Document> document = OFD_Document::CreateBlank(2, 210, 297);
        OFD_Page *page = document->Page(0);
        IG_Annot *annot = page->AddAnnot(G_AnnotType_Link, "Link", -1, false, nullptr);
        IG_PageObject *object = annot->Appearance()->InsertPageObject(G_PageObj_Path, -1, false);

        uint64_t last = page->AnnotsRevision();
        const auto changed = [&]() {
            const uint64_t now = page->AnnotsRevision();
            const bool moved = now != last;
            last = now;
            return moved;
        };
        CCA_ArrayTemplate<IG_Annot *> hits;
        page->AnnotsAtPoint(hits, CCA_GPoint(1, 1), 2, 1, 0, "", nullptr);
        page->AnnotByID(annot->ID());
        QVERIFY(!changed());
        annot->SetBoundary(CCA_GRect(1, 2, 3, 4));
        QVERIFY(changed());
        annot->SetVisible(false);
        QVERIFY(changed());
        object->SetLineWidth(2);
        QVERIFY(changed());
        document->Page(1)->AddAnnot(G_AnnotType_Link, "Link", -1, false, nullptr);
        QVERIFY(!changed());
        page->TakeAnnot(annot);
        QVERIFY(changed());
        // Held out of the page by an undo record, it still restyles what the page will show.
        object->SetLineWidth(3);
        QVERIFY(changed());
        page->InsertAnnot(annot, 0);
        QVERIFY(changed());
    }

    void sharedIDsFindTheFirstInPageOrder()
    {
        std::unique_ptr<OFD_Document> document = OFD_Document::CreateBlank(1, 210, 297);
        OFD_Page *page = document->Page(0);
        OFD_Annot *first = page->AppendLoadedAnnot(G_AnnotType_Link, 40);
        OFD_Annot *second = page->AppendLoadedAnnot(G_AnnotType_Link, 40);
        QCOMPARE(page->AnnotByID(40), first);
        QCOMPARE(page->AnnotsByIDs({40, 40}), (std::vector<IG_Annot *>{first, first}));
        page->TakeAnnot(first);
        QCOMPARE(page->AnnotByID(40), second);
        page->InsertAnnot(first, 0);
        QCOMPARE(page->AnnotByID(40), first);
        second->SetID(41);
        QCOMPARE(page->AnnotByID(41), second);
    }

    // Annotations come and go in any order across documents: none shares memory with another,
    // each keeps what it holds, and the blocks go back once they are all gone.
    void annotationsComeAndGoInAnyOrder()
    {
        const size_t blocksBefore = OFD_AnnotPool::BlockCount();
        std::vector<std::unique_ptr<OFD_Document>> documents;
        std::vector<std::pair<OFD_Annot *, uint32_t>> live;
        uint32_t nextID = 1;
        for (int round = 0; round < 6; ++round) {
            documents.push_back(OFD_Document::CreateBlank(1, 210, 297));
            for (int i = 0; i < 700; ++i) {
                OFD_Document *document = documents[m_random.bounded(int(documents.size()))].get();
                live.emplace_back(document->Page(0)->AppendLoadedAnnot(G_AnnotType_Link, nextID), nextID);
                ++nextID;
            }
            for (int i = 0; i < 500; ++i) {
                const size_t at = m_random.bounded(int(live.size()));
                IG_Annot *annot = live[at].first;
                delete annot->Page()->TakeAnnot(annot);
                live[at] = live.back();
                live.pop_back();
            }
        }
        std::vector<OFD_Annot *> addresses;
        for (const auto &entry : live) {
            QCOMPARE(entry.first->ID(), entry.second);
            addresses.push_back(entry.first);
        }
        std::sort(addresses.begin(), addresses.end());
        QVERIFY(std::adjacent_find(addresses.begin(), addresses.end()) == addresses.end());
        documents.clear();
        QVERIFY(OFD_AnnotPool::BlockCount() <= blocksBefore + 1);
    }

private:
    QRandomGenerator m_random;
};

QTEST_GUILESS_MAIN(tst_AnnotIndex)
#include "tst_annotindex.moc"
