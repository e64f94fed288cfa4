// Feeds arbitrary bytes to the options file's reader and, from the same bytes, to the binding record's reader.
// Afterwards every option is within its range, and what is saved reads back the same, for both.
//   build/fuzz/bin/fuzz_options_file -max_total_time=300 <corpus folder> build/default/bin/fuzz-corpus/options_file
#include <cmath>
#include <cstdint>

#include "Engine/foundation/WeFileStream.h"
#include "Game/shell/CInputBindings.h"
#include "Game/shell/COptionsSettings.h"
#include "Tests/fuzz/FuzzSupport.h"

namespace
{
void Check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

bool Finite(float value, float minimum, float maximum)
{
    return !std::isnan(value) && value >= minimum && value <= maximum;
}

void CheckRanges(const COptionsSettings& o)
{
    Check(o.m_Width >= 640 && o.m_Width <= 8192 && o.m_Height >= 480 && o.m_Height <= 8192);
    Check(o.m_EffectQuality >= 1 && o.m_EffectQuality <= 2);
    Check(o.m_TextureQuality >= 0 && o.m_TextureQuality <= 2);
    Check(o.m_MultisampleType >= 0 && o.m_MultisampleType <= 16);
    Check(o.m_MultisampleQuality >= 0 && (o.m_MultisampleType != 0 || o.m_MultisampleQuality == 0));
    Check(o.m_Anisotropy >= 1 && o.m_Anisotropy <= 16);
    for (int32_t v : {o.m_WindowMode, o.m_MotionBlur, o.m_Hdr})
        Check(v >= 0 && v <= 2);
    Check(o.m_Reflection >= 0 && o.m_Reflection <= 4);
    for (uint8_t b : {o.m_VerticalSync, o.m_Shadows, o.m_Specular, o.m_Bumping, o.m_Refraction, o.m_FilmGrain,
                      o.m_DepthOfField, o.m_TextureSwitch})
        Check(b <= 1);
    Check(Finite(o.m_MusicVolume, 0.0f, 1.0f) && Finite(o.m_SoundVolume, 0.0f, 1.0f));
    Check(Finite(o.m_KeyboardSensitivity, 0.05f, 2.0f));
    Check(Finite(o.m_MouseSensitivity, 0.5f, 1.5f));
    Check(Finite(o.m_JoystickSensitivity, 0.1f, 2.0f));
    Check(Finite(o.m_JoystickDeadZone, 0.0f, 0.5f) && o.m_JoystickDeadZone < 1.0f);
}

bool SameOptions(const COptionsSettings& a, const COptionsSettings& b)
{
    return a.m_Width == b.m_Width && a.m_Height == b.m_Height && a.m_EffectQuality == b.m_EffectQuality &&
           a.m_TextureQuality == b.m_TextureQuality && a.m_Reserved == b.m_Reserved &&
           a.m_MultisampleType == b.m_MultisampleType && a.m_MultisampleQuality == b.m_MultisampleQuality &&
           a.m_Anisotropy == b.m_Anisotropy && a.m_VerticalSync == b.m_VerticalSync &&
           a.m_WindowMode == b.m_WindowMode && a.m_Shadows == b.m_Shadows && a.m_MotionBlur == b.m_MotionBlur &&
           a.m_Specular == b.m_Specular && a.m_Bumping == b.m_Bumping && a.m_Reflection == b.m_Reflection &&
           a.m_Refraction == b.m_Refraction && a.m_FilmGrain == b.m_FilmGrain && a.m_DepthOfField == b.m_DepthOfField &&
           a.m_Hdr == b.m_Hdr && a.m_TextureSwitch == b.m_TextureSwitch && a.m_MusicVolume == b.m_MusicVolume &&
           a.m_SoundVolume == b.m_SoundVolume && a.m_KeyboardSensitivity == b.m_KeyboardSensitivity &&
           a.m_MouseSensitivity == b.m_MouseSensitivity && a.m_JoystickSensitivity == b.m_JoystickSensitivity &&
           a.m_JoystickDeadZone == b.m_JoystickDeadZone;
}

bool SameBindings(const CInputBindings& a, const CInputBindings& b)
{
    if (a.showCrosshair != b.showCrosshair || a.invertMouse != b.invertMouse)
        return false;
    for (int32_t i = 0; i < CInputBindings::EntryCount; ++i)
        if (a.entries[i].code != b.entries[i].code || a.entries[i].isMouse != b.entries[i].isMouse ||
            a.entries[i].isJoystick != b.entries[i].isJoystick)
            return false;
    return true;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::string input = FuzzScratchPath("options.sav");
    static const std::string saved = FuzzScratchPath("options-saved.sav");
    if (!FuzzWriteFile(input, data, size))
        return 0;

    COptionsSettings options;
    {
        WeFileStream stream;
        Check(stream.Open(WeString(input.c_str())));
        options.Read(stream);
    }
    CheckRanges(options);
    {
        WeFileStream stream;
        Check(stream.Create(WeString(saved.c_str())));
        Check(options.Write(stream));
        Check(stream.GetSize() == COptionsSettings::FileSize);
    }
    COptionsSettings again;
    {
        WeFileStream stream;
        Check(stream.Open(WeString(saved.c_str())));
        again.Read(stream);
    }
    Check(SameOptions(options, again));

    CInputBindings bindings;
    {
        WeFileStream stream;
        Check(stream.Open(WeString(input.c_str())));
        bindings.Load(stream);
        Check(stream.Tell() <= static_cast<int64_t>(size));
    }
    {
        WeFileStream stream;
        Check(stream.Create(WeString(saved.c_str())));
        Check(bindings.Save(stream));
        Check(stream.GetSize() == CInputBindings::RecordSize);
    }
    CInputBindings bindingsAgain;
    bindingsAgain.entries[0].code = -12345;
    {
        WeFileStream stream;
        Check(stream.Open(WeString(saved.c_str())));
        bindingsAgain.Load(stream);
    }
    Check(SameBindings(bindings, bindingsAgain));
    return 0;
}
