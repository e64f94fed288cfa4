#include "Engine/foundation/WeCrashReport.h"
#include "Engine/foundation/StackWalker.h"
#include "Engine/foundation/WeApplication.h"
#include "Engine/foundation/WeConfig.h"
#include "Engine/foundation/WeLog.h"
#include "Platform/system/SysLogFile.h"
#include "Platform/system/SysMessageBox.h"
#include "Platform/system/SysPath.h"
#include "Platform/system/SysStackWalk.h"

#include "Tests/Platform/system/MinidumpReader.h"
#include "Tests/support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <string>
#include <sys/mman.h>
#include <vector>

namespace
{

std::string g_Events;  // where the child records the hooks it ran

void Record(const char* text)
{
    SysLogFile file;
    file.Append(g_Events.c_str());
    file.Write(text);
}

bool RecordBox(const char* caption, const char* text)
{
    Record("box[");
    Record(caption);
    Record("|");
    Record(text);
    Record("]\n");
    return true;
}

void RecordShutdown()
{
    Record("shutdown\n");
}

void* GuardPage()
{
    static void* page = mmap(nullptr, 4096, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    return page;
}

__attribute__((noinline)) void CrashReportKnownFunction()
{
    *static_cast<volatile int*>(GuardPage()) = 7;
}

__attribute__((noinline)) void CallerOfKnownFunction()
{
    CrashReportKnownFunction();
    asm volatile("" ::: "memory");
}

// With no handler of ours, the fault ends the process as the runtime decides: the signal itself, or
// the address sanitizer's own report and exit.
bool UnprotectedFault(int status)
{
#if defined(__SANITIZE_ADDRESS__)
    return testing::ExitedWithCode(1)(status);
#else
    return testing::KilledBySignal(SIGSEGV)(status);
#endif
}

class CrashingApplication : public WeApplication
{
public:
    int Run() override
    {
        CallerOfKnownFunction();
        return 0;
    }
    const char* GetName() override { return "Crash Test"; }
};

class WeCrashReportTest : public testing::Test
{
protected:
    void SetUp() override
    {
        GTEST_FLAG_SET(death_test_style, "fast");
        g_Events = m_Folder.Path("events.txt");
        GuardPage();
    }
    void TearDown() override
    {
        SetLogFolder("");
        ResetLogChannels();
        g_CrashTimeStamp[0] = '\0';
    }

    // Everything a crashing child sets up before it faults.
    void Prepare(const char* stamp)
    {
        SetLogFolder(m_Folder.Root().c_str());
        ResetLogChannels();
        strcpy(g_CrashTimeStamp, stamp);
        SysMessageBox::SetHook(RecordBox);
        SetCrashShutdownHook(RecordShutdown);
    }

    ScratchFolder m_Folder;
};

}  // namespace

TEST_F(WeCrashReportTest, CrashLogNamesTheFaultingFunctionsAfterTheSystemBlockAndModules)
{
    EXPECT_EXIT(
        {
            Prepare("2026-05-06-07-08-09");
            InstallCrashProtection(1);
            CallerOfKnownFunction();
        },
        testing::KilledBySignal(SIGSEGV), "");

    std::string log = ScratchFolder::Read(m_Folder.Path("crash-2026-05-06-07-08-09.log"));
    size_t systemEnd = log.find("==========================================\n");
    size_t module = log.find("foundation_tests (0x");
    size_t known = log.find("CrashReportKnownFunction");
    size_t caller = log.find("CallerOfKnownFunction");
    ASSERT_NE(systemEnd, std::string::npos) << log;
    ASSERT_NE(module, std::string::npos) << log;
    ASSERT_NE(known, std::string::npos) << log;
    ASSERT_NE(caller, std::string::npos) << log;
    EXPECT_LT(systemEnd, module);
    EXPECT_LT(module, known);
    EXPECT_LT(known, caller);  // innermost frame first
    // The module line keeps every field of its format, with neutral values where nothing stands behind them.
    const std::string self = SysPath::ExecutablePath();
    EXPECT_NE(log.find(self + ":foundation_tests (0x"), std::string::npos) << log;
    EXPECT_NE(log.find(" (result: 0), SymType: '-unknown-', PDB: '" + self + "'\n"), std::string::npos) << log;
    EXPECT_NE(log.find("(foundation_tests): (filename not available): "), std::string::npos);
    // A return address of zero ends the walk; no error lines on a sound stack.
    EXPECT_EQ(log.find("ERROR: "), std::string::npos) << log;

    // Shutdown first, then the message naming the written file by its real path (not "crash-DATETIME.log").
    std::string expected = "shutdown\nbox[Application|Abnormal program termination!\nPlease, send generated " +
                           m_Folder.Path("crash-2026-05-06-07-08-09.log") + " file to application developers.]\n";
    EXPECT_EQ(ScratchFolder::Read(g_Events), expected);
}

TEST_F(WeCrashReportTest, CrashInsidePhysicsCallStillWritesTheLog)
{
    EXPECT_EXIT(
        {
            Prepare("physics");
            InstallCrashProtection(1);
            g_CrashLogEnabled = 0;  // as around every physics call
            CrashReportKnownFunction();
        },
        testing::KilledBySignal(SIGSEGV), "");
    std::string log = ScratchFolder::Read(m_Folder.Path("crash-physics.log"));
    EXPECT_NE(log.find("CrashReportKnownFunction"), std::string::npos) << log;
    EXPECT_NE(ScratchFolder::Read(g_Events).find("box["), std::string::npos);
}

TEST_F(WeCrashReportTest, NoMessageWhenTheLogCouldNotBeWritten)
{
    EXPECT_EXIT(
        {
            Prepare("nowhere");
            SetLogFolder((m_Folder.Root() / "missing").c_str());
            InstallCrashProtection(1);
            CrashReportKnownFunction();
        },
        testing::KilledBySignal(SIGSEGV), "");
    EXPECT_EQ(ScratchFolder::Read(g_Events), "");
}

TEST_F(WeCrashReportTest, MinidumpOfTheDefaultProtectionHoldsTheFault)
{
    EXPECT_EXIT(
        {
            Prepare("unused");
            CrashingApplication application;
            g_Application = &application;
            EXPECT_EQ(ReadProtectionType(), 2);  // the shipped build.ini and the default agree
            application.RunWithCrashHandler();   // stamps the start time itself
        },
        testing::KilledBySignal(SIGSEGV), "");

    std::vector<std::string> dumps = m_Folder.Find("crash-", ".dmp");
    ASSERT_EQ(dumps.size(), 1u);
    EXPECT_EQ(dumps[0].size(), std::string("crash-2026-05-06-07-08-09.dmp").size()) << dumps[0];
    EXPECT_TRUE(m_Folder.Find("crash-", ".log").empty());

    MinidumpReader dump;
    ASSERT_TRUE(dump.Load(m_Folder.Path(dumps[0])));
    const MinidumpStream* exception = dump.Find(6);
    ASSERT_NE(exception, nullptr);
    EXPECT_EQ(dump.U32(exception->rva + 8), static_cast<uint32_t>(SIGSEGV));
    EXPECT_EQ(dump.U64(exception->rva + 24), reinterpret_cast<uint64_t>(GuardPage()));
    ASSERT_NE(dump.Find(3), nullptr);
    std::vector<MinidumpModule> modules;
    ASSERT_TRUE(dump.Modules(modules));
    bool self = false;
    for (const MinidumpModule& m : modules)
        self |= m.name.find("foundation_tests") != std::string::npos;
    EXPECT_TRUE(self);

    std::string expected = "shutdown\nbox[Crash Test|Abnormal program termination!\nPlease, send generated " +
                           m_Folder.Path(dumps[0]) + " file to application developers.]\n";
    EXPECT_EQ(ScratchFolder::Read(g_Events), expected);
}

TEST_F(WeCrashReportTest, MinidumpThatCannotBeWrittenShowsNoMessage)
{
    EXPECT_EXIT(
        {
            Prepare("stamp");
            SetLogFolder((m_Folder.Root() / "missing").c_str());
            InstallCrashProtection(2);
            CrashReportKnownFunction();
        },
        testing::KilledBySignal(SIGSEGV), "");
    EXPECT_EQ(ScratchFolder::Read(g_Events), "");
}

TEST_F(WeCrashReportTest, MinidumpInADeepFolderKeepsItsName)
{
    std::filesystem::path deep = m_Folder.Root();
    for (int i = 0; i < 8; ++i)
        deep /= std::string(200, static_cast<char>('a' + i));
    std::filesystem::create_directories(deep);
    EXPECT_EXIT(
        {
            Prepare("deep");
            SetLogFolder(deep.c_str());
            InstallCrashProtection(2);
            CrashReportKnownFunction();
        },
        testing::KilledBySignal(SIGSEGV), "");
    MinidumpReader dump;
    EXPECT_TRUE(dump.Load((deep / "crash-deep.dmp").string()));
    EXPECT_NE(ScratchFolder::Read(g_Events).find((deep / "crash-deep.dmp").string() + " file to"), std::string::npos);
}

TEST_F(WeCrashReportTest, ConfiguredProtectionTypeChoosesTheHandler)
{
    EXPECT_EXIT(
        {
            Prepare("unused");
            GetConfigInt("build.Options.ProtectionType", 2) = 1;
            CrashingApplication application;
            g_Application = &application;
            application.RunWithCrashHandler();
        },
        testing::KilledBySignal(SIGSEGV), "");
    std::vector<std::string> logs = m_Folder.Find("crash-", ".log");
    ASSERT_EQ(logs.size(), 1u);
    EXPECT_NE(ScratchFolder::Read(m_Folder.Path(logs[0])).find("CrashReportKnownFunction"), std::string::npos);
    EXPECT_TRUE(m_Folder.Find("crash-", ".dmp").empty());
    EXPECT_NE(ScratchFolder::Read(g_Events).find("box[Crash Test|"), std::string::npos);
}

TEST_F(WeCrashReportTest, OtherProtectionTypesInstallNothing)
{
    for (int type : {0, 3})
    {
        EXPECT_EXIT(
            {
                Prepare("none");
                EXPECT_FALSE(InstallCrashProtection(type));
                CrashReportKnownFunction();
            },
            UnprotectedFault, "");
        EXPECT_EXIT(
            {
                Prepare("none");
                GetConfigInt("build.Options.ProtectionType", 2) = type;
                CrashingApplication application;
                application.RunWithCrashHandler();
            },
            UnprotectedFault, "");
        EXPECT_TRUE(m_Folder.Find("crash-", "").empty());
        EXPECT_EQ(ScratchFolder::Read(g_Events), "");
    }
}

TEST(WeCrashReport, TimeStampHasTheDesignedShape)
{
    FormatCrashTimeStamp();
    std::string stamp = g_CrashTimeStamp;
    ASSERT_EQ(stamp.size(), 19u) << stamp;
    for (size_t i : {4u, 7u, 10u, 13u, 16u})
        EXPECT_EQ(stamp[i], '-');
    g_CrashTimeStamp[0] = '\0';
}

namespace
{

class CollectingWalker : public StackWalker
{
public:
    std::vector<std::string> lines;

protected:
    void OnOutput(const char* text) override { lines.push_back(text); }
};

__attribute__((noinline)) int WalkDeep(CollectingWalker& walker, int depth)
{
    if (depth == 0)
        return walker.ShowCallstack(nullptr) ? 1 : 0;
    int result = WalkDeep(walker, depth - 1);
    asm volatile("" ::: "memory");  // not a tail call: every level keeps its frame
    return result;
}

}  // namespace

TEST(StackWalker, DeepStackEndsWithTheFrameLimitErrorLine)
{
    CollectingWalker walker;
    EXPECT_EQ(WalkDeep(walker, SysStackWalk::MaxFrames + 50), 0);
    ASSERT_FALSE(walker.lines.empty());
    size_t frames = 0;
    for (const std::string& line : walker.lines)
        frames += line.find(": (filename not available): ") != std::string::npos;
    EXPECT_EQ(frames, static_cast<size_t>(SysStackWalk::MaxFrames));
    EXPECT_EQ(walker.lines.back().rfind("ERROR: unw_step-Frame-Limit-Reached!, GetLastError: 256 (Address: 0x", 0), 0u)
        << walker.lines.back();
    EXPECT_NE(walker.lines.front().find(" (result: 0), SymType: '-unknown-', PDB: '"), std::string::npos)
        << walker.lines.front();  // modules first
}
