#include "Engine/world/WeLight.h"

#include <cmath>

#include "Engine/foundation/WeFileStream.h"
#include "Engine/foundation/WeTimer.h"
#include "Engine/render/WeFlareRenderer.h"
#include "Engine/render/WeMaterialManager.h"
#include "Engine/render/WeTextureManager.h"
#include "Engine/world/WeWorld.h"
#include "Platform/math/D3DXMatrixFunctions.h"

namespace
{

bool ReadBool(WeFileStream& stream)
{
    return stream.ReadByte() != 0;
}

int64_t BytesLeft(WeFileStream& stream)
{
    const int64_t left = stream.GetEndLimit() - stream.Tell();
    return left > 0 ? left : 0;
}

// A count the remaining bytes cannot hold is damage, not a request to loop that often.
bool CountFits(WeFileStream& stream, int32_t count, int64_t smallestRecord)
{
    return count >= 0 && static_cast<int64_t>(count) * smallestRecord <= BytesLeft(stream);
}

// The key frame of versions 3 to 5: colour, second colour, duration, intensity.
void ReadShortKeyFrame(WeFileStream& stream, WeLightParams& frame, bool keepSecondColor)
{
    stream.ReadVector4(frame.color);
    float second[4];
    stream.ReadVector4(second);
    if (keepSecondColor)
        for (int i = 0; i < 4; ++i)
            frame.secondColor[i] = second[i];
    frame.duration = stream.ReadFloat();
    frame.intensity = stream.ReadFloat();
}

// Size of the version-2 and unversioned key frames: two dropped vectors, two colours, range,
// a dropped float and the duration.
constexpr int64_t OldestKeyFrameSize = 6 * 4 + 8 * 4 + 3 * 4;

}  // namespace

WeLight::WeLight()
{
    m_Type = WeActorTypeLight;
    m_AlternativeModelName = "MapEditor.Geometry.Light";
    m_RenderSwitch1 = false;
    m_RenderSwitch2 = false;
    m_RenderSwitch3 = false;
    D3DXMatrixIdentity(&m_ProjectorView);
    D3DXMatrixIdentity(&m_ProjectorProjection);
    D3DXMatrixIdentity(&m_ProjectorViewProjection);
}

WeLight::~WeLight()
{
    g_FlareRenderer.RemoveLight(this);
}

void WeLight::Expire()
{
    if (m_FadeOutTime > 0.0f)
    {
        // The world expires a timed light on every tick once its life is spent: restarting the clock
        // each time would keep the light fading for ever.
        if (m_FadeOutClock < 0.0f)
            m_FadeOutClock = 0.0f;
    }
    else
        MarkForDeletion();
}

WeString WeLight::GetName()
{
    WeString name = WeActor::GetName();
    if (m_Dynamic)
        name += " <DYNAMIC>";
    return name;
}

void WeLight::AddKeyFrame(const WeLightParams& keyFrame)
{
    m_KeyFrames.PushBack(keyFrame);
    m_TotalLength += keyFrame.duration;
}

void WeLight::AddTimedKeyFrame(const WeLightParams& keyFrame, float duration, bool loop)
{
    WeLightParams frame = keyFrame;
    frame.duration = duration;
    m_Loop = loop;
    AddKeyFrame(frame);
}

void WeLight::ClearKeyFrames()
{
    m_KeyFrames.Clear();
    m_TotalLength = 0.0f;
    m_AnimationTime = 0.0f;
}

void WeLight::LoadResources()
{
    if (m_Projector && !m_ProjectorMaterial && !m_ProjectorMaterialName.IsEmpty())
        m_ProjectorMaterial = g_MaterialManager.GetMaterial(m_ProjectorMaterialName, false, false);
    if (m_Flare && !m_FlareTexture && !m_FlareTextureName.IsEmpty())
        m_FlareTexture = g_TextureManager.GetTexture(m_FlareTextureName, false, 0, false);
    if (m_FlareRings)
        for (int i = 0; i < RingCount; ++i)
            if (!m_RingTextures[i] && !m_RingTextureNames[i].IsEmpty())
                m_RingTextures[i] = g_TextureManager.GetTexture(m_RingTextureNames[i], false, 0, false);
}

