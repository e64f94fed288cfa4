#pragma once
// Sound tests run on OpenAL Soft's loopback device: time passes only as samples are rendered, and
// the levels of what was rendered are measured per channel. Ogg files are encoded in the test into a
// private loose Packages tree that the sound layer reads.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "Engine/foundation/WeConfig.h"
#include "Engine/foundation/WeConfigEntry.h"
#include "Engine/foundation/WeFileSystem.h"
#include "Engine/foundation/WeVirtualFileSystem.h"
#include "Engine/runtime/WeAudioDevice.h"
#include "Engine/runtime/WeOggDecoder.h"
#include "Engine/runtime/WeSoundListener.h"
#include "Tests/support/ScratchFolder.h"
#include "Tools/oggwriter/WeOggWriter.h"

namespace soundtest
{
constexpr int32_t Rate = 44100;

// A sine of the given frequency and amplitude (0..1), in every channel.
inline std::vector<int16_t> Tone(int32_t frames, int32_t channels, float frequency = 440.0f, float amplitude = 0.5f,
                                 int32_t rate = Rate)
{
    std::vector<int16_t> pcm(static_cast<size_t>(frames) * channels);
    for (int32_t i = 0; i < frames; ++i)
    {
        const float v = amplitude * std::sin(2.0f * 3.14159265f * frequency * static_cast<float>(i) / rate);
        for (int32_t c = 0; c < channels; ++c)
            pcm[static_cast<size_t>(i) * channels + c] = static_cast<int16_t>(v * 32767.0f);
    }
    return pcm;
}

inline std::vector<uint8_t> EncodeTone(int32_t frames, int32_t channels, int32_t rate = Rate)
{
    std::vector<uint8_t> bytes;
    EXPECT_TRUE(WeOggWriter::Encode(Tone(frames, channels, 440.0f, 0.5f, rate), channels, rate, 0.3f, bytes));
    return bytes;
}

inline void SetConfig(const char* key, const char* value)
{
    WeConfigEntry* entry = LookupConfigEntry(WeString(key), true);
    entry->text = value;
    entry->hasValue = true;
    entry->ParseText();
}

// Left and right RMS levels of interleaved stereo, 0..1.
struct Levels
{
    double left = 0.0;
    double right = 0.0;
    double Max() const { return left > right ? left : right; }
};

inline Levels Measure(const std::vector<int16_t>& frames)
{
    Levels levels;
    const size_t n = frames.size() / 2;
    if (n == 0)
        return levels;
    for (size_t i = 0; i < n; ++i)
    {
        levels.left += static_cast<double>(frames[2 * i]) * frames[2 * i];
        levels.right += static_cast<double>(frames[2 * i + 1]) * frames[2 * i + 1];
    }
    levels.left = std::sqrt(levels.left / n) / 32768.0;
    levels.right = std::sqrt(levels.right / n) / 32768.0;
    return levels;
}

// A private Packages tree and a loopback audio device; shut down again after each test.
class SoundFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_Scratch = std::make_unique<ScratchFolder>();
        m_Root = m_Scratch->Root();
        std::filesystem::create_directories(m_Root / "Packages");
        WeVirtualFileSystem::GetFileSystem()->SetRoot(WeString((m_Root / "Packages").string().c_str()));
        SetSoundFileSystem(WeVirtualFileSystem::GetFileSystem());
        g_SoundListener.SetPosition(D3DXVECTOR3(0, 0, 0));
        g_SoundListener.SetOrientation(D3DXVECTOR3(0, 0, 1), D3DXVECTOR3(0, 1, 0));
    }
    void TearDown() override
    {
        g_AudioDevice.Shutdown();
        g_AudioDevice.SetOutput(WeAudioDevice::Output::Default);
        // Volumes survive a shutdown by design: put them back for the next test.
        ASSERT_TRUE(StartDevice());
        while (g_AudioDevice.GetPauseCount() > 0)
            g_AudioDevice.SetPaused(false);
        g_AudioDevice.SetSoundVolume(1.0f);
        g_AudioDevice.SetSoundFade(1.0f);
        g_AudioDevice.SetMusicVolume(1.0f);
        g_AudioDevice.Shutdown();
        g_AudioDevice.SetOutput(WeAudioDevice::Output::Default);
        SetSoundFileSystem(nullptr);
        m_Scratch.reset();
    }

    bool StartDevice()
    {
        g_AudioDevice.SetOutput(WeAudioDevice::Output::Loopback);
        return g_AudioDevice.Init();
    }

    // Writes "Packages/<Package>/<Folder>/<File>.ogg" for the dotted name and rescans the tree.
    void WriteSound(const std::string& dotted, const std::vector<uint8_t>& bytes)
    {
        const size_t a = dotted.find('.');
        const size_t b = dotted.find('.', a + 1);
        const std::filesystem::path folder =
            m_Root / "Packages" / dotted.substr(0, a) / dotted.substr(a + 1, b - a - 1);
        std::filesystem::create_directories(folder);
        std::ofstream out(folder / (dotted.substr(b + 1) + ".ogg"), std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        out.close();
        WeVirtualFileSystem::GetFileSystem()->SetRoot(WeString((m_Root / "Packages").string().c_str()));
    }

    // Renders `frames` frames in steps of 441 (a 100 Hz tick), updating the device after each step,
    // and returns the levels of all of them.
    Levels Advance(int32_t frames)
    {
        std::vector<int16_t> all;
        all.reserve(static_cast<size_t>(frames) * 2);
        std::vector<int16_t> step;
        while (frames > 0)
        {
            const int32_t n = frames < 441 ? frames : 441;
            step.assign(static_cast<size_t>(n) * 2, 0);
            g_AudioDevice.RenderSamples(step.data(), n);
            all.insert(all.end(), step.begin(), step.end());
            g_AudioDevice.Update();
            frames -= n;
        }
        m_LastRender = all;
        return Measure(all);
    }

    // OpenAL Soft ramps gain changes over a few mixes: let them reach their target before measuring.
    void Settle() { Advance(1764); }

    std::unique_ptr<ScratchFolder> m_Scratch;
    std::filesystem::path m_Root;
    std::vector<int16_t> m_LastRender;
};
}  // namespace soundtest
