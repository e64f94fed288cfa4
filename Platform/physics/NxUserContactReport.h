#pragma once
#include <vector>

#include "Platform/physics/NxVec3.h"

class NxActor;
class NxShape;

// Contact data of one actor pair for one step: shape pairs, each with one patch of points.
struct NxContactStreamPoint
{
    NxVec3 point;
    NxReal separation = 0;
    NxReal normalForce = 0;
};
struct NxContactStreamPatch
{
    NxVec3 normal;  // points from the second shape towards the first
    std::vector<NxContactStreamPoint> points;
};
struct NxContactStreamShapePair
{
    NxShape* shapes[2] = {nullptr, nullptr};
    std::vector<NxContactStreamPatch> patches;
};
struct NxContactStreamData
{
    std::vector<NxContactStreamShapePair> pairs;
};
typedef const NxContactStreamData* NxConstContactStream;

// Walks a contact stream: goNextPair, then goNextPatch, then goNextPoint, each before first use.
class NxContactStreamIterator
{
public:
    explicit NxContactStreamIterator(NxConstContactStream stream) : m_Stream(stream) {}

    bool goNextPair()
    {
        m_Patch = m_Point = -1;
        return m_Stream && ++m_Pair < static_cast<int>(m_Stream->pairs.size());
    }
    bool goNextPatch()
    {
        m_Point = -1;
        return validPair() && ++m_Patch < static_cast<int>(curPair().patches.size());
    }
    bool goNextPoint() { return validPatch() && ++m_Point < static_cast<int>(curPatch().points.size()); }

    NxShape* getShape(NxU32 i) const { return validPair() && i < 2 ? curPair().shapes[i] : nullptr; }
    NxU32 getNumPairs() const { return m_Stream ? static_cast<NxU32>(m_Stream->pairs.size()) : 0; }
    NxU32 getNumPatches() const { return validPair() ? static_cast<NxU32>(curPair().patches.size()) : 0; }
    NxU32 getNumPoints() const { return validPatch() ? static_cast<NxU32>(curPatch().points.size()) : 0; }
    NxVec3 getPatchNormal() const { return validPatch() ? curPatch().normal : NxVec3(); }
    NxVec3 getPoint() const { return validPoint() ? curPatch().points[m_Point].point : NxVec3(); }
    NxReal getSeparation() const { return validPoint() ? curPatch().points[m_Point].separation : 0; }
    NxReal getPointNormalForce() const { return validPoint() ? curPatch().points[m_Point].normalForce : 0; }

private:
    bool validPair() const { return m_Stream && m_Pair >= 0 && m_Pair < static_cast<int>(m_Stream->pairs.size()); }
    bool validPatch() const
    {
        return validPair() && m_Patch >= 0 && m_Patch < static_cast<int>(curPair().patches.size());
    }
    bool validPoint() const
    {
        return validPatch() && m_Point >= 0 && m_Point < static_cast<int>(curPatch().points.size());
    }
    const NxContactStreamShapePair& curPair() const { return m_Stream->pairs[m_Pair]; }
    const NxContactStreamPatch& curPatch() const { return curPair().patches[m_Patch]; }

    NxConstContactStream m_Stream;
    int m_Pair = -1, m_Patch = -1, m_Point = -1;
};

// One reported actor pair. Forces are the step's average forces the contacts put on actors[0].
class NxContactPair
{
public:
    NxActor* actors[2] = {nullptr, nullptr};
    NxConstContactStream stream = nullptr;
    NxVec3 sumNormalForce;
    NxVec3 sumFrictionForce;
    bool isDeletedActor[2] = {false, false};
};

// Receives the contact events of the step inside fetchResults. events holds the NxContactPairFlag
// notify bits that apply: start touch alone in the first step of a touch, touch in later steps,
// end touch in the step the pair parts.
class NxUserContactReport
{
public:
    virtual void onContactNotify(NxContactPair& pair, NxU32 events) = 0;
    virtual ~NxUserContactReport() = default;
};