void WeLight::Init()
{
    m_PhysicModel.physicsClass = 0;
    m_HasModel = m_EditorMode;
    m_Static = !m_EditorMode;
    m_PositionFixed = !m_EditorMode && m_LoadedFromMap;
    m_WantsTick = true;
    m_FurtherSwitch1 = true;
    m_FurtherSwitch2 = true;
    if (!m_LoadedFromMap)
        m_Dynamic = true;
    else if (m_Kind == 2)
        m_Kind2 = true;
    WeActor::Init();
    LoadResources();
    m_KeyFramePosition = 0.0f;
}

void WeLight::Tick()
{
    const float frameTime = g_Timer.m_FrameDeltaF;

    m_FadeFactor = 1.0f;
    if (m_World)
    {
        const float age = m_World->m_WorldTime - m_SpawnTime;
        if (age < m_FadeInTime)
            m_FadeFactor = age / m_FadeInTime;
    }
    if (m_FadeOutClock >= 0.0f)
    {
        m_FadeOutClock += frameTime;
        if (m_FadeOutClock >= m_FadeOutTime)
        {
            m_FadeFactor = 0.0f;
            MarkForDeletion();
        }
        else
            m_FadeFactor *= 1.0f - m_FadeOutClock / m_FadeOutTime;
    }

    m_AnimationTime += frameTime;
    if (m_Loop && m_TotalLength > 0.0f && m_AnimationTime >= m_TotalLength)
    {
        m_AnimationTime = std::fmod(m_AnimationTime, m_TotalLength);
        if (!(m_AnimationTime >= 0.0f))
            m_AnimationTime = 0.0f;
    }

    m_Current = WeLightParams();
    float start = 0.0f;
    for (WeList<WeLightParams>::Node* node = m_KeyFrames.FirstNode(); node != nullptr;
         node = m_KeyFrames.NextNode(node))
    {
        const WeLightParams& frame = node->payload;
        if (start + frame.duration < m_AnimationTime)
        {
            start += frame.duration;
            continue;
        }
        m_KeyFramePosition = frame.duration > 0.0f ? (m_AnimationTime - start) / frame.duration : 0.0f;
        if (m_Interpolate)
        {
            WeList<WeLightParams>::Node* following = m_KeyFrames.NextNode(node);
            const WeLightParams& next = following ? following->payload : m_KeyFrames.Front();
            const float t = m_KeyFramePosition;
            for (int i = 0; i < 4; ++i)
            {
                m_Current.color[i] = frame.color[i] + (next.color[i] - frame.color[i]) * t;
                m_Current.secondColor[i] = frame.secondColor[i] + (next.secondColor[i] - frame.secondColor[i]) * t;
            }
            m_Current.intensity = frame.intensity + (next.intensity - frame.intensity) * t;
            m_Current.secondIntensity = frame.secondIntensity + (next.secondIntensity - frame.secondIntensity) * t;
            for (int i = 0; i < 6; ++i)
                m_Current.values[i] = frame.values[i] + (next.values[i] - frame.values[i]) * t;
        }
        else
            m_Current = frame;
        break;
    }

    WeActor::Tick();

    m_Position = GetWorldPosition();
    m_Reach = m_Range;
    if (m_Projector)
        UpdateProjector();
}

void WeLight::UpdateProjector()
{
    const D3DXMATRIX& world = GetWorldMatrix();
    const D3DXVECTOR3 eye = GetWorldPosition();
    const D3DXVECTOR3 at(eye.x + world._31, eye.y + world._32, eye.z + world._33);
    const D3DXVECTOR3 up(world._21, world._22, world._23);
    D3DXMatrixLookAtLH(&m_ProjectorView, &eye, &at, &up);
    D3DXMatrixPerspectiveFovLH(&m_ProjectorProjection, m_ProjectorFov, 1.0f, 1.0f, m_Range);
    m_ProjectorViewProjection = m_ProjectorView * m_ProjectorProjection;
    m_ProjectorFrustum.Build(eye, m_ProjectorView, m_ProjectorProjection);
}

void WeLight::Save(WeFileStream& stream)
{
    WeActor::Save(stream);
    SaveProperties(stream);
}

bool WeLight::Load(WeFileStream& stream)
{
    if (!WeActor::Load(stream))
        return false;
    const bool intact = LoadProperties(stream);
    // After a damaged count the following bytes are no record boundary: a map load ends here, as it
    // does on a record cut short.
    if (!intact)
        stream.Seek(0, 2);
    m_RenderSwitch2 = false;
    m_RenderSwitch3 = false;
    return intact;
}

