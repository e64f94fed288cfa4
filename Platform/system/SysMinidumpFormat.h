#pragma once
#include <cstddef>
#include <cstdint>

// Records of the standard minidump file format, the one crash-analysis tools read. All fields are
// little-endian and packed to 4 bytes as the format lays them out; the sizes are checked below.
namespace SysMinidumpFormat
{

constexpr uint32_t Signature = 0x504D444D;  // "MDMP"
constexpr uint32_t Version = 0xA793;

constexpr uint32_t ThreadListStream = 3;
constexpr uint32_t ModuleListStream = 4;
constexpr uint32_t MemoryListStream = 5;
constexpr uint32_t ExceptionStream = 6;
constexpr uint32_t SystemInfoStream = 7;
constexpr uint32_t MiscInfoStream = 15;

constexpr uint32_t MiscProcessId = 0x1;

constexpr uint16_t ProcessorArchitectureAmd64 = 9;
constexpr uint32_t PlatformLinux = 0x8201;

constexpr uint32_t ContextAmd64 = 0x00100000;
constexpr uint32_t ContextControl = ContextAmd64 | 0x1;
constexpr uint32_t ContextInteger = ContextAmd64 | 0x2;
constexpr uint32_t ContextSegments = ContextAmd64 | 0x4;
constexpr uint32_t ContextFloatingPoint = ContextAmd64 | 0x8;
constexpr uint32_t ContextFull = ContextControl | ContextInteger | ContextSegments | ContextFloatingPoint;

constexpr uint32_t CvSignatureElf = 0x4270454C;  // "LEpB": an ELF build id follows

#pragma pack(push, 4)

struct LocationDescriptor
{
    uint32_t dataSize;
    uint32_t rva;
};

struct MemoryDescriptor
{
    uint64_t startOfMemoryRange;
    LocationDescriptor memory;
};

struct Header
{
    uint32_t signature;
    uint32_t version;
    uint32_t numberOfStreams;
    uint32_t streamDirectoryRva;
    uint32_t checkSum;
    uint32_t timeDateStamp;
    uint64_t flags;
};

struct Directory
{
    uint32_t streamType;
    LocationDescriptor location;
};

struct SystemInfo
{
    uint16_t processorArchitecture;
    uint16_t processorLevel;
    uint16_t processorRevision;
    uint8_t numberOfProcessors;
    uint8_t productType;
    uint32_t majorVersion;
    uint32_t minorVersion;
    uint32_t buildNumber;
    uint32_t platformId;
    uint32_t csdVersionRva;
    uint16_t suiteMask;
    uint16_t reserved2;
    uint32_t vendorId[3];
    uint32_t versionInformation;
    uint32_t featureInformation;
    uint32_t amdExtendedCpuFeatures;
};

struct Exception
{
    uint32_t exceptionCode;
    uint32_t exceptionFlags;
    uint64_t exceptionRecord;
    uint64_t exceptionAddress;
    uint32_t numberParameters;
    uint32_t unusedAlignment;
    uint64_t exceptionInformation[15];
};

struct ExceptionStreamRecord
{
    uint32_t threadId;
    uint32_t alignment;
    Exception exceptionRecord;
    LocationDescriptor threadContext;
};

struct Thread
{
    uint32_t threadId;
    uint32_t suspendCount;
    uint32_t priorityClass;
    uint32_t priority;
    uint64_t teb;
    MemoryDescriptor stack;
    LocationDescriptor threadContext;
};

struct FixedFileInfo
{
    uint32_t signature;
    uint32_t strucVersion;
    uint32_t fileVersionMs;
    uint32_t fileVersionLs;
    uint32_t productVersionMs;
    uint32_t productVersionLs;
    uint32_t fileFlagsMask;
    uint32_t fileFlags;
    uint32_t fileOs;
    uint32_t fileType;
    uint32_t fileSubtype;
    uint32_t fileDateMs;
    uint32_t fileDateLs;
};

struct Module
{
    uint64_t baseOfImage;
    uint32_t sizeOfImage;
    uint32_t checkSum;
    uint32_t timeDateStamp;
    uint32_t moduleNameRva;
    FixedFileInfo versionInfo;
    LocationDescriptor cvRecord;
    LocationDescriptor miscRecord;
    uint64_t reserved0;
    uint64_t reserved1;
};

struct M128
{
    uint64_t low;
    int64_t high;
};

// The x86-64 thread context. The floating-point area is the processor's FXSAVE image.
struct ContextAmd64Record
{
    uint64_t p1Home, p2Home, p3Home, p4Home, p5Home, p6Home;
    uint32_t contextFlags;
    uint32_t mxCsr;
    uint16_t segCs, segDs, segEs, segFs, segGs, segSs;
    uint32_t eFlags;
    uint64_t dr0, dr1, dr2, dr3, dr6, dr7;
    uint64_t rax, rcx, rdx, rbx, rsp, rbp, rsi, rdi;
    uint64_t r8, r9, r10, r11, r12, r13, r14, r15;
    uint64_t rip;
    uint8_t fltSave[512];
    M128 vectorRegister[26];
    uint64_t vectorControl;
    uint64_t debugControl;
    uint64_t lastBranchToRip;
    uint64_t lastBranchFromRip;
    uint64_t lastExceptionToRip;
    uint64_t lastExceptionFromRip;
};

struct MiscInfo
{
    uint32_t sizeOfInfo;
    uint32_t flags1;
    uint32_t processId;
    uint32_t processCreateTime;
    uint32_t processUserTime;
    uint32_t processKernelTime;
};

#pragma pack(pop)

static_assert(sizeof(LocationDescriptor) == 8);
static_assert(sizeof(MemoryDescriptor) == 16);
static_assert(sizeof(Header) == 32);
static_assert(sizeof(Directory) == 12);
static_assert(sizeof(SystemInfo) == 56);
static_assert(sizeof(Exception) == 152);
static_assert(sizeof(ExceptionStreamRecord) == 168);
static_assert(sizeof(Thread) == 48);
static_assert(sizeof(FixedFileInfo) == 52);
static_assert(sizeof(Module) == 108);
static_assert(sizeof(MiscInfo) == 24);
static_assert(sizeof(ContextAmd64Record) == 1232);
static_assert(offsetof(ContextAmd64Record, contextFlags) == 0x30);
static_assert(offsetof(ContextAmd64Record, rax) == 0x78);
static_assert(offsetof(ContextAmd64Record, rip) == 0xF8);
static_assert(offsetof(ContextAmd64Record, fltSave) == 0x100);
static_assert(offsetof(ContextAmd64Record, vectorControl) == 0x4A0);
static_assert(offsetof(Module, versionInfo) == 24);
static_assert(offsetof(Thread, stack) == 24);

}  // namespace SysMinidumpFormat
