#include "Engine/foundation/WeRecycled.h"

#include <gtest/gtest.h>

namespace
{
struct Shape
{
    virtual ~Shape() { ++s_Destroyed; }
    static int s_Destroyed;
    int id = 0;
};
int Shape::s_Destroyed = 0;

// One pooled class per test, so that every test starts from a fresh pool.
template <int N>
class Pooled : public WeRecycled<Pooled<N>, Shape>
{
public:
    Pooled* sibling = nullptr;  // deleted by this object's destructor
    double payload[4] = {};
    ~Pooled() override { delete sibling; }
};

template <int N>
class Bigger : public Pooled<N>
{
public:
    double more[16] = {};
};

template <int N>
WeRecyclePool& EnabledPool()
{
    WeRecyclePool& pool = Pooled<N>::Pool();
    pool.Enable();  // the pooled path is tested in every build, also where pools start off
    return pool;
}
}  // namespace

TEST(WeRecycled, PoolsStartEnabledUnlessTheBuildSwitchesThemOff)
{
#if WE_NO_POOLS
    EXPECT_FALSE(Pooled<0>::Pool().IsEnabled());
#else
    EXPECT_TRUE(Pooled<0>::Pool().IsEnabled());
#endif
    delete new Pooled<0>();  // either way new and delete pair up
}

TEST(WeRecycled, DeletedBlockIsReusedByTheNextObject)
{
    WeRecyclePool& pool = EnabledPool<1>();
    auto* a = new Pooled<1>();
    auto* b = new Pooled<1>();
    EXPECT_EQ(pool.LiveCount(), 2);
    void* blockOfA = a;
    delete a;
    EXPECT_EQ(pool.LiveCount(), 1);
    EXPECT_EQ(pool.FreeCount(), 1);
    auto* c = new Pooled<1>();
    EXPECT_EQ(static_cast<void*>(c), blockOfA);
    EXPECT_EQ(pool.FreeCount(), 0);
    delete b;
    delete c;
    EXPECT_EQ(pool.LiveCount(), 0);
    EXPECT_EQ(pool.FreeCount(), 2);
    Pooled<1>::ClearFreeBlocks();
    EXPECT_EQ(pool.FreeCount(), 0);
}

TEST(WeRecycled, LargerDerivedObjectsGetTheHeap)
{
    WeRecyclePool& pool = EnabledPool<2>();
    static_assert(sizeof(Bigger<2>) > sizeof(Pooled<2>));
    Pooled<2>* big = new Bigger<2>();
    EXPECT_EQ(pool.LiveCount(), 0);  // a block is too small for it
    static_cast<Bigger<2>*>(big)->more[15] = 1.0;
    delete big;
    EXPECT_EQ(pool.FreeCount(), 0);
}

TEST(WeRecycled, DestroyPoolCopesWithDestructorsThatDeleteSiblings)
{
    WeRecyclePool& pool = EnabledPool<3>();
    auto* a = new Pooled<3>();
    auto* b = new Pooled<3>();
    auto* c = new Pooled<3>();
    auto* d = new Pooled<3>();
    a->sibling = b;  // b follows a in the live list
    c->sibling = d;
    (void)c;
    const int before = Shape::s_Destroyed;
    Pooled<3>::DestroyPool();
    EXPECT_EQ(Shape::s_Destroyed - before, 4);  // each object exactly once
    EXPECT_FALSE(pool.IsEnabled());
    EXPECT_EQ(pool.LiveCount(), 0);
    EXPECT_EQ(pool.FreeCount(), 0);

    // Afterwards the class lives on the heap.
    auto* later = new Pooled<3>();
    EXPECT_EQ(pool.LiveCount(), 0);
    delete later;
    EXPECT_EQ(pool.FreeCount(), 0);
    Pooled<3>::DestroyPool();  // a second time is harmless
}

TEST(WeRecycled, ObjectsKeepTheirOriginAcrossEnablingAndDestroying)
{
    WeRecyclePool& pool = Pooled<4>::Pool();
    pool.Destroy();  // as after the shutdown: the heap
    auto* early = new Pooled<4>();
    pool.Enable();  // as when a pool is switched on after objects exist
    auto* pooled = new Pooled<4>();
    EXPECT_EQ(pool.LiveCount(), 1);
    delete early;  // came from the heap: goes back to the heap, not into the pool
    EXPECT_EQ(pool.LiveCount(), 1);
    EXPECT_EQ(pool.FreeCount(), 0);
    delete pooled;
    EXPECT_EQ(pool.FreeCount(), 1);
    pool.Destroy();
    auto* after = new Pooled<4>();
    delete after;
    EXPECT_EQ(pool.FreeCount(), 0);
}

TEST(WeRecycled, AllPoolsCanBeDestroyedAtOnce)
{
    WeRecyclePool& pool = EnabledPool<5>();
    new Pooled<5>();  // still live at shutdown
    const int before = Shape::s_Destroyed;
    WeRecyclePool::DestroyAll();
    EXPECT_EQ(Shape::s_Destroyed - before, 1);
    EXPECT_FALSE(pool.IsEnabled());
}
