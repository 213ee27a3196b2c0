// Prints how link annotations weigh on packages, hit tests and style rebuilds, as ratios
// against plain work on the same data, so the numbers travel between machines.
//
//   bench_links [FILE.ofd ...]   (default: the reader's sample document and the shared fixtures)

#include "tool/gac_link.h"
#include "tool/linkstyle.h"

#include "ombase/cca_path.h"
#include "omofdapi/g_action.h"
#include "omofdapi/ig_pageobject.h"
#include "omofdapi/ofd_document.h"
#include "omofdapi/ofd_packagereader.h"
#include "omofdapi/ofd_packagewriter.h"
#include "uiframework/g_docview.h"
#include "uiframework/g_uicontext.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

// Keeps results alive so the timed loops are not optimised away.
volatile qint64 g_sink = 0;

qint64 Median(std::vector<qint64> samples)
{
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

// Median wall time of `work` over repetitions: at least 5, more while the budget lasts.
template <class F>
qint64 MedianNs(F work, int maxReps = 200, qint64 budgetMs = 300)
{
    std::vector<qint64> samples;
    QElapsedTimer total;
    total.start();
    while (int(samples.size()) < maxReps && (samples.size() < 5 || total.elapsed() < budgetMs)) {
        QElapsedTimer timer;
        timer.start();
        work();
        samples.push_back(std::max<qint64>(timer.nsecsElapsed(), 1));
    }
    return Median(samples);
}

// Median time of one call of a fast `call`, measured in batches of about 20 ms.
template <class F>
double NsPerCall(F call)
{
    qint64 batch = 1;
    for (QElapsedTimer timer;; batch *= 2) {
        timer.start();
        for (qint64 i = 0; i < batch; ++i)
            call();
        if (timer.elapsed() >= 20)
            break;
    }
    return double(MedianNs([&]() {
               for (qint64 i = 0; i < batch; ++i)
                   call();
           }, 7, 0)) / double(batch);
}

// A document in an offscreen view of its own context, as the reader shows it.
struct Session
{
    G_UIContext context;
    std::unique_ptr<OFD_Document> document;
    G_DocView *view = nullptr;

    explicit Session(std::unique_ptr<OFD_Document> doc)
        : document(std::move(doc))
        , view(new G_DocView(&context, document.get()))
    {
        context.SetCurrentDocView(view);
    }
    ~Session()
    {
        context.SetCurrentDocView(nullptr);
        delete view;
    }

    // `count` links in a grid over the pages, made and styled as the property dialog does.
    void AddLinks(int count)
    {
        GAC_Link creator(view);
        LinkStyle style;
        style.lineType = LinkLineType::Dotted3;
        style.color = QColor(0, 0, 255);
        const int pages = document->PageCount();
        const int perPage = (count + pages - 1) / pages;
        const int columns = int(std::ceil(std::sqrt(double(perPage))));
        const int rows = (perPage + columns - 1) / columns;
        for (int i = 0; i < count; ++i) {
            const int pageIndex = i % pages;
            const int cell = i / pages;
            const CCA_GRect box = document->GetPage(pageIndex)->PageBox();
            const float w = box.Width() / float(columns), h = box.Height() / float(rows);
            const float x = float(cell % columns) * w, y = float(cell / columns) * h;
            IG_Annot *annot = creator.CreateLinkAnnot(x + w * 0.1f, y + h * 0.1f, x + w * 0.9f,
                                                      y + h * 0.9f, pageIndex);
            if (!annot || !ApplyLinkStyle(document.get(), annot, style, "bench_links"))
                continue;
            auto *action = new G_ActionURI;
            action->SetURI(QStringLiteral("https://example.org/%1").arg(i).toUtf8().constData());
            CCA_ArrayTemplate<G_Action *> actions;
            actions.Add(action);
            LinkPathObject(annot)->SetActions(actions);
        }
    }
};

struct PackageRow
{
    QString name;
    qint64 size = 0;
    double openRatio = 0, saveRatio = 0;
    qint64 unchangedSize = 0, unchangedSaveNs = 0;
};

bool MeasurePackage(const QString &path, const QDir &scratch, PackageRow &row)
{
    QString error;
    row.name = QFileInfo(path).fileName();
    row.size = QFileInfo(path).size();
    const qint64 readNs = MedianNs([&]() {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly))
            g_sink = g_sink + file.readAll().size();
    });
    const qint64 openNs = MedianNs([&]() {
        g_sink = g_sink + (OFD_PackageReader::Open(path, &error) ? 1 : 0);
    });
    const QString copy = scratch.filePath(QStringLiteral("copy.ofd"));
    std::vector<qint64> copies;
    for (int i = 0; i < 20; ++i) {
        QFile::remove(copy);
        QElapsedTimer timer;
        timer.start();
        QFile::copy(path, copy);
        copies.push_back(std::max<qint64>(timer.nsecsElapsed(), 1));
    }

    std::unique_ptr<OFD_Document> document = OFD_PackageReader::Open(path, &error);
    if (!document) {
        std::printf("%-24s cannot open: %s\n", qPrintable(row.name), qPrintable(error));
        return false;
    }
    // Alternate targets: after a save the document reads from the file just written.
    int turn = 0;
    QString target;
    bool saved = true;
    row.unchangedSaveNs = MedianNs([&]() {
        target = scratch.filePath(QStringLiteral("unchanged%1.ofd").arg(turn++ % 2));
        saved = OFD_PackageWriter::Save(document.get(), target, &error) && saved;
    }, 20);
    if (!saved) {
        std::printf("%-24s cannot save: %s\n", qPrintable(row.name), qPrintable(error));
        return false;
    }
    row.unchangedSize = QFileInfo(target).size();
    row.openRatio = double(openNs) / double(readNs);
    row.saveRatio = double(row.unchangedSaveNs) / double(Median(copies));
    return true;
}

