#include "g_deferreddelete.h"

#include <QCoreApplication>
#include <QList>
#include <QPair>

namespace {

struct PendingDeletes
{
    QList<QPair<void *, G_DeferredDelete::Deleter>> items;
    bool postRoutineAdded = false;
};

Q_GLOBAL_STATIC(PendingDeletes, s_pending)

int IndexOf(const void *object)
{
    const auto &items = s_pending->items;
    for (int i = 0; i < items.size(); ++i)
        if (items.at(i).first == object)
            return i;
    return -1;
}

void DeleteOne(void *object)
{
    if (s_pending.isDestroyed())
        return;
    const int index = IndexOf(object);
    if (index < 0)
        return;
    const auto item = s_pending->items.takeAt(index);
    item.second(item.first);
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
    if (!object || !deleter || s_pending.isDestroyed() || IndexOf(object) >= 0)
        return false;
    QCoreApplication *app = QCoreApplication::instance();
    if (!app) {
        deleter(object);
        return true;
    }
    s_pending->items.append(qMakePair(object, deleter));
    if (!s_pending->postRoutineAdded) {
        qAddPostRoutine(FlushAtQuit);
        s_pending->postRoutineAdded = true;
    }
    QMetaObject::invokeMethod(app, [object] { DeleteOne(object); }, Qt::QueuedConnection);
    return true;
}

bool G_DeferredDelete::IsScheduled(const void *object)
{
    return !s_pending.isDestroyed() && IndexOf(object) >= 0;
}

void G_DeferredDelete::Cancel(const void *object)
{
    if (s_pending.isDestroyed())
        return;
    const int index = IndexOf(object);
    if (index >= 0)
        s_pending->items.removeAt(index);
}

int G_DeferredDelete::PendingCount()
{
    return s_pending.isDestroyed() ? 0 : s_pending->items.size();
}

void G_DeferredDelete::Flush()
{
    // A destructor may schedule further deletions; they are taken in the same pass.
    while (!s_pending.isDestroyed() && !s_pending->items.isEmpty()) {
        const auto item = s_pending->items.takeFirst();
        item.second(item.first);
    }
}
