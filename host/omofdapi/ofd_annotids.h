#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class IG_Annot;

// The annotation of each ID on a page, in one array: pages are looked up by ID by the
// thousand, and a node per entry made closing a page of many links cost a release each.
class OFD_AnnotIDs
{
public:
    void Clear();
    void Reserve(size_t count);
    // Null when no annotation has the ID.
    IG_Annot *Find(uint32_t id) const;
    // False, leaving the one there, when the ID has an annotation already.
    bool Insert(uint32_t id, IG_Annot *annot);

private:
    struct Slot
    {
        uint32_t id = 0;
        IG_Annot *annot = nullptr; // null: free
    };
    size_t Home(uint32_t id) const { return size_t((id * 0x9E3779B97F4A7C15ull) >> m_shift); }
    void Grow(size_t room);

    std::vector<Slot> m_slots; // a power of two of them, at most half in use
    size_t m_count = 0;
    int m_shift = 60;
};
