#include "Game/shell/COptionsSettings.h"
#include "Engine/foundation/WeExeFolder.h"
#include "Engine/foundation/WeFileStream.h"
#include "Engine/foundation/WeSaveFile.h"
#include "Tests/support/ConfigOverride.h"
#include "Tests/support/DebugLineCapture.h"
#include "Tests/support/SaveFolderOverride.h"
#include "Tests/support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

namespace
{
class COptionsFile : public ::testing::Test
{
protected:
    COptionsFile() : m_Override(m_Scratch.Path("data")) {}

    std::string FilePath() const
    {
        return SaveFolderOverride::SaveFolder(m_Scratch.Path("data")) + "/options_demo.sav";
    }
    void WriteFile(const std::string& bytes) const
    {
        std::filesystem::create_directories(SaveFolderOverride::SaveFolder(m_Scratch.Path("data")));
        std::ofstream out(FilePath(), std::ios::binary);
        out.write(bytes.data(), std::streamsize(bytes.size()));
    }
    std::string ReadFile() const { return ScratchFolder::Read(FilePath()); }

    // Options every field of which differs from its default.
    static COptionsSettings Changed()
    {
        COptionsSettings o;
        o.m_Width = 1280;
        o.m_Height = 720;
        o.m_EffectQuality = 1;
        o.m_TextureQuality = 1;
        o.m_Reserved = 5;
        o.m_MultisampleType = 4;
        o.m_MultisampleQuality = 2;
        o.m_Anisotropy = 16;
        o.m_VerticalSync = 1;
        o.m_WindowMode = 2;
        o.m_Shadows = 1;
        o.m_MotionBlur = 2;
        o.m_Specular = 1;
        o.m_Bumping = 0;
        o.m_Reflection = 2;
        o.m_Refraction = 1;
        o.m_FilmGrain = 1;
        o.m_DepthOfField = 1;
        o.m_Hdr = 1;
        o.m_MusicVolume = 0.25f;
        o.m_SoundVolume = 0.5f;
        o.m_KeyboardSensitivity = 1.5f;
        o.m_MouseSensitivity = 0.6f;
        o.m_JoystickSensitivity = 0.2f;
        o.m_JoystickDeadZone = 0.125f;
        return o;
    }

    static void ExpectSame(const COptionsSettings& a, const COptionsSettings& b)
    {
        EXPECT_EQ(a.m_Width, b.m_Width);
        EXPECT_EQ(a.m_Height, b.m_Height);
        EXPECT_EQ(a.m_EffectQuality, b.m_EffectQuality);
        EXPECT_EQ(a.m_TextureQuality, b.m_TextureQuality);
        EXPECT_EQ(a.m_Reserved, b.m_Reserved);
        EXPECT_EQ(a.m_MultisampleType, b.m_MultisampleType);
        EXPECT_EQ(a.m_MultisampleQuality, b.m_MultisampleQuality);
        EXPECT_EQ(a.m_Anisotropy, b.m_Anisotropy);
        EXPECT_EQ(a.m_VerticalSync, b.m_VerticalSync);
        EXPECT_EQ(a.m_WindowMode, b.m_WindowMode);
        EXPECT_EQ(a.m_Shadows, b.m_Shadows);
        EXPECT_EQ(a.m_MotionBlur, b.m_MotionBlur);
        EXPECT_EQ(a.m_Specular, b.m_Specular);
        EXPECT_EQ(a.m_Bumping, b.m_Bumping);
        EXPECT_EQ(a.m_Reflection, b.m_Reflection);
        EXPECT_EQ(a.m_Refraction, b.m_Refraction);
        EXPECT_EQ(a.m_FilmGrain, b.m_FilmGrain);
        EXPECT_EQ(a.m_DepthOfField, b.m_DepthOfField);
        EXPECT_EQ(a.m_Hdr, b.m_Hdr);
        EXPECT_EQ(a.m_TextureSwitch, b.m_TextureSwitch);
        EXPECT_EQ(a.m_MusicVolume, b.m_MusicVolume);
        EXPECT_EQ(a.m_SoundVolume, b.m_SoundVolume);
        EXPECT_EQ(a.m_KeyboardSensitivity, b.m_KeyboardSensitivity);
        EXPECT_EQ(a.m_MouseSensitivity, b.m_MouseSensitivity);
        EXPECT_EQ(a.m_JoystickSensitivity, b.m_JoystickSensitivity);
        EXPECT_EQ(a.m_JoystickDeadZone, b.m_JoystickDeadZone);
    }

