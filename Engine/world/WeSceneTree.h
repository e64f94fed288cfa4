#pragma once
#include <cstdint>

#include "Engine/foundation/WeList.h"
#include "Engine/world/WeAABB.h"
#include "Engine/world/WeBoundingSphere.h"

class WeActor;
class WeSceneTree;
class WeWorld;

// One octree cell: the actors kept at this level, its eight octants (null until split), its box and
// the sphere around that box.
struct WeSceneTreeCell
{
    WeSceneTree* tree = nullptr;
    WeList<WeActor*> actors;
    WeSceneTreeCell* children[8] = {};
    WeAABB box;
    WeBoundingSphere sphere;

    ~WeSceneTreeCell();
};

// Octree of actors. An actor goes down into the first octant that holds it (its position, or the box
// around its bounding sphere) until the depth limit, and stays in the deepest cell that holds it.
// The actor's own tree pointer is passed in by reference, so the tree keeps it current.
class WeSceneTree
{
public:
    // What a world builds its tree with.
    static constexpr float WorldRootCenter = -1024.0f;
    static constexpr float WorldRootHalfSize = 32768.0f;
    static constexpr int32_t WorldDepthLimit = 10;

    WeSceneTree(WeWorld* world, const D3DXVECTOR3& rootCenter, float rootHalfSize, int32_t depthLimit);
    virtual ~WeSceneTree();
    WeSceneTree(const WeSceneTree&) = delete;
    WeSceneTree& operator=(const WeSceneTree&) = delete;

    // Nothing when the tree is not valid or actorTree is already set; an actor outside the root box
    // is not inserted. True when the actor was inserted (actorTree then points here).
    bool Insert(WeActor* actor, WeSceneTree*& actorTree, const D3DXVECTOR3& position, const WeBoundingSphere& sphere,
                bool useBox);
    // Only when actorTree points here; a leaf cell left empty is deleted. actorTree is cleared.
    bool Remove(WeActor* actor, WeSceneTree*& actorTree);
    // Empties the list, then appends every non-empty cell whose box meets the cube.
    void QueryCube(const D3DXVECTOR3& point, float halfSize, WeList<WeSceneTreeCell*>& out) const;

    int32_t m_DepthLimit;
    WeSceneTreeCell* m_Root;
    WeAABB m_RootBox;
    WeWorld* m_World;
    uint8_t m_Valid;

private:
    bool RemoveFrom(WeSceneTreeCell* cell, WeActor* actor);
    void Query(const WeSceneTreeCell* cell, const WeAABB& cube, WeList<WeSceneTreeCell*>& out) const;
    WeSceneTreeCell* NewCell(const WeAABB& box);
};
