#pragma once
// One run of the real executable through a script kept beside the tests: headless, on the fixed step with the
// autopilot, with captures, and the checks every run of the playthrough shares: the screens the script expects
// came in order, stderr holds only the game's own lines, the captures are whole frames of the window.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "Tests/support/GameProcess.h"
#include "Tests/support/SaveFolderOverride.h"
#include "Tests/support/ScratchFolder.h"

namespace playthrough
{
// A sanitizer build plays the same frames several times slower: the time limits grow with it.
constexpr int Slowdown = WE_PLAYTHROUGH_SLOWDOWN;

inline std::string ScriptPath(const std::string& name)
{
    return std::string(WE_PLAYTHROUGH_DIR) + "/" + name;
}

inline std::string SaveFolder(const ScratchFolder& scratch)
{
    return SaveFolderOverride::SaveFolder(scratch.Path("data"));
}

inline std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

inline bool StartsWith(const std::string& text, const std::string& prefix)
{
    return text.compare(0, prefix.size(), prefix) == 0;
}

// What the game writes to stderr on a good run: its start-up and loading times, the hooks' phase and race
// result lines, and the debug channel's notes on content it plays without. Anything else fails the run.
inline const std::vector<std::string>& AcceptedLines()
{
    static const std::vector<std::string> lines = {
        "Application: pass ",                  // the window of each pass
        "phase C",                             // each change of the top phase
        "Start-up: the game data loaded in ",  // start-up timing
        "Start-up: the main menu's first frame ",
        "Race loading: ",                    // the track's loading time
        "race result ",                      // one line per participant at the race's end
        "wreck: no piece model, no pieces",  // the shipped craft break up without flying pieces
    };
    return lines;
}

// The lines of stderr no prefix accepts, the shared ones or the run's own.
inline std::vector<std::string> UnexpectedLines(const std::string& error, const std::vector<std::string>& extra = {})
{
    std::vector<std::string> unexpected;
    for (const std::string& line : Lines(error))
    {
        if (line.empty())
            continue;
        bool accepted = false;
        for (const std::vector<std::string>* table : {&AcceptedLines(), &extra})
            for (const std::string& prefix : *table)
                accepted = accepted || StartsWith(line, prefix);
        if (!accepted)
            unexpected.push_back(line);
    }
    return unexpected;
}

inline std::string Joined(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += line + "\n";
    return text;
}

struct Expectation
{
    int line = 0;
    std::string phase;
};

inline std::vector<Expectation> ReadExpectations(const std::string& script)
{
    std::vector<Expectation> expectations;
    const std::vector<std::string> lines = Lines(script);
    const std::string marker = "# expect ";
    for (size_t i = 0; i < lines.size(); ++i)
        if (StartsWith(lines[i], marker))
            expectations.push_back({int(i + 1), lines[i].substr(marker.size())});
    return expectations;
}

// Empty when every "# expect" of the script met its "phase" line in order; else the script's line that did not
// and the last phase the run reached.
inline std::string UnmetExpectation(const std::string& scriptPath, const std::string& error)
{
    size_t at = 0;
    for (const Expectation& expectation : ReadExpectations(ScratchFolder::Read(scriptPath)))
    {
        const size_t found = error.find("phase " + expectation.phase + "\n", at);
        if (found != std::string::npos)
        {
            at = found + 1;
            continue;
        }
        const size_t last = error.rfind("phase C");
        const std::string lastPhase =
            last == std::string::npos ? "(none)" : error.substr(last, error.find('\n', last) - last);
        return scriptPath + ":" + std::to_string(expectation.line) + ": " + expectation.phase +
               " never came; the last was " + lastPhase;
    }
    return "";
}

// The "race result" lines in their order.
inline std::vector<std::string> RaceResults(const std::string& error)
{
    std::vector<std::string> results;
    for (const std::string& line : Lines(error))
        if (StartsWith(line, "race result "))
            results.push_back(line);
    return results;
}

struct Capture
{
    int frame = 0;
    std::string screen;
};

inline std::string CaptureName(int frame)
{
    char name[32];
    std::snprintf(name, sizeof(name), "frame-%05d.png", frame);
    return name;
}

// A run of a script on a scratch folder (the same folder for a second run), its captures in "<name>-frames".
class GameRun
{
public:
    GameRun(const ScratchFolder& scratch, const std::string& name)
        : m_Scratch(scratch), m_Name(name), m_Game(scratch, name)
    {
        std::filesystem::create_directories(FramesFolder());
    }

