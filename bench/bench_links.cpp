// Prints how link annotations weigh on real packages and style rebuilds, as ratios
// against plain work on the same data, so the numbers travel between machines.
//
//   bench_links [FILE.ofd ...]   (default: the reader's sample document and the shared fixtures)
//
// Hit tests and the bulk operations are in bench_speed's table.

#include "benchsession.h"
#include "benchtiming.h"

#include "tool/linkstyle.h"

#include "ombase/cca_path.h"
#include "omofdapi/ig_pageobject.h"
#include "omofdapi/ofd_document.h"
#include "omofdapi/ofd_packagereader.h"
#include "omofdapi/ofd_packagewriter.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

using namespace BenchTiming;

namespace {

double NsMedian(const std::function<void()> &work, int reps = 15)
{
    return std::max(MedianMs(work, reps) * 1e6, 1.0);
}

// `count` links spread evenly over the pages.
void AddLinksOverPages(BenchSession &session, int count)
{
    const int pages = session.Document()->PageCount();
    for (int p = 0; p < pages && p < count; ++p)
        session.AddLinks(p, count / pages + (p < count % pages ? 1 : 0));
}

struct PackageRow
{
    QString name;
    qint64 size = 0;
    double openRatio = 0, saveRatio = 0;
    qint64 unchangedSize = 0;
    double unchangedSaveNs = 0;
};

bool MeasurePackage(const QString &path, const QDir &scratch, PackageRow &row)
{
    QString error;
    row.name = QFileInfo(path).fileName();
    row.size = QFileInfo(path).size();
    const double readNs = NsMedian([&]() {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly))
            g_sink = g_sink + file.readAll().size();
    });
    const double openNs = NsMedian([&]() {
        g_sink = g_sink + (OFD_PackageReader::Open(path, &error) ? 1 : 0);
    });
    const QString copy = scratch.filePath(QStringLiteral("copy.ofd"));
    const double copyMs = MedianMs([&]() { QFile::copy(path, copy); }, 20, [&]() { QFile::remove(copy); });

    std::unique_ptr<OFD_Document> document = OFD_PackageReader::Open(path, &error);
    if (!document) {
        std::printf("%-24s cannot open: %s\n", qPrintable(row.name), qPrintable(error));
        return false;
    }
    // Alternate targets: after a save the document reads from the file just written.
    int turn = 0;
    QString target;
    bool saved = true;
    row.unchangedSaveNs = NsMedian([&]() {
        target = scratch.filePath(QStringLiteral("unchanged%1.ofd").arg(turn++ % 2));
        saved = OFD_PackageWriter::Save(document.get(), target, &error) && saved;
    }, 20);
    if (!saved) {
        std::printf("%-24s cannot save: %s\n", qPrintable(row.name), qPrintable(error));
        return false;
    }
    row.unchangedSize = QFileInfo(target).size();
    row.openRatio = openNs / readNs;
    row.saveRatio = row.unchangedSaveNs / std::max(copyMs * 1e6, 1.0);
    return true;
}

// Opens, adds `count` links and saves, a few times; prints one row of the links table.
bool MeasureLinks(const QString &path, const PackageRow &package, int count, const QDir &scratch)
{
    const QString target = scratch.filePath(QStringLiteral("links.ofd"));
    std::vector<double> saves;
    for (int rep = 0; rep < (count > 100 ? 3 : 7); ++rep) {
        QString error;
        std::unique_ptr<OFD_Document> document = OFD_PackageReader::Open(path, &error);
        if (!document || document->PageCount() == 0)
            return false;
        BenchSession session(std::move(document), QSize(400, 300));
        AddLinksOverPages(session, count);
        QElapsedTimer timer;
        timer.start();
        if (!OFD_PackageWriter::Save(session.Document(), target, &error)) {
            std::printf("%-24s cannot save links: %s\n", qPrintable(package.name), qPrintable(error));
            return false;
        }
        saves.push_back(double(timer.nsecsElapsed()));
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
                Median(saves) / count / package.unchangedSaveNs);
    return true;
}

void StyleModel()
{
    BenchSession session(OFD_Document::CreateBlank(1, 210, 297), QSize(400, 300));
    session.AddLinks(0, 1);
    IG_Annot *annot = session.Document()->GetPage(0)->AnnotAt(0);
    IG_PageObject *object = LinkPathObject(annot);
    const CCA_GRect rect = annot->Boundary();
    const double plain = UsPerCall([&]() {
        CCA_Path path;
        path.MoveTo(rect.left, rect.top);
        path.LineTo(rect.right, rect.top);
        path.LineTo(rect.right, rect.bottom);
        path.LineTo(rect.left, rect.bottom);
        path.CloseFigure();
        g_sink = g_sink + path.SegmentCount();
    });
    const double rebuild = UsPerCall([&]() {
        RebuildLinkPath(annot, object, rect, LinkBoundaryKind::Rectangle, "bench_links");
    });
    LinkStyle style;
    style.lineWidth = LinkLineWidth::Middle;
    style.lineType = LinkLineType::Dotted4;
    const double apply = UsPerCall([&]() { ApplyLinkStyle(session.Document(), annot, style, "bench_links"); });
    std::printf("\nStyle model (calls per ms, and cost in path builds, relative to a plain CCA_Path\n"
                "rectangle)\n%-16s %10s %10s\n", "", "calls/ms", "cost");
    std::printf("%-16s %10.2f %10.2f\n", "CCA_Path", 1.0, 1.0);
    std::printf("%-16s %10.2f %10.2f\n", "RebuildLinkPath", plain / rebuild, rebuild / plain);
    std::printf("%-16s %10.2f %10.2f\n", "ApplyLinkStyle", plain / apply, apply / plain);
}

} // namespace

int main(int argc, char **argv)
{
    BenchSession::PrepareProcess();
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

    StyleModel();
    return ok ? 0 : 1;
}
