#pragma once

#include <cstddef>
#include <mutex>

void *CA_AllocMemory(size_t size);
void *CA_ReallocMemory(void *block, size_t size);
void CA_FreeMemory(void *block);

class CCA_MutexObject
{
public:
    void Lock() { m_mutex.lock(); }
    void Unlock() { m_mutex.unlock(); }

private:
    std::recursive_mutex m_mutex;
};

class CCA_MutexLock
{
public:
    explicit CCA_MutexLock(CCA_MutexObject *mutex) : m_mutex(mutex) { if (m_mutex) m_mutex->Lock(); }
    ~CCA_MutexLock() { if (m_mutex) m_mutex->Unlock(); }
    CCA_MutexLock(const CCA_MutexLock &) = delete;
    CCA_MutexLock &operator=(const CCA_MutexLock &) = delete;

private:
    CCA_MutexObject *m_mutex;
};
