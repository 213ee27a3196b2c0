#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <unordered_map>
#include <vector>

class G_Action;
class IG_PageObject;

// The part of a document that its pages, annotations and objects share: the ID counter,
// the modified flag, the pool of replaced actions and the object defaults. Objects keep it
// alive, so an annotation held outside its page (by an undo command) never dangles.
class OFD_DocumentContext : public std::enable_shared_from_this<OFD_DocumentContext>
{
public:
    OFD_DocumentContext();
    ~OFD_DocumentContext();
    OFD_DocumentContext(const OFD_DocumentContext &) = delete;
    OFD_DocumentContext &operator=(const OFD_DocumentContext &) = delete;

    // Max + 1; 0 when the counter is exhausted. An ID is never handed out twice.
    uint32_t NewID();
    // Tells the counter that `id` is taken (IDs read from a file).
    void NoteID(uint32_t id);
    uint32_t MaxID() const;
    // IDs not noted yet (the parts of a package not read yet): `collect` notes them, once,
    // before the first new ID is handed out or the maximum is asked for.
    void SetPendingIDs(std::function<void(OFD_DocumentContext &)> collect) { m_pendingIDs = std::move(collect); }

    bool IsModified() const { return m_modified; }
    void SetModified(bool modified) { m_modified = modified; }
    // Every mutation that matters for saving calls this; ignored while loading.
    void Touch();
    // While loading, mutations do not mark the document modified. Nests.
    void BeginLoading() { ++m_loading; }
    void EndLoading() { if (m_loading > 0) --m_loading; }
    bool IsLoading() const { return m_loading > 0; }
    // Grows with every change of a page object outside loading, so that drawings of
    // appearances know when they are stale.
    uint64_t ObjectRevision() const { return m_objectRevision; }
    void NoteObjectChange()
    {
        if (m_loading == 0)
            ++m_objectRevision;
    }

    // Replaced actions live here until the document goes, so undo records may keep them.
    void RetireAction(G_Action *action);
    // Takes `action` back out of the pool; false when it was not there.
    bool ReclaimAction(G_Action *action);
    int RetiredActionCount() const { return m_retiredCount; }
    // Set when the document goes: what its objects still own cannot be named by any undo
    // record any more, so it is deleted at once instead of pooled.
    void SetClosing() { m_closing = true; }
    bool IsClosing() const { return m_closing; }

    float DefaultLineWidth() const { return m_defaultLineWidth; }
    void SetDefaultLineWidth(float width) { m_defaultLineWidth = width; }
    // A new page object of `type` (text, path, image, composite; null for others) with a
    // fresh ID; with `applyDefaults` it gets the default line width and an explicit black
    // stroke colour. The context must be held by a shared pointer.
    std::unique_ptr<IG_PageObject> CreatePageObject(int type, bool applyDefaults);

private:
    void CollectPendingIDs() const;

    uint32_t m_maxID = 0;
    mutable std::function<void(OFD_DocumentContext &)> m_pendingIDs;
    bool m_modified = false;
    int m_loading = 0;
    float m_defaultLineWidth = 0.353f;
    uint64_t m_objectRevision = 0;
    // Retiring is a push: a document that closes retires every action it has. The lookup
    // that reclaiming needs covers the first m_retiredIndexed entries and is extended only
    // when something is reclaimed; reclaimed entries become null.
    std::vector<G_Action *> m_retired;
    std::unordered_map<G_Action *, size_t> m_retiredIndex;
    size_t m_retiredIndexed = 0;
    int m_retiredCount = 0;
    bool m_closing = false;
};

// Marks a stretch of loading work on a context.
class OFD_LoadingScope
{
public:
    explicit OFD_LoadingScope(OFD_DocumentContext *context) : m_context(context) { m_context->BeginLoading(); }
    ~OFD_LoadingScope() { m_context->EndLoading(); }
    OFD_LoadingScope(const OFD_LoadingScope &) = delete;
    OFD_LoadingScope &operator=(const OFD_LoadingScope &) = delete;

private:
    OFD_DocumentContext *m_context;
};
