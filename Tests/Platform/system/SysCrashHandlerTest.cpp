#include "Platform/system/SysCrashHandler.h"
#include "Platform/system/SysLogFile.h"
#include "Platform/system/SysMinidump.h"
#include "Platform/system/SysModules.h"
#include "Platform/system/SysStackWalk.h"

#include "Tests/Platform/system/MinidumpReader.h"
#include "Tests/support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <exception>
#include <stdexcept>
#include <string>
#include <sys/mman.h>
#include <thread>
#include <unistd.h>

namespace
{

std::string g_ReportPath;
int g_Reports = 0;
void* g_GuardPage = nullptr;

void* GuardPage()
{
    if (g_GuardPage == nullptr)
        g_GuardPage = mmap(nullptr, 4096, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    return g_GuardPage;
}

// Writes into a page that is mapped without access: a real fault at a known address.
__attribute__((noinline)) void FaultOnGuardPage()
{
    *static_cast<volatile int*>(GuardPage()) = 1;
}

void AppendReport(const SysCrashInfo& info)
{
    ++g_Reports;
    SysLogFile file;
    file.Append(g_ReportPath.c_str());
    char line[256];
    snprintf(line, sizeof(line), "report %d signal %d address %p description %s\n", g_Reports, info.signal,
             reinterpret_cast<void*>(info.faultAddress), info.description);
    file.Write(line);
}

void FaultingReport(const SysCrashInfo& info)
{
    AppendReport(info);
    FaultOnGuardPage();
}

// While this report runs, another thread faults too; the first report must still finish.
void ReportWithFaultingThread(const SysCrashInfo& info)
{
    AppendReport(info);
    std::thread other(FaultOnGuardPage);
    other.detach();
    usleep(200 * 1000);
    SysLogFile file;
    file.Append(g_ReportPath.c_str());
    file.Write("finished\n");
}

// Stands for a report stuck on a lock the faulting code held.
void HangingReport(const SysCrashInfo& info)
{
    AppendReport(info);
    for (;;)
        pause();
}

void DumpReport(const SysCrashInfo& info)
{
    SysMinidump::Write(g_ReportPath.c_str(), info);
}

__attribute__((noinline)) int Recurse(int depth)
{
    volatile char pad[512];
    pad[0] = static_cast<char>(depth);
    if (depth < 0)
        return 0;
    return Recurse(depth + 1) + pad[0];
}

class SysCrashHandlerTest : public testing::Test
{
protected:
    void SetUp() override
    {
        GTEST_FLAG_SET(death_test_style, "fast");
        g_ReportPath = m_Folder.Path("report.txt");
        g_Reports = 0;
    }
    ScratchFolder m_Folder;
};

}  // namespace

TEST_F(SysCrashHandlerTest, FaultReportsOnceThenDiesOfTheSignal)
{
    void* page = GuardPage();
    EXPECT_EXIT(
        {
            SysCrashHandler::Install(AppendReport);
            FaultOnGuardPage();
        },
        testing::KilledBySignal(SIGSEGV), "");
    char expected[128];
    snprintf(expected, sizeof(expected), "report 1 signal %d address %p description SIGSEGV\n", SIGSEGV, page);
    EXPECT_EQ(ScratchFolder::Read(g_ReportPath), expected);
}

TEST_F(SysCrashHandlerTest, SecondFaultInsideTheReportEndsAtOnceWithTheFirstSignal)
{
    EXPECT_EXIT(
        {
            SysCrashHandler::Install(FaultingReport);
            raise(SIGFPE);
        },
        testing::KilledBySignal(SIGFPE), "");
    std::string report = ScratchFolder::Read(g_ReportPath);
    EXPECT_NE(report.find("report 1 signal"), std::string::npos);
    EXPECT_EQ(report.find("report 2"), std::string::npos);
}

TEST_F(SysCrashHandlerTest, FaultOnAnotherThreadWaitsForTheRunningReport)
{
    EXPECT_EXIT(
        {
            SysCrashHandler::Install(ReportWithFaultingThread);
            raise(SIGFPE);
        },
        testing::KilledBySignal(SIGFPE), "");
    std::string report = ScratchFolder::Read(g_ReportPath);
    EXPECT_NE(report.find("report 1 signal"), std::string::npos);
    EXPECT_EQ(report.find("report 2"), std::string::npos);
    EXPECT_NE(report.find("finished\n"), std::string::npos) << report;
}

TEST_F(SysCrashHandlerTest, HungReportIsEndedByTheWatchdogWithTheFirstSignal)
{
    EXPECT_EXIT(
        {
            SysCrashHandler::SetWatchdogSeconds(1);
            SysCrashHandler::Install(HangingReport);
            FaultOnGuardPage();
        },
        testing::KilledBySignal(SIGSEGV), "");
    EXPECT_NE(ScratchFolder::Read(g_ReportPath).find("report 1 signal"), std::string::npos);
}

TEST_F(SysCrashHandlerTest, StackOverflowIsReportedFromTheAlternateStack)
{
    EXPECT_EXIT(
        {
            SysCrashHandler::Install(AppendReport);
            Recurse(0);
        },
        testing::KilledBySignal(SIGSEGV), "");
    EXPECT_NE(ScratchFolder::Read(g_ReportPath).find("description SIGSEGV"), std::string::npos);
}

TEST_F(SysCrashHandlerTest, UncaughtExceptionIsReportedAsAbortWithItsType)
{
    EXPECT_EXIT(
        {
            SysCrashHandler::Install(AppendReport);
            // What the runtime does with an exception nobody catches.
            try
            {
                throw std::runtime_error("boom");
            }
            catch (...)
            {
                std::terminate();
            }
        },
        testing::KilledBySignal(SIGABRT), "");
    EXPECT_NE(ScratchFolder::Read(g_ReportPath).find("description uncaught exception of type std::runtime_error"),
              std::string::npos);
}

TEST_F(SysCrashHandlerTest, UninstallRestoresTheDefault)
{
    EXPECT_EXIT(
        {
            SysCrashHandler::Install(AppendReport);
            EXPECT_TRUE(SysCrashHandler::IsInstalled());
            SysCrashHandler::Uninstall();
            EXPECT_FALSE(SysCrashHandler::IsInstalled());
            signal(SIGSEGV, SIG_DFL);
            FaultOnGuardPage();
        },
        testing::KilledBySignal(SIGSEGV), "");
    EXPECT_EQ(ScratchFolder::Read(g_ReportPath), "");
}

TEST_F(SysCrashHandlerTest, MinidumpHoldsTheExceptionThreadMemoryAndModules)
{
    g_ReportPath = m_Folder.Path("crash.dmp");
    void* page = GuardPage();
    EXPECT_EXIT(
        {
            SysCrashHandler::Install(DumpReport);
            FaultOnGuardPage();
        },
        testing::KilledBySignal(SIGSEGV), "");

    MinidumpReader dump;
    ASSERT_TRUE(dump.Load(g_ReportPath));
    EXPECT_EQ(dump.Streams().size(), 6u);
    const MinidumpStream* misc = dump.Find(15);
    ASSERT_NE(misc, nullptr);
    EXPECT_EQ(dump.U32(misc->rva + 4), 1u);
    EXPECT_NE(dump.U32(misc->rva + 8), static_cast<uint32_t>(getpid()));  // the crashed child's id

    const MinidumpStream* system = dump.Find(7);
    ASSERT_NE(system, nullptr);
    EXPECT_EQ(dump.U16(system->rva), 9);             // x86-64
    EXPECT_EQ(dump.U32(system->rva + 20), 0x8201u);  // Linux
    std::string version;
    EXPECT_TRUE(dump.String(dump.U32(system->rva + 24), version));
    EXPECT_EQ(version.rfind("Linux ", 0), 0u);

    const MinidumpStream* exception = dump.Find(6);
    ASSERT_NE(exception, nullptr);
    ASSERT_EQ(exception->size, 168u);
    EXPECT_EQ(dump.U32(exception->rva + 8), static_cast<uint32_t>(SIGSEGV));
    EXPECT_EQ(dump.U64(exception->rva + 24), reinterpret_cast<uint64_t>(page));
    uint32_t contextSize = dump.U32(exception->rva + 160);
    uint32_t contextRva = dump.U32(exception->rva + 164);
    ASSERT_EQ(contextSize, 1232u);
    ASSERT_TRUE(dump.Fits(contextRva, contextSize));
    uint64_t rip = dump.U64(contextRva + 0xF8);
    uint64_t rsp = dump.U64(contextRva + 0x98);

    const MinidumpStream* threads = dump.Find(3);
    ASSERT_NE(threads, nullptr);
    ASSERT_EQ(dump.U32(threads->rva), 1u);
    EXPECT_EQ(dump.U32(threads->rva + 4), dump.U32(exception->rva));  // the faulting thread
    uint64_t stackStart = dump.U64(threads->rva + 4 + 24);
    uint32_t stackSize = dump.U32(threads->rva + 4 + 32);
    EXPECT_GT(stackSize, 0u);
    EXPECT_TRUE(dump.Fits(dump.U32(threads->rva + 4 + 36), stackSize));
    EXPECT_LE(stackStart, rsp);
    EXPECT_GT(stackStart + stackSize, rsp);
    EXPECT_EQ(dump.U32(threads->rva + 4 + 44), contextRva);

    const MinidumpStream* memory = dump.Find(5);
    ASSERT_NE(memory, nullptr);
    EXPECT_EQ(dump.U32(memory->rva), 1u);
    EXPECT_EQ(dump.U64(memory->rva + 4), stackStart);

    // The program counter lies in the test executable, which is listed with its build id.
    std::vector<MinidumpModule> modules;
    ASSERT_TRUE(dump.Modules(modules));
    ASSERT_FALSE(modules.empty());
    bool inModule = false;
    bool sawLibc = false;
    for (const MinidumpModule& m : modules)
    {
        if (rip >= m.base && rip < m.base + m.size)
        {
            inModule = true;
            EXPECT_NE(m.name.find("platform_system_tests"), std::string::npos) << m.name;
            EXPECT_EQ(m.cvSignature, 0x4270454Cu);
            EXPECT_GT(m.cvSize, 4u);
        }
        sawLibc |= m.name.find("libc.so") != std::string::npos;
    }
    EXPECT_TRUE(inModule);
    EXPECT_TRUE(sawLibc);
}

TEST(SysMinidump, UnwritableFolderFails)
{
    SysCrashInfo info{};
    info.signal = SIGSEGV;
    EXPECT_FALSE(SysMinidump::Write("/nonexistent-folder/crash.dmp", info));
}

TEST_F(SysCrashHandlerTest, MinidumpOfAStackOverflowHoldsTheStackAboveTheStackPointer)
{
    // The overflowing frame has moved the stack pointer below the stack's mapping already; the dump
    // still carries the stack from the lowest mapped byte above it.
    g_ReportPath = m_Folder.Path("overflow.dmp");
    EXPECT_EXIT(
        {
            SysCrashHandler::Install(DumpReport);
            Recurse(0);
        },
        testing::KilledBySignal(SIGSEGV), "");

    MinidumpReader dump;
    ASSERT_TRUE(dump.Load(g_ReportPath));
    const MinidumpStream* exception = dump.Find(6);
    ASSERT_NE(exception, nullptr);
    uint64_t rsp = dump.U64(dump.U32(exception->rva + 164) + 0x98);
    const MinidumpStream* threads = dump.Find(3);
    ASSERT_NE(threads, nullptr);
    uint64_t stackStart = dump.U64(threads->rva + 4 + 24);
    uint32_t stackSize = dump.U32(threads->rva + 4 + 32);
    EXPECT_GT(stackSize, 0u);
    EXPECT_GE(stackStart + 128, rsp);
    EXPECT_LE(stackStart, rsp + 64 * 1024);
    const MinidumpStream* memory = dump.Find(5);
    ASSERT_NE(memory, nullptr);
    EXPECT_EQ(dump.U32(memory->rva), 1u);
}