// Opens, adds `count` links and saves, a few times; prints one row of the links table.
bool MeasureLinks(const QString &path, const PackageRow &package, int count, const QDir &scratch)
{
    const QString target = scratch.filePath(QStringLiteral("links.ofd"));
    std::vector<qint64> saves;
    for (int rep = 0; rep < (count > 100 ? 3 : 7); ++rep) {
        QString error;
        std::unique_ptr<OFD_Document> document = OFD_PackageReader::Open(path, &error);
        if (!document || document->PageCount() == 0)
            return false;
        Session session(std::move(document));
        session.AddLinks(count);
        QElapsedTimer timer;
        timer.start();
        if (!OFD_PackageWriter::Save(session.document.get(), target, &error)) {
            std::printf("%-24s cannot save links: %s\n", qPrintable(package.name), qPrintable(error));
            return false;
        }
        saves.push_back(timer.nsecsElapsed());
    }
    // A writer that dropped links would look cheap: count them back.
    QString error;
    std::unique_ptr<OFD_Document> reread = OFD_PackageReader::Open(target, &error);
    int links = 0;
    for (int i = 0; reread && i < reread->PageCount(); ++i) {
        IG_Page *page = reread->GetPage(i);
        page->LoadAnnots();
        for (int a = 0; a < page->AnnotCount(); ++a)
            links += page->AnnotAt(a)->SubType() == "Link" ? 1 : 0;
    }
    if (links < count) {
        std::printf("%-24s %d of %d links came back\n", qPrintable(package.name), links, count);
        return false;
    }
    const qint64 size = QFileInfo(target).size();
    std::printf("%-24s %6d %12.2f %10.2f %14.2f\n", qPrintable(package.name), count,
                double(size - package.unchangedSize) / count, double(size) / double(package.size),
                double(Median(saves)) / count / double(package.unchangedSaveNs));
    return true;
}

void HitTests()
{
    std::printf("\nHit test (AnnotsAtPoint, 64 points over the page)\n%-8s %14s %14s\n", "links",
                "time/10 links", "per link");
    double base = 0;
    for (int count : {10, 100, 1000}) {
        Session session(OFD_Document::CreateBlank(1, 210, 297));
        session.AddLinks(count);
        IG_Page *page = session.document->GetPage(0);
        std::vector<CCA_GPoint> points;
        for (int i = 0; i < 64; ++i)
            points.emplace_back(210.0f * (float(i % 8) + 0.37f) / 8, 297.0f * (float(i / 8) + 0.61f) / 8);
        CCA_ArrayTemplate<IG_Annot *> hits;
        const OMSharedPtr<const OMJson> none;
        size_t next = 0;
        const double ns = NsPerCall([&]() {
            g_sink = g_sink + page->AnnotsAtPoint(hits, points[next++ % points.size()], 2, 1, 1, "Link", none);
        });
        if (base == 0)
            base = ns;
        std::printf("%-8d %14.2f %14.2f\n", count, ns / base, ns / base * 10 / count);
    }
}

