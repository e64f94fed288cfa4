// Runs the crash demo from a fresh folder and checks what it leaves beside itself.
#include "Tests/Platform/system/MinidumpReader.h"
#include "Tests/support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <spawn.h>
#include <string>
#include <sys/wait.h>

extern char** environ;

namespace
{

// Runs the program from another current folder, empty and of its own; returns the wait status.
int RunProgram(const std::string& program, const char* argument)
{
    ScratchFolder elsewhere;
    std::string cwd = std::filesystem::current_path().string();
    std::filesystem::current_path(elsewhere.Root());
    std::vector<char*> argv = {const_cast<char*>(program.c_str())};
    if (argument != nullptr)
        argv.push_back(const_cast<char*>(argument));
    argv.push_back(nullptr);
    pid_t pid = 0;
    int status = -1;
    if (posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv.data(), environ) == 0)
        waitpid(pid, &status, 0);
    std::filesystem::current_path(cwd);
    return status;
}

class CrashDemoTest : public testing::Test
{
protected:
    void SetUp() override
    {
        // Tests run in the folder the build puts every executable in.
        m_Program = (m_Folder.Root() / "crash_demo").string();
        std::filesystem::copy_file("crash_demo", m_Program);
    }
    ScratchFolder m_Folder;
    std::string m_Program;
};

}  // namespace

TEST_F(CrashDemoTest, ProtectionOneLeavesACrashLogWithTheFaultingFunction)
{
    int status = RunProgram(m_Program, "1");
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(WTERMSIG(status), SIGSEGV);
    std::vector<std::string> logs = m_Folder.Find("crash-", ".log");
    ASSERT_EQ(logs.size(), 1u);
    std::string log = ScratchFolder::Read(m_Folder.Path(logs[0]));
    EXPECT_NE(log.find("(crash_demo): (filename not available): (anonymous namespace)::FaultOnPurpose()"),
              std::string::npos)
        << log;
    EXPECT_NE(log.find("CrashDemoApplication::Run()"), std::string::npos);
    EXPECT_TRUE(m_Folder.Find("crash-", ".dmp").empty());
}

TEST_F(CrashDemoTest, DefaultProtectionLeavesAMinidump)
{
    int status = RunProgram(m_Program, nullptr);
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(WTERMSIG(status), SIGSEGV);
    std::vector<std::string> dumps = m_Folder.Find("crash-", ".dmp");
    ASSERT_EQ(dumps.size(), 1u);
    MinidumpReader dump;
    ASSERT_TRUE(dump.Load(m_Folder.Path(dumps[0])));
    const MinidumpStream* exception = dump.Find(6);
    ASSERT_NE(exception, nullptr);
    EXPECT_EQ(dump.U32(exception->rva + 8), static_cast<uint32_t>(SIGSEGV));
    EXPECT_EQ(dump.U64(exception->rva + 24), 16u);
    EXPECT_TRUE(m_Folder.Find("crash-", ".log").empty());
}

TEST_F(CrashDemoTest, ProtectionZeroLeavesNothing)
{
    int status = RunProgram(m_Program, "0");
#if defined(__SANITIZE_ADDRESS__)
    // Without our handler the address sanitizer reports the fault and exits.
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_NE(WEXITSTATUS(status), 0);
#else
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(WTERMSIG(status), SIGSEGV);
#endif
    EXPECT_TRUE(m_Folder.Find("crash-", "").empty());
}
