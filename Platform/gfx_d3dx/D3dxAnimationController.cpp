#include "Platform/gfx_d3dx/D3dxAnimationController.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace
{

// Scale, rotation and translation with M = S * R * T; a mirrored matrix keeps a negative x scale so that
// the rotation stays a rotation. A matrix without a usable scale keeps its row lengths and no rotation.
void Split(const D3DXMATRIX& m, D3DXVECTOR3* scale, D3DXQUATERNION* rotation, D3DXVECTOR3* translation)
{
    D3DXMATRIX upper = m;
    float det = m._11 * (m._22 * m._33 - m._23 * m._32) - m._12 * (m._21 * m._33 - m._23 * m._31) +
                m._13 * (m._21 * m._32 - m._22 * m._31);
    float sign = det < 0.0f ? -1.0f : 1.0f;
    upper._11 *= sign, upper._12 *= sign, upper._13 *= sign;
    if (D3DXMatrixDecompose(scale, rotation, translation, &upper))
    {
        scale->x *= sign;
        D3DXQuaternionNormalize(rotation, rotation);
        return;
    }
    D3DXVECTOR3 rows[3] = {D3DXVECTOR3(m._11, m._12, m._13), D3DXVECTOR3(m._21, m._22, m._23),
                           D3DXVECTOR3(m._31, m._32, m._33)};
    *scale = D3DXVECTOR3(D3DXVec3Length(&rows[0]), D3DXVec3Length(&rows[1]), D3DXVec3Length(&rows[2]));
    D3DXQuaternionIdentity(rotation);
    *translation = D3DXVECTOR3(m._41, m._42, m._43);
}

// Index of the key at or before t, with the blend towards the next one; t is inside the keys' range.
size_t Locate(const std::vector<double>& times, double t, float* blend)
{
    *blend = 0.0f;
    if (t <= times.front())
        return 0;
    if (t >= times.back())
        return times.size() - 1;
    size_t i = size_t(std::upper_bound(times.begin(), times.end(), t) - times.begin()) - 1;
    double span = times[i + 1] - times[i];
    *blend = span > 0.0 ? float((t - times[i]) / span) : 0.0f;
    return i;
}

template <class Key, class Value>
void Sorted(const std::vector<Key>& keys, std::vector<double>* times, std::vector<Value>* values,
            Value (*value)(const Key&))
{
    std::vector<size_t> order(keys.size());
    std::iota(order.begin(), order.end(), size_t(0));
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return keys[a].time < keys[b].time; });
    for (size_t i : order)
    {
        times->push_back(double(keys[i].time));
        values->push_back(value(keys[i]));
    }
}

D3DXVECTOR3 VectorOf(const XFileVectorKey& key)
{
    return key.value;
}

D3DXQUATERNION RotationOf(const XFileRotationKey& key)
{
    D3DXQUATERNION q;
    D3DXQuaternionNormalize(&q, &key.rotation);
    if (D3DXQuaternionLengthSq(&q) == 0.0f)
        D3DXQuaternionIdentity(&q);
    return q;
}

}  // namespace

D3dxAnimationController* D3dxAnimationController::Create(const XFileData& data, UINT maxOutputs)
{
    if (data.animationSets.empty())
        return nullptr;
    auto library = std::make_shared<Library>();
    library->ticksPerSecond = data.ticksPerSecond ? double(data.ticksPerSecond) : 4800.0;
    for (const XFileAnimationSet& fileSet : data.animationSets)
    {
        Set set;
        set.name = fileSet.name;
        for (const XFileAnimation& fileAnimation : fileSet.animations)
        {
            Animation animation;
            animation.frame = fileAnimation.frame;
            Sorted(fileAnimation.scales, &animation.scale.times, &animation.scale.values, &VectorOf);
            Sorted(fileAnimation.positions, &animation.position.times, &animation.position.values, &VectorOf);
            Sorted(fileAnimation.rotations, &animation.rotation.times, &animation.rotation.values, &RotationOf);
            if (!fileAnimation.matrices.empty())
            {
                std::vector<double> times;
                std::vector<D3DXMATRIX> matrices;
                Sorted<XFileMatrixKey, D3DXMATRIX>(fileAnimation.matrices, &times, &matrices,
                                                   [](const XFileMatrixKey& key) { return key.matrix; });
                VectorTrack scale, position;
                RotationTrack rotation;
                for (size_t i = 0; i < matrices.size(); ++i)
                {
                    D3DXVECTOR3 s, t;
                    D3DXQUATERNION r;
                    Split(matrices[i], &s, &r, &t);
                    scale.times.push_back(times[i]);
                    scale.values.push_back(s);
                    rotation.times.push_back(times[i]);
                    rotation.values.push_back(r);
                    position.times.push_back(times[i]);
                    position.values.push_back(t);
                }
                if (animation.scale.times.empty())
                    animation.scale = std::move(scale);
                if (animation.rotation.times.empty())
                    animation.rotation = std::move(rotation);
                if (animation.position.times.empty())
                    animation.position = std::move(position);
            }
            for (const std::vector<double>* times :
                 {&animation.scale.times, &animation.position.times, &animation.rotation.times})
                if (!times->empty())
                    set.length = std::max(set.length, times->back());
            set.animations.push_back(std::move(animation));
        }
        library->sets.push_back(std::move(set));
    }
    UINT sets = UINT(library->sets.size());
    return new D3dxAnimationController(std::move(library), maxOutputs, sets, 1, 0);
}

