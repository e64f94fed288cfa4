#include "Engine/foundation/WeLog.h"
#include "Engine/foundation/WeExeFolder.h"
#include "Platform/system/SysDebugOutput.h"

#include "Tests/support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

namespace
{

void Capture(const char* text, void* context)
{
    *static_cast<std::string*>(context) += text;
}

class WeLogTest : public testing::Test
{
protected:
    void SetUp() override
    {
        SetLogFolder(m_Folder.Root().c_str());
        ResetLogChannels();
        g_CrashTimeStamp[0] = '\0';
        g_CrashLogEnabled = 1;
        SysDebugOutput::SetCapture(Capture, &m_Debugger);
    }
    void TearDown() override
    {
        SysDebugOutput::SetCapture(nullptr, nullptr);
        SetVideoCardSource(nullptr);
        SetLogFolder("");
        ResetLogChannels();
        g_CrashTimeStamp[0] = '\0';
        g_CrashLogEnabled = 1;
    }

    static void Line(int channel, const char* text)
    {
        strcpy(GetLogLineBuffer(), text);
        WriteLogLine(channel);
    }

    std::string Read(const char* channel, const char* stamp) const
    {
        return ScratchFolder::Read(m_Folder.Path(std::string(channel) + "-" + stamp + ".log"));
    }

    // What follows the system block.
    static std::string Body(const std::string& log)
    {
        const std::string end = "==========================================\n";
        size_t at = log.find(end);
        return at == std::string::npos ? std::string("<no system block>") : log.substr(at + end.size());
    }

    ScratchFolder m_Folder;
    std::string m_Debugger;
};

int AdapterCount()
{
    return 1;
}

bool Adapter(int index, WeVideoAdapterInfo& out)
{
    strcpy(out.description, "Test Renderer");
    strcpy(out.deviceName, "display0");
    strcpy(out.driver, "testdrv");
    out.driverVersionHigh = (4u << 16) | 5u;
    out.driverVersionLow = (6u << 16) | 7u;
    out.vendorId = 4318;
    out.deviceId = 1234;
    out.subSysId = 99;
    out.revision = 3;
    return index == 0;
}

const WeVideoCardSource g_TestCards = {AdapterCount, Adapter};

}  // namespace

TEST_F(WeLogTest, BeforeTheTimeStampOnlyTheDebuggerSeesLines)
{
    CrashLogPrintf("early %d\n", 1);
    Line(0, "early debug\n");
    EXPECT_EQ(m_Debugger, "early 1\nearly debug\n");
    EXPECT_TRUE(m_Folder.Find("", "").empty());
    EXPECT_FALSE(IsLogChannelCreated(1));
}

TEST_F(WeLogTest, FirstLineWritesBannerCreationLineAndSystemBlockInOrder)
{
    strcpy(g_CrashTimeStamp, "2026-01-02-03-04-05");
    CrashLogPrintf("first %s\n", "line");
    CrashLogPrintf("second\n");
    std::string log = Read("crash", "2026-01-02-03-04-05");
    EXPECT_TRUE(IsLogChannelCreated(1));
    EXPECT_EQ(std::string(GetLogPath(1)), m_Folder.Path("crash-2026-01-02-03-04-05.log"));

    const char* order[] = {"=================== crash log ===================\n",
                           "Created on 2026-01-02-03-04-05\n",
                           "============= Linux info =================\nLinux ",
                           "\nCPU:\n",
                           " MHz\n",
                           "Memory:\nPhysical: ",
                           " MB total, ",
                           "% used)\nVirtual: ",
                           " MB available\n",
                           "==========================================\n",
                           "first line\nsecond\n"};
    size_t at = 0;
    for (const char* piece : order)
    {
        size_t found = log.find(piece, at);
        ASSERT_NE(found, std::string::npos) << "missing or out of order: " << piece << "\n" << log;
        at = found + strlen(piece);
    }
    EXPECT_EQ(log.rfind("=================== crash log", 0), 0u);
    EXPECT_EQ(log.find("Video Card:"), std::string::npos);  // no render device
    EXPECT_EQ(Body(log), "first line\nsecond\n");
    EXPECT_EQ(m_Debugger, "first line\nsecond\n");
}

TEST_F(WeLogTest, HeldTildeLineIsReplacedByTheNextAndWrittenBeforeTheOrdinaryLine)
{
    strcpy(g_CrashTimeStamp, "stamp");
    Line(1, "~first held\n");
    Line(1, "~second held\n");
    EXPECT_TRUE(m_Folder.Find("", "").empty());  // held lines create nothing
    Line(1, "ordinary\n");
    Line(1, "next\n");
    EXPECT_EQ(Body(Read("crash", "stamp")), "~second held\nordinary\nnext\n");
    // The debugger saw every line as it came.
    EXPECT_EQ(m_Debugger, "~first held\n~second held\nordinary\nnext\n");
}

