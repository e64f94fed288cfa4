#include "Platform/system/SysMinidump.h"

#include "Platform/system/SysInfo.h"
#include "Platform/system/SysLineReader.h"
#include "Platform/system/SysMinidumpFormat.h"
#include "Platform/system/SysModules.h"

#include <cerrno>
#include <cpuid.h>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <sys/syscall.h>
#include <ucontext.h>
#include <unistd.h>

namespace fmt = SysMinidumpFormat;

namespace
{

// Appends records to the dump file and hands back where each landed.
class DumpFile
{
public:
    explicit DumpFile(int fd) : m_Fd(fd) {}

    // Writes at the end; returns the record's offset. Any failure marks the whole dump failed.
    uint32_t Append(const void* data, size_t size)
    {
        Align(4);
        uint32_t rva = static_cast<uint32_t>(m_End);
        if (!WriteAt(m_End, data, size))
            m_Ok = false;
        m_End += size;
        return rva;
    }

    // Copies the process's own memory into the file; returns how many bytes were readable. The kernel
    // reads the memory, so an unreadable page ends the copy instead of faulting the handler again.
    uint32_t AppendMemory(uintptr_t address, size_t size, uint32_t& rva)
    {
        Align(16);
        rva = static_cast<uint32_t>(m_End);
        size_t done = 0;
        while (done < size)
        {
            // The system call itself, not the C library's: a sanitizer's wrapper would check the
            // stack's poisoned guard zones, which a raw copy of the stack crosses by design.
            ssize_t wrote = syscall(SYS_pwrite64, m_Fd, reinterpret_cast<const void*>(address + done), size - done,
                                    static_cast<off_t>(m_End + done));
            if (wrote < 0 && errno == EINTR)
                continue;
            if (wrote <= 0)
                break;
            done += static_cast<size_t>(wrote);
        }
        m_End += done;
        return static_cast<uint32_t>(done);
    }

    uint32_t AppendString(const char* text)
    {
        // The format's strings are UTF-16 with a byte length and a terminating zero unit. Names here
        // are paths: bytes above 0x7F become '?', which keeps the record well formed.
        uint16_t units[512];
        uint32_t count = 0;
        for (const char* p = text; *p != '\0' && count < 511; ++p)
        {
            unsigned char c = static_cast<unsigned char>(*p);
            units[count++] = c < 0x80 ? c : '?';
        }
        units[count] = 0;
        uint32_t length = count * 2;
        uint32_t rva = Append(&length, sizeof(length));
        Append2(units, (count + 1) * 2);
        return rva;
    }

    bool WriteAt(size_t offset, const void* data, size_t size)
    {
        const char* bytes = static_cast<const char*>(data);
        while (size > 0)
        {
            ssize_t wrote = pwrite(m_Fd, bytes, size, static_cast<off_t>(offset));
            if (wrote < 0 && errno == EINTR)
                continue;
            if (wrote <= 0)
                return false;
            bytes += wrote;
            offset += static_cast<size_t>(wrote);
            size -= static_cast<size_t>(wrote);
        }
        return true;
    }

    void Reserve(size_t size)
    {
        static const char zeros[256] = {};
        while (size > 0)
        {
            size_t chunk = size < sizeof(zeros) ? size : sizeof(zeros);
            Append2(zeros, chunk);
            size -= chunk;
        }
    }

    bool Ok() const { return m_Ok; }

private:
    // Appends right after the previous record, without alignment (parts of one record).
    void Append2(const void* data, size_t size)
    {
        if (!WriteAt(m_End, data, size))
            m_Ok = false;
        m_End += size;
    }

    void Align(size_t alignment)
    {
        size_t pad = (alignment - m_End % alignment) % alignment;
        static const char zeros[16] = {};
        if (pad > 0)
            Append2(zeros, pad);
    }

