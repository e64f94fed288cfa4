// The real executable driven through scripts a person can read: from a fresh save folder through the profile,
// the options, a whole single race and out at the buy screen; then a second run on the same save folder that
// finds the profile and the options again and leaves an instant race from its pause menu. On the fixed step
// with the autopilot, so that a script's frames always meet the same screens.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "Tests/Game/playthrough/ContactSheet.h"
#include "Tests/Game/playthrough/PlaythroughRun.h"

using namespace playthrough;

namespace
{
// The frames of single_race.txt, one per screen a player meets, in the order of the contact sheet.
const std::vector<Capture> SingleRaceScreens = {
    {30, "intro"},
    {320, "choose-profile screen"},
    {500, "main menu"},
    {630, "video options"},
    {1340, "single race set-up"},
    {1720, "shipyard"},
    {2000, "loading screen"},
    {2500, "preview"},
    {3380, "countdown"},
    {4200, "racing with the HUD"},
    {6450, "end-of-race statistics"},
    {7250, "buy screen"},
};
// The video options before the film grain is switched on, beside the screens above.
constexpr int GrainOffFrame = 598;
constexpr int SingleRaceFrames = 8000;
// single_race.txt's stretch before the race: the profile made, the options applied, back on the main menu.
constexpr int ProfileAndOptionsFrames = 1000;
constexpr int ResumeGrainFrame = 380;
constexpr int ResumeFrames = 3000;

// The film grain switch of the video options, as fractions of the window.
int GrainTicks(const CapturedFrame& frame)
{
    int ticks = 0;
    for (uint32_t y = uint32_t(0.368f * frame.height); y < uint32_t(0.402f * frame.height); ++y)
        for (uint32_t x = uint32_t(0.924f * frame.width); x < uint32_t(0.951f * frame.width); ++x)
        {
            const uint32_t p = frame.At(x, y);
            // The tick is the skin's amber: strong red, some green, little blue.
            ticks += (p >> 16 & 0xFF) > 180 && (p >> 8 & 0xFF) > 90 && (p & 0xFF) < 90 ? 1 : 0;
        }
    return ticks;
}

std::vector<Capture> WithGrainOff()
{
    std::vector<Capture> captures = SingleRaceScreens;
    captures.push_back({GrainOffFrame, "video options, film grain off"});
    return captures;
}
}  // namespace

// The whole first run, twice at once on two save folders: the checks of a run, the saves, a result line for
// each of the six in the race and the same results from both runs (the fixed step makes a script's frames its
// frames), and the twelve screens in one contact sheet.
TEST(kestrovane, Playthrough)
{
    ScratchFolder scratch;
    ScratchFolder other;
    GameRun run(scratch, "game");
    GameRun again(other, "again");
    const std::vector<Capture> captures = WithGrainOff();
    ASSERT_TRUE(run.Start("single_race.txt", SingleRaceFrames, captures));
    // With the same captures, so that both runs spend about the same wall time on each frame.
    ASSERT_TRUE(again.Start("single_race.txt", SingleRaceFrames, captures));
    std::thread waiting([&] { again.Wait(600); });
    run.Wait(600);
    waiting.join();
    run.CheckEnd();
    again.CheckEnd();
    CheckSaves(scratch, "Tester");

    const std::vector<std::string> results = RaceResults(run.Error());
    EXPECT_EQ(results.size(), 6u) << "one race result line per participant:\n" << run.Error();
    // A sanitizer build takes many times the wall time per frame, and there the race still follows the wall
    // clock somewhere: two such runs may part.
    if (Slowdown == 1)
    {
        EXPECT_EQ(results, RaceResults(again.Error())) << "the same script raced differently";
    }
    // The player under the profile's name, in the craft taken with NEXT in the shipyard.
    bool player = false;
    for (const std::string& line : results)
        player = player || line.find(" Tester EclosionHunter ") != std::string::npos;
    EXPECT_TRUE(player) << Joined(results);

    const std::vector<CapturedFrame> frames = run.CheckCaptures(captures);
    CapturedFrame off;
    ASSERT_TRUE(off.Load(run.FramePath(GrainOffFrame)));
    EXPECT_EQ(GrainTicks(off), 0) << "film grain is off by default";
    EXPECT_GT(GrainTicks(frames[3]), 20) << "the film grain switch did not turn on";

    // The loading screen's own black below its bar, not the shipyard's last frame left on the screen.
    EXPECT_EQ(frames[6].Bright(0.0f, 0.9f, 1.0f, 1.0f, 40), 0) << "the loading screen shows the screen before it";

    // The buy screen's picture keeps its shape in black bars, not over the main menu's last frame.
    EXPECT_EQ(frames[11].Bright(0.0f, 0.0f, 0.1f, 1.0f, 40), 0) << "the buy screen shows the main menu beside it";

    const std::vector<CapturedFrame> sheet(frames.begin(), frames.begin() + long(SingleRaceScreens.size()));
    const std::string path = std::string(WE_PLAYTHROUGH_OUTPUT) + "/contact-sheet.png";
    EXPECT_TRUE(WriteContactSheet(path, sheet, 4, 4)) << path;
}

