#include "Game/shell/COptionsSettings.h"

#include "Engine/foundation/WeConfig.h"
#include "Engine/foundation/WeFileStream.h"
#include "Engine/foundation/WeLog.h"
#include "Engine/foundation/WeSaveFile.h"
#include "Game/shell/GameMain.h"
#include "Platform/system/SysPath.h"

#include <climits>
#include <cmath>

namespace
{
// The bounds of the input values, bound before the entry function so that a configured maximum also moves
// the starting values.
float& g_MinKeyboardSensitivity = GetConfigFloat("game.Input.MinKeyboardSensitivity", 0.05f);
float& g_MaxKeyboardSensitivity = GetConfigFloat("game.Input.MaxKeyboardSensitivity", 2.0f);
float& g_MinMouseSensitivity = GetConfigFloat("game.Input.MinMouseSensitivity", 0.5f);
float& g_MaxMouseSensitivity = GetConfigFloat("game.Input.MaxMouseSensitivity", 1.5f);
float& g_MinJoystickSensitivity = GetConfigFloat("game.Input.MinJoystickSensitivity", 0.1f);
float& g_MaxJoystickSensitivity = GetConfigFloat("game.Input.MaxJoystickSensitivity", 2.0f);
float& g_MinJoystickDeadZone = GetConfigFloat("game.Input.MinJoystickDeadzone", 0.0f);
float& g_MaxJoystickDeadZone = GetConfigFloat("game.Input.MaxJoystickDeadzone", 0.5f);

// The key stream of the scrambled copies: any fixed value, since the reader takes nothing from them.
constexpr uint32_t KeyStreamConstant = 0x9E3779B9u;
constexpr int32_t RoundCount = 10;
constexpr int32_t OldestUnreadVersion = 16;
// The dead zone divides the axis by what is left of it: it has to stay below the whole.
constexpr float MaxDeadZone = 0.99f;

float Position(float value, float minimum, float maximum)
{
    const float range = maximum - minimum;
    return range != 0.0f ? (value - minimum) / range : 0.0f;
}

float Value(float position, float minimum, float maximum)
{
    return minimum + (maximum - minimum) * position;
}

bool ClampInt(int32_t& value, int32_t minimum, int32_t maximum, const char* name)
{
    if (value >= minimum && value <= maximum)
        return false;
    const int32_t old = value;
    value = value < minimum ? minimum : maximum;
    DebugLogPrintf("Options: %s %d is out of range, using %d\n", name, old, value);
    return true;
}

bool ClampByte(uint8_t& value, const char* name)
{
    if (value <= 1)
        return false;
    DebugLogPrintf("Options: %s %d is not 0 or 1, using 1\n", name, value);
    value = 1;
    return true;
}

// A NaN takes the field's default; anything else is brought into [minimum, maximum].
bool ClampFloat(float& value, float minimum, float maximum, float fallback, const char* name)
{
    if (maximum < minimum)
        maximum = minimum;
    if (std::isnan(value))
    {
        value = fallback < minimum ? minimum : (fallback > maximum ? maximum : fallback);
        DebugLogPrintf("Options: %s is not a number, using %g\n", name, static_cast<double>(value));
        return true;
    }
    if (value >= minimum && value <= maximum)
        return false;
    const float old = value;
    value = value < minimum ? minimum : maximum;
    DebugLogPrintf("Options: %s %g is out of range, using %g\n", name, static_cast<double>(old),
                   static_cast<double>(value));
    return true;
}

void WriteSix(WeFileStream& stream, const COptionsSettings& options, uint32_t key, bool& ok)
{
    const int32_t values[6] = {options.m_Width,    options.m_Height,          options.m_TextureQuality,
                               options.m_Reserved, options.m_MultisampleType, options.m_MultisampleQuality};
    for (int32_t value : values)
        ok = stream.WriteInt32(static_cast<int32_t>(static_cast<uint32_t>(value) ^ key)) && ok;
}
}  // namespace

COptionsSettings g_OptionsSettings;

COptionsSettings::COptionsSettings()
    : m_KeyboardSensitivity(g_MaxKeyboardSensitivity * 0.5f), m_MouseSensitivity(g_MaxMouseSensitivity * 0.5f),
      m_JoystickSensitivity(g_MaxJoystickSensitivity * 0.5f), m_JoystickDeadZone(g_MaxJoystickDeadZone * 0.5f)
{
}

uint32_t COptionsSettings::GetRoundKey(int32_t round)
{
    uint32_t key = 1;
    for (int32_t step = 0; step <= round; ++step)
        key = (key * 13u) ^ KeyStreamConstant;
    return key;
}

WeString COptionsSettings::GetFilePath()
{
    const WeString folder = GetSaveFolder();
    if (folder.IsEmpty())
        return WeString();
    return WeString(SysPath::Join(folder.c_str(), FileName).c_str());
}