    int m_Fd;
    size_t m_End = 0;
    bool m_Ok = true;
};

uint64_t ParseHex(const char*& p)
{
    uint64_t value = 0;
    for (;; ++p)
    {
        char c = *p;
        int digit = (c >= '0' && c <= '9') ? c - '0' : (c >= 'a' && c <= 'f') ? c - 'a' + 10 : -1;
        if (digit < 0)
            return value;
        value = value * 16 + static_cast<uint64_t>(digit);
    }
}

// The readable mapping that holds the address, from /proc/self/maps. An overflowing frame leaves the
// stack pointer just below the stack's mapping: then the readable mapping that begins closest above
// it, within a few frames' distance, is the stack.
bool FindMapping(uintptr_t address, uintptr_t& start, uintptr_t& end)
{
    constexpr uint64_t OverflowReach = 64 * 1024;
    SysLineReader maps("/proc/self/maps");
    const char* line = nullptr;
    while (maps.Next(line))
    {
        const char* p = line;
        uint64_t low = ParseHex(p);
        if (*p != '-')
            continue;
        ++p;
        uint64_t high = ParseHex(p);
        if (*p == ' ')
            ++p;
        if (address >= low && address < high)
        {
            if (p[0] != 'r')
                return false;
            start = static_cast<uintptr_t>(low);
            end = static_cast<uintptr_t>(high);
            return true;
        }
        if (low > address)
        {
            // The list is sorted: this is the first mapping above the address.
            if (p[0] != 'r' || low - address > OverflowReach)
                return false;
            start = static_cast<uintptr_t>(low);
            end = static_cast<uintptr_t>(high);
            return true;
        }
    }
    return false;
}

void FillContext(const ucontext_t* uc, fmt::ContextAmd64Record& out)
{
    out = fmt::ContextAmd64Record{};
    if (uc == nullptr)
        return;
    const greg_t* g = uc->uc_mcontext.gregs;
    out.contextFlags = fmt::ContextFull;
    out.rax = static_cast<uint64_t>(g[REG_RAX]);
    out.rcx = static_cast<uint64_t>(g[REG_RCX]);
    out.rdx = static_cast<uint64_t>(g[REG_RDX]);
    out.rbx = static_cast<uint64_t>(g[REG_RBX]);
    out.rsp = static_cast<uint64_t>(g[REG_RSP]);
    out.rbp = static_cast<uint64_t>(g[REG_RBP]);
    out.rsi = static_cast<uint64_t>(g[REG_RSI]);
    out.rdi = static_cast<uint64_t>(g[REG_RDI]);
    out.r8 = static_cast<uint64_t>(g[REG_R8]);
    out.r9 = static_cast<uint64_t>(g[REG_R9]);
    out.r10 = static_cast<uint64_t>(g[REG_R10]);
    out.r11 = static_cast<uint64_t>(g[REG_R11]);
    out.r12 = static_cast<uint64_t>(g[REG_R12]);
    out.r13 = static_cast<uint64_t>(g[REG_R13]);
    out.r14 = static_cast<uint64_t>(g[REG_R14]);
    out.r15 = static_cast<uint64_t>(g[REG_R15]);
    out.rip = static_cast<uint64_t>(g[REG_RIP]);
    out.eFlags = static_cast<uint32_t>(g[REG_EFL]);
    // cs, gs and fs are packed into one word by the kernel, low to high.
    uint64_t segments = static_cast<uint64_t>(g[REG_CSGSFS]);
    out.segCs = static_cast<uint16_t>(segments & 0xFFFF);
    out.segGs = static_cast<uint16_t>((segments >> 16) & 0xFFFF);
    out.segFs = static_cast<uint16_t>((segments >> 32) & 0xFFFF);
    if (uc->uc_mcontext.fpregs != nullptr)
    {
        static_assert(sizeof(*uc->uc_mcontext.fpregs) == sizeof(out.fltSave));
        memcpy(out.fltSave, uc->uc_mcontext.fpregs, sizeof(out.fltSave));
        out.mxCsr = uc->uc_mcontext.fpregs->mxcsr;
    }
}

void FillSystemInfo(fmt::SystemInfo& out, uint32_t csdRva)
{
    out = fmt::SystemInfo{};
    out.processorArchitecture = fmt::ProcessorArchitectureAmd64;
    out.platformId = fmt::PlatformLinux;
    out.csdVersionRva = csdRva;
    long processors = sysconf(_SC_NPROCESSORS_ONLN);
    out.numberOfProcessors = static_cast<uint8_t>(processors > 255 ? 255 : (processors < 0 ? 0 : processors));

    unsigned a = 0, b = 0, c = 0, d = 0;
    if (__get_cpuid(0, &a, &b, &c, &d))
    {
        out.vendorId[0] = b;
        out.vendorId[1] = d;
        out.vendorId[2] = c;
    }
    if (__get_cpuid(1, &a, &b, &c, &d))
    {
        out.versionInformation = a;
        out.featureInformation = d;
        unsigned family = (a >> 8) & 0xF;
        unsigned model = (a >> 4) & 0xF;
        if (family == 0xF)
            family += (a >> 20) & 0xFF;
        if (family == 0x6 || family >= 0xF)
            model |= ((a >> 16) & 0xF) << 4;
        out.processorLevel = static_cast<uint16_t>(family);
        out.processorRevision = static_cast<uint16_t>((model << 8) | (a & 0xF));
    }
    if (__get_cpuid(0x80000001, &a, &b, &c, &d))
        out.amdExtendedCpuFeatures = d;
}

// "6.1.0-18-amd64" gives 6, 1 and 0.
void ParseRelease(const char* release, fmt::SystemInfo& out)
{
    uint32_t parts[3] = {0, 0, 0};
    int index = 0;
    for (const char* p = release; *p != '\0' && index < 3; ++p)
    {
        if (*p >= '0' && *p <= '9')
            parts[index] = parts[index] * 10 + static_cast<uint32_t>(*p - '0');
        else if (*p == '.')
            ++index;
        else
            break;
    }
    out.majorVersion = parts[0];
    out.minorVersion = parts[1];
    out.buildNumber = parts[2];
}

SysModuleInfo g_Modules[SysMinidump::MaxModules];
int g_ModuleCount = 0;
SysMinidumpFormat::Module g_Records[SysMinidump::MaxModules];

bool CollectModule(const SysModuleInfo& module, void*)
{
    if (g_ModuleCount >= SysMinidump::MaxModules)
        return false;
    g_Modules[g_ModuleCount++] = module;
    return true;
}

}  // namespace

