#include "ofd_annotids.h"

void OFD_AnnotIDs::Clear()
{
    if (m_count == 0)
        return;
    for (Slot &slot : m_slots)
        slot = Slot();
    m_count = 0;
}

void OFD_AnnotIDs::Reserve(size_t count)
{
    if (2 * count > m_slots.size())
        Grow(2 * count);
}

IG_Annot *OFD_AnnotIDs::Find(uint32_t id) const
{
    if (m_count == 0)
        return nullptr;
    const size_t mask = m_slots.size() - 1;
    for (size_t at = Home(id);; at = (at + 1) & mask) {
        const Slot &slot = m_slots[at];
        if (!slot.annot || slot.id == id)
            return slot.annot;
    }
}

bool OFD_AnnotIDs::Insert(uint32_t id, IG_Annot *annot)
{
    if (2 * (m_count + 1) > m_slots.size())
        Grow(2 * (m_count + 1));
    const size_t mask = m_slots.size() - 1;
    for (size_t at = Home(id);; at = (at + 1) & mask) {
        Slot &slot = m_slots[at];
        if (slot.annot && slot.id != id)
            continue;
        if (slot.annot)
            return false;
        slot = Slot{id, annot};
        ++m_count;
        return true;
    }
}

void OFD_AnnotIDs::Grow(size_t room)
{
    size_t size = 16;
    int shift = 60;
    while (size < room) {
        size *= 2;
        --shift;
    }
    std::vector<Slot> old(size);
    old.swap(m_slots);
    m_shift = shift;
    const size_t mask = size - 1;
    for (const Slot &slot : old) {
        if (!slot.annot)
            continue;
        size_t at = Home(slot.id);
        while (m_slots[at].annot)
            at = (at + 1) & mask;
        m_slots[at] = slot;
    }
}