bool COptionsSettings::Write(WeFileStream& stream) const
{
    bool ok = stream.WriteInt32(FileVersion);
    for (int32_t round = 0; round < RoundCount; ++round)
        WriteSix(stream, *this, GetRoundKey(round), ok);
    WriteSix(stream, *this, 0, ok);
    ok = stream.WriteInt32(m_Anisotropy) && ok;
    ok = stream.WriteByte(static_cast<char>(m_VerticalSync)) && ok;
    ok = stream.WriteInt32(m_WindowMode) && ok;
    ok = stream.WriteInt32(m_EffectQuality) && ok;
    ok = stream.WriteByte(static_cast<char>(m_Shadows)) && ok;
    ok = stream.WriteInt32(m_MotionBlur) && ok;
    ok = stream.WriteByte(static_cast<char>(m_Specular)) && ok;
    ok = stream.WriteByte(static_cast<char>(m_Bumping)) && ok;
    ok = stream.WriteByte(static_cast<char>(m_Refraction)) && ok;
    ok = stream.WriteInt32(m_Reflection) && ok;
    ok = stream.WriteByte(static_cast<char>(m_FilmGrain)) && ok;
    ok = stream.WriteByte(static_cast<char>(m_DepthOfField)) && ok;
    ok = stream.WriteInt32(m_Hdr) && ok;
    ok = stream.WriteByte(static_cast<char>(m_TextureSwitch)) && ok;
    ok = stream.WriteFloat(m_MusicVolume) && ok;
    ok = stream.WriteFloat(m_SoundVolume) && ok;
    ok = stream.WriteFloat(m_KeyboardSensitivity) && ok;
    ok = stream.WriteFloat(m_MouseSensitivity) && ok;
    ok = stream.WriteFloat(m_JoystickSensitivity) && ok;
    ok = stream.WriteFloat(m_JoystickDeadZone) && ok;
    return ok;
}

void COptionsSettings::Read(WeFileStream& stream)
{
    const int64_t start = stream.Tell();
    const int32_t version = stream.ReadInt32();
    if (version <= OldestUnreadVersion)
    {
        DebugLogPrintf("Options: file version %d is too old, keeping the defaults\n", version);
        return;
    }
    // A short file would read zeros for what it lacks: take nothing from it.
    if (stream.GetSize() - start < FileSize)
    {
        DebugLogPrintf("Options: file holds %lld bytes of %d, keeping the defaults\n",
                       static_cast<long long>(stream.GetSize() - start), FileSize);
        return;
    }
    // The scrambled copies are not read back: the plain values after them hold.
    stream.Seek(start + 4 + RoundCount * 6 * 4, 0);
    m_Width = stream.ReadInt32();
    m_Height = stream.ReadInt32();
    m_TextureQuality = stream.ReadInt32();
    m_Reserved = stream.ReadInt32();
    m_MultisampleType = stream.ReadInt32();
    m_MultisampleQuality = stream.ReadInt32();
    m_Anisotropy = stream.ReadInt32();
    m_VerticalSync = static_cast<uint8_t>(stream.ReadByte());
    m_WindowMode = stream.ReadInt32();
    m_EffectQuality = stream.ReadInt32();
    m_Shadows = static_cast<uint8_t>(stream.ReadByte());
    m_MotionBlur = stream.ReadInt32();
    m_Specular = static_cast<uint8_t>(stream.ReadByte());
    m_Bumping = static_cast<uint8_t>(stream.ReadByte());
    m_Refraction = static_cast<uint8_t>(stream.ReadByte());
    m_Reflection = stream.ReadInt32();
    m_FilmGrain = static_cast<uint8_t>(stream.ReadByte());
    m_DepthOfField = static_cast<uint8_t>(stream.ReadByte());
    m_Hdr = stream.ReadInt32();
    stream.ReadByte();  // the texture switch keeps its value
    m_MusicVolume = stream.ReadFloat();
    m_SoundVolume = stream.ReadFloat();
    m_KeyboardSensitivity = stream.ReadFloat();
    m_MouseSensitivity = stream.ReadFloat();
    m_JoystickSensitivity = stream.ReadFloat();
    m_JoystickDeadZone = stream.ReadFloat();
    Clamp();
}

