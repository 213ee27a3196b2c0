#pragma once

// Deletes objects from the event loop, once each. Whatever is still waiting when the
// application object is destroyed is deleted then, so nothing leaks at quit. Without an
// application object there is no loop and the object is deleted at once.
class G_DeferredDelete
{
public:
    using Deleter = void (*)(void *);

    // Answers false when `object` is already waiting.
    static bool Schedule(void *object, Deleter deleter);
    template <class T>
    static bool Schedule(T *object)
    {
        return Schedule(object, [](void *p) { delete static_cast<T *>(p); });
    }
    static bool IsScheduled(const void *object);
    // Forgets `object` without deleting it (it is being deleted some other way).
    static void Cancel(const void *object);
    static int PendingCount();
    // Deletes everything waiting now.
    static void Flush();
};
