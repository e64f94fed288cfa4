#pragma once
#include <cstdint>

#include "Engine/foundation/WeString.h"
#include "Game/shell/CInputBindings.h"

class WeFileStream;

// The player's options: video mode and quality, volumes, input sensitivities and the active bindings. Loaded
// by the application's start-up, changed and saved by the options screens. The bindings are not part of the
// options file: the current profile's set is copied in.
class COptionsSettings
{
public:
    static constexpr int32_t FileVersion = 17;
    static constexpr int32_t FileSize = 324;
    static constexpr const char* FileName = "options_demo.sav";

    COptionsSettings();
    virtual ~COptionsSettings() = default;

    // Writes the options file into the save folder through a temporary file. False, with a debug line, when
    // there is no save folder or the file could not be written; the old file then stays as it was.
    bool Save();
    // Reads the options file of the save folder; a missing, old, short or damaged file keeps the defaults or
    // gives values brought into their ranges, with a debug line.
    void Load();
    // The same on an open stream (the fuzz target and the tests).
    bool Write(WeFileStream& stream) const;
    void Read(WeFileStream& stream);
    // Brings every loaded value into its range; each field changed gets a debug line. True when one changed.
    bool Clamp();
    // The options file's path, or empty when there is no save folder.
    static WeString GetFilePath();
    // The round key of the scrambled copies of round 0 to 9.
    static uint32_t GetRoundKey(int32_t round);

    // Positions 0 to 1 between the configured minimum and maximum (the controls screen's scroll bars).
    float GetKeyboardSensitivity() const;
    float GetMouseSensitivity() const;
    float GetJoystickSensitivity() const;
    float GetJoystickDeadZone() const;
    void SetKeyboardSensitivity(float position);
    void SetMouseSensitivity(float position);
    void SetJoystickSensitivity(float position);
    void SetJoystickDeadZone(float position);
    // Each sensitivity and the dead zone to half its maximum.
    void ResetInputSensitivities();

    CInputBindings m_Bindings;
    int32_t m_Width = 800;
    int32_t m_Height = 600;
    int32_t m_EffectQuality = 2;
    int32_t m_TextureQuality = 2;
    int32_t m_Reserved = 1;
    int32_t m_MultisampleType = 0;
    int32_t m_MultisampleQuality = 0;
    int32_t m_Anisotropy = 8;
    uint8_t m_VerticalSync = 0;
    int32_t m_WindowMode = 0;  // 0 full screen, 1 maximised window, 2 centred window
    uint8_t m_Shadows = 0;
    int32_t m_MotionBlur = 0;
    uint8_t m_Specular = 0;
    uint8_t m_Bumping = 1;
    int32_t m_Reflection = 1;
    uint8_t m_Refraction = 0;
    uint8_t m_FilmGrain = 0;
    uint8_t m_DepthOfField = 0;
    int32_t m_Hdr = 0;
    uint8_t m_TextureSwitch = 1;  // the texture manager's second switch; read from the file and skipped
    float m_MusicVolume = 1.0f;
    float m_SoundVolume = 1.0f;
    float m_KeyboardSensitivity;
    float m_MouseSensitivity;
    float m_JoystickSensitivity;
    float m_JoystickDeadZone;  // fraction of the axis half-range
};

extern COptionsSettings g_OptionsSettings;
