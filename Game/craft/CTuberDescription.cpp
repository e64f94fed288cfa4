#include "Game/craft/CTuberDescription.h"

#include "Engine/foundation/WeBusy.h"
#include "Engine/foundation/WeConfig.h"
#include "Engine/foundation/WeLocalization.h"
#include "Engine/render/WeMaterialManager.h"
#include "Engine/render/WeModel.h"
#include "Engine/render/WeModelManager.h"

namespace
{
struct CommonEndpoints
{
    float speed1, speed10, acceleration1, acceleration10, hp1, hp10, turbo1, turbo10;
};

// Read once per process, at the first record loaded.
const CommonEndpoints& GetCommonEndpoints()
{
    static const CommonEndpoints endpoints = {
        GetConfigFloat("tubers.Common.Speed1", 185.0f),       GetConfigFloat("tubers.Common.Speed10", 200.0f),
        GetConfigFloat("tubers.Common.Acceleration1", 60.0f), GetConfigFloat("tubers.Common.Acceleration10", 100.0f),
        GetConfigFloat("tubers.Common.HP1", 500.0f),          GetConfigFloat("tubers.Common.HP10", 900.0f),
        GetConfigFloat("tubers.Common.TurboAmount1", 12.0f),  GetConfigFloat("tubers.Common.TurboAmount10", 19.0f),
    };
    return endpoints;
}

float Lerp(float from, float to, float rating)
{
    return (to - from) * rating + from;
}

const char* const ModelSuffixes[CTuberDescription::ModelCount] = {"", "QuadDamage", "Lights", "Turbo",
                                                                  "Invulnerability"};
const int32_t PresetCounts[CTuberDescription::ModelCount] = {3, 1, 1, 2, 1};
}  // namespace

CTuberDescription::CTuberDescription() = default;

CTuberDescription::~CTuberDescription()
{
    ReleaseModels();
}

CTuberDescription::CTuberDescription(const CTuberDescription& other)
{
    *this = other;
}

CTuberDescription& CTuberDescription::operator=(const CTuberDescription& other)
{
    if (this == &other)
        return *this;
    ReleaseModels();
    m_UnlockID = other.m_UnlockID;
    m_Name = other.m_Name;
    m_ModelID = other.m_ModelID;
    m_DisplayName = other.m_DisplayName;
    m_SpeedRating = other.m_SpeedRating;
    m_AccelerationRating = other.m_AccelerationRating;
    m_HPRating = other.m_HPRating;
    m_TurboRating = other.m_TurboRating;
    m_Speed = other.m_Speed;
    m_Acceleration = other.m_Acceleration;
    m_HP = other.m_HP;
    m_Turbo = other.m_Turbo;
    m_Primary = other.m_Primary;
    m_Secondary = other.m_Secondary;
    m_Description = other.m_Description;
    // A copy borrows the models and the material: the record that loaded them releases them.
    m_ProjectorMaterial = other.m_ProjectorMaterial;
    for (int32_t i = 0; i < ModelCount; ++i)
        m_Models[i] = other.m_Models[i];
    m_OwnsModels = false;
    return *this;
}

void CTuberDescription::Load(const WeString& name)
{
    m_Name = name;
    const WeString prefix = WeString("tubers.") + name + ".";
    m_ModelID = GetConfigString(prefix + "ModelID", name);
    m_DisplayName = g_Localization.GetText(WeString("Ships: ") + name + ": NAME");
    m_Description = g_Localization.GetText(WeString("Ships: ") + name + ": DESC");
    m_Primary = GetConfigString(prefix + "Primary", "PlasmaBolt");
    m_Secondary = GetConfigString(prefix + "Secondary", "ContactMine");
    m_UnlockID = GetConfigInt(prefix + "UnlockID", 1);
    const CommonEndpoints& common = GetCommonEndpoints();
    m_SpeedRating = GetConfigFloat(prefix + "Speed", 9.0f) * 0.1f;
    m_Speed = Lerp(common.speed1, common.speed10, m_SpeedRating);
    m_AccelerationRating = GetConfigFloat(prefix + "Acceleration", 9.0f) * 0.1f;
    m_Acceleration = Lerp(common.acceleration1, common.acceleration10, m_AccelerationRating);
    m_HPRating = GetConfigFloat(prefix + "HP", 9.0f) * 0.1f;
    m_HP = static_cast<int32_t>(Lerp(common.hp1, common.hp10, m_HPRating));
    m_TurboRating = GetConfigFloat(prefix + "Turbo", 9.0f) * 0.1f;
    m_Turbo = Lerp(common.turbo1, common.turbo10, m_TurboRating);
}

void CTuberDescription::ReleaseModels()
{
    if (!m_OwnsModels)
        return;
    for (WeModel*& model : m_Models)
    {
        delete model;
        model = nullptr;
    }
    // The material manager owns the material.
    m_ProjectorMaterial = nullptr;
    m_OwnsModels = false;
}

void CTuberDescription::LoadModels()
{
    BeginBusy();
    if (!m_OwnsModels)
    {
        // Borrowed pointers are another record's; drop them without releasing.
        for (WeModel*& model : m_Models)
            model = nullptr;
    }
    ReleaseModels();
    for (int32_t i = 0; i < ModelCount; ++i)
    {
        WeModel* model = g_ModelManager.Load(WeString("Tubers.Models.") + m_ModelID + ModelSuffixes[i], 0);
        m_Models[i] = model;
        if (model == nullptr)
            continue;
        // Selecting the presets loads their materials while the scope keeps them.
        for (int32_t preset = 1; preset < PresetCounts[i]; ++preset)
            model->SetPreset(preset);
        if (i == ModelCraft)
            model->SetPreset(5);
        model->SetPreset(0);
    }
    m_ProjectorMaterial = g_MaterialManager.GetMaterial(WeString("Tubers.Projectors.") + m_ModelID, false, true);
    m_OwnsModels = true;
    EndBusy();
}
