#include "Platform/system/SysInfo.h"

#include "Tests/support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

void Collect(const SysProcessorInfo& processor, void* context)
{
    static_cast<std::vector<SysProcessorInfo>*>(context)->push_back(processor);
}

}  // namespace

TEST(SysInfo, ProcessorsComeOnePerBlockWithNameAndRoundedMhz)
{
    ScratchFolder folder;
    std::string longName(200, 'N');
    std::string flags(3000, 'f');  // far longer than a line buffer
    folder.Write("cpuinfo", "processor\t: 0\nvendor_id\t: GenuineIntel\nmodel name\t: Test CPU @ 3.00GHz\n"
                            "cpu MHz\t\t: 2999.501\nflags\t\t: " +
                                flags +
                                "\n\n"
                                "processor\t: 1\nmodel name\t: " +
                                longName +
                                "\n\n"
                                "processor\t: 2\ncpu MHz\t\t: 1200.000\n");
    std::vector<SysProcessorInfo> found;
    EXPECT_EQ(SysInfo::ForEachProcessorIn(folder.Path("cpuinfo").c_str(), Collect, &found), 3);
    ASSERT_EQ(found.size(), 3u);
    EXPECT_STREQ(found[0].name, "Test CPU @ 3.00GHz");
    EXPECT_EQ(found[0].mhz, 3000);
    EXPECT_TRUE(found[0].hasMhz);
    // Cut to the field, never overrun.
    EXPECT_EQ(std::string(found[1].name), longName.substr(0, sizeof(found[1].name) - 1));
    EXPECT_FALSE(found[1].hasMhz);
    EXPECT_FALSE(found[2].hasName);
    EXPECT_EQ(found[2].mhz, 1200);

    EXPECT_EQ(SysInfo::ForEachProcessorIn(folder.Path("missing").c_str(), Collect, &found), 0);
}

TEST(SysInfo, ThisMachineHasProcessorsMemoryAndAVersion)
{
    EXPECT_GE(SysInfo::ForEachProcessor(nullptr, nullptr), 1);
    SysMemoryInfo memory{};
    ASSERT_TRUE(SysInfo::GetMemory(memory));
    EXPECT_GT(memory.totalPhysical, 0u);
    EXPECT_LE(memory.availablePhysical, memory.totalPhysical);
    EXPECT_LE(memory.memoryLoad, 100u);

    char version[256];
    SysInfo::GetOsVersion(version, sizeof(version));
    EXPECT_EQ(std::string(version).rfind("Linux ", 0), 0u) << version;
    char tiny[6];
    SysInfo::GetOsVersion(tiny, sizeof(tiny));
    EXPECT_STREQ(tiny, "Linux");
}

TEST(SysInfo, MemoryFiguresWithAndWithoutMemAvailable)
{
    ScratchFolder folder;
    folder.Write("new", "MemTotal:       1048576 kB\nMemFree:          1024 kB\nMemAvailable:   262144 kB\n"
                        "CommitLimit:    2097152 kB\nCommitted_AS:   3000000 kB\n");
    SysMemoryInfo memory{};
    ASSERT_TRUE(SysInfo::GetMemoryFrom(folder.Path("new").c_str(), memory));
    EXPECT_EQ(memory.totalPhysical, 1048576ull * 1024);
    EXPECT_EQ(memory.availablePhysical, 262144ull * 1024);
    EXPECT_EQ(memory.memoryLoad, 75u);
    EXPECT_EQ(memory.totalVirtual, 2097152ull * 1024);
    EXPECT_EQ(memory.availableVirtual, 0u);  // over-committed: nothing left, not a wrapped figure

    folder.Write("old", "MemTotal: 1000 kB\nMemFree: 100 kB\nBuffers: 50 kB\nCached: 50 kB\n");
    ASSERT_TRUE(SysInfo::GetMemoryFrom(folder.Path("old").c_str(), memory));
    EXPECT_EQ(memory.availablePhysical, 200ull * 1024);
    EXPECT_EQ(memory.memoryLoad, 80u);

    folder.Write("empty", "nothing useful\n");
    EXPECT_FALSE(SysInfo::GetMemoryFrom(folder.Path("empty").c_str(), memory));
    EXPECT_FALSE(SysInfo::GetMemoryFrom(folder.Path("missing").c_str(), memory));
}