void WeLight::SaveProperties(WeFileStream& stream)
{
    m_LightRecordVersion = RecordVersion;
    stream.WriteInt32(RecordVersion);
    stream.WriteByte(m_Dynamic);
    stream.WriteInt32(m_Kind);
    stream.WriteByte(m_Loop);
    stream.WriteByte(m_Kind2);
    stream.WriteFloat(m_Range);
    stream.WriteFloat(m_ProjectorFov);
    stream.WriteFloat(m_SecondAngle);
    stream.WriteByte(m_Interpolate);
    stream.WriteByte(m_Projector);
    stream.WriteByte(m_OmniProjector);
    stream.WriteString(m_ProjectorMaterialName);
    stream.WriteByte(m_Flare);
    stream.WriteByte(m_FlareRings);
    stream.WriteVector4(m_FlareValues);
    stream.WriteString(m_FlareTextureName);
    for (const WeString& name : m_RingTextureNames)
        stream.WriteString(name);
    stream.WriteFloat(m_FlareFadeTimes[0]);
    stream.WriteFloat(m_FlareFadeTimes[1]);
    stream.WriteInt32(m_KeyFrames.Count());
    for (const WeLightParams& frame : m_KeyFrames)
        frame.Write(stream);
    for (bool flag : m_FlareFlags)
        stream.WriteByte(flag);
    stream.WriteFloat(m_LightSetting2);
    stream.WriteFloat(m_LightSetting3);
    stream.WriteFloat(m_LightSetting1);
}

void WeLight::ReadRows2To12(WeFileStream& stream)
{
    m_Dynamic = ReadBool(stream);
    m_Kind = stream.ReadInt32();
    m_Loop = ReadBool(stream);
    m_Kind2 = ReadBool(stream);
    m_Range = stream.ReadFloat();
    m_ProjectorFov = stream.ReadFloat();
    m_SecondAngle = stream.ReadFloat();
    m_Interpolate = ReadBool(stream);
    m_Projector = ReadBool(stream);
    m_OmniProjector = ReadBool(stream);
    m_ProjectorMaterialName = stream.ReadString();
}

void WeLight::ReadRows13To17(WeFileStream& stream)
{
    m_Flare = ReadBool(stream);
    m_FlareRings = ReadBool(stream);
    stream.ReadVector4(m_FlareValues);
    m_FlareTextureName = stream.ReadString();
    for (WeString& name : m_RingTextureNames)
        name = stream.ReadString();
}

bool WeLight::ReadKeyFrames(WeFileStream& stream, int32_t version)
{
    const int32_t count = stream.ReadInt32();
    const int64_t smallest = (version >= 3 && version <= 12) ? WeLightParams::SmallestRecord : OldestKeyFrameSize;
    if (stream.HadShortRead() || !CountFits(stream, count, smallest))
        return false;
    for (int32_t i = 0; i < count; ++i)
    {
        WeLightParams frame;
        if (version >= 6 && version <= 12)
        {
            frame.Read(stream);
            AddKeyFrame(frame);
            continue;
        }
        if (version >= 3 && version <= 5)
            ReadShortKeyFrame(stream, frame, version == 3);
        else
        {
            float dropped[6];
            stream.ReadVector3(dropped);
            stream.ReadVector3(dropped + 3);
            stream.ReadVector4(frame.color);
            stream.ReadVector4(frame.secondColor);
            m_Range = stream.ReadFloat();
            stream.ReadFloat();
            frame.duration = stream.ReadFloat();
        }
        // The older layouts never counted towards the animation's length.
        m_KeyFrames.PushBack(frame);
    }
    return !stream.HadShortRead();
}