TEST_F(WeLogTest, ChannelsOutsideTheRangeWriteTheDebugChannel)
{
    strcpy(g_CrashTimeStamp, "stamp");
    Line(5, "five\n");
    Line(-1, "minus one\n");
    Line(0, "zero\n");
    std::string log = Read("debug", "stamp");
    EXPECT_EQ(log.rfind("=================== debug log ===================\n", 0), 0u);
    EXPECT_EQ(Body(log), "five\nminus one\nzero\n");
    EXPECT_FALSE(IsLogChannelCreated(1));
}

TEST_F(WeLogTest, DisabledCrashChannelProducesNothingAtAll)
{
    strcpy(g_CrashTimeStamp, "stamp");
    g_CrashLogEnabled = 0;
    CrashLogPrintf("inside physics\n");
    EXPECT_EQ(m_Debugger, "");
    EXPECT_TRUE(m_Folder.Find("", "").empty());
    WeDebugPrint("MISSING TEXTURE: %s\n", "x");
    EXPECT_EQ(m_Debugger, "");
}

TEST_F(WeLogTest, DebugLinesReachTheDebugChannelEvenWhileTheCrashChannelIsOff)
{
    strcpy(g_CrashTimeStamp, "stamp");
    g_CrashLogEnabled = 0;
    DebugLogPrintf("options: %s was %d\n", "width", 0);
    EXPECT_EQ(m_Debugger, "options: width was 0\n");
    EXPECT_EQ(Body(Read("debug", "stamp")), "options: width was 0\n");
    EXPECT_FALSE(IsLogChannelCreated(1));
}

TEST_F(WeLogTest, NewStampMakesANewFileAndTheSameStampTruncates)
{
    strcpy(g_CrashTimeStamp, "run-1");
    CrashLogPrintf("one\n");
    ResetLogChannels();
    strcpy(g_CrashTimeStamp, "run-2");
    CrashLogPrintf("two\n");
    EXPECT_EQ(Body(Read("crash", "run-1")), "one\n");
    EXPECT_EQ(Body(Read("crash", "run-2")), "two\n");

    ResetLogChannels();
    CrashLogPrintf("again\n");
    EXPECT_EQ(Body(Read("crash", "run-2")), "again\n");
    EXPECT_EQ(m_Folder.Find("crash-", ".log").size(), 2u);
}

TEST_F(WeLogTest, OverlongLinesAreCutAndTextIsNeverAFormat)
{
    strcpy(g_CrashTimeStamp, "stamp");
    std::string huge(100000, 'x');
    CrashLogPrintf("%s", huge.c_str());
    CrashLogPrintf("%s", "\n%s%n%d\n");
    std::string body = Body(Read("crash", "stamp"));
    EXPECT_EQ(body, std::string(LogLineSize - 1, 'x') + "\n%s%n%d\n");
}

TEST_F(WeLogTest, FilesGoBesideTheExecutableUnlessAFolderIsSet)
{
    SetLogFolder("");
    EXPECT_STREQ(GetLogFolder(), GetExeFolder().c_str());
    SetLogFolder("/some/where");
    EXPECT_STREQ(GetLogFolder(), "/some/where");
}

TEST_F(WeLogTest, DeepFoldersKeepTheirWholePath)
{
    // An install folder far deeper than a thousand bytes: the log still lands in it, under its name.
    std::filesystem::path deep = m_Folder.Root();
    for (int i = 0; i < 8; ++i)
        deep /= std::string(200, static_cast<char>('a' + i));
    std::filesystem::create_directories(deep);
    SetLogFolder(deep.c_str());
    strcpy(g_CrashTimeStamp, "stamp");
    CrashLogPrintf("deep\n");
    EXPECT_TRUE(IsLogChannelCreated(1));
    EXPECT_EQ(std::string(GetLogPath(1)), (deep / "crash-stamp.log").string());
    EXPECT_EQ(Body(ScratchFolder::Read((deep / "crash-stamp.log").string())), "deep\n");
}

TEST_F(WeLogTest, UnwritableFolderLosesTheLineButNotTheDebugger)
{
    SetLogFolder((m_Folder.Root() / "missing").c_str());
    strcpy(g_CrashTimeStamp, "stamp");
    CrashLogPrintf("lost\n");
    EXPECT_FALSE(IsLogChannelCreated(1));
    EXPECT_EQ(m_Debugger, "lost\n");
}

TEST_F(WeLogTest, VideoCardBlockComesFromTheRenderDeviceHook)
{
    SetVideoCardSource(&g_TestCards);
    strcpy(g_CrashTimeStamp, "stamp");
    CrashLogPrintf("x\n");
    std::string log = Read("crash", "stamp");
    const char* expected = "Video Card:\n"
                           "  Adapter 0:\n"
                           "    Description (Device Name): Test Renderer (display0)\n"
                           "    Driver: testdrv (4.5.6.7)\n"
                           "    Vendor Id: 4318l\n"
                           "    Device Id: 1234l\n"
                           "    SubSys Id: 99l\n"
                           "    Revision: 3ul\n"
                           "==========================================\n";
    EXPECT_NE(log.find(expected), std::string::npos) << log;
}
