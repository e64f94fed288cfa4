#pragma once
#include <cstdint>

#include "Engine/foundation/WeList.h"
#include "Engine/foundation/WeRecycled.h"
#include "Engine/foundation/WeString.h"
#include "Engine/world/WeActor.h"
#include "Engine/world/WeFrustum.h"
#include "Engine/world/WeLightParams.h"
#include "Platform/math/D3DXMATRIX.h"
#include "Platform/math/D3DXVECTOR3.h"

class WeFileStream;
class WeMaterial;
class WeTexture;

// A light placed in a map or spawned by the game: colours animated by timed key frames, a fade-in
// after spawning and a fade-out when its life ends, optionally a projector with its own frustum and
// a lens flare. Pooled.
class WeLight : public WeRecycled<WeLight, WeActor>
{
public:
    static constexpr int32_t RecordVersion = 12;
    static constexpr int32_t RingCount = 5;

    WeLight();
    ~WeLight() override;

    void Expire() override;
    WeString GetName() override;
    void Tick() override;
    void Save(WeFileStream& stream) override;
    bool Load(WeFileStream& stream) override;
    void Init() override;
    void CopyTo(WeActor* other) override;

    // The light record alone (what follows the actor record in a map; a light asset is only this).
    void SaveProperties(WeFileStream& stream);
    // False when the record is damaged: a count the remaining bytes cannot hold, or a short read.
    bool LoadProperties(WeFileStream& stream);
    void LoadResources();

    void AddKeyFrame(const WeLightParams& keyFrame);
    void AddTimedKeyFrame(const WeLightParams& keyFrame, float duration, bool loop);
    void ClearKeyFrames();

    float GetColorScale() const { return m_FadeFactor * m_BaseIntensity * m_Current.intensity; }
    float GetSecondColorScale() const { return m_FadeFactor * m_BaseIntensity * m_Current.secondIntensity; }

    int32_t m_LightRecordVersion = RecordVersion;
    WeLightParams m_Current;
    float m_KeyFramePosition = 0.0f;
    WeList<WeLightParams> m_KeyFrames;
    bool m_Dynamic = true;
    int32_t m_Kind = 1;
    bool m_Loop = true;
    bool m_Interpolate = false;
    bool m_SwitchedOn = true;
    float m_BaseIntensity = 1.0f;
    float m_Range = 100.0f;
    float m_ProjectorFov = 1.5707964f;
    float m_SecondAngle = 1.5707964f;
    float m_LightSetting1 = 0.0f;
    float m_AnimationTime = 0.0f;
    float m_TotalLength = 0.0f;
    bool m_Kind2 = false;
    bool m_Projector = false;
    bool m_OmniProjector = false;
    WeString m_ProjectorMaterialName;
    WeMaterial* m_ProjectorMaterial = nullptr;
    WeFrustum m_ProjectorFrustum;
    // Kept beside the frustum: the spot projector pass uploads their product.
    D3DXMATRIX m_ProjectorView;
    D3DXMATRIX m_ProjectorProjection;
    D3DXMATRIX m_ProjectorViewProjection;
    bool m_Flare = false;
    bool m_FlareRings = false;
    WeString m_FlareTextureName;
    WeString m_RingTextureNames[RingCount];
    WeTexture* m_FlareTexture = nullptr;
    WeTexture* m_RingTextures[RingCount] = {};
    float m_FlareSpriteValues[6] = {1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f};
    float m_FlareValues[4] = {0.1f, 0.1f, 0.5f, 0.5f};
    float m_FlareFadeTimes[2] = {0.5f, 0.5f};
    float m_LightSetting2 = 10.0f;
    float m_LightSetting3 = 10.0f;
    bool m_FlareFlags[3] = {false, false, false};
    float m_FadeInTime = 0.1f;
    float m_FadeOutTime = 0.1f;
    float m_FadeOutClock = -1.0f;
    float m_FadeFactor = 0.0f;
    D3DXVECTOR3 m_Position;
    float m_Reach = 0.0f;

private:
    // The key frame layouts of the older records.
    bool ReadKeyFrames(WeFileStream& stream, int32_t version);
    void ReadRows2To12(WeFileStream& stream);
    void ReadRows13To17(WeFileStream& stream);
    void UpdateProjector();
};
