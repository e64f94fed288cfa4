#pragma once
#include "Engine/foundation/WeRecyclePool.h"

#include <cstddef>

// Mix-in between `Base` and a pooled class T (T derives from WeRecycled<T, Base>): gives T its own
// recycling operator new and delete over one pool per class, so that objects created and deleted
// every frame reuse their blocks instead of the heap. Base needs a virtual destructor. The pool is
// created on first use and lives for the whole process, so objects deleted late during exit are
// still handled; `DestroyPool` is run by the explicit shutdown.
template <class T, class Base>
class WeRecycled : public Base
{
public:
    using Base::Base;

    static void* operator new(std::size_t size) { return Pool().Allocate(size); }
    static void operator delete(void* object) { Pool().Release(object); }

    // Destroys every live object of the class and frees its blocks; the class uses the heap
    // afterwards.
    static void DestroyPool() { Pool().Destroy(); }
    static void ClearFreeBlocks() { Pool().ClearFreeBlocks(); }

    static WeRecyclePool& Pool()
    {
        static_assert(alignof(T) <= alignof(std::max_align_t), "pooled objects sit after two links");
        static WeRecyclePool* pool = new WeRecyclePool(sizeof(T), &DestroyObject);
        return *pool;
    }

private:
    static void DestroyObject(void* object) { static_cast<T*>(object)->~T(); }
};
