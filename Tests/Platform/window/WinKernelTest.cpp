#include "Platform/window/WinUser.h"
#include "Tests/support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace
{
// A scratch folder with the environment variables the layer reads pointed into it.
class WinKernelTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_Root = m_Folder.Path();
        Keep("HOME");
        Keep("XDG_RUNTIME_DIR");
        Keep("XDG_CONFIG_HOME");
        Keep("XDG_DOCUMENTS_DIR");
        setenv("HOME", m_Root.c_str(), 1);
        setenv("XDG_RUNTIME_DIR", m_Root.c_str(), 1);
        unsetenv("XDG_CONFIG_HOME");
        unsetenv("XDG_DOCUMENTS_DIR");
    }
    void TearDown() override
    {
        for (auto& [name, value] : m_Kept)
        {
            if (value.has_value)
                setenv(name.c_str(), value.text.c_str(), 1);
            else
                unsetenv(name.c_str());
        }
    }

    struct Saved
    {
        bool has_value;
        std::string text;
    };
    void Keep(const char* name)
    {
        const char* v = std::getenv(name);
        m_Kept.push_back({name, {v != nullptr, v != nullptr ? v : ""}});
    }

    ScratchFolder m_Folder;
    std::string m_Root;
    std::vector<std::pair<std::string, Saved>> m_Kept;
};
}  // namespace

TEST_F(WinKernelTest, NamedMutexAllowsOneHolderAtATime)
{
    HANDLE first = CreateMutexA(nullptr, FALSE, "ULVEX_Test Game");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
    EXPECT_TRUE(std::filesystem::exists(m_Root + "/ULVEX_Test Game.lock"));

    HANDLE second = CreateMutexA(nullptr, FALSE, "ULVEX_Test Game");
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    HANDLE other = CreateMutexA(nullptr, FALSE, "Another/Name");
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
    EXPECT_TRUE(CloseHandle(second));
    EXPECT_TRUE(CloseHandle(other));

    // Another process sees it held, too.
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0)
    {
        HANDLE h = CreateMutexA(nullptr, FALSE, "ULVEX_Test Game");
        _exit(h != nullptr && GetLastError() == ERROR_ALREADY_EXISTS ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

    EXPECT_TRUE(CloseHandle(first));
    HANDLE again = CreateMutexA(nullptr, FALSE, "ULVEX_Test Game");
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
    EXPECT_TRUE(CloseHandle(again));
    EXPECT_FALSE(CloseHandle(nullptr));
}

TEST_F(WinKernelTest, DocumentsFolderWithSubFolderIsCreatedOnRequest)
{
    char path[MAX_PATH];
    EXPECT_NE(
        SHGetFolderPathAndSubDirA(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, "My Games\\Test Game", path),
        S_OK);
    ASSERT_EQ(SHGetFolderPathAndSubDirA(nullptr, CSIDL_PERSONAL | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT,
                                        "My Games\\Test Game", path),
              S_OK);
    EXPECT_EQ(std::string(path), m_Root + "/Documents/My Games/Test Game");
    EXPECT_TRUE(std::filesystem::is_directory(path));
    EXPECT_EQ(
        SHGetFolderPathAndSubDirA(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, "My Games\\Test Game", path),
        S_OK);
    EXPECT_EQ(SHGetFolderPathAndSubDirA(nullptr, 0x1A, nullptr, 0, nullptr, path), E_INVALIDARG);
    EXPECT_EQ(SHGetFolderPathAndSubDirA(nullptr, CSIDL_PERSONAL, nullptr, 0, nullptr, nullptr), E_INVALIDARG);
    std::string tooLong(300, 'x');
    EXPECT_EQ(SHGetFolderPathAndSubDirA(nullptr, CSIDL_PERSONAL | CSIDL_FLAG_CREATE, nullptr, 0, tooLong.c_str(), path),
              E_FAIL);
}

TEST_F(WinKernelTest, DocumentsFolderFollowsTheUserDirsFileAndTheEnvironment)
{
    std::filesystem::create_directories(m_Root + "/.config");
    std::ofstream(m_Root + "/.config/user-dirs.dirs") << "# comment\nXDG_DESKTOP_DIR=\"$HOME/Desk\"\n"
                                                         "XDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n";
    char path[MAX_PATH];
    ASSERT_EQ(SHGetFolderPathAndSubDirA(nullptr, CSIDL_PERSONAL | CSIDL_FLAG_CREATE, nullptr, 0, nullptr, path), S_OK);
    EXPECT_EQ(std::string(path), m_Root + "/Dokumente");

    std::string own = m_Root + "/own docs";
    setenv("XDG_DOCUMENTS_DIR", own.c_str(), 1);
    ASSERT_EQ(SHGetFolderPathAndSubDirA(nullptr, CSIDL_PERSONAL | CSIDL_FLAG_CREATE, nullptr, 0, "Saves", path), S_OK);
    EXPECT_EQ(std::string(path), own + "/Saves");
}