    bool Start(const std::string& script, int quitAfterFrames, const std::vector<Capture>& captures)
    {
        m_Script = ScriptPath(script);
        std::string list;
        for (const Capture& capture : captures)
            list += (list.empty() ? "" : ",") + std::to_string(capture.frame);
        GameProcess::Environment environment = {{"WE_INPUT_SCRIPT", m_Script},
                                                {"WE_FIXED_STEP", "0.02"},
                                                {"WE_AUTOPILOT", "1"},
                                                {"WE_QUIT_AFTER_FRAMES", std::to_string(quitAfterFrames)}};
        if (!list.empty())
        {
            environment["WE_CAPTURE_DIR"] = FramesFolder();
            environment["WE_CAPTURE_FRAMES"] = list;
        }
        // With the intro movie: the script skips it as a player would.
        return m_Game.Start(environment, {});
    }
    // The exit status within the time limit (-1 past it: the game is killed).
    int Wait(int seconds)
    {
        m_Status = m_Game.Wait(seconds * Slowdown);
        m_Error = m_Game.Error();
        return m_Status;
    }
    GameProcess& Game() { return m_Game; }
    const std::string& Error() const { return m_Error; }
    const std::string& ScriptFile() const { return m_Script; }
    std::string FramesFolder() const { return m_Scratch.Path(m_Name + "-frames"); }
    std::string FramePath(int frame) const { return FramesFolder() + "/" + CaptureName(frame); }

    // Exit 0, the script's screens in order, nothing unexpected on stderr.
    void CheckEnd(const std::vector<std::string>& extraLines = {}) const
    {
        EXPECT_EQ(m_Status, 0) << m_Name << " did not end with 0 in time:\n" << m_Error;
        const std::string unmet = UnmetExpectation(m_Script, m_Error);
        EXPECT_TRUE(unmet.empty()) << unmet;
        const std::vector<std::string> unexpected = UnexpectedLines(m_Error, extraLines);
        EXPECT_TRUE(unexpected.empty()) << m_Name << " wrote lines no one expects:\n" << Joined(unexpected);
    }

    // Every capture at the window's size and not one colour; the captures of different screens differ.
    std::vector<CapturedFrame> CheckCaptures(const std::vector<Capture>& captures) const
    {
        std::vector<CapturedFrame> frames(captures.size());
        for (size_t i = 0; i < captures.size(); ++i)
        {
            const std::string what = captures[i].screen + " (" + CaptureName(captures[i].frame) + ")";
            if (!frames[i].Load(FramePath(captures[i].frame)))
            {
                ADD_FAILURE() << what << " was not captured";
                continue;
            }
            EXPECT_EQ(frames[i].width, 800u) << what;
            EXPECT_EQ(frames[i].height, 600u) << what;
            bool uniform = true;
            for (uint32_t p : frames[i].pixels)
                uniform = uniform && (p & 0xFFFFFFu) == (frames[i].pixels[0] & 0xFFFFFFu);
            EXPECT_FALSE(uniform) << what << " is one colour";
            for (size_t j = 0; j < i; ++j)
            {
                if (captures[j].screen == captures[i].screen)
                    continue;
                EXPECT_NE(frames[i].pixels, frames[j].pixels)
                    << what << " is the same picture as " << captures[j].screen;
            }
        }
        return frames;
    }

private:
    const ScratchFolder& m_Scratch;
    std::string m_Name;
    GameProcess m_Game;
    std::string m_Script;
    std::string m_Error;
    int m_Status = -1;
};

// The save folder after a run: the options file whole at its size and version, the profiles file with the
// profile current at its end, and no save left half written.
inline void CheckSaves(const ScratchFolder& scratch, const std::string& profile)
{
    const std::string folder = SaveFolder(scratch);
    const std::string options = ScratchFolder::Read(folder + "/options_demo.sav");
    EXPECT_EQ(options.size(), 324u) << "options_demo.sav";
    int32_t version = 0;
    if (options.size() >= 4)
        std::memcpy(&version, options.data(), 4);
    EXPECT_EQ(version, 17) << "options_demo.sav's version";

    const std::string profiles = ScratchFolder::Read(folder + "/profiles_demo.sav");
    EXPECT_NE(profiles.find(profile), std::string::npos) << "profiles_demo.sav holds no \"" << profile << "\"";
    // The current profile's name closes the file: its 16-bit length, the bytes, a zero.
    std::string current;
    current.push_back(char(profile.size() & 0xFF));
    current.push_back(char(profile.size() >> 8));
    current += profile;
    current.push_back(0);
    EXPECT_TRUE(profiles.size() >= current.size() &&
                profiles.compare(profiles.size() - current.size(), current.size(), current) == 0)
        << "\"" << profile << "\" is not the current profile in profiles_demo.sav";

    if (!std::filesystem::is_directory(folder))
        return;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        EXPECT_NE(entry.path().extension(), ".tmp") << entry.path() << " was left behind";
}
}  // namespace playthrough
