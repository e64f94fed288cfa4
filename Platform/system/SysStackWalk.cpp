#include "Platform/system/SysStackWalk.h"

#include "Platform/system/SysText.h"

#define UNW_LOCAL_ONLY
#include <cstdlib>
#include <cstring>
#include <cxxabi.h>
#include <dlfcn.h>
#include <libunwind.h>
#include <ucontext.h>

namespace
{

void Describe(unw_cursor_t& cursor, bool isSignalFrame, SysStackFrame& frame)
{
    char raw[512];
    unw_word_t offset = 0;
    if (unw_get_proc_name(&cursor, raw, sizeof(raw), &offset) == 0 && raw[0] != '\0')
    {
        SysStackWalk::Demangle(raw, frame.function, sizeof(frame.function));
        frame.offset = static_cast<uintptr_t>(offset);
        frame.hasFunction = true;
    }

    // A return address may already belong to the next function; look up the call instruction.
    uintptr_t lookup = (isSignalFrame || frame.pc == 0) ? frame.pc : frame.pc - 1;
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(lookup), &info) != 0)
    {
        if (info.dli_fname != nullptr && info.dli_fname[0] != '\0')
        {
            SysText::CopyTruncated(frame.modulePath, sizeof(frame.modulePath), info.dli_fname);
            const char* slash = strrchr(frame.modulePath, '/');
            frame.moduleNameOffset = slash != nullptr ? static_cast<uint32_t>(slash + 1 - frame.modulePath) : 0;
            frame.moduleBase = reinterpret_cast<uintptr_t>(info.dli_fbase);
            frame.hasModule = true;
        }
        if (!frame.hasFunction && info.dli_sname != nullptr)
        {
            SysStackWalk::Demangle(info.dli_sname, frame.function, sizeof(frame.function));
            frame.offset = frame.pc - reinterpret_cast<uintptr_t>(info.dli_saddr);
            frame.hasFunction = true;
        }
    }
}

}  // namespace

void SysStackWalk::Demangle(const char* name, char* out, size_t size)
{
    if (out == nullptr || size == 0)
        return;
    if (name == nullptr)
    {
        out[0] = '\0';
        return;
    }
    int status = -1;
    char* demangled =
        (name[0] == '_' && name[1] == 'Z') ? abi::__cxa_demangle(name, nullptr, nullptr, &status) : nullptr;
    SysText::CopyTruncated(out, size, status == 0 && demangled != nullptr ? demangled : name);
    free(demangled);
}

SysStackWalkResult SysStackWalk::Walk(void* signalContext, FrameFn fn, void* context, int maxFrames)
{
    SysStackWalkResult result{SysStackWalkEnd::Finished, 0, 0, 0};
    if (maxFrames <= 0 || maxFrames > MaxFrames)
        maxFrames = MaxFrames;

    unw_context_t here;
    unw_cursor_t cursor;
    int status = 0;
    if (signalContext != nullptr)
    {
        // On x86-64 libunwind's context is the ucontext itself, so the fault's registers start the walk.
        status = unw_init_local2(&cursor, static_cast<unw_context_t*>(signalContext), UNW_INIT_SIGNAL_FRAME);
    }
    else
    {
        unw_getcontext(&here);
        status = unw_init_local(&cursor, &here);
    }
    if (status != 0)
    {
        result.end = SysStackWalkEnd::Failed;
        result.errorCode = status;
        return result;
    }

    uintptr_t previousPc = 0, previousSp = 0;
    bool first = true;
    for (;;)
    {
        unw_word_t pc = 0, sp = 0;
        unw_get_reg(&cursor, UNW_REG_IP, &pc);
        unw_get_reg(&cursor, UNW_REG_SP, &sp);
        if (pc == 0)
            break;
        if (result.frames >= maxFrames)
        {
            // The error line names the first frame left out.
            result.end = SysStackWalkEnd::Limit;
            result.errorAddress = pc;
            break;
        }
        if (!first && pc == previousPc && sp == previousSp)
        {
            result.end = SysStackWalkEnd::Endless;
            result.errorAddress = pc;
            break;
        }

        SysStackFrame frame{};
        frame.pc = static_cast<uintptr_t>(pc);
        frame.sp = static_cast<uintptr_t>(sp);
        Describe(cursor, first && signalContext != nullptr, frame);
        ++result.frames;
        if (fn != nullptr && !fn(frame, context))
            break;

        previousPc = frame.pc;
        previousSp = frame.sp;
        first = false;
        int step = unw_step(&cursor);
        if (step == 0)
            break;
        if (step < 0)
        {
            result.end = SysStackWalkEnd::Failed;
            result.errorCode = step;
            result.errorAddress = frame.pc;
            break;
        }
    }
    return result;
}
