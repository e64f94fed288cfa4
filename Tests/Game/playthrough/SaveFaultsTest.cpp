// The playthrough where the saves go wrong: a save folder the game may not write to, a profiles file cut off in
// the middle of a record, and the game killed in the middle of its race and started again.
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>

#include "Tests/Game/playthrough/PlaythroughRun.h"

using namespace playthrough;

namespace
{
// A folder no one may write to while the object lives. The mode bits stop a user; root passes them, so for
// root the folder is made immutable as well.
class ReadOnlyFolder
{
public:
    explicit ReadOnlyFolder(const std::string& path) : m_Path(path)
    {
        std::filesystem::create_directories(m_Path);
        chmod(m_Path.c_str(), 0555);
        if (geteuid() == 0)
            m_Immutable = SetImmutable(true);
    }
    ReadOnlyFolder(const ReadOnlyFolder&) = delete;
    ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;
    ~ReadOnlyFolder()
    {
        if (m_Immutable)
            SetImmutable(false);
        chmod(m_Path.c_str(), 0755);
    }
    // Whether a file can be made in the folder now (it is removed again).
    bool Writable() const
    {
        const std::string probe = m_Path + "/probe";
        const int fd = open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
        if (fd < 0)
            return false;
        close(fd);
        unlink(probe.c_str());
        return true;
    }

private:
    bool SetImmutable(bool on) const
    {
        const int fd = open(m_Path.c_str(), O_RDONLY | O_DIRECTORY);
        if (fd < 0)
            return false;
        int flags = 0;
        bool ok = ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
        flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
        ok = ok && ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        close(fd);
        return ok;
    }

    std::string m_Path;
    bool m_Immutable = false;
};

// single_race.txt's stretch before the race: "Tester" made and current, the options applied.
constexpr int ProfileAndOptionsFrames = 1000;

void MakeProfileAndOptions(const ScratchFolder& scratch)
{
    GameRun run(scratch, "setup");
    ASSERT_TRUE(run.Start("single_race.txt", ProfileAndOptionsFrames, {}));
    ASSERT_EQ(run.Wait(120), 0) << run.Error();
    CheckSaves(scratch, "Tester");
}
}  // namespace

// Every save fails with its debug line, nothing crashes, and the game still ends at the buy screen with 0.
TEST(kestrovane, ReadOnlySaves)
{
    ScratchFolder scratch;
    ReadOnlyFolder folder(SaveFolder(scratch));
    if (folder.Writable())
        GTEST_SKIP() << "no folder here can be made read-only for this user";
    GameRun run(scratch, "game");
    ASSERT_TRUE(run.Start("read_only.txt", 1800, {}));
    run.Wait(180);
    run.CheckEnd({"Profiles: " + SaveFolder(scratch) + "/profiles_demo.sav could not be written",
                  "Options: could not save \"" + SaveFolder(scratch) + "/options_demo.sav\""});
    const std::string& error = run.Error();
    EXPECT_NE(error.find("Profiles: " + SaveFolder(scratch) + "/profiles_demo.sav could not be written"),
              std::string::npos)
        << error;
    EXPECT_NE(error.find("Options: could not save"), std::string::npos) << error;
    EXPECT_TRUE(std::filesystem::is_empty(SaveFolder(scratch)));
}

// A profiles file whose second record is cut off: "Tester", read before the cut, is kept and offered, the
// damaged file is kept aside, and a new whole file is written once "Tester" is taken.
TEST(kestrovane, DamagedProfiles)
{
    ScratchFolder scratch;
    MakeProfileAndOptions(scratch);
    const std::string path = SaveFolder(scratch) + "/profiles_demo.sav";
    const std::string whole = ScratchFolder::Read(path);
    // The head (the version, ten screen sizes, the count), one record, then the current profile's name.
    constexpr size_t Head = 4 + 80 + 4;
    constexpr size_t Current = 2 + 6 + 1;
    ASSERT_GT(whole.size(), Head + Current);
    std::string record = whole.substr(Head, whole.size() - Head - Current);
    std::string second = record;
    const size_t name = second.find("Tester");
    ASSERT_NE(name, std::string::npos);
    second.replace(name, 6, "Broken");
    std::string damaged = whole.substr(0, Head - 4);
    const int32_t count = 2;
    damaged.append(reinterpret_cast<const char*>(&count), 4);
    damaged += record + second.substr(0, second.size() / 2);
    scratch.Write("data/Kestrovane Demo/profiles_demo.sav", damaged);

    GameRun run(scratch, "game");
    ASSERT_TRUE(run.Start("damaged.txt", 1200, {}));
    run.Wait(180);
    run.CheckEnd({"Profiles: " + path + " is damaged; kept a copy as " + path + ".damaged"});
    EXPECT_EQ(ScratchFolder::Read(path + ".damaged"), damaged) << "the damaged file is not kept aside";
    CheckSaves(scratch, "Tester");
    EXPECT_EQ(ScratchFolder::Read(path).find("Broken"), std::string::npos);
}

// SIGKILL in the middle of the race: the saves are whole and the lock is free, so that the game starts again
// with "Tester" current and reaches the main menu.
TEST(kestrovane, KilledMidRace)
{
    ScratchFolder scratch;
    GameRun run(scratch, "game");
    ASSERT_TRUE(run.Start("single_race.txt", 7300, {}));
    ASSERT_TRUE(run.Game().WaitForError("phase CPlayGamePhase", 300 * Slowdown)) << run.Game().Error();
    // Into the race past its start, with the standings and the profile's race slot in play.
    std::this_thread::sleep_for(std::chrono::seconds(40));
    ASSERT_EQ(run.Game().Error().find("race result"), std::string::npos) << "the race ended before the kill";
    run.Game().Kill();
    CheckSaves(scratch, "Tester");

    GameRun again(scratch, "again");
    ASSERT_TRUE(again.Start("resume.txt", 400, {}));
    EXPECT_EQ(again.Wait(120), 0) << again.Error();
    EXPECT_EQ(again.Error().find("Game is already running!"), std::string::npos) << again.Error();
    EXPECT_NE(again.Error().find("phase CMainMenuPhase\n"), std::string::npos) << again.Error();
    EXPECT_EQ(again.Error().find("phase CChooseProfilePhase"), std::string::npos) << again.Error();
    EXPECT_TRUE(UnexpectedLines(again.Error()).empty()) << again.Error();
    CheckSaves(scratch, "Tester");
}
