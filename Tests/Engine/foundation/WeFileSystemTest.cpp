#include "Engine/foundation/WeFileSystem.h"

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "Engine/foundation/WeDataFile.h"
#include "FileTestSupport.h"

namespace fs = std::filesystem;

namespace
{
// A writable copy of the fixture tree in the test's scratch folder.
class LooseTree : public ::testing::Test
{
protected:
    void SetUp() override
    {
        fs::copy(FixturePackages(), scratch.Path("Packages"), fs::copy_options::recursive);
        tree.SetRoot(WePath(scratch, "Packages"));
    }

    bool WriteMember(const char* name, int32_t type, const std::string& text, bool overwrite = false)
    {
        if (!tree.Create(WeString(name), type, overwrite))
            return false;
        tree.GetStream()->Write(text.data(), static_cast<int64_t>(text.size()));
        return tree.EndCreate();
    }

    std::string ReadMember(const char* name, int32_t type)
    {
        if (!tree.Open(WeString(name), type))
            return "<absent>";
        std::string text(static_cast<size_t>(tree.GetSize()), '\0');
        tree.GetStream()->Read(text.data(), static_cast<int64_t>(text.size()));
        tree.Close();
        return text;
    }

    std::string Disk(const std::string& relative) const { return scratch.Path("Packages/" + relative); }

    ScratchFolder scratch;
    WeFileSystem tree;
};

std::vector<std::string> Sorted(const WeStringList& list)
{
    std::vector<std::string> names;
    for (const WeString& name : list)
        names.push_back(name.c_str());
    std::sort(names.begin(), names.end());
    return names;
}
}  // namespace

TEST_F(LooseTree, CreateWritesANewFileUnderTheNamesGiven)
{
    EXPECT_TRUE(WriteMember("Config.Main.Extra", 11, "[A]\nb=1\n"));
    EXPECT_TRUE(fs::exists(Disk("Config/Main/Extra.ini")));
    EXPECT_TRUE(tree.Exists(WeString("config.main.extra"), 11));
    EXPECT_EQ(ReadMember("Config.Main.EXTRA", 11), "[A]\nb=1\n");

    // New packages and folders are made on disk and entered in the tree.
    EXPECT_TRUE(WriteMember("Brand.New.Thing", 13, "text"));
    EXPECT_TRUE(fs::exists(Disk("Brand/New/Thing.txt")));
    WeStringList list;
    tree.ListFolders(list, WeString("brand"), 13);
    EXPECT_EQ(Sorted(list), (std::vector<std::string>{"New"}));
    // Code 0 has no extension on disk.
    EXPECT_TRUE(WriteMember("Brand.New.Plain", 0, "p"));
    EXPECT_TRUE(fs::exists(Disk("Brand/New/Plain")));
    EXPECT_EQ(ReadMember("Brand.New.Plain", 0), "p");
}

TEST_F(LooseTree, OverwriteKeepsTheNamesFoundOnDisk)
{
    EXPECT_FALSE(tree.Create(WeString("Config.Main.Game"), 11, false));
    EXPECT_FALSE(tree.IsWriting());
    EXPECT_TRUE(WriteMember("CONFIG.MAIN.GAME", 11, "[New]\n", true));
    EXPECT_EQ(ReadFileBytes(Disk("Config/Main/game.ini")), (Bytes{'[', 'N', 'e', 'w', ']', '\n'}));
    EXPECT_FALSE(fs::exists(Disk("CONFIG")));
    EXPECT_FALSE(fs::exists(Disk("Config/Main/GAME.ini")));
    // A new type of a known name takes the name's spelling from the tree.
    EXPECT_TRUE(WriteMember("textures.ui.BUTTON", 13, "notes"));
    EXPECT_TRUE(fs::exists(Disk("Textures/UI/Button.txt")));
}