D3dxAnimationController::D3dxAnimationController(std::shared_ptr<const Library> library, UINT maxOutputs, UINT maxSets,
                                                 UINT maxTracks, UINT maxEvents)
    : m_Library(std::move(library)), m_MaxOutputs(maxOutputs), m_MaxSets(maxSets), m_MaxTracks(maxTracks),
      m_MaxEvents(maxEvents), m_NumSets(UINT(std::min<size_t>(maxSets, m_Library->sets.size())))
{
}

const D3dxAnimationController::Animation* D3dxAnimationController::Find(const std::string& frame) const
{
    // Track 0 plays the first set; without a track or a set nothing is animated.
    if (m_MaxTracks == 0 || m_NumSets == 0)
        return nullptr;
    for (const Animation& animation : m_Library->sets[0].animations)
        if (animation.frame == frame)
            return &animation;
    return nullptr;
}

HRESULT D3dxAnimationController::RegisterAnimationOutput(LPCSTR name, D3DXMATRIX* matrix, D3DXVECTOR3* scale,
                                                         D3DXQUATERNION* rotation, D3DXVECTOR3* translation)
{
    if (!name || !*name)
        return D3DERR_INVALIDCALL;
    for (const Output& output : m_Outputs)
        if (output.name == name)
            return D3D_OK;
    if (m_Outputs.size() >= m_MaxOutputs)
        return D3DERR_INVALIDCALL;
    Output output{
        name,   matrix, scale, rotation, translation, D3DXVECTOR3(1, 1, 1), D3DXVECTOR3(), D3DXQUATERNION(0, 0, 0, 1),
        nullptr};
    if (matrix)
    {
        Split(*matrix, &output.ownScale, &output.ownRotation, &output.ownTranslation);
    }
    else
    {
        if (scale)
            output.ownScale = *scale;
        if (rotation)
            output.ownRotation = *rotation;
        if (translation)
            output.ownTranslation = *translation;
    }
    output.animation = Find(output.name);
    m_Outputs.push_back(std::move(output));
    return D3D_OK;
}

HRESULT D3dxAnimationController::AdvanceTime(double timeDelta, ID3DXAnimationCallbackHandler*)
{
    if (!std::isfinite(timeDelta) || !std::isfinite(m_Time + timeDelta))
        return D3DERR_INVALIDCALL;
    m_Time += timeDelta;
    if (m_MaxTracks == 0 || m_NumSets == 0)
        return D3D_OK;
    const Set& set = m_Library->sets[0];
    double ticks = 0.0;
    if (set.length > 0.0)
    {
        ticks = std::fmod(m_Time * m_Library->ticksPerSecond, set.length);
        if (ticks < 0.0)
            ticks += set.length;
    }
    for (Output& output : m_Outputs)
    {
        const Animation* animation = output.animation;
        if (!animation)
            continue;
        D3DXVECTOR3 s = output.ownScale, t = output.ownTranslation;
        D3DXQUATERNION r = output.ownRotation;
        float blend = 0.0f;
        if (!animation->scale.times.empty())
        {
            size_t i = Locate(animation->scale.times, ticks, &blend);
            s = animation->scale.values[i];
            if (blend > 0.0f)
                D3DXVec3Lerp(&s, &s, &animation->scale.values[i + 1], blend);
        }
        if (!animation->rotation.times.empty())
        {
            size_t i = Locate(animation->rotation.times, ticks, &blend);
            r = animation->rotation.values[i];
            if (blend > 0.0f)
                D3DXQuaternionSlerp(&r, &r, &animation->rotation.values[i + 1], blend);
        }
        if (!animation->position.times.empty())
        {
            size_t i = Locate(animation->position.times, ticks, &blend);
            t = animation->position.values[i];
            if (blend > 0.0f)
                D3DXVec3Lerp(&t, &t, &animation->position.values[i + 1], blend);
        }
        if (output.matrix)
        {
            D3DXMATRIX ms, mr, mt;
            D3DXMatrixScaling(&ms, s.x, s.y, s.z);
            D3DXMatrixRotationQuaternion(&mr, &r);
            D3DXMatrixTranslation(&mt, t.x, t.y, t.z);
            *output.matrix = ms * mr * mt;
        }
        if (output.scale)
            *output.scale = s;
        if (output.rotation)
            *output.rotation = r;
        if (output.translation)
            *output.translation = t;
    }
    return D3D_OK;
}

HRESULT D3dxAnimationController::CloneAnimationController(UINT maxOutputs, UINT maxSets, UINT maxTracks, UINT maxEvents,
                                                          ID3DXAnimationController** clone)
{
    if (!clone)
        return D3DERR_INVALIDCALL;
    auto* copy = new D3dxAnimationController(m_Library, maxOutputs, maxSets, maxTracks, maxEvents);
    copy->m_Time = m_Time;
    *clone = copy;
    return D3D_OK;
}