    static int32_t Int32At(const std::string& bytes, size_t at)
    {
        int32_t v = 0;
        std::memcpy(&v, bytes.data() + at, 4);
        return v;
    }
    static float FloatAt(const std::string& bytes, size_t at)
    {
        float v = 0;
        std::memcpy(&v, bytes.data() + at, 4);
        return v;
    }
    static void PutInt32(std::string& bytes, size_t at, int32_t v) { std::memcpy(&bytes[at], &v, 4); }
    static void PutFloat(std::string& bytes, size_t at, float v) { std::memcpy(&bytes[at], &v, 4); }

    // A saved file of the given options.
    std::string SavedBytes(const COptionsSettings& options)
    {
        EXPECT_TRUE(const_cast<COptionsSettings&>(options).Save());
        return ReadFile();
    }

    ScratchFolder m_Scratch;
    SaveFolderOverride m_Override;
};
}  // namespace

TEST(COptionsSettings, DefaultsFollowTheConfiguredMaxima)
{
    const COptionsSettings defaults;
    EXPECT_EQ(defaults.m_Width, 800);
    EXPECT_EQ(defaults.m_Height, 600);
    EXPECT_FLOAT_EQ(defaults.m_KeyboardSensitivity, 1.0f);
    EXPECT_FLOAT_EQ(defaults.m_MouseSensitivity, 0.75f);
    EXPECT_FLOAT_EQ(defaults.m_JoystickSensitivity, 1.0f);
    EXPECT_FLOAT_EQ(defaults.m_JoystickDeadZone, 0.25f);
    // The process-wide object was built with the bounds bound before main.
    EXPECT_FLOAT_EQ(g_OptionsSettings.m_MouseSensitivity, 0.75f);
    ConfigOverride maximum("game.Input.MaxMouseSensitivity", "3");
    const COptionsSettings moved;
    EXPECT_FLOAT_EQ(moved.m_MouseSensitivity, 1.5f);
}

TEST(COptionsSettings, SensitivityMappings)
{
    COptionsSettings o;
    o.SetMouseSensitivity(0.0f);
    EXPECT_FLOAT_EQ(o.m_MouseSensitivity, 0.5f);
    o.SetMouseSensitivity(1.0f);
    EXPECT_FLOAT_EQ(o.m_MouseSensitivity, 1.5f);
    o.m_MouseSensitivity = 1.0f;
    EXPECT_FLOAT_EQ(o.GetMouseSensitivity(), 0.5f);
    o.SetKeyboardSensitivity(0.5f);
    EXPECT_FLOAT_EQ(o.m_KeyboardSensitivity, 1.025f);
    EXPECT_FLOAT_EQ(o.GetKeyboardSensitivity(), 0.5f);
    o.SetJoystickSensitivity(1.0f);
    EXPECT_FLOAT_EQ(o.m_JoystickSensitivity, 2.0f);
    EXPECT_FLOAT_EQ(o.GetJoystickSensitivity(), 1.0f);
    o.SetJoystickDeadZone(1.0f);
    EXPECT_FLOAT_EQ(o.m_JoystickDeadZone, 0.5f);
    EXPECT_FLOAT_EQ(o.GetJoystickDeadZone(), 1.0f);
    o.ResetInputSensitivities();
    EXPECT_FLOAT_EQ(o.m_KeyboardSensitivity, 1.0f);
    EXPECT_FLOAT_EQ(o.m_MouseSensitivity, 0.75f);
    EXPECT_FLOAT_EQ(o.m_JoystickSensitivity, 1.0f);
    EXPECT_FLOAT_EQ(o.m_JoystickDeadZone, 0.25f);
    // Equal bounds give position 0 rather than a division by zero.
    ConfigOverride low("game.Input.MinMouseSensitivity", "1");
    ConfigOverride high("game.Input.MaxMouseSensitivity", "1");
    EXPECT_EQ(o.GetMouseSensitivity(), 0.0f);
}

