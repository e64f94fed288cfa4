#include "Platform/system/SysStackWalk.h"
#include "Platform/system/SysModules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

bool Collect(const SysStackFrame& frame, void* context)
{
    static_cast<std::vector<SysStackFrame>*>(context)->push_back(frame);
    return true;
}

__attribute__((noinline)) SysStackWalkResult WalkInnerKnownFunction(std::vector<SysStackFrame>& frames, int limit)
{
    SysStackWalkResult result = SysStackWalk::Walk(nullptr, Collect, &frames, limit);
    asm volatile("" ::: "memory");  // keep this frame and the call in it
    return result;
}

__attribute__((noinline)) SysStackWalkResult WalkOuterKnownFunction(std::vector<SysStackFrame>& frames, int limit)
{
    SysStackWalkResult result = WalkInnerKnownFunction(frames, limit);
    asm volatile("" ::: "memory");
    return result;
}

bool HasFunction(const std::vector<SysStackFrame>& frames, const std::string& name)
{
    for (const SysStackFrame& frame : frames)
        if (frame.hasFunction && std::string(frame.function).find(name) != std::string::npos)
            return true;
    return false;
}

bool CountModule(const SysModuleInfo& module, void* context)
{
    auto& names = *static_cast<std::vector<std::string>*>(context);
    names.push_back(module.Name());
    return true;
}

}  // namespace

TEST(SysStackWalk, NamesTheCallersInOrderWithTheirModule)
{
    std::vector<SysStackFrame> frames;
    SysStackWalkResult result = WalkOuterKnownFunction(frames, SysStackWalk::MaxFrames);
    EXPECT_EQ(result.end, SysStackWalkEnd::Finished);
    EXPECT_EQ(result.frames, static_cast<int>(frames.size()));
    ASSERT_GE(frames.size(), 3u);
    EXPECT_TRUE(HasFunction(frames, "WalkInnerKnownFunction"));
    EXPECT_TRUE(HasFunction(frames, "WalkOuterKnownFunction"));
    size_t inner = 0, outer = 0;
    for (size_t i = 0; i < frames.size(); ++i)
    {
        std::string name = frames[i].function;
        if (name.find("WalkInnerKnownFunction") != std::string::npos)
        {
            inner = i;
            EXPECT_TRUE(frames[i].hasModule);
            EXPECT_NE(std::string(frames[i].ModuleName()).find("platform_system_tests"), std::string::npos);
        }
        if (name.find("WalkOuterKnownFunction") != std::string::npos)
            outer = i;
    }
    EXPECT_LT(inner, outer);
}

TEST(SysStackWalk, StopsAtTheFrameLimit)
{
    std::vector<SysStackFrame> frames;
    SysStackWalkResult result = WalkOuterKnownFunction(frames, 2);
    EXPECT_EQ(result.end, SysStackWalkEnd::Limit);
    ASSERT_EQ(frames.size(), 2u);
    // Where the walk stopped: the caller of the outer function, the first frame left out.
    EXPECT_NE(result.errorAddress, 0u);
    EXPECT_NE(result.errorAddress, frames[1].pc);
}

TEST(SysStackWalk, DemanglesAndPassesPlainNames)
{
    char out[64];
    SysStackWalk::Demangle("_ZN3Foo3BarEi", out, sizeof(out));
    EXPECT_STREQ(out, "Foo::Bar(int)");
    SysStackWalk::Demangle("main", out, sizeof(out));
    EXPECT_STREQ(out, "main");
    SysStackWalk::Demangle("_Znot-mangled", out, sizeof(out));
    EXPECT_STREQ(out, "_Znot-mangled");
    char tiny[4];
    SysStackWalk::Demangle("_ZN3Foo3BarEi", tiny, sizeof(tiny));
    EXPECT_STREQ(tiny, "Foo");
}

TEST(SysModules, ListsTheExecutableFirstAndTheCLibrary)
{
    std::vector<std::string> names;
    int count = SysModules::ForEach(CountModule, &names);
    ASSERT_EQ(count, static_cast<int>(names.size()));
    ASSERT_GE(names.size(), 2u);
    EXPECT_EQ(names[0], "platform_system_tests");
    bool libc = false;
    for (const std::string& name : names)
        libc |= name.rfind("libc.so", 0) == 0;
    EXPECT_TRUE(libc);
}