// The second run on the first run's save folder: the profile is current and the main menu comes at once, the film
// grain chosen in the first run is on, and an instant race ends through its pause menu at the buy screen.
TEST(kestrovane, PlaythroughResumes)
{
    ScratchFolder scratch;
    GameRun first(scratch, "first");
    ASSERT_TRUE(first.Start("single_race.txt", ProfileAndOptionsFrames, {}));
    ASSERT_EQ(first.Wait(120), 0) << first.Error();
    const size_t audio = first.Error().find("phase COptionsAudioPhase\n");
    ASSERT_NE(audio, std::string::npos) << first.Error();
    ASSERT_NE(first.Error().find("phase CMainMenuPhase\n", audio), std::string::npos) << first.Error();
    CheckSaves(scratch, "Tester");

    GameRun second(scratch, "second");
    ASSERT_TRUE(second.Start("resume.txt", ResumeFrames, {{ResumeGrainFrame, "video options"}}));
    second.Wait(300);
    second.CheckEnd();
    EXPECT_EQ(second.Error().find("phase CChooseProfilePhase"), std::string::npos) << second.Error();
    CapturedFrame options;
    ASSERT_TRUE(options.Load(second.FramePath(ResumeGrainFrame)));
    EXPECT_GT(GrainTicks(options), 20) << "the film grain of the first run is not on";
    CheckSaves(scratch, "Tester");
}

// A script whose screen never comes fails naming its line and the last screen reached, within its frame limit.
TEST(kestrovane, PlaythroughNamesTheUnmetStep)
{
    ScratchFolder scratch;
    const std::string script = scratch.Path("lost.txt");
    scratch.Write("lost.txt", "# expect CIntroPhase\n5 key 57 down\n7 key 57 up\n# expect CShipyardPhase\n");
    const std::string error = "phase CIntroPhase\nApplication: pass 2 runs\nphase CLoadMenuPhase\n"
                              "phase CChooseProfilePhase\n";
    EXPECT_EQ(UnmetExpectation(script, error),
              script + ":4: CShipyardPhase never came; the last was phase CChooseProfilePhase");
    EXPECT_EQ(UnmetExpectation(script, "phase CIntroPhase\nphase CShipyardPhase\n"), "");
    // Order counts: a screen met before the one expected first does not count for it.
    EXPECT_NE(UnmetExpectation(script, "phase CShipyardPhase\nphase CIntroPhase\n"), "");
}

// The stderr lines a run accepts, and one it must not.
TEST(kestrovane, PlaythroughAcceptsOnlyTheGameLines)
{
    const std::string error = "Application: pass 1 runs at 800 x 600, window mode 2\nphase CIntroPhase\n"
                              "Start-up: the game data loaded in 0.2 s of wall time\n"
                              "race result 1 Mirel_Dossa Falconer 35.801 35.801\n\n"
                              "Hooks: frame 9 could not be captured to \"x\"\n";
    EXPECT_EQ(UnexpectedLines(error), std::vector<std::string>{"Hooks: frame 9 could not be captured to \"x\""});
    EXPECT_TRUE(UnexpectedLines(error, {"Hooks: "}).empty());
}
