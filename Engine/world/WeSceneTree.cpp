#include "Engine/world/WeSceneTree.h"

WeSceneTreeCell::~WeSceneTreeCell()
{
    for (WeSceneTreeCell*& child : children)
    {
        delete child;
        child = nullptr;
    }
}

WeSceneTree::WeSceneTree(WeWorld* world, const D3DXVECTOR3& rootCenter, float rootHalfSize, int32_t depthLimit)
    : m_DepthLimit(depthLimit), m_Root(nullptr), m_World(world), m_Valid(1)
{
    m_RootBox.SetCube(rootCenter, rootHalfSize);
    m_Root = NewCell(m_RootBox);
}

WeSceneTree::~WeSceneTree()
{
    delete m_Root;
}

WeSceneTreeCell* WeSceneTree::NewCell(const WeAABB& box)
{
    WeSceneTreeCell* cell = new WeSceneTreeCell();
    cell->tree = this;
    cell->box = box;
    cell->sphere.FromBox(box);
    return cell;
}

bool WeSceneTree::Insert(WeActor* actor, WeSceneTree*& actorTree, const D3DXVECTOR3& position,
                         const WeBoundingSphere& sphere, bool useBox)
{
    if (!m_Valid || actorTree != nullptr || actor == nullptr)
        return false;
    WeAABB around;
    around.SetFromSphere(sphere);
    auto holds = [&](const WeSceneTreeCell* cell)
    { return useBox ? cell->box.ContainsBox(around) : cell->box.ContainsPoint(position); };
    WeSceneTreeCell* cell = m_Root;
    if (!holds(cell))
        return false;
    for (int32_t depth = 0; depth < m_DepthLimit; ++depth)
    {
        const D3DXVECTOR3 half = (cell->box.max - cell->box.min) * 0.5f;
        WeSceneTreeCell* next = nullptr;
        // Octant i: bit 0 the upper x half, bit 1 the upper y half, bit 2 the upper z half.
        for (int i = 0; i < 8; ++i)
        {
            if (cell->children[i] == nullptr)
            {
                WeAABB box;
                box.min = cell->box.min +
                          D3DXVECTOR3((i & 1) ? half.x : 0.0f, (i & 2) ? half.y : 0.0f, (i & 4) ? half.z : 0.0f);
                box.max = box.min + half;
                cell->children[i] = NewCell(box);
            }
            if (next == nullptr && holds(cell->children[i]))
                next = cell->children[i];
        }
        if (next == nullptr)
            break;
        cell = next;
    }
    cell->actors.PushBack(actor);
    actorTree = this;
    return true;
}

bool WeSceneTree::Remove(WeActor* actor, WeSceneTree*& actorTree)
{
    if (actorTree != this)
        return false;
    RemoveFrom(m_Root, actor);
    actorTree = nullptr;
    return true;
}

bool WeSceneTree::RemoveFrom(WeSceneTreeCell* cell, WeActor* actor)
{
    if (cell->actors.Contains(actor))
    {
        cell->actors.RemoveCurrent();
        return true;
    }
    for (WeSceneTreeCell*& child : cell->children)
    {
        if (child == nullptr || !RemoveFrom(child, actor))
            continue;
        bool leaf = true;
        for (const WeSceneTreeCell* grandChild : child->children)
            leaf = leaf && grandChild == nullptr;
        if (leaf && child->actors.IsEmpty())
        {
            delete child;
            child = nullptr;
        }
        return true;
    }
    return false;
}

void WeSceneTree::QueryCube(const D3DXVECTOR3& point, float halfSize, WeList<WeSceneTreeCell*>& out) const
{
    out.Reset();
    WeAABB cube;
    cube.SetCube(point, halfSize);
    if (m_Root)
        Query(m_Root, cube, out);
}

void WeSceneTree::Query(const WeSceneTreeCell* cell, const WeAABB& cube, WeList<WeSceneTreeCell*>& out) const
{
    if (!cell->box.Intersects(cube))
        return;
    if (!cell->actors.IsEmpty())
        out.PushBack(const_cast<WeSceneTreeCell*>(cell));
    for (const WeSceneTreeCell* child : cell->children)
        if (child)
            Query(child, cube, out);
}