bool WeLight::LoadProperties(WeFileStream& stream)
{
    stream.ClearShortRead();
    ClearKeyFrames();
    const int32_t version = stream.ReadInt32();
    if (stream.HadShortRead())
        return false;
    m_LightRecordVersion = version;
    bool intact = true;
    if (version >= 13 && version <= 100)
        return true;
    if (version >= 6 && version <= 12)
    {
        ReadRows2To12(stream);
        ReadRows13To17(stream);
        if (version <= 9)
            for (float& v : m_FlareSpriteValues)
                v = stream.ReadFloat();
        m_FlareFadeTimes[0] = stream.ReadFloat();
        m_FlareFadeTimes[1] = stream.ReadFloat();
        intact = ReadKeyFrames(stream, version);
        if (intact)
        {
            const int32_t flags = version == 12 ? 3 : version == 11 ? 2 : version >= 7 ? 1 : 0;
            for (int32_t i = 0; i < flags; ++i)
                m_FlareFlags[i] = ReadBool(stream);
            if (version >= 8)
            {
                m_LightSetting2 = stream.ReadFloat();
                m_LightSetting3 = stream.ReadFloat();
                if (version != 8)
                    m_LightSetting1 = stream.ReadFloat();
            }
        }
    }
    else if (version == 4 || version == 5)
    {
        ReadRows2To12(stream);
        ReadRows13To17(stream);
        if (version == 5)
            for (float& v : m_FlareSpriteValues)
                v = stream.ReadFloat();
        intact = ReadKeyFrames(stream, version);
    }
    else if (version == 3)
    {
        ReadRows2To12(stream);
        intact = ReadKeyFrames(stream, version);
    }
    else
    {
        if (version != 2)
            stream.Seek(-4, 1);
        m_Dynamic = ReadBool(stream);
        m_Kind = stream.ReadInt32();
        m_Loop = ReadBool(stream);
        m_Kind2 = ReadBool(stream);
        if (version == 2)
        {
            m_Projector = ReadBool(stream);
            m_ProjectorMaterialName = stream.ReadString();
        }
        intact = ReadKeyFrames(stream, version == 2 ? 2 : 0);
    }
    intact = intact && !stream.HadShortRead();

    m_ProjectorMaterial = nullptr;
    m_FlareTexture = nullptr;
    for (WeTexture*& texture : m_RingTextures)
        texture = nullptr;
    LoadResources();
    return intact;
}

void WeLight::CopyTo(WeActor* other)
{
    WeActor::CopyTo(other);
    WeLight* light = dynamic_cast<WeLight*>(other);
    if (!light || light == this)
        return;
    light->m_LightRecordVersion = m_LightRecordVersion;
    light->m_Dynamic = m_Dynamic;
    light->m_Kind = m_Kind;
    light->m_Loop = m_Loop;
    light->m_Interpolate = m_Interpolate;
    light->m_SwitchedOn = m_SwitchedOn;
    light->m_BaseIntensity = m_BaseIntensity;
    light->m_Range = m_Range;
    light->m_ProjectorFov = m_ProjectorFov;
    light->m_SecondAngle = m_SecondAngle;
    light->m_LightSetting1 = m_LightSetting1;
    light->m_LightSetting2 = m_LightSetting2;
    light->m_LightSetting3 = m_LightSetting3;
    light->m_Kind2 = m_Kind2;
    light->m_Projector = m_Projector;
    light->m_OmniProjector = m_OmniProjector;
    light->m_ProjectorMaterialName = m_ProjectorMaterialName;
    light->m_ProjectorMaterial = m_ProjectorMaterial;
    light->m_Flare = m_Flare;
    light->m_FlareRings = m_FlareRings;
    light->m_FlareTextureName = m_FlareTextureName;
    light->m_FlareTexture = m_FlareTexture;
    for (int i = 0; i < RingCount; ++i)
    {
        light->m_RingTextureNames[i] = m_RingTextureNames[i];
        light->m_RingTextures[i] = m_RingTextures[i];
    }
    for (int i = 0; i < 6; ++i)
        light->m_FlareSpriteValues[i] = m_FlareSpriteValues[i];
    for (int i = 0; i < 4; ++i)
        light->m_FlareValues[i] = m_FlareValues[i];
    for (int i = 0; i < 2; ++i)
        light->m_FlareFadeTimes[i] = m_FlareFadeTimes[i];
    for (int i = 0; i < 3; ++i)
        light->m_FlareFlags[i] = m_FlareFlags[i];
    light->m_FadeInTime = m_FadeInTime;
    light->m_FadeOutTime = m_FadeOutTime;
    light->ClearKeyFrames();
    for (const WeLightParams& frame : m_KeyFrames)
        light->AddKeyFrame(frame);
    // The copied total is kept as is: frames of old records do not count towards it.
    light->m_TotalLength = m_TotalLength;
}