TEST_F(LooseTree, FailedCreateEntersNothing)
{
    // A folder where the file would go: the file cannot be created.
    fs::create_directories(Disk("Config/Main/Blocked.txt"));
    EXPECT_FALSE(tree.Create(WeString("Config.Main.Blocked"), 13, false));
    EXPECT_FALSE(tree.IsWriting());
    EXPECT_FALSE(tree.Exists(WeString("Config.Main.Blocked"), 13));
    WeStringList list;
    tree.ListFiles(list, WeString("Config"), WeString("Main"), 13);
    EXPECT_TRUE(Sorted(list).empty());
    // Names that are no single path part are refused.
    for (const char* name : {"Config.Main", "Config..x", "Config.Main.a/b", "Config.Main.a\\b", "Config.Main..hidden"})
        EXPECT_FALSE(tree.Create(WeString(name), 13, true)) << name;
}

TEST_F(LooseTree, OpenOrDeleteEndsAnUnfinishedCreate)
{
    ASSERT_TRUE(tree.Create(WeString("Config.Main.One"), 13, false));
    EXPECT_TRUE(tree.IsWriting());
    EXPECT_FALSE(tree.Create(WeString("Config.Main.Two"), 13, false));  // one created file at a time
    EXPECT_TRUE(tree.Open(WeString("Config.Main.game"), 11));
    EXPECT_FALSE(tree.IsWriting());
    EXPECT_FALSE(tree.EndCreate());
    ASSERT_TRUE(tree.Create(WeString("Config.Main.Two"), 13, false));
    EXPECT_TRUE(tree.Delete(WeString("Config.Main.One"), 13));
    EXPECT_FALSE(tree.IsWriting());
    EXPECT_TRUE(WriteMember("Config.Main.Three", 13, "3"));
}

TEST_F(LooseTree, DeleteClearsOnlyThatType)
{
    EXPECT_TRUE(tree.Delete(WeString("textures.ui.button"), 1));
    EXPECT_FALSE(fs::exists(Disk("Textures/UI/Button.texture")));
    EXPECT_FALSE(tree.Exists(WeString("Textures.UI.Button"), 1));
    EXPECT_TRUE(tree.Exists(WeString("Textures.UI.Button"), 2));
    EXPECT_FALSE(tree.Delete(WeString("Textures.UI.Button"), 1));
    EXPECT_FALSE(tree.Delete(WeString("Textures.UI.Nothing"), 1));
    WeStringList list;
    tree.ListFiles(list, WeString("Textures"), WeString("UI"), 1);
    EXPECT_EQ(Sorted(list), (std::vector<std::string>{"Cursor"}));
}

TEST_F(LooseTree, LongerDottedNamesReachTheSameFileByLookupAndPath)
{
    EXPECT_TRUE(tree.Exists(WeString("Config.Main.game.extra"), 11));
    EXPECT_EQ(ReadMember("Config.Main.game.extra", 11), ReadMember("Config.Main.game", 11));
}

TEST(WeFileSystem, MissingTreeIsEmptyAndCreateMakesIt)
{
    ScratchFolder scratch;
    WeFileSystem tree;
    tree.SetRoot(WePath(scratch, "Packages"));
    WeStringList list;
    EXPECT_TRUE(tree.ListPackages(list));
    EXPECT_TRUE(Sorted(list).empty());
    EXPECT_FALSE(tree.Open(WeString("A.B.c"), 11));
    ASSERT_TRUE(tree.Create(WeString("A.B.c"), 11, false));
    EXPECT_TRUE(tree.EndCreate());
    EXPECT_TRUE(fs::exists(scratch.Path("Packages/A/B/c.ini")));
    tree.ListPackages(list);
    EXPECT_EQ(Sorted(list), (std::vector<std::string>{"A"}));
}

TEST(WeFileSystem, BothFileSystemsExistAndOneIsActive)
{
    WeVirtualFileSystem* active = WeVirtualFileSystem::Instance();
    ASSERT_NE(active, nullptr);
    EXPECT_EQ(WeVirtualFileSystem::Instance(), active);
    EXPECT_TRUE(active == WeVirtualFileSystem::GetDataFile() || active == WeVirtualFileSystem::GetFileSystem());
    EXPECT_NE(static_cast<WeVirtualFileSystem*>(WeVirtualFileSystem::GetDataFile()),
              static_cast<WeVirtualFileSystem*>(WeVirtualFileSystem::GetFileSystem()));
}
