#pragma once
// Reference-counted sharing for listing records. Copies of an RCIPtr share one CountHolder, the single owner
// of the object; the last copy to go deletes the holder and with it the object.
//
// The count is a plain int, neither locked nor atomic: pointers to one object must not be copied, assigned or
// destroyed on two threads at once. A listing belongs to the thread that asked for it, and threads that need a
// listing of their own ask the server for it.

#include <memory>
#include <utility>

namespace nsSP
{

class RCObject
{
public:
    virtual ~RCObject() = default;

    void AddReference() noexcept { ++m_nRefCount; }
    // True when the last reference went; the caller then deletes the object.
    bool RemoveReference() noexcept { return --m_nRefCount == 0; }
    int GetRefCount() const noexcept { return m_nRefCount; }

protected:
    RCObject() = default;
    // A copy is a new object that nobody refers to yet, whatever the count of the original.
    RCObject(const RCObject&) noexcept {}
    RCObject& operator=(const RCObject&) noexcept { return *this; }

private:
    int m_nRefCount = 0;
};

template <class T> class RCIPtr
{
public:
    // An empty pointer: get() is null and no holder exists.
    RCIPtr() noexcept = default;

    // Takes the object over; a null object gives an empty pointer.
    explicit RCIPtr(std::unique_ptr<T> pObject)
    {
        if (!pObject) return;
        // If the holder cannot be allocated, pObject still owns the object and frees it.
        auto pHolder = std::make_unique<CountHolder>(std::move(pObject));
        pHolder->AddReference();
        m_pCounter = pHolder.release();
    }

    // Takes over an object fresh from new (it must not be owned by anything else).
    explicit RCIPtr(T* pObject) : RCIPtr(std::unique_ptr<T>(pObject)) {}

    RCIPtr(const RCIPtr& other) noexcept : m_pCounter(other.m_pCounter)
    {
        if (m_pCounter) m_pCounter->AddReference();
    }

    RCIPtr(RCIPtr&& other) noexcept : m_pCounter(std::exchange(other.m_pCounter, nullptr)) {}

    ~RCIPtr() { Release(m_pCounter); }

    RCIPtr& operator=(const RCIPtr& other) noexcept
    {
        if (m_pCounter != other.m_pCounter)
        {
            // Take the new reference before dropping the old one: the old object may be what keeps `other` alive.
            CountHolder* pOld = std::exchange(m_pCounter, other.m_pCounter);
            if (m_pCounter) m_pCounter->AddReference();
            Release(pOld);
        }
        return *this;
    }

    RCIPtr& operator=(RCIPtr&& other) noexcept
    {
        if (this != &other) Release(std::exchange(m_pCounter, std::exchange(other.m_pCounter, nullptr)));
        return *this;
    }

    T* get() const noexcept { return m_pCounter ? m_pCounter->m_pPointee.get() : nullptr; }
    T* operator->() const noexcept { return get(); }
    T& operator*() const noexcept { return *get(); }
    explicit operator bool() const noexcept { return get() != nullptr; }

    // How many pointers share the object; 0 for an empty pointer.
    int GetRefCount() const noexcept { return m_pCounter ? m_pCounter->GetRefCount() : 0; }

private:
    struct CountHolder : public RCObject
    {
        explicit CountHolder(std::unique_ptr<T> pPointee) noexcept : m_pPointee(std::move(pPointee)) {}
        std::unique_ptr<T> m_pPointee;
    };

    static void Release(CountHolder* pHolder) noexcept
    {
        if (pHolder && pHolder->RemoveReference())
        {
            // The last reference gives the holder back to a unique owner, which deletes it and the object.
            std::unique_ptr<CountHolder> pLast(pHolder);
        }
    }

    CountHolder* m_pCounter = nullptr;
};

// Builds the object and its shared pointer in one step, with no new at the call site.
template <class T, class... Args> RCIPtr<T> MakeRCIPtr(Args&&... args)
{
    return RCIPtr<T>(std::make_unique<T>(std::forward<Args>(args)...));
}

} // namespace nsSP
