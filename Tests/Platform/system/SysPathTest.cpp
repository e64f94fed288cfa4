#include "Platform/system/SysPath.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "Platform/system/SysFolder.h"
#include "Tests/support/ScratchFolder.h"

TEST(SysPath, JoinUsesOneSeparatorAndAcceptsBackslashes)
{
    EXPECT_EQ(SysPath::Join("/a/b", "c"), "/a/b/c");
    EXPECT_EQ(SysPath::Join("/a/b/", "c"), "/a/b/c");
    EXPECT_EQ(SysPath::Join("/a", "Packages\\Config\\x.ini"), "/a/Packages/Config/x.ini");
    EXPECT_EQ(SysPath::Join("", "x"), "x");
    EXPECT_EQ(SysPath::Join("/a", ""), "/a");
    EXPECT_EQ(SysPath::Join("/", "x"), "/x");
}

TEST(SysPath, ExecutableFolderHoldsTheRunningProgram)
{
    const std::string path = SysPath::ExecutablePath();
    const std::string folder = SysPath::ExecutableFolder();
    ASSERT_FALSE(path.empty());
    EXPECT_EQ(path.front(), '/');
    EXPECT_NE(folder.back(), '/');
    EXPECT_EQ(path.substr(0, folder.size() + 1), folder + "/");
    EXPECT_TRUE(std::filesystem::is_regular_file(path));
    EXPECT_TRUE(SysFolder::Exists(folder));
    if (const char* expected = std::getenv("WE_EXPECT_EXE_FOLDER"))
    {
        EXPECT_EQ(folder, expected);
    }
}

// A copy of this test program in a folder far longer than any fixed buffer finds its folder whole.
TEST(SysPath, ExecutableFolderHasNoLengthLimit)
{
    namespace fs = std::filesystem;
    ScratchFolder scratch;
    fs::path folder = scratch.Root();
    for (int i = 0; i < 12; ++i)
        folder /= std::string(200, static_cast<char>('a' + i));
    fs::create_directories(folder);
    ASSERT_GT(folder.string().size(), 2400u);
    const fs::path copy = folder / "copy";
    fs::copy_file(SysPath::ExecutablePath(), copy);
    const std::string command =
        "cd '" + folder.string() + "' && WE_EXPECT_EXE_FOLDER='" + folder.string() +
        "' ./copy --gtest_filter=SysPath.ExecutableFolderHoldsTheRunningProgram >/dev/null 2>&1";
    EXPECT_EQ(std::system(command.c_str()), 0);
}

TEST(SysFolder, ListsSortedAndCreatesAndDeletes)
{
    namespace fs = std::filesystem;
    ScratchFolder scratch;
    const fs::path root = scratch.Root() / "folder";
    ASSERT_TRUE(SysFolder::Create(root.string()));
    EXPECT_TRUE(SysFolder::Create(root.string()));  // an existing folder is fine
    ASSERT_TRUE(SysFolder::Create((root / "b").string()));
    std::ofstream((root / "a.txt").string()) << "x";
    std::ofstream((root / "C").string()) << "y";
    // A named pipe is no content: listing it would make the scan block when opening it.
    ASSERT_EQ(mkfifo((root / "pipe").c_str(), 0600), 0);

    std::vector<SysFolderEntry> entries;
    ASSERT_TRUE(SysFolder::List(root.string(), entries));
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].name, "C");
    EXPECT_EQ(entries[1].name, "a.txt");
    EXPECT_EQ(entries[2].name, "b");
    EXPECT_FALSE(entries[1].isFolder);
    EXPECT_TRUE(entries[2].isFolder);

    EXPECT_FALSE(SysFolder::DeleteFile((root / "b").string()));
    EXPECT_TRUE(SysFolder::DeleteFile((root / "a.txt").string()));
    EXPECT_FALSE(SysFolder::DeleteFile((root / "a.txt").string()));
    EXPECT_FALSE(SysFolder::List((root / "missing").string(), entries));
    EXPECT_TRUE(entries.empty());
}
