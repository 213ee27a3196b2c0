#include "ofd_packagefile.h"

#include "ofd_xmlelement.h"

#include <algorithm>
#include <functional>
#include <iterator>

namespace {

// The last of the pairs sorted by key whose key is `key`, or null.
template <class Pairs, class Key>
const typename Pairs::value_type *LastOf(const Pairs &pairs, const Key &key)
{
    const auto end = std::upper_bound(pairs.cbegin(), pairs.cend(), key,
                                      [](const Key &k, const typename Pairs::value_type &pair) { return std::less<>()(k, pair.first); });
    return end != pairs.cbegin() && std::prev(end)->first == key ? &*std::prev(end) : nullptr;
}

} // namespace

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
    SortPages();
    const auto *found = LastOf(m_pagesByFileID, fileID);
    return found ? State(found->second) : nullptr;
}

void OFD_PackageFile::AddPage(const OFD_Page *page, const QString &contentPath, uint32_t fileID)
{
    m_statesByPage.emplace_back(page, int(m_states.size()));
    m_pagesByFileID.emplace_back(fileID, page);
    PageState &state = m_states.emplace_back();
    state.contentPath = contentPath;
    state.fileID = fileID;
    m_pagesSorted = false;
}

void OFD_PackageFile::ReservePages(int count)
{
    m_states.reserve(size_t(count));
    m_statesByPage.reserve(size_t(count));
    m_pagesByFileID.reserve(size_t(count));
}

void OFD_PackageFile::SortPages() const
{
    if (m_pagesSorted)
        return;
    // Stable: of equal keys the last added stays last. IDs mostly come in order already.
    const auto sort = [](auto &pairs) {
        const auto byKey = [](const auto &a, const auto &b) { return std::less<>()(a.first, b.first); };
        if (!std::is_sorted(pairs.begin(), pairs.end(), byKey))
            std::stable_sort(pairs.begin(), pairs.end(), byKey);
    };
    sort(m_statesByPage);
    sort(m_pagesByFileID);
    m_pagesSorted = true;
}

const OFD_PackageFile::PageState *OFD_PackageFile::State(const OFD_Page *page) const
{
    SortPages();
    const auto *found = LastOf(m_statesByPage, page);
    return found ? &m_states[size_t(found->second)] : nullptr;
}

OFD_PackageFile::PageState *OFD_PackageFile::State(const OFD_Page *page)
{
    return const_cast<PageState *>(std::as_const(*this).State(page));
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
        PageState *state = State(it.key());
        if (!state)
            continue;
        state->annots = it.value();
        state->annotsComplete = true;
        state->annotParts = QSet<QString>(state->annotFiles.cbegin(), state->annotFiles.cend());
    }
}
