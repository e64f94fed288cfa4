#pragma once
#include <cstdint>

#include "Engine/foundation/WeString.h"

class WeMaterial;
class WeModel;

// One selectable craft: names, model, ratings and the driving values they give, its two built-in weapons
// and its texts. A copy shares the models and material of the record it came from and never releases them.
class CTuberDescription
{
public:
    static constexpr int32_t ModelCount = 5;
    enum ModelSlot : int32_t
    {
        ModelCraft = 0,
        ModelQuadDamage = 1,
        ModelLights = 2,
        ModelTurbo = 3,
        ModelInvulnerability = 4
    };

    CTuberDescription();
    ~CTuberDescription();
    CTuberDescription(const CTuberDescription& other);
    CTuberDescription& operator=(const CTuberDescription& other);

    // Fills the record from "tubers.<name>.*" and the translations.
    void Load(const WeString& name);
    // Loads the five models and the projector material; a second call releases the first load's models.
    void LoadModels();
    void ReleaseModels();

    int32_t m_UnlockID = 1;
    WeString m_Name;
    WeString m_ModelID;
    WeString m_DisplayName;
    float m_SpeedRating = 0.0f;  // the configured 0..10 times 0.1
    float m_AccelerationRating = 0.0f;
    float m_HPRating = 0.0f;
    float m_TurboRating = 0.0f;
    float m_Speed = 0.0f;
    float m_Acceleration = 0.0f;
    int32_t m_HP = 0;
    float m_Turbo = 0.0f;
    WeString m_Primary;
    WeString m_Secondary;
    WeString m_Description;
    WeMaterial* m_ProjectorMaterial = nullptr;
    WeModel* m_Models[ModelCount] = {};
    // Not a game field: whether this record loaded its models (copies borrow them).
    bool m_OwnsModels = false;
};
