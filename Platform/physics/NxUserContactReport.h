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
    explicit NxContactStreamIterator(NxConstContactStream stream) : stream_(stream) {}

    bool goNextPair()
    {
        patch_ = point_ = -1;
        return stream_ && ++pair_ < static_cast<int>(stream_->pairs.size());
    }
    bool goNextPatch()
    {
        point_ = -1;
        return validPair() && ++patch_ < static_cast<int>(curPair().patches.size());
    }
    bool goNextPoint() { return validPatch() && ++point_ < static_cast<int>(curPatch().points.size()); }

    NxShape* getShape(NxU32 i) const { return validPair() && i < 2 ? curPair().shapes[i] : nullptr; }
    NxU32 getNumPairs() const { return stream_ ? static_cast<NxU32>(stream_->pairs.size()) : 0; }
    NxU32 getNumPatches() const { return validPair() ? static_cast<NxU32>(curPair().patches.size()) : 0; }
    NxU32 getNumPoints() const { return validPatch() ? static_cast<NxU32>(curPatch().points.size()) : 0; }
    NxVec3 getPatchNormal() const { return validPatch() ? curPatch().normal : NxVec3(); }
    NxVec3 getPoint() const { return validPoint() ? curPatch().points[point_].point : NxVec3(); }
    NxReal getSeparation() const { return validPoint() ? curPatch().points[point_].separation : 0; }
    NxReal getPointNormalForce() const { return validPoint() ? curPatch().points[point_].normalForce : 0; }

private:
    bool validPair() const { return stream_ && pair_ >= 0 && pair_ < static_cast<int>(stream_->pairs.size()); }
    bool validPatch() const
    {
        return validPair() && patch_ >= 0 && patch_ < static_cast<int>(curPair().patches.size());
    }
    bool validPoint() const
    {
        return validPatch() && point_ >= 0 && point_ < static_cast<int>(curPatch().points.size());
    }
    const NxContactStreamShapePair& curPair() const { return stream_->pairs[pair_]; }
    const NxContactStreamPatch& curPatch() const { return curPair().patches[patch_]; }

    NxConstContactStream stream_;
    int pair_ = -1, patch_ = -1, point_ = -1;
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
