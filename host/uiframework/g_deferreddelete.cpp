#include "g_deferreddelete.h"

#include <QCoreApplication>
#include <QHash>
#include <QSet>

#include <deque>

namespace {

// Membership by hash; the queue keeps the order for Flush and may hold addresses already
// deleted, which are skipped.
struct PendingDeletes
{
    QHash<void *, G_DeferredDelete::Deleter> items;
    std::deque<void *> order;
    bool postRoutineAdded = false;
};

Q_GLOBAL_STATIC(PendingDeletes, s_pending)

void Prune()
{
    auto &order = s_pending->order;
    if (order.size() <= 2 * size_t(s_pending->items.size()) + 64)
        return;
    std::deque<void *> kept;
    QSet<void *> seen;
    for (void *object : order)
        if (s_pending->items.contains(object) && !seen.contains(object)) {
            seen.insert(object);
            kept.push_back(object);
        }
    order.swap(kept);
}

void DeleteOne(void *object)
{
    if (s_pending.isDestroyed())
        return;
    const auto it = s_pending->items.find(object);
    if (it == s_pending->items.end())
        return;
    const G_DeferredDelete::Deleter deleter = it.value();
    s_pending->items.erase(it);
    Prune();
    deleter(object);
}

// Post routines run once per application object; a later application object re-adds it.
void FlushAtQuit()
{
    if (s_pending.isDestroyed())
        return;
    s_pending->postRoutineAdded = false;
    G_DeferredDelete::Flush();
}

} // namespace

bool G_DeferredDelete::Schedule(void *object, Deleter deleter)
{
    if (!object || !deleter || s_pending.isDestroyed() || s_pending->items.contains(object))
        return false;
    QCoreApplication *app = QCoreApplication::instance();
    if (!app) {
        deleter(object);
        return true;
    }
    s_pending->items.insert(object, deleter);
    s_pending->order.push_back(object);
    if (!s_pending->postRoutineAdded) {
        qAddPostRoutine(FlushAtQuit);
        s_pending->postRoutineAdded = true;
    }
    QMetaObject::invokeMethod(app, [object] { DeleteOne(object); }, Qt::QueuedConnection);
    return true;
}

bool G_DeferredDelete::IsScheduled(const void *object)
{
    return !s_pending.isDestroyed() && s_pending->items.contains(const_cast<void *>(object));
}

void G_DeferredDelete::Cancel(const void *object)
{
    if (s_pending.isDestroyed())
        return;
    s_pending->items.remove(const_cast<void *>(object));
}

int G_DeferredDelete::PendingCount()
{
    return s_pending.isDestroyed() ? 0 : s_pending->items.size();
}

void G_DeferredDelete::Flush()
{
    // A destructor may schedule further deletions; they are taken in the same pass.
    while (!s_pending.isDestroyed() && !s_pending->items.isEmpty()) {
        void *object = nullptr;
        if (s_pending->order.empty()) {
            object = s_pending->items.begin().key();
        } else {
            object = s_pending->order.front();
            s_pending->order.pop_front();
        }
        const auto it = s_pending->items.find(object);
        if (it == s_pending->items.end())
            continue;
        const G_DeferredDelete::Deleter deleter = it.value();
        s_pending->items.erase(it);
        deleter(object);
    }
    if (!s_pending.isDestroyed() && s_pending->items.isEmpty())
        s_pending->order.clear();
}