bool COptionsSettings::Clamp()
{
    const COptionsSettings defaults;
    bool changed = false;
    if (m_Width < 640 || m_Width > 8192 || m_Height < 480 || m_Height > 8192)
    {
        DebugLogPrintf("Options: size %d x %d is out of range, using %d x %d\n", m_Width, m_Height, defaults.m_Width,
                       defaults.m_Height);
        m_Width = defaults.m_Width;
        m_Height = defaults.m_Height;
        changed = true;
    }
    changed |= ClampInt(m_EffectQuality, 1, 2, "effect quality");
    changed |= ClampInt(m_TextureQuality, 0, 2, "texture quality");
    changed |= ClampInt(m_MultisampleType, 0, 16, "multisample type");
    changed |= ClampInt(m_MultisampleQuality, 0, m_MultisampleType == 0 ? 0 : INT32_MAX, "multisample quality");
    changed |= ClampInt(m_Anisotropy, 1, 16, "anisotropy");
    changed |= ClampInt(m_WindowMode, 0, 2, "window mode");
    changed |= ClampInt(m_MotionBlur, 0, 2, "motion blur");
    // The video options offer reflection levels 1 to 4 (the reflection renderer knows five, 0 to 4).
    changed |= ClampInt(m_Reflection, 0, 4, "reflection");
    changed |= ClampInt(m_Hdr, 0, 2, "HDR");
    changed |= ClampByte(m_VerticalSync, "vertical sync");
    changed |= ClampByte(m_Shadows, "shadows");
    changed |= ClampByte(m_Specular, "specular");
    changed |= ClampByte(m_Bumping, "bumping");
    changed |= ClampByte(m_Refraction, "refraction");
    changed |= ClampByte(m_FilmGrain, "film grain");
    changed |= ClampByte(m_DepthOfField, "depth of field");
    changed |= ClampByte(m_TextureSwitch, "texture switch");
    changed |= ClampFloat(m_MusicVolume, 0.0f, 1.0f, defaults.m_MusicVolume, "music volume");
    changed |= ClampFloat(m_SoundVolume, 0.0f, 1.0f, defaults.m_SoundVolume, "sound volume");
    changed |= ClampFloat(m_KeyboardSensitivity, g_MinKeyboardSensitivity, g_MaxKeyboardSensitivity,
                          defaults.m_KeyboardSensitivity, "keyboard sensitivity");
    changed |= ClampFloat(m_MouseSensitivity, g_MinMouseSensitivity, g_MaxMouseSensitivity, defaults.m_MouseSensitivity,
                          "mouse sensitivity");
    changed |= ClampFloat(m_JoystickSensitivity, g_MinJoystickSensitivity, g_MaxJoystickSensitivity,
                          defaults.m_JoystickSensitivity, "joystick sensitivity");
    const float deadZoneMin = g_MinJoystickDeadZone < 0.0f ? 0.0f : g_MinJoystickDeadZone;
    const float deadZoneMax = g_MaxJoystickDeadZone < MaxDeadZone ? g_MaxJoystickDeadZone : MaxDeadZone;
    changed |= ClampFloat(m_JoystickDeadZone, deadZoneMin < MaxDeadZone ? deadZoneMin : MaxDeadZone, deadZoneMax,
                          defaults.m_JoystickDeadZone, "joystick dead zone");
    return changed;
}

bool COptionsSettings::Save()
{
    const WeString path = GetFilePath();
    if (path.IsEmpty())
    {
        DebugLogPrintf("Options: no save folder, the options are not saved\n");
        return false;
    }
    WeSaveFile file(path);
    if (!file.Open() || !file.Commit(Write(file.GetStream())))
    {
        DebugLogPrintf("Options: could not save \"%s\"\n", path.c_str());
        return false;
    }
    return true;
}

void COptionsSettings::Load()
{
    const WeString path = GetFilePath();
    if (path.IsEmpty())
    {
        DebugLogPrintf("Options: no save folder, keeping the defaults\n");
        return;
    }
    WeFileStream stream;
    if (!WeFileStream::FileExists(path) || !stream.Open(path))
        return;
    Read(stream);
    stream.Close();
}

float COptionsSettings::GetKeyboardSensitivity() const
{
    return Position(m_KeyboardSensitivity, g_MinKeyboardSensitivity, g_MaxKeyboardSensitivity);
}

float COptionsSettings::GetMouseSensitivity() const
{
    return Position(m_MouseSensitivity, g_MinMouseSensitivity, g_MaxMouseSensitivity);
}

float COptionsSettings::GetJoystickSensitivity() const
{
    return Position(m_JoystickSensitivity, g_MinJoystickSensitivity, g_MaxJoystickSensitivity);
}

float COptionsSettings::GetJoystickDeadZone() const
{
    return Position(m_JoystickDeadZone, g_MinJoystickDeadZone, g_MaxJoystickDeadZone);
}

void COptionsSettings::SetKeyboardSensitivity(float position)
{
    m_KeyboardSensitivity = Value(position, g_MinKeyboardSensitivity, g_MaxKeyboardSensitivity);
}

void COptionsSettings::SetMouseSensitivity(float position)
{
    m_MouseSensitivity = Value(position, g_MinMouseSensitivity, g_MaxMouseSensitivity);
}

void COptionsSettings::SetJoystickSensitivity(float position)
{
    m_JoystickSensitivity = Value(position, g_MinJoystickSensitivity, g_MaxJoystickSensitivity);
}

void COptionsSettings::SetJoystickDeadZone(float position)
{
    m_JoystickDeadZone = Value(position, g_MinJoystickDeadZone, g_MaxJoystickDeadZone);
}

void COptionsSettings::ResetInputSensitivities()
{
    m_KeyboardSensitivity = g_MaxKeyboardSensitivity * 0.5f;
    m_MouseSensitivity = g_MaxMouseSensitivity * 0.5f;
    m_JoystickSensitivity = g_MaxJoystickSensitivity * 0.5f;
    m_JoystickDeadZone = g_MaxJoystickDeadZone * 0.5f;
}
