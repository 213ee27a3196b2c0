#include "g_event.h"

int G_EventMgr::AddListener(const Listener &listener)
{
    if (!listener)
        return 0;
    const int id = m_nextId++;
    m_listeners.append(qMakePair(id, listener));
    return id;
}

void G_EventMgr::RemoveListener(int id)
{
    for (int i = 0; i < m_listeners.size(); ++i) {
        if (m_listeners.at(i).first == id) {
            m_listeners.removeAt(i);
            return;
        }
    }
}

void G_EventMgr::Dispatch(const G_Event &event)
{
    // A listener may add or remove listeners: work on a copy, skip the ones removed meanwhile.
    const auto listeners = m_listeners;
    for (const auto &entry : listeners) {
        bool stillListening = false;
        for (const auto &live : qAsConst(m_listeners)) {
            if (live.first == entry.first) {
                stillListening = true;
                break;
            }
        }
        if (stillListening)
            entry.second(event);
    }
}
