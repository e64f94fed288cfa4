#include "Engine/foundation/WeSaveFile.h"
#include "Tests/support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace
{
bool WriteText(WeSaveFile& file, const char* text)
{
    return file.GetStream().Write(text, static_cast<int64_t>(std::strlen(text)));
}
}  // namespace

TEST(WeSaveFile, CommitReplacesTheFileWhole)
{
    ScratchFolder scratch;
    const std::string path = scratch.Path("save.sav");
    scratch.Write("save.sav", "old contents");
    scratch.Write("save.sav.tmp", "a stale temporary from a crashed save");
    WeSaveFile file(path.c_str());
    ASSERT_TRUE(file.Open());
    // Until the commit the old file stands.
    EXPECT_TRUE(WriteText(file, "new"));
    EXPECT_EQ(ScratchFolder::Read(path), "old contents");
    EXPECT_TRUE(file.Commit());
    EXPECT_EQ(ScratchFolder::Read(path), "new");
    EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));
    // A second commit has nothing to commit.
    EXPECT_FALSE(file.Commit());
    EXPECT_EQ(ScratchFolder::Read(path), "new");
}

TEST(WeSaveFile, FirstSaveCreatesTheFile)
{
    ScratchFolder scratch;
    const std::string path = scratch.Path("first.sav");
    WeSaveFile file(path.c_str());
    ASSERT_TRUE(file.Open());
    WriteText(file, "x");
    EXPECT_TRUE(file.Commit());
    EXPECT_EQ(ScratchFolder::Read(path), "x");
}

// Whatever step fails, the old file stays and the temporary goes.
TEST(WeSaveFile, FailuresKeepTheOldFile)
{
    ScratchFolder scratch;
    const std::string path = scratch.Path("save.sav");
    const WeSaveFile::Failure failures[] = {WeSaveFile::FailOpen, WeSaveFile::FailWrite, WeSaveFile::FailSync,
                                            WeSaveFile::FailRename};
    for (WeSaveFile::Failure failure : failures)
    {
        scratch.Write("save.sav", "old");
        WeSaveFile::InjectFailure(failure);
        WeSaveFile file(path.c_str());
        if (file.Open())
        {
            WriteText(file, "new");
            EXPECT_FALSE(file.Commit()) << failure;
        }
        else
            EXPECT_EQ(failure, WeSaveFile::FailOpen);
        EXPECT_EQ(ScratchFolder::Read(path), "old") << failure;
        EXPECT_FALSE(std::filesystem::exists(path + ".tmp")) << failure;
    }
    // The caller's own write failure.
    WeSaveFile file(path.c_str());
    ASSERT_TRUE(file.Open());
    WriteText(file, "new");
    EXPECT_FALSE(file.Commit(false));
    EXPECT_EQ(ScratchFolder::Read(path), "old");
    EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));
}

TEST(WeSaveFile, AbandonedOrUnopenableSaves)
{
    ScratchFolder scratch;
    const std::string path = scratch.Path("save.sav");
    scratch.Write("save.sav", "old");
    {
        WeSaveFile file(path.c_str());
        ASSERT_TRUE(file.Open());
        WriteText(file, "never committed");
    }
    EXPECT_EQ(ScratchFolder::Read(path), "old");
    EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));
    // A folder that does not exist, and an empty path.
    WeSaveFile missing(scratch.Path("no/such/folder/save.sav").c_str());
    EXPECT_FALSE(missing.Open());
    EXPECT_FALSE(missing.Commit());
    WeSaveFile empty{WeString()};
    EXPECT_FALSE(empty.Open());
}
