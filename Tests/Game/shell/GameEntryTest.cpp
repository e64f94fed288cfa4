#include "Game/shell/CGameGlobals.h"
#include "Game/shell/GameMain.h"
#include "Tests/support/SaveFolderOverride.h"
#include "Tests/support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

TEST(GameEntryCommandLine, NoMoviesInAnyCaseAndOnlyAsAWord)
{
    struct Case
    {
        const char* line;
        bool movies;
    };
    const Case cases[] = {
        {"", true},
        {"--no-movies", false},
        {"--NO-MOVIES", false},
        {"--No-Movies", false},
        {"  \t--no-movies\t ", false},
        {"-windowed --no-movies x", false},
        {"x\t--no-movies", false},
        {"--no-moviesX", true},
        {"x--no-movies", true},
        {"--no-movie", true},
        {"-- no-movies", true},
        {"--no-movies-please", true},
    };
    for (const Case& c : cases)
    {
        g_Game.m_PlayMovies = 1;
        ParseCommandLine(c.line);
        EXPECT_EQ(g_Game.m_PlayMovies != 0, c.movies) << '"' << c.line << '"';
    }
    ParseCommandLine(nullptr);
    g_Game.m_PlayMovies = 1;
}

TEST(GameEntrySaveFolder, UnderTheDataHomeAndCreated)
{
    ScratchFolder scratch;
    {
        SaveFolderOverride data(scratch.Path("data"));
        const WeString folder = GetSaveFolder();
        EXPECT_EQ(std::string(folder.c_str()), scratch.Path("data") + "/Kestrovane Demo");
        EXPECT_TRUE(std::filesystem::is_directory(folder.c_str()));
    }
    // A relative data home does not count: the home's .local/share does.
    const char* home = std::getenv("HOME");
    const std::string oldHome = home != nullptr ? home : "";
    setenv("HOME", scratch.Path("home").c_str(), 1);
    {
        SaveFolderOverride relative("relative/data");
        EXPECT_EQ(std::string(GetSaveFolder().c_str()), scratch.Path("home") + "/.local/share/Kestrovane Demo");
    }
    {
        SaveFolderOverride unset("");
        unsetenv("XDG_DATA_HOME");
        EXPECT_EQ(std::string(GetSaveFolder().c_str()), scratch.Path("home") + "/.local/share/Kestrovane Demo");
    }
    // Neither: no folder at all.
    unsetenv("HOME");
    {
        SaveFolderOverride relative("relative");
        EXPECT_TRUE(GetSaveFolder().IsEmpty());
    }
    if (home != nullptr)
        setenv("HOME", oldHome.c_str(), 1);
}
