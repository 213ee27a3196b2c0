// Writes the start corpora of the fuzz targets: records, action texts and path texts of real
// links, a package holding them, and the XML parts of the packages in a fixtures folder.
// Usage: fuzz_seed <corpus folder> [<fixtures folder>]
#include "tool/linkclipboardrecord.h"
#include "tool/linkstyle.h"

#include "omofd/ofd_codec.h"
#include "omofdapi/g_action.h"
#include "omofdapi/ig_appearance.h"
#include "omofdapi/ofd_document.h"
#include "omofdapi/ofd_packagewriter.h"

#include <QIODevice>
#include <KArchive>
#include <KArchiveDirectory>
#include <KArchiveFile>
#include <KZip>

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QMimeData>

#include <cstdio>
#include <functional>

namespace {

QString g_root;

// Named after its content, as libFuzzer names corpus files.
void Seed(const char *target, const QByteArray &bytes)
{
    const QString folder = g_root + QLatin1Char('/') + QLatin1String(target);
    QDir().mkpath(folder);
    QFile file(folder + QLatin1Char('/') + QCryptographicHash::hash(bytes, QCryptographicHash::Sha1).toHex());
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

QByteArray Tagged(char tag, const CCA_String &text)
{
    return QByteArray(1, tag) + QByteArray(text.c_str(), text.GetLength());
}

std::vector<std::function<G_Action *()>> ActionMakers()
{
    return {
        [] { return nullptr; },
        [] { auto *a = new G_ActionGoto; a->Dest().pageIndex = 1, a->Dest().left = 12.5f, a->Dest().zoom = 2; return static_cast<G_Action *>(a); },
        [] { auto *a = new G_ActionURI; a->SetURI("https://example.org/a?b=c"); return static_cast<G_Action *>(a); },
        [] { auto *a = new G_ActionGotoA; a->SetAttachID(4); return static_cast<G_Action *>(a); },
        [] { auto *a = new G_ActionSound; a->SetResourceID(7), a->SetVolume(40); return static_cast<G_Action *>(a); },
        [] { auto *a = new G_ActionMovie; a->SetOperator(G_ActionMovie::Pause); return static_cast<G_Action *>(a); },
    };
}

// Which part of the XML target's package an entry of a real package stands for.
int PartOf(const QString &name)
{
    const QString lower = name.toLower();
    const QStringList ends = {"ofd.xml", "document.xml", "content.xml", "annotations.xml", "annotation.xml",
                              "publicres.xml", "documentres.xml", "attachments.xml"};
    for (int i = 0; i < ends.size(); ++i) {
        if (lower.endsWith(ends.at(i)))
            return i;
    }
    return -1;
}

void SeedParts(const KArchiveDirectory *dir, const QString &prefix)
{
    for (const QString &name : dir->entries()) {
        const KArchiveEntry *entry = dir->entry(name);
        if (entry->isDirectory()) {
            SeedParts(static_cast<const KArchiveDirectory *>(entry), prefix + name + QLatin1Char('/'));
            continue;
        }
        const int part = PartOf(prefix + name);
        if (part >= 0)
            Seed("xmlpart", QByteArray(1, char(part)) + static_cast<const KArchiveFile *>(entry)->data());
    }
}

void SeedPackage(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    Seed("package", file.readAll());
    KZip zip(path);
    if (zip.open(QIODevice::ReadOnly))
        SeedParts(zip.directory(), QString());
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: fuzz_seed <corpus folder> [<fixtures folder>]\n");
        return 2;
    }
    g_root = QString::fromLocal8Bit(argv[1]);

    std::unique_ptr<OFD_Document> document = OFD_Document::CreateBlank(2, 210, 297);
    int made = 0;
    for (int kind = 0; kind < 3; ++kind) {
        for (int type = 0; type < 5; ++type) {
            for (const auto &makeAction : ActionMakers()) {
                const LinkStyle style{LinkBoundaryKind(kind), LinkLineType(type), LinkLineWidth(made % 3),
                                      QColor::fromRgb(QRgb(0x102030u * unsigned(made + 1)))};
                IG_Annot *annot = document->GetPage(made % 2)->AddAnnot(G_AnnotType_Link, "Link", -1, false, {});
                annot->SetBoundary(CCA_GRect(10 + made, 20, 60 + made, 30 + kind));
                annot->Appearance()->InsertPageObject(G_PageObj_Path, -1, true);
                ApplyLinkStyle(document.get(), annot, style, "fuzz_seed");
                IG_PageObject *object = LinkPathObject(annot);
                if (G_Action *action = makeAction()) {
                    CCA_ArrayTemplate<G_Action *> actions;
                    actions.Add(action);
                    object->SetActions(actions);
                    Seed("actionjson", Tagged(char(action->Type() - 1), action->ToString()));
                }
                const auto mime = LinkClipboardRecord::CreateMimeData(document.get(), annot);
                QByteArray record(1, char(made % 16));
                for (const QString &format : mime->formats())
                    record += format.toUtf8() + '=' + mime->data(format) + '\n';
                record += "left=" + QByteArray::number(made * 7) + "\ntop=" + QByteArray::number(made * 5) + '\n';
                Seed("paste", record);
                Seed("textcodec", Tagged(0, OFD_PathToString(object->Path())));
                Seed("textcodec", Tagged(char(made % 8), OFD_ArrayToString(object->DashPattern(), 0)));
                ++made;
            }
        }
    }
    const QString saved = g_root + QStringLiteral("/links.ofd");
    QString error;
    if (OFD_PackageWriter::Save(document.get(), saved, &error))
        SeedPackage(saved);
    QFile::remove(saved);

    if (argc > 2) {
        const QDir fixtures(QString::fromLocal8Bit(argv[2]));
        for (const QString &name : fixtures.entryList({QStringLiteral("*.ofd")}, QDir::Files))
            SeedPackage(fixtures.filePath(name));
    }
    std::printf("fuzz_seed: %d links\n", made);
    return 0;
}
