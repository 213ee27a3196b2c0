#include "ofd_documentcontext.h"

#include "g_action.h"
#include "ofd_color.h"
#include "ofd_imageobject.h"
#include "ofd_pageobject.h"
#include "ofd_textobject.h"

#include <algorithm>
#include <limits>

OFD_DocumentContext::OFD_DocumentContext() = default;

OFD_DocumentContext::~OFD_DocumentContext()
{
    // An action retired twice is still deleted once.
    std::sort(m_retired.begin(), m_retired.end());
    m_retired.erase(std::unique(m_retired.begin(), m_retired.end()), m_retired.end());
    for (G_Action *action : m_retired)
        delete action;
}

void OFD_DocumentContext::CollectPendingIDs() const
{
    if (!m_pendingIDs)
        return;
    const auto collect = std::move(m_pendingIDs);
    m_pendingIDs = nullptr;
    collect(const_cast<OFD_DocumentContext &>(*this));
}

uint32_t OFD_DocumentContext::MaxID() const
{
    CollectPendingIDs();
    return m_maxID;
}

uint32_t OFD_DocumentContext::NewID()
{
    CollectPendingIDs();
    if (m_maxID == std::numeric_limits<uint32_t>::max())
        return 0;
    return ++m_maxID;
}

void OFD_DocumentContext::NoteID(uint32_t id)
{
    m_maxID = std::max(m_maxID, id);
}

void OFD_DocumentContext::Touch()
{
    if (m_loading == 0)
        m_modified = true;
}

void OFD_DocumentContext::RetireAction(G_Action *action)
{
    if (!action)
        return;
    // Twice in the unindexed tail is harmless: indexing and the destructor drop the copy.
    if (m_retiredIndex.count(action))
        return;
    m_retired.push_back(action);
    ++m_retiredCount;
}

bool OFD_DocumentContext::ReclaimAction(G_Action *action)
{
    if (!action || m_retiredCount == 0)
        return false;
    for (; m_retiredIndexed < m_retired.size(); ++m_retiredIndexed) {
        G_Action *entry = m_retired[m_retiredIndexed];
        if (!entry)
            continue;
        const auto inserted = m_retiredIndex.emplace(entry, m_retiredIndexed);
        if (!inserted.second) {
            m_retired[m_retiredIndexed] = nullptr;
            --m_retiredCount;
        }
    }
    const auto found = m_retiredIndex.find(action);
    if (found == m_retiredIndex.end())
        return false;
    m_retired[found->second] = nullptr;
    m_retiredIndex.erase(found);
    --m_retiredCount;
    return true;
}

std::unique_ptr<IG_PageObject> OFD_DocumentContext::CreatePageObject(int type, bool applyDefaults)
{
    // Objects share this context; the caller's document holds it in a shared pointer.
    std::shared_ptr<OFD_DocumentContext> self = shared_from_this();
    const uint32_t id = NewID();
    std::unique_ptr<IG_PageObject> object;
    switch (type) {
    case G_PageObj_Text:
        object = std::make_unique<OFD_TextObject>(self, id);
        break;
    case G_PageObj_Image:
        object = std::make_unique<OFD_ImageObject>(self, id);
        break;
    case G_PageObj_Path:
    case G_PageObj_Composite:
        object = std::make_unique<OFD_PageObject>(self, id, type);
        break;
    default:
        return nullptr;
    }
    if (applyDefaults) {
        OFD_LoadingScope quiet(this);
        object->SetLineWidth(m_defaultLineWidth);
        const OFD_Color black;
        object->SetStrokeColor(&black);
    }
    return object;
}
