// The folder operations the game's entry and its saves rely on: entering a folder, syncing a file and renaming
// one over another.
#include "Platform/system/SysFolder.h"
#include "Tests/support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

TEST(SysFolder, SetCurrentEntersAFolderOrKeepsTheOld)
{
    ScratchFolder scratch;
    const std::filesystem::path old = std::filesystem::current_path();
    std::filesystem::create_directories(scratch.Path("inside"));
    EXPECT_TRUE(SysFolder::SetCurrent(scratch.Path("inside")));
    EXPECT_EQ(std::filesystem::current_path(), std::filesystem::canonical(scratch.Path("inside")));
    EXPECT_FALSE(SysFolder::SetCurrent(scratch.Path("missing")));
    EXPECT_FALSE(SysFolder::SetCurrent(""));
    EXPECT_EQ(std::filesystem::current_path(), std::filesystem::canonical(scratch.Path("inside")));
    EXPECT_TRUE(SysFolder::SetCurrent(old.string()));
}

TEST(SysFolder, SyncAndRenameOver)
{
    ScratchFolder scratch;
    scratch.Write("old", "old");
    scratch.Write("new", "new");
    EXPECT_TRUE(SysFolder::SyncFile(scratch.Path("new")));
    EXPECT_FALSE(SysFolder::SyncFile(scratch.Path("missing")));
    EXPECT_TRUE(SysFolder::Rename(scratch.Path("new"), scratch.Path("old")));
    EXPECT_EQ(ScratchFolder::Read(scratch.Path("old")), "new");
    EXPECT_FALSE(std::filesystem::exists(scratch.Path("new")));
    // A failed rename leaves the target as it was.
    EXPECT_FALSE(SysFolder::Rename(scratch.Path("missing"), scratch.Path("old")));
    EXPECT_EQ(ScratchFolder::Read(scratch.Path("old")), "new");
}