bool SysMinidump::Write(const char* path, const SysCrashInfo& crash)
{
    int fd = open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    DumpFile file(fd);

    ucontext_t here;
    const ucontext_t* uc = static_cast<const ucontext_t*>(crash.context);
    if (uc == nullptr)
    {
        getcontext(&here);
        uc = &here;
    }

    constexpr uint32_t StreamCount = 6;
    file.Reserve(sizeof(fmt::Header) + StreamCount * sizeof(fmt::Directory));
    fmt::Directory directory[StreamCount] = {};

    // System information, with the kernel's own description as the service-pack text.
    char version[256];
    SysInfo::GetOsVersion(version, sizeof(version));
    uint32_t csdRva = file.AppendString(version);
    fmt::SystemInfo system;
    FillSystemInfo(system, csdRva);
    ParseRelease(strchr(version, ' ') != nullptr ? strchr(version, ' ') + 1 : version, system);
    directory[0] = {fmt::SystemInfoStream, {sizeof(system), file.Append(&system, sizeof(system))}};

    fmt::ContextAmd64Record context;
    FillContext(uc, context);
    fmt::LocationDescriptor contextLocation{sizeof(context), file.Append(&context, sizeof(context))};

    // The stack from just below the stack pointer (the red zone) up to the top of its mapping.
    fmt::MemoryDescriptor stack{};
    uintptr_t sp = static_cast<uintptr_t>(uc->uc_mcontext.gregs[REG_RSP]);
    uintptr_t mapStart = 0, mapEnd = 0;
    if (FindMapping(sp, mapStart, mapEnd))
    {
        uintptr_t low = sp >= mapStart + 128 ? sp - 128 : mapStart;  // mapStart when sp lies below
        uintptr_t high = mapEnd - low > MaxStackBytes ? low + MaxStackBytes : mapEnd;
        uint32_t rva = 0;
        uint32_t size = file.AppendMemory(low, high - low, rva);
        if (size > 0)
            stack = {low, {size, rva}};
    }

    fmt::ExceptionStreamRecord exception{};
    exception.threadId = crash.threadId;
    exception.exceptionRecord.exceptionCode = static_cast<uint32_t>(crash.signal);
    exception.exceptionRecord.exceptionFlags = static_cast<uint32_t>(crash.code);
    exception.exceptionRecord.exceptionAddress = crash.faultAddress;
    exception.threadContext = contextLocation;
    directory[1] = {fmt::ExceptionStream, {sizeof(exception), file.Append(&exception, sizeof(exception))}};

    struct
    {
        uint32_t count;
        fmt::Thread thread;
    } threads{};
    static_assert(sizeof(threads) == 4 + sizeof(fmt::Thread));
    threads.count = 1;
    threads.thread.threadId = crash.threadId;
    threads.thread.stack = stack;
    threads.thread.threadContext = contextLocation;
    directory[2] = {fmt::ThreadListStream, {sizeof(threads), file.Append(&threads, sizeof(threads))}};

    // Modules: names and build ids first, then the list that points at them.
    g_ModuleCount = 0;
    SysModules::ForEach(CollectModule, nullptr);
    for (int i = 0; i < g_ModuleCount; ++i)
    {
        const SysModuleInfo& module = g_Modules[i];
        fmt::Module& record = g_Records[i];
        record = fmt::Module{};
        record.baseOfImage = module.base;
        record.sizeOfImage = module.size;
        record.moduleNameRva = file.AppendString(module.path);
        if (module.buildIdSize > 0)
        {
            uint8_t cv[4 + sizeof(module.buildId)];
            uint32_t signature = fmt::CvSignatureElf;
            memcpy(cv, &signature, 4);
            memcpy(cv + 4, module.buildId, module.buildIdSize);
            record.cvRecord = {4 + module.buildIdSize, file.Append(cv, 4 + module.buildIdSize)};
        }
    }
    uint32_t moduleCount = static_cast<uint32_t>(g_ModuleCount);
    uint32_t moduleListRva = file.Append(&moduleCount, sizeof(moduleCount));
    uint32_t moduleListSize = 4 + moduleCount * static_cast<uint32_t>(sizeof(fmt::Module));
    file.Reserve(moduleListSize - 4);
    bool modulesOk = true;
    for (int i = 0; i < g_ModuleCount; ++i)
        modulesOk &= file.WriteAt(moduleListRva + 4 + static_cast<size_t>(i) * sizeof(fmt::Module), &g_Records[i],
                                  sizeof(g_Records[i]));
    directory[3] = {fmt::ModuleListStream, {moduleListSize, moduleListRva}};

    struct
    {
        uint32_t count;
        fmt::MemoryDescriptor range;
    } memory{};
    memory.count = stack.memory.dataSize > 0 ? 1 : 0;
    memory.range = stack;
    uint32_t memorySize = 4 + memory.count * static_cast<uint32_t>(sizeof(fmt::MemoryDescriptor));
    directory[4] = {fmt::MemoryListStream, {memorySize, file.Append(&memory, memorySize)}};

    fmt::MiscInfo misc{};
    misc.sizeOfInfo = sizeof(misc);
    misc.flags1 = fmt::MiscProcessId;
    misc.processId = static_cast<uint32_t>(getpid());
    directory[5] = {fmt::MiscInfoStream, {sizeof(misc), file.Append(&misc, sizeof(misc))}};

    fmt::Header header{};
    header.signature = fmt::Signature;
    header.version = fmt::Version;
    header.numberOfStreams = StreamCount;
    header.streamDirectoryRva = sizeof(fmt::Header);
    header.timeDateStamp = static_cast<uint32_t>(time(nullptr));
    bool ok = file.WriteAt(0, &header, sizeof(header)) && file.WriteAt(sizeof(header), directory, sizeof(directory)) &&
              modulesOk && file.Ok();
    close(fd);
    return ok;
}
