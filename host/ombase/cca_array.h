#pragma once

#include "cca_memory.h"

#include <new>
#include <utility>

// Growable array passed by value; a copy copies the elements.
template <class T>
class CCA_ArrayTemplate
{
public:
    CCA_ArrayTemplate() = default;
    CCA_ArrayTemplate(const CCA_ArrayTemplate &other) { CopyFrom(other); }
    CCA_ArrayTemplate(CCA_ArrayTemplate &&other) noexcept { Swap(other); }
    ~CCA_ArrayTemplate() { RemoveAll(); CA_FreeMemory(m_data); }

    CCA_ArrayTemplate &operator=(const CCA_ArrayTemplate &other)
    {
        if (this != &other) {
            CCA_ArrayTemplate copy(other);
            Swap(copy);
        }
        return *this;
    }
    CCA_ArrayTemplate &operator=(CCA_ArrayTemplate &&other) noexcept
    {
        if (this != &other) {
            CCA_ArrayTemplate moved(std::move(other));
            Swap(moved);
        }
        return *this;
    }

    int GetSize() const { return m_count; }
    bool IsEmpty() const { return m_count == 0; }
    int GetUpperBound() const { return m_count - 1; }
    const T *GetData() const { return m_data; }
    T *GetData() { return m_data; }

    const T &GetAt(int index) const { return m_data[index]; }
    T &GetAt(int index) { return m_data[index]; }
    const T &operator[](int index) const { return m_data[index]; }
    T &operator[](int index) { return m_data[index]; }
    void SetAt(int index, const T &value) { m_data[index] = value; }

    void SetGrowBy(int step) { m_growBy = step > 0 ? step : 0; }

    int Add(const T &value)
    {
        T copy(value);
        Reserve(m_count + 1);
        new (m_data + m_count) T(std::move(copy));
        return m_count++;
    }

    void InsertAt(int index, const T &value)
    {
        if (index < 0 || index >= m_count) {
            Add(value);
            return;
        }
        T copy(value);
        Reserve(m_count + 1);
        new (m_data + m_count) T(std::move(m_data[m_count - 1]));
        for (int i = m_count - 1; i > index; --i)
            m_data[i] = std::move(m_data[i - 1]);
        m_data[index] = std::move(copy);
        ++m_count;
    }

    void RemoveAt(int index, int count = 1)
    {
        if (index < 0 || count <= 0 || index + count > m_count)
            return;
        for (int i = index; i + count < m_count; ++i)
            m_data[i] = std::move(m_data[i + count]);
        for (int i = m_count - count; i < m_count; ++i)
            m_data[i].~T();
        m_count -= count;
    }

    void RemoveAll()
    {
        for (int i = 0; i < m_count; ++i)
            m_data[i].~T();
        m_count = 0;
    }

    void SetSize(int size)
    {
        if (size < 0)
            size = 0;
        if (size < m_count) {
            RemoveAt(size, m_count - size);
            return;
        }
        Reserve(size);
        for (int i = m_count; i < size; ++i)
            new (m_data + i) T();
        m_count = size;
    }

    int Find(const T &value) const
    {
        for (int i = 0; i < m_count; ++i)
            if (m_data[i] == value)
                return i;
        return -1;
    }

    bool operator==(const CCA_ArrayTemplate &other) const
    {
        if (m_count != other.m_count)
            return false;
        for (int i = 0; i < m_count; ++i)
            if (!(m_data[i] == other.m_data[i]))
                return false;
        return true;
    }
    bool operator!=(const CCA_ArrayTemplate &other) const { return !(*this == other); }

    const T *begin() const { return m_data; }
    const T *end() const { return m_data + m_count; }
    T *begin() { return m_data; }
    T *end() { return m_data + m_count; }

private:
    void CopyFrom(const CCA_ArrayTemplate &other)
    {
        m_growBy = other.m_growBy;
        Reserve(other.m_count);
        for (int i = 0; i < other.m_count; ++i)
            new (m_data + i) T(other.m_data[i]);
        m_count = other.m_count;
    }

    void Swap(CCA_ArrayTemplate &other) noexcept
    {
        std::swap(m_data, other.m_data);
        std::swap(m_count, other.m_count);
        std::swap(m_capacity, other.m_capacity);
        std::swap(m_growBy, other.m_growBy);
    }

    // Elements are moved into fresh storage, so any T works, not only trivially copyable ones.
    void Reserve(int wanted)
    {
        if (wanted <= m_capacity)
            return;
        int step = m_growBy > 0 ? m_growBy : (m_capacity < 4 ? 4 : m_capacity);
        int capacity = m_capacity + step;
        if (capacity < wanted)
            capacity = wanted;
        T *fresh = static_cast<T *>(CA_AllocMemory(sizeof(T) * size_t(capacity)));
        if (!fresh)
            throw std::bad_alloc();
        for (int i = 0; i < m_count; ++i) {
            new (fresh + i) T(std::move(m_data[i]));
            m_data[i].~T();
        }
        CA_FreeMemory(m_data);
        m_data = fresh;
        m_capacity = capacity;
    }

    CCA_MutexObject m_mutex;
    T *m_data = nullptr;
    int m_count = 0;
    int m_elementSize = int(sizeof(T));
    int m_capacity = 0;
    int m_growBy = 0;
};
