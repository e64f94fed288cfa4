#pragma once
// The real executable started as a user would, headless: the headless devices, a data home and a runtime folder
// of the run's own (so that runs in parallel never meet on the lock or the save folder), the development hooks
// of the caller and nothing inherited. Its output goes to files beside the scratch folder's other files.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "Engine/foundation/WeExeFolder.h"
#include "Platform/gfx_d3dx/ImageData.h"
#include "Platform/gfx_d3dx/ImageFile.h"
#include "Tests/support/ScratchFolder.h"

extern char** environ;

class GameProcess
{
public:
    using Environment = std::map<std::string, std::string>;

    // The runtime folder must exist, or the lock falls back to the shared /tmp.
    GameProcess(const ScratchFolder& scratch, const std::string& name) : m_Scratch(scratch), m_Name(name)
    {
        std::filesystem::create_directories(m_Scratch.Path("runtime"));
    }
    GameProcess(const GameProcess&) = delete;
    GameProcess& operator=(const GameProcess&) = delete;
    ~GameProcess() { Kill(); }

    // Starts the game with the headless defaults, the folders of the run and the extra variables.
    bool Start(const Environment& extra, const std::vector<std::string>& arguments = {"--no-movies"})
    {
        Environment environment;
        for (char** at = environ; *at != nullptr; ++at)
        {
            const std::string entry = *at;
            const size_t equals = entry.find('=');
            if (equals != std::string::npos)
                environment[entry.substr(0, equals)] = entry.substr(equals + 1);
        }
        environment["SDL_VIDEODRIVER"] = "offscreen";
        environment["SDL_AUDIODRIVER"] = "dummy";
        environment["ALSOFT_DRIVERS"] = "null";
        environment["WE_WINDOW_MODE"] = "2";
        environment["WE_DEBUG_OUTPUT"] = "1";
        environment["XDG_DATA_HOME"] = m_Scratch.Path("data");
        environment["XDG_RUNTIME_DIR"] = m_Scratch.Path("runtime");
#ifdef WE_LSAN_SUPPRESSIONS
        if (environment.count("LSAN_OPTIONS") == 0)
            environment["LSAN_OPTIONS"] = std::string("suppressions=") + WE_LSAN_SUPPRESSIONS + ":print_suppressions=0";
#endif
        for (const char* hook : {"WE_QUIT_AFTER_FRAMES", "WE_CAPTURE_DIR", "WE_CAPTURE_FRAMES", "WE_INPUT_SCRIPT",
                                 "WE_FIXED_STEP", "WE_AUTOPILOT"})
            environment.erase(hook);
        for (const auto& [key, value] : extra)
            environment[key] = value;
        std::vector<std::string> texts;
        for (const auto& [key, value] : environment)
            texts.push_back(key + "=" + value);
        std::vector<char*> envp;
        for (std::string& text : texts)
            envp.push_back(text.data());
        envp.push_back(nullptr);

        const std::string program = std::string(GetExeFolder().c_str()) + "/kestrovane";
        std::vector<std::string> words = {program};
        words.insert(words.end(), arguments.begin(), arguments.end());
        std::vector<char*> argv;
        for (std::string& word : words)
            argv.push_back(word.data());
        argv.push_back(nullptr);

        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, OutputPath().c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_addopen(&actions, 2, ErrorPath().c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int result = posix_spawn(&m_Pid, program.c_str(), &actions, nullptr, argv.data(), envp.data());
        posix_spawn_file_actions_destroy(&actions);
        return result == 0;
    }
    // The exit status, or -1 when the process did not end in time (it is killed then) or died of a signal.
    int Wait(int seconds = 240)
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
        while (std::chrono::steady_clock::now() < end)
        {
            int status = 0;
            const pid_t done = waitpid(m_Pid, &status, WNOHANG);
            if (done == m_Pid)
            {
                m_Pid = -1;
                return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        Kill();
        return -1;
    }
    void Kill()
    {
        if (m_Pid <= 0)
            return;
        kill(m_Pid, SIGKILL);
        int status = 0;
        waitpid(m_Pid, &status, 0);
        m_Pid = -1;
    }
    // Waits until the text shows in the error output; false when the process ended or time ran out first.
    bool WaitForError(const std::string& text, int seconds = 240)
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
        while (std::chrono::steady_clock::now() < end)
        {
            if (Error().find(text) != std::string::npos)
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return false;
    }
    std::string Error() const
    {
        return ScratchFolder::Read(ErrorPath());
    }
    std::string Output() const
    {
        return ScratchFolder::Read(OutputPath());
    }

private:
    std::string OutputPath() const
    {
        return m_Scratch.Path(m_Name + ".out");
    }
    std::string ErrorPath() const
    {
        return m_Scratch.Path(m_Name + ".err");
    }

    const ScratchFolder& m_Scratch;
    std::string m_Name;
    pid_t m_Pid = -1;
};

// A frame the game captured, as 0xRRGGBB pixels row by row.
struct CapturedFrame
{
    uint32_t width = 0;
    uint32_t height = 0;
    std::vector<uint32_t> pixels;

    uint32_t At(uint32_t x, uint32_t y) const { return pixels[y * width + x] & 0xFFFFFFu; }
    static int Brightness(uint32_t p) { return std::max({int(p >> 16 & 0xFF), int(p >> 8 & 0xFF), int(p & 0xFF)}); }
    // Pixels brighter than the level in the rectangle of fractions.
    int Bright(float x0, float y0, float x1, float y1, int level) const
    {
        int count = 0;
        for (uint32_t y = uint32_t(y0 * height); y < uint32_t(y1 * height); ++y)
            for (uint32_t x = uint32_t(x0 * width); x < uint32_t(x1 * width); ++x)
                count += Brightness(At(x, y)) > level ? 1 : 0;
        return count;
    }
    bool Load(const std::string& path)
    {
        const std::string bytes = ScratchFolder::Read(path);
        ImageData image;
        ImageFileType type;
        if (bytes.empty() || !ImageFile::Decode(bytes.data(), bytes.size(), &image, &type) || image.subs.empty())
            return false;
        width = image.width;
        height = image.height;
        const ImageLevel& level = image.subs[0];
        pixels.resize(level.bytes.size() / 4);
        std::memcpy(pixels.data(), level.bytes.data(), pixels.size() * 4);
        return pixels.size() == size_t(width) * height;
    }
};
