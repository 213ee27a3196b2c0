#include "ofd_packagefile.h"

#include "ofd_xmlelement.h"

OFD_PackageFile::OFD_PackageFile(std::shared_ptr<OFD_ZipArchive> archive, const QString &filePath)
    : m_archive(std::move(archive)), m_savedPath(filePath)
{
}

OFD_PackageFile::~OFD_PackageFile() = default;

void OFD_PackageFile::SetDocument(const QString &path, std::shared_ptr<const OFD_XmlElement> root)
{
    m_documentPath = path;
    m_documentRoot = std::move(root);
}

void OFD_PackageFile::SetAnnotIndex(const QString &path, bool exists, bool owned, const QVector<IndexEntry> &entries)
{
    m_indexPath = path;
    m_indexExists = exists;
    m_indexOwned = owned;
    AssignIndex(entries);
}

// Walks the index entries only: a save of one page's annotations costs nothing per page.
void OFD_PackageFile::AssignIndex(const QVector<IndexEntry> &entries)
{
    for (const IndexEntry &entry : qAsConst(m_index))
        if (PageState *state = StateByFileID(entry.pageID))
            state->annotFiles.clear();
    m_index = entries;
    m_annotPartUsers.clear();
    for (const IndexEntry &entry : entries) {
        PageState *state = StateByFileID(entry.pageID);
        if (state && !entry.filePath.isEmpty() && !state->annotFiles.contains(entry.filePath)) {
            state->annotFiles.append(entry.filePath);
            ++m_annotPartUsers[entry.filePath];
        }
    }
}

OFD_PackageFile::PageState *OFD_PackageFile::StateByFileID(uint32_t fileID)
{
    const auto page = m_pagesByFileID.constFind(fileID);
    return page == m_pagesByFileID.constEnd() ? nullptr : State(page.value());
}

void OFD_PackageFile::AddPage(const OFD_Page *page, const QString &contentPath, uint32_t fileID)
{
    PageState state;
    state.contentPath = contentPath;
    state.fileID = fileID;
    m_pages.insert(page, state);
    m_pagesByFileID.insert(fileID, page);
}

void OFD_PackageFile::ReservePages(int count)
{
    m_pages.reserve(count);
    m_pagesByFileID.reserve(count);
}

const OFD_PackageFile::PageState *OFD_PackageFile::State(const OFD_Page *page) const
{
    const auto it = m_pages.constFind(page);
    return it == m_pages.constEnd() ? nullptr : &it.value();
}

OFD_PackageFile::PageState *OFD_PackageFile::State(const OFD_Page *page)
{
    const auto it = m_pages.find(page);
    return it == m_pages.end() ? nullptr : &it.value();
}

bool OFD_PackageFile::OwnsAnnotPart(const OFD_Page *page, const QString &path) const
{
    const PageState *state = State(page);
    if (!state || path.isEmpty() || !state->annotFiles.contains(path) || m_annotPartUsers.value(path) != 1)
        return false;
    if (state->annotParts.contains(path))
        return true;
    const bool isKnownPart = path.compare(m_indexPath, Qt::CaseInsensitive) == 0
        || path.compare(m_documentPath, Qt::CaseInsensitive) == 0;
    return !isKnownPart && m_archive->FindEntry(path).isEmpty();
}

void OFD_PackageFile::Rebase(const QString &filePath, const Changes *changes)
{
    m_savedPath = filePath;
    if (!changes)
        return;
    m_archive->Overlay(changes->written, changes->removed);
    m_fileMaxUnitID = changes->maxUnitID;
    if (changes->documentRoot)
        m_documentRoot = changes->documentRoot;
    const auto text = changes->written.constFind(m_documentPath);
    if (text != changes->written.constEnd())
        m_documentText = text.value();
    m_indexPath = changes->indexPath;
    m_indexExists = true;
    m_indexOwned = true;
    AssignIndex(changes->index);
    for (auto it = changes->annots.constBegin(); it != changes->annots.constEnd(); ++it) {
        const auto state = m_pages.find(it.key());
        if (state == m_pages.end())
            continue;
        state->annots = it.value();
        state->annotsComplete = true;
        state->annotParts = QSet<QString>(state->annotFiles.cbegin(), state->annotFiles.cend());
    }
}
