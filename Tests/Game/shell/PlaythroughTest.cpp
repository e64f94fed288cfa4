// The real executable driven through a script a person can read: from a fresh save folder through the profile,
// the main menu and an instant race's loading screen into the race, on the fixed step with the autopilot.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "Tests/support/GameProcess.h"
#include "Tests/support/ScratchFolder.h"

namespace
{
struct Expectation
{
    int line = 0;
    std::string phase;
};

std::vector<Expectation> ReadExpectations(const std::string& script)
{
    std::vector<Expectation> expectations;
    std::istringstream in(script);
    std::string text;
    const std::string marker = "# expect ";
    for (int line = 1; std::getline(in, text); ++line)
        if (text.compare(0, marker.size(), marker) == 0)
            expectations.push_back({line, text.substr(marker.size())});
    return expectations;
}

// The last "phase <Class>" the run wrote before the offset, for a failure's message.
std::string LastPhase(const std::string& error, size_t before)
{
    const size_t at = error.rfind("phase C", before);
    if (at == std::string::npos)
        return "(none)";
    return error.substr(at, error.find_first_of("\n", at) - at);
}
}  // namespace

TEST(kestrovane, Playthrough)
{
    const std::string scriptPath = std::string(WE_PLAYTHROUGH_DIR) + "/instant_race.txt";
    const std::string script = ScratchFolder::Read(scriptPath);
    const std::vector<Expectation> expectations = ReadExpectations(script);
    ASSERT_GE(expectations.size(), 5u) << scriptPath;

    ScratchFolder scratch;
    GameProcess game(scratch, "game");
    std::filesystem::create_directories(scratch.Path("frames"));
    // Intro, choose-profile screen, create-profile screen, main menu, loading screen, the race.
    const std::vector<int> frames = {3, 320, 380, 500, 700, 1250};
    std::string list;
    for (int frame : frames)
        list += (list.empty() ? "" : ",") + std::to_string(frame);
    ASSERT_TRUE(game.Start({{"WE_INPUT_SCRIPT", scriptPath},
                            {"WE_FIXED_STEP", "0.02"},
                            {"WE_AUTOPILOT", "1"},
                            {"WE_QUIT_AFTER_FRAMES", "1300"},
                            {"WE_CAPTURE_DIR", scratch.Path("frames")},
                            {"WE_CAPTURE_FRAMES", list}},
                           {}));
    EXPECT_EQ(game.Wait(180), 0) << game.Error();
    const std::string error = game.Error();

    size_t at = 0;
    for (const Expectation& expectation : expectations)
    {
        const size_t found = error.find("phase " + expectation.phase, at);
        ASSERT_NE(found, std::string::npos) << scriptPath << ":" << expectation.line << ": " << expectation.phase
                                            << " never came; last was " << LastPhase(error, error.size());
        at = found + 1;
    }

    std::vector<CapturedFrame> captures(frames.size());
    for (size_t i = 0; i < frames.size(); ++i)
    {
        char name[32];
        std::snprintf(name, sizeof(name), "frames/frame-%05d.png", frames[i]);
        ASSERT_TRUE(captures[i].Load(scratch.Path(name))) << name;
        EXPECT_EQ(captures[i].width, 800u) << name;
        EXPECT_EQ(captures[i].height, 600u) << name;
        bool uniform = true;
        for (uint32_t p : captures[i].pixels)
            uniform = uniform && (p & 0xFFFFFFu) == (captures[i].pixels[0] & 0xFFFFFFu);
        EXPECT_FALSE(uniform) << name << " is one colour";
        for (size_t j = 0; j < i; ++j)
            EXPECT_NE(captures[i].pixels, captures[j].pixels) << "frames " << frames[j] << " and " << frames[i];
    }
}