// The round keys: 1, then r + 1 times (k x 13) XOR the constant; the plain copy follows the ten rounds.
TEST_F(COptionsFile, ByteImage)
{
    const COptionsSettings options = Changed();
    const std::string bytes = SavedBytes(options);
    ASSERT_EQ(bytes.size(), 324u);
    EXPECT_EQ(Int32At(bytes, 0), 17);
    const int32_t six[6] = {1280, 720, 1, 5, 4, 2};
    uint32_t key = 1;
    for (int32_t round = 0; round < 10; ++round)
    {
        key = key * 13u ^ COptionsSettings::GetRoundKey(0) ^ 13u;  // the step, with the constant recovered
        EXPECT_EQ(key, COptionsSettings::GetRoundKey(round));
        for (int32_t i = 0; i < 6; ++i)
            EXPECT_EQ(uint32_t(Int32At(bytes, 4 + size_t(round) * 24 + size_t(i) * 4)) ^ key, uint32_t(six[i]))
                << "round " << round << " value " << i;
    }
    for (int32_t i = 0; i < 6; ++i)
        EXPECT_EQ(Int32At(bytes, 244 + size_t(i) * 4), six[i]);
    EXPECT_EQ(Int32At(bytes, 268), 16);
    EXPECT_EQ(bytes[272], 1);
    EXPECT_EQ(Int32At(bytes, 273), 2);
    EXPECT_EQ(Int32At(bytes, 277), 1);
    EXPECT_EQ(bytes[281], 1);
    EXPECT_EQ(Int32At(bytes, 282), 2);
    EXPECT_EQ(bytes[286], 1);
    EXPECT_EQ(bytes[287], 0);
    EXPECT_EQ(bytes[288], 1);
    EXPECT_EQ(Int32At(bytes, 289), 2);
    EXPECT_EQ(bytes[293], 1);
    EXPECT_EQ(bytes[294], 1);
    EXPECT_EQ(Int32At(bytes, 295), 1);
    EXPECT_EQ(bytes[299], 1);
    EXPECT_EQ(FloatAt(bytes, 300), 0.25f);
    EXPECT_EQ(FloatAt(bytes, 304), 0.5f);
    EXPECT_EQ(FloatAt(bytes, 308), 1.5f);
    EXPECT_EQ(FloatAt(bytes, 312), 0.6f);
    EXPECT_EQ(FloatAt(bytes, 316), 0.2f);
    EXPECT_EQ(FloatAt(bytes, 320), 0.125f);
    // No temporary is left beside the file.
    EXPECT_FALSE(std::filesystem::exists(FilePath() + ".tmp"));
}

TEST_F(COptionsFile, SaveThenLoadReproducesEveryField)
{
    const COptionsSettings options = Changed();
    SavedBytes(options);
    COptionsSettings loaded;
    DebugLineCapture lines;
    loaded.Load();
    ExpectSame(loaded, options);
    EXPECT_EQ(lines.Text(), "");
}

