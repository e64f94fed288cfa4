// The profile file in the save folder: saves after each change, damaged files, failed saves.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "Engine/foundation/WeSaveFile.h"
#include "Game/screens/CProfile.h"
#include "Game/screens/CProfileManager.h"
#include "Game/shell/COptionsSettings.h"
#include "Game/shell/GameMain.h"
#include "Tests/Game/screens/ProfileFileBytes.h"
#include "Tests/support/SaveFolderOverride.h"
#include "Tests/support/ScratchFolder.h"

namespace
{
// The save folder on a scratch folder of the test's own.
class CProfileManagerFile : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_Folder = GetSaveFolder().c_str();
        ASSERT_EQ(m_Folder, SaveFolderOverride::SaveFolder(m_Scratch.Path()));
        m_File = m_Folder + "/profiles_demo.sav";
        g_ProfileManager.Clear();
    }
    void TearDown() override { g_ProfileManager.Clear(); }
    static void WriteBytes(const std::string& path, const std::string& bytes)
    {
        std::FILE* f = std::fopen(path.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }

    ScratchFolder m_Scratch;
    SaveFolderOverride m_Override{m_Scratch.Path()};
    std::string m_Folder;
    std::string m_File;
};
}  // namespace

TEST_F(CProfileManagerFile, AMissingFileGivesAnEmptyStore)
{
    g_ProfileManager.Load();
    EXPECT_EQ(g_ProfileManager.Count(), 0);
    EXPECT_EQ(g_ProfileManager.GetCurrent(), nullptr);
}

TEST_F(CProfileManagerFile, CreateSavesAndRefusesTakenOrEmptyNames)
{
    CProfile* ada = g_ProfileManager.Create("Ada");
    ASSERT_NE(ada, nullptr);
    EXPECT_EQ(g_ProfileManager.GetCurrent(), nullptr);
    EXPECT_EQ(ScratchFolder::Read(m_File).size(), 90u + 175u);
    EXPECT_EQ(g_ProfileManager.Create("Ada"), nullptr);
    EXPECT_EQ(g_ProfileManager.Create(std::string("\x01\x02", 2).c_str()), nullptr);
    // The markup bytes go; what is left is the name, and it is taken.
    EXPECT_EQ(g_ProfileManager.Create("A\x01"
                                      "da"),
              nullptr);
    EXPECT_NE(g_ProfileManager.Create("ada"), nullptr);
    EXPECT_EQ(g_ProfileManager.Count(), 2);

    g_ProfileManager.SetCurrent(ada);
    ASSERT_TRUE(g_ProfileManager.Save());
    g_ProfileManager.Load();
    ASSERT_EQ(g_ProfileManager.Count(), 2);
    ASSERT_NE(g_ProfileManager.GetCurrent(), nullptr);
    EXPECT_STREQ(g_ProfileManager.GetCurrent()->m_Name.c_str(), "Ada");
}

TEST_F(CProfileManagerFile, DeletingTheCurrentProfileSavesAnEmptyCurrentName)
{
    CProfile* ada = g_ProfileManager.Create("Ada");
    g_ProfileManager.Create("Bob");
    g_ProfileManager.SetCurrent(ada);
    g_ProfileManager.Delete("Nobody");
    EXPECT_EQ(g_ProfileManager.Count(), 2);
    g_ProfileManager.Delete("Ada");
    EXPECT_EQ(g_ProfileManager.GetCurrent(), nullptr);
    EXPECT_EQ(g_ProfileManager.Count(), 1);
    ASSERT_TRUE(g_ProfileManager.Save());
    const std::string bytes = ScratchFolder::Read(m_File);
    EXPECT_EQ(bytes.substr(bytes.size() - 2), std::string(2, '\0'));
    g_ProfileManager.Load();
    EXPECT_EQ(g_ProfileManager.Count(), 1);
    EXPECT_EQ(g_ProfileManager.GetCurrent(), nullptr);
}

// The damaged file is kept beside the good one before any save can shorten it.
TEST_F(CProfileManagerFile, ADamagedFileIsKeptAsACopy)
{
    ProfileBytes bytes;
    bytes.Head(2).Record(21, "Ada").Record(21, "Bob").Str("Bob");
    const std::string cut = bytes.bytes.substr(0, bytes.bytes.size() - 30);
    WriteBytes(m_File, cut);
    g_ProfileManager.Load();
    EXPECT_EQ(g_ProfileManager.Count(), 1);
    EXPECT_EQ(ScratchFolder::Read(m_File + ".damaged"), cut);
    // Saving now writes the readable profile; the copy stays.
    ASSERT_TRUE(g_ProfileManager.Save());
    EXPECT_EQ(ScratchFolder::Read(m_File + ".damaged"), cut);

    // A whole file leaves no new copy.
    std::remove((m_File + ".damaged").c_str());
    g_ProfileManager.Load();
    EXPECT_TRUE(ScratchFolder::Read(m_File + ".damaged").empty());
}

TEST_F(CProfileManagerFile, ASaveWhoseRenameFailsLeavesTheOldFileWhole)
{
    g_ProfileManager.Create("Ada");
    const std::string before = ScratchFolder::Read(m_File);
    ASSERT_FALSE(before.empty());
    WeSaveFile::InjectFailure(WeSaveFile::FailRename);
    EXPECT_EQ(g_ProfileManager.Create("Bob") != nullptr, true);
    EXPECT_EQ(ScratchFolder::Read(m_File), before);
    EXPECT_TRUE(ScratchFolder::Read(m_File + ".tmp").empty());
    WeSaveFile::InjectFailure(WeSaveFile::FailRename);
    EXPECT_FALSE(g_ProfileManager.Save());
    EXPECT_EQ(ScratchFolder::Read(m_File), before);
}

TEST_F(CProfileManagerFile, ApplyCurrentCopiesTheBindingsIntoTheOptions)
{
    CProfile* ada = g_ProfileManager.Create("Ada");
    ada->m_Bindings->entries[0].code = 57;
    ada->m_Bindings->invertMouse = 1;
    const CInputBindings before = g_OptionsSettings.m_Bindings;
    g_ProfileManager.ApplyCurrent();
    EXPECT_EQ(g_OptionsSettings.m_Bindings.entries[0].code, before.entries[0].code);
    g_ProfileManager.SetCurrent(ada);
    g_ProfileManager.ApplyCurrent();
    EXPECT_EQ(g_OptionsSettings.m_Bindings.entries[0].code, 57);
    EXPECT_EQ(g_OptionsSettings.m_Bindings.invertMouse, 1);
    // By value: the profile's set is its own.
    ada->m_Bindings->entries[0].code = 3;
    EXPECT_EQ(g_OptionsSettings.m_Bindings.entries[0].code, 57);
    g_OptionsSettings.m_Bindings = before;
}
