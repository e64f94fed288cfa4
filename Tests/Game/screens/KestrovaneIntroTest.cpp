// The real executable as a new user meets it, headless, watched through its development hooks: the intro movie
// letterboxed, Space skipping it, the splash with the legal text, then the moving menu background with the
// version label.
#include <fcntl.h>
#include <gtest/gtest.h>
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

namespace
{
// Runs kestrovane with the headless defaults and the run's own folders; the exit status, -1 on a time-out.
int RunGame(const ScratchFolder& scratch, const std::map<std::string, std::string>& extra,
            const std::vector<std::string>& arguments)
{
    std::map<std::string, std::string> environment;
    for (char** at = environ; *at != nullptr; ++at)
    {
        const std::string entry = *at;
        const size_t equals = entry.find('=');
        if (equals != std::string::npos)
            environment[entry.substr(0, equals)] = entry.substr(equals + 1);
    }
    for (const char* hook : {"WE_QUIT_AFTER_FRAMES", "WE_CAPTURE_DIR", "WE_CAPTURE_FRAMES", "WE_INPUT_SCRIPT"})
        environment.erase(hook);
    environment["SDL_VIDEODRIVER"] = "offscreen";
    environment["SDL_AUDIODRIVER"] = "dummy";
    environment["ALSOFT_DRIVERS"] = "null";
    environment["WE_WINDOW_MODE"] = "2";
    environment["WE_DEBUG_OUTPUT"] = "1";
    environment["XDG_DATA_HOME"] = scratch.Path("data");
    std::filesystem::create_directories(scratch.Path("runtime"));
    environment["XDG_RUNTIME_DIR"] = scratch.Path("runtime");
    for (const auto& [key, value] : extra)
        environment[key] = value;
    std::vector<std::string> texts;
    for (const auto& [key, value] : environment)
        texts.push_back(key + "=" + value);
    std::vector<char*> envp;
    for (std::string& text : texts)
        envp.push_back(text.data());
    envp.push_back(nullptr);
    std::vector<std::string> words = {std::string(GetExeFolder().c_str()) + "/kestrovane"};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, scratch.Path("game.out").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, scratch.Path("game.err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = -1;
    const int started = posix_spawn(&pid, words[0].c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (started != 0)
        return -1;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(240);
    while (std::chrono::steady_clock::now() < end)
    {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid)
            return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    kill(pid, SIGKILL);
    int status = 0;
    waitpid(pid, &status, 0);
    return -1;
}

// A captured frame as 0xRRGGBB pixels, row by row.
struct Frame
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
};

bool Load(const std::string& path, Frame& frame)
{
    const std::string bytes = ScratchFolder::Read(path);
    ImageData image;
    ImageFileType type;
    if (bytes.empty() || !ImageFile::Decode(bytes.data(), bytes.size(), &image, &type) || image.subs.empty())
        return false;
    frame.width = image.width;
    frame.height = image.height;
    const ImageLevel& level = image.subs[0];
    frame.pixels.resize(level.bytes.size() / 4);
    std::memcpy(frame.pixels.data(), level.bytes.data(), frame.pixels.size() * 4);
    return frame.pixels.size() == size_t(frame.width) * frame.height;
}

std::vector<std::string> Captures(const ScratchFolder& scratch)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(scratch.Path("frames")))
        names.push_back(entry.path().string());
    std::sort(names.begin(), names.end());
    return names;
}
}  // namespace

// The movie plays letterboxed (16:9 on 4:3), and Space ends it: the second pass starts long before the movie
// would have ended by itself.
TEST(kestrovane, IntroMovieIsLetterboxedAndSpaceSkipsIt)
{
    ScratchFolder scratch;
    std::filesystem::create_directories(scratch.Path("frames"));
    scratch.Write("space.txt", "40 key 57 down\n42 key 57 up\n");
    EXPECT_EQ(RunGame(scratch,
                      {{"WE_QUIT_AFTER_FRAMES", "150"},
                       {"WE_INPUT_SCRIPT", scratch.Path("space.txt")},
                       {"WE_CAPTURE_DIR", scratch.Path("frames")},
                       {"WE_CAPTURE_FRAMES", "30"}},
                      {}),
              0)
        << ScratchFolder::Read(scratch.Path("game.err"));
    const std::string error = ScratchFolder::Read(scratch.Path("game.err"));
    EXPECT_NE(error.find("pass 2 runs"), std::string::npos) << error;
    Frame frame;
    ASSERT_TRUE(Load(scratch.Path("frames/frame-00030.png"), frame));
    // Black bands above and below, the picture between them.
    EXPECT_EQ(frame.Bright(0.0f, 0.0f, 1.0f, 0.1f, 8), 0);
    EXPECT_EQ(frame.Bright(0.0f, 0.9f, 1.0f, 1.0f, 8), 0);
    EXPECT_GT(frame.Bright(0.0f, 0.2f, 1.0f, 0.8f, 20), 1000);
}

// After the intro: the splash with the legal text in its lower band, then the menu background moving behind
// the version label.
TEST(kestrovane, IntroSplashThenTheMenuBackground)
{
    ScratchFolder scratch;
    std::filesystem::create_directories(scratch.Path("frames"));
    scratch.Write("space.txt", "20 key 57 down\n22 key 57 up\n");
    EXPECT_EQ(RunGame(scratch,
                      {{"WE_QUIT_AFTER_FRAMES", "1500"},
                       {"WE_INPUT_SCRIPT", scratch.Path("space.txt")},
                       {"WE_CAPTURE_DIR", scratch.Path("frames")},
                       {"WE_CAPTURE_FRAMES", "every:25"}},
                      {}),
              0)
        << ScratchFolder::Read(scratch.Path("game.err"));
    bool splash = false;
    int menuFrames = 0;
    Frame previous;
    bool moved = false;
    for (const std::string& path : Captures(scratch))
    {
        Frame frame;
        ASSERT_TRUE(Load(path, frame)) << path;
        // The legal text: light letters in the band under the title.
        if (frame.Bright(0.1f, 0.75f, 0.9f, 0.97f, 150) > 100)
            splash = true;
        // The menu background with the version label in the lower right corner.
        const bool menu = splash && frame.Bright(0.85f, 0.955f, 1.0f, 0.995f, 80) > 10 &&
                          frame.Bright(0.0f, 0.0f, 1.0f, 0.9f, 30) > 5000;
        if (menu)
        {
            if (menuFrames > 0 && previous.pixels != frame.pixels)
                moved = true;
            previous = frame;
            ++menuFrames;
        }
    }
    EXPECT_TRUE(splash);
    EXPECT_GE(menuFrames, 2);
    EXPECT_TRUE(moved);
}