void StyleModel()
{
    Session session(OFD_Document::CreateBlank(1, 210, 297));
    session.AddLinks(1);
    IG_Annot *annot = session.document->GetPage(0)->AnnotAt(0);
    IG_PageObject *object = LinkPathObject(annot);
    const CCA_GRect rect = annot->Boundary();
    const double plain = NsPerCall([&]() {
        CCA_Path path;
        path.MoveTo(rect.left, rect.top);
        path.LineTo(rect.right, rect.top);
        path.LineTo(rect.right, rect.bottom);
        path.LineTo(rect.left, rect.bottom);
        path.CloseFigure();
        g_sink = g_sink + path.SegmentCount();
    });
    const double rebuild = NsPerCall([&]() {
        RebuildLinkPath(annot, object, rect, LinkBoundaryKind::Rectangle, "bench_links");
    });
    LinkStyle style;
    style.lineWidth = LinkLineWidth::Middle;
    style.lineType = LinkLineType::Dotted4;
    const double apply = NsPerCall([&]() { ApplyLinkStyle(session.document.get(), annot, style, "bench_links"); });
    std::printf("\nStyle model (calls per ms, and cost in path builds, relative to a plain CCA_Path\n"
                "rectangle)\n%-16s %10s %10s\n", "", "calls/ms", "cost");
    std::printf("%-16s %10.2f %10.2f\n", "CCA_Path", 1.0, 1.0);
    std::printf("%-16s %10.2f %10.2f\n", "RebuildLinkPath", plain / rebuild, rebuild / plain);
    std::printf("%-16s %10.2f %10.2f\n", "ApplyLinkStyle", plain / apply, apply / plain);
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Every link logs a trace line; that belongs to the reader's log, not to the table.
    QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
    QApplication app(argc, argv);

    QStringList files = app.arguments().mid(1);
    if (files.isEmpty()) {
        files << QStringLiteral(ANNOTLINK_SAMPLE_DOCUMENT);
        const QDir fixtures(QStringLiteral(ANNOTLINK_SHARED_DIR "/fixtures/ofd"));
        for (const QString &name : fixtures.entryList({QStringLiteral("*.ofd")}, QDir::Files, QDir::Name))
            files << fixtures.filePath(name);
    }
    QTemporaryDir scratchDir;
    if (!scratchDir.isValid()) {
        std::fprintf(stderr, "bench_links: no scratch folder\n");
        return 1;
    }
    const QDir scratch(scratchDir.path());

    bool ok = true;
    std::vector<std::pair<QString, PackageRow>> packages;
    std::printf("OFD packages (medians; ratios against plain file work)\n%-24s %10s %10s %10s\n",
                "document", "bytes", "open/read", "save/copy");
    for (const QString &path : qAsConst(files)) {
        if (!QFileInfo::exists(path)) {
            std::printf("%-24s absent, skipped\n", qPrintable(QFileInfo(path).fileName()));
            continue;
        }
        PackageRow row;
        if (!MeasurePackage(path, scratch, row)) {
            ok = false;
            continue;
        }
        std::printf("%-24s %10lld %10.2f %10.2f\n", qPrintable(row.name), row.size, row.openRatio,
                    row.saveRatio);
        packages.emplace_back(path, row);
    }

    std::printf("\nLinks added and saved (bytes/link against the unchanged save; save/link is the\n"
                "time to save the links, per link, over the time of the unchanged save)\n"
                "%-24s %6s %12s %10s %14s\n", "document", "links", "bytes/link", "size/orig", "save/link");
    for (const auto &package : packages)
        for (int count : {100, 1000})
            ok = MeasureLinks(package.first, package.second, count, scratch) && ok;

    HitTests();
    StyleModel();
    return ok ? 0 : 1;
}
