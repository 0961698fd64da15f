#pragma once

#include <utility>

// A counted reference to an entity. The world list and every object that
// remembers an entity hold one, so an entity taken out of the world stays
// valid until the last holder lets go and is then deleted.
template <class T>
class EntityRef {
public:
    EntityRef() = default;
    EntityRef(T* p) : ptr(p) { Acquire(); }  // NOLINT: converting from a fresh `new` is the common case
    EntityRef(const EntityRef& o) : ptr(o.ptr) { Acquire(); }
    EntityRef(EntityRef&& o) noexcept : ptr(std::exchange(o.ptr, nullptr)) {}
    template <class U>
    EntityRef(const EntityRef<U>& o) : ptr(o.get())  // NOLINT
    {
        Acquire();
    }
    ~EntityRef() { Drop(); }

    EntityRef& operator=(EntityRef o) noexcept
    {
        std::swap(ptr, o.ptr);
        return *this;
    }

    T* get() const { return ptr; }
    T* operator->() const { return ptr; }
    T& operator*() const { return *ptr; }
    explicit operator bool() const { return ptr != nullptr; }
    void reset() { EntityRef().swap(*this); }
    void swap(EntityRef& o) noexcept { std::swap(ptr, o.ptr); }

private:
    void Acquire()
    {
        if (ptr)
            ptr->AddRef();
    }
    void Drop()
    {
        if (ptr)
            ptr->Release();
    }
    T* ptr = nullptr;
};

template <class T, class U>
bool operator==(const EntityRef<T>& a, const U* b)
{
    return a.get() == b;
}