TEST_F(COptionsFile, OldMissingAndDisagreeingFiles)
{
    const COptionsSettings defaults;
    {
        COptionsSettings loaded;
        loaded.Load();  // no file
        ExpectSame(loaded, defaults);
    }
    std::string bytes = SavedBytes(Changed());
    for (int32_t version : {16, 0, -1})
    {
        std::string old = bytes;
        PutInt32(old, 0, version);
        WriteFile(old);
        COptionsSettings loaded;
        loaded.Load();
        ExpectSame(loaded, defaults);
    }
    // The scrambled copies are never read back: the plain values hold.
    for (size_t at = 4; at < 244; at += 4)
        PutInt32(bytes, at, 12345);
    WriteFile(bytes);
    COptionsSettings loaded;
    loaded.Load();
    ExpectSame(loaded, Changed());
}

// A version 17 file shorter than the whole record gives nothing; bytes after it are ignored.
TEST_F(COptionsFile, ShortAndLongFiles)
{
    const std::string bytes = SavedBytes(Changed());
    for (size_t size : {size_t(4), size_t(100), size_t(300), size_t(323)})
    {
        WriteFile(bytes.substr(0, size));
        COptionsSettings loaded;
        DebugLineCapture lines;
        loaded.Load();
        ExpectSame(loaded, COptionsSettings());
        EXPECT_TRUE(lines.Contains("keeping the defaults")) << size;
    }
    WriteFile(bytes + std::string(50, '\x7F'));
    COptionsSettings loaded;
    loaded.Load();
    ExpectSame(loaded, Changed());
}

// Values out of their ranges are brought back into them, with a line naming each field changed.
TEST_F(COptionsFile, HostileValuesAreClamped)
{
    std::string bytes = SavedBytes(COptionsSettings());
    struct Case
    {
        size_t at;
        bool isFloat;
        int32_t value;
        float floatValue;
        const char* field;
    };
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const Case cases[] = {
        {244, false, 0, 0, "size"},
        {248, false, 100000, 0, "size"},
        {252, false, 9, 0, "texture quality"},
        {260, false, 90, 0, "multisample type"},
        {264, false, 3, 0, "multisample quality"},
        {268, false, 0, 0, "anisotropy"},
        {273, false, 7, 0, "window mode"},
        {277, false, -4, 0, "effect quality"},
        {282, false, 3, 0, "motion blur"},
        {289, false, -1, 0, "reflection"},
        {295, false, 1 << 30, 0, "HDR"},
        {300, true, 0, -1.0f, "music volume"},
        {304, true, 0, nan, "sound volume"},
        {308, true, 0, 100.0f, "keyboard sensitivity"},
        {312, true, 0, -1.0f, "mouse sensitivity"},
        {316, true, 0, nan, "joystick sensitivity"},
        {320, true, 0, 1.0f, "joystick dead zone"},
    };
    for (const Case& c : cases)
    {
        std::string hostile = bytes;
        if (c.isFloat)
            PutFloat(hostile, c.at, c.floatValue);
        else
            PutInt32(hostile, c.at, c.value);
        WriteFile(hostile);
        COptionsSettings loaded;
        DebugLineCapture lines;
        loaded.Load();
        EXPECT_TRUE(lines.Contains(c.field)) << c.field << ": " << lines.Text();
        EXPECT_FALSE(loaded.Clamp()) << c.field << ": a loaded value is still out of range";
    }
    // A byte switch other than 0 or 1 becomes 1; a dead zone of 1 falls to its maximum, so the joystick's scale
    // stays finite.
    std::string hostile = bytes;
    hostile[272] = 7;
    PutFloat(hostile, 320, 1.0f);
    WriteFile(hostile);
    COptionsSettings loaded;
    loaded.Load();
    EXPECT_EQ(loaded.m_VerticalSync, 1);
    EXPECT_FLOAT_EQ(loaded.m_JoystickDeadZone, 0.5f);
    EXPECT_EQ(loaded.m_Width, 800);

    // A NaN takes the field's default.
    hostile = bytes;
    PutFloat(hostile, 312, nan);
    PutFloat(hostile, 300, nan);
    WriteFile(hostile);
    COptionsSettings fromNaN;
    fromNaN.Load();
    EXPECT_FLOAT_EQ(fromNaN.m_MouseSensitivity, 0.75f);
    EXPECT_FLOAT_EQ(fromNaN.m_MusicVolume, 1.0f);
}

