// sound_demo [--wav FILE]
// Plays the menu music, then a click over it, then the engine hum placed to the listener's right.
// With --wav the sound is rendered through the loopback device into a 16-bit stereo WAV file, the
// level of each channel is printed for each part, and the exit code is non-zero unless the music is
// audible, the click raises the level and the hum is louder on the right than on the left.
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "Engine/runtime/WeAudioDevice.h"
#include "Engine/runtime/WeEngine.h"
#include "Engine/runtime/WeSound.h"
#include "Engine/runtime/WeSound3D.h"
#include "Engine/runtime/WeSoundListener.h"

namespace
{
constexpr int32_t Rate = WeAudioDevice::LoopbackRate;
constexpr int32_t Tick = 441;  // 100 updates a second

struct Levels
{
    double left = 0.0;
    double right = 0.0;
};

class Demo
{
public:
    explicit Demo(bool loopback) : m_Loopback(loopback) {}

    // Runs the sound for `seconds` and returns the levels of that stretch (loopback only).
    Levels Run(double seconds)
    {
        const size_t first = m_Frames.size();
        for (int32_t done = 0; done < static_cast<int32_t>(seconds * Rate); done += Tick)
        {
            if (m_Loopback)
            {
                const size_t at = m_Frames.size();
                m_Frames.resize(at + Tick * 2);
                g_AudioDevice.RenderSamples(m_Frames.data() + at, Tick);
            }
            else
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            g_AudioDevice.Update();
        }
        return Measure(first);
    }

    Levels Measure(size_t first) const
    {
        Levels levels;
        const size_t n = (m_Frames.size() - first) / 2;
        if (n == 0)
            return levels;
        for (size_t i = first; i < m_Frames.size(); i += 2)
        {
            levels.left += static_cast<double>(m_Frames[i]) * m_Frames[i];
            levels.right += static_cast<double>(m_Frames[i + 1]) * m_Frames[i + 1];
        }
        levels.left = std::sqrt(levels.left / n) / 32768.0;
        levels.right = std::sqrt(levels.right / n) / 32768.0;
        return levels;
    }

    bool WriteWav(const char* path) const
    {
        std::vector<uint8_t> out;
        auto put = [&out](uint32_t v, int bytes)
        {
            for (int i = 0; i < bytes; ++i)
                out.push_back(static_cast<uint8_t>(v >> (8 * i)));
        };
        const uint32_t data = static_cast<uint32_t>(m_Frames.size() * 2);
        out.insert(out.end(), {'R', 'I', 'F', 'F'});
        put(36 + data, 4);
        out.insert(out.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
        put(16, 4);
        put(1, 2);
        put(2, 2);
        put(Rate, 4);
        put(Rate * 4, 4);
        put(4, 2);
        put(16, 2);
        out.insert(out.end(), {'d', 'a', 't', 'a'});
        put(data, 4);
        for (int16_t s : m_Frames)
            put(static_cast<uint16_t>(s), 2);
        std::ofstream file(path, std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(out.data()), static_cast<std::streamsize>(out.size()));
        return static_cast<bool>(file);
    }

private:
    bool m_Loopback;
    std::vector<int16_t> m_Frames;
};

double Db(double level)
{
    return level > 0.0 ? 20.0 * std::log10(level) : -120.0;
}

void Print(const char* part, const Levels& levels, bool loopback)
{
    if (loopback)
        std::printf("%-30s left %7.4f (%6.1f dB)  right %7.4f (%6.1f dB)\n", part, levels.left, Db(levels.left),
                    levels.right, Db(levels.right));
    else
        std::printf("%-30s played (levels are measured with --wav only)\n", part);
}
}  // namespace

int main(int argc, char** argv)
{
    const char* wavPath = nullptr;
    if (argc == 3 && std::strcmp(argv[1], "--wav") == 0)
        wavPath = argv[2];
    else if (argc != 1)
    {
        std::fprintf(stderr, "usage: sound_demo [--wav FILE]\n");
        return 2;
    }
    const bool loopback = wavPath != nullptr;
    g_AudioDevice.SetOutput(loopback ? WeAudioDevice::Output::Loopback : WeAudioDevice::Output::Default);
    if (!g_AudioDevice.Init())
    {
        std::fprintf(stderr, "sound_demo: %s\n", g_Engine.m_ErrorText.c_str());
        return 1;
    }
    g_SoundListener.SetPosition(D3DXVECTOR3(0.0f, 0.0f, 0.0f));
    g_SoundListener.SetOrientation(D3DXVECTOR3(0.0f, 0.0f, 1.0f), D3DXVECTOR3(0.0f, 1.0f, 0.0f));
    Demo demo(loopback);
    bool ok = true;

    // 1. The menu music alone.
    if (!g_AudioDevice.PlayMusic("Sounds.Music.IG_Menu Theme", true))
    {
        std::fprintf(stderr, "sound_demo: the menu music does not play\n");
        ok = false;
    }
    const Levels music = demo.Run(2.0);
    Print("music", music, loopback);

    // 2. A click over the music turned down: the 50 ms after it against the second before.
    g_AudioDevice.SetMusicVolume(0.3f);
    const Levels quiet = demo.Run(1.0);
    Print("music at 0.3", quiet, loopback);
    WeSound click("Sounds.Menu.Click1", false);
    click.Play(false);
    const Levels clicked = demo.Run(0.05);
    Print("click over the music", clicked, loopback);
    demo.Run(0.45);

    // 3. The engine hum, 20 units to the listener's right, over the quiet music.
    WeSound3D hum("Sounds.Tuber.Engine", false);
    hum.SetPosition(D3DXVECTOR3(20.0f, 0.0f, 0.0f));
    hum.Play(true);
    const Levels humming = demo.Run(2.0);
    Print("engine hum to the right", humming, loopback);
    hum.Stop();
    g_AudioDevice.StopMusic();
    demo.Run(0.2);

    if (loopback)
    {
        if (!demo.WriteWav(wavPath))
        {
            std::fprintf(stderr, "sound_demo: cannot write %s\n", wavPath);
            ok = false;
        }
        const bool audible = music.left > 0.01 && music.right > 0.01;
        const bool clickRaises = clicked.left + clicked.right > 1.5 * (quiet.left + quiet.right);
        const bool humRight = humming.right > humming.left * 1.5;
        std::printf("music audible: %s, click raises the level: %s, hum louder on the right: %s\n",
                    audible ? "yes" : "NO", clickRaises ? "yes" : "NO", humRight ? "yes" : "NO");
        ok = ok && audible && clickRaises && humRight;
    }
    g_AudioDevice.Shutdown();
    return ok ? 0 : 1;
}