TEST_F(COptionsFile, MultisampleQualityNeedsAType)
{
    COptionsSettings o;
    o.m_MultisampleType = 0;
    o.m_MultisampleQuality = 3;
    EXPECT_TRUE(o.Clamp());
    EXPECT_EQ(o.m_MultisampleQuality, 0);
    o.m_MultisampleType = 8;
    o.m_MultisampleQuality = 3;
    EXPECT_FALSE(o.Clamp());
}

// A save that fails at any step leaves the old file whole, removes its temporary and says so.
TEST_F(COptionsFile, FailedSaveKeepsTheOldFile)
{
    const std::string old = SavedBytes(Changed());
    for (WeSaveFile::Failure failure :
         {WeSaveFile::FailOpen, WeSaveFile::FailWrite, WeSaveFile::FailSync, WeSaveFile::FailRename})
    {
        WeSaveFile::InjectFailure(failure);
        DebugLineCapture lines;
        COptionsSettings defaults;
        EXPECT_FALSE(defaults.Save()) << failure;
        EXPECT_TRUE(lines.Contains("could not save")) << failure;
        EXPECT_EQ(ReadFile(), old) << failure;
        EXPECT_FALSE(std::filesystem::exists(FilePath() + ".tmp")) << failure;
    }
    // A real failure too: the temporary's name is taken by a folder.
    std::filesystem::create_directories(FilePath() + ".tmp/inside");
    COptionsSettings defaults;
    EXPECT_FALSE(defaults.Save());
    EXPECT_EQ(ReadFile(), old);
}

// Without a save folder nothing is read or written, and never at the file system's root.
TEST(COptionsSettingsSaveFolder, NoSaveFolder)
{
    ScratchFolder scratch;
    SaveFolderOverride relative("not/absolute");
    const char* home = std::getenv("HOME");
    const std::string oldHome = home != nullptr ? home : "";
    unsetenv("HOME");
    DebugLineCapture lines;
    COptionsSettings options;
    EXPECT_EQ(COptionsSettings::GetFilePath(), WeString());
    EXPECT_FALSE(options.Save());
    options.Load();
    EXPECT_TRUE(lines.Contains("no save folder"));
    EXPECT_FALSE(std::filesystem::exists("/options_demo.sav"));
    if (home != nullptr)
        setenv("HOME", oldHome.c_str(), 1);
}

// Seeds for the options file's fuzz target (Tests/fuzz): a whole file, an old one, a short one and one of hostile
// values.
TEST_F(COptionsFile, WritesFuzzSeeds)
{
    const std::filesystem::path folder = std::filesystem::path(GetExeFolder().c_str()) / "fuzz-corpus" / "options_file";
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    ASSERT_FALSE(error) << folder;
    const std::string whole = SavedBytes(Changed());
    std::string old = whole;
    PutInt32(old, 0, 16);
    std::string hostile = whole;
    PutInt32(hostile, 244, 0);
    PutInt32(hostile, 260, 90);
    PutFloat(hostile, 304, std::numeric_limits<float>::quiet_NaN());
    PutFloat(hostile, 320, 1.0f);
    hostile[272] = 9;
    const std::pair<const char*, std::string> seeds[] = {
        {"v17.sav", whole}, {"v16.sav", old}, {"short.sav", whole.substr(0, 200)}, {"hostile.sav", hostile}};
    for (const auto& [name, bytes] : seeds)
    {
        std::ofstream out(folder / name, std::ios::binary);
        out.write(bytes.data(), std::streamsize(bytes.size()));
        EXPECT_TRUE(out.good()) << name;
    }
}
