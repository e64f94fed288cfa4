#include "Platform/system/SysModules.h"

#include "Platform/system/SysText.h"

#include <cstring>
#include <elf.h>
#include <link.h>
#include <unistd.h>

namespace
{

struct IterateState
{
    SysModules::ModuleFn fn;
    void* context;
    int count;
    bool stopped;
};

// Finds the GNU build id in the image's note segments, staying inside each segment.
void ReadBuildId(const dl_phdr_info* info, SysModuleInfo& module)
{
    for (int i = 0; i < info->dlpi_phnum; ++i)
    {
        const ElfW(Phdr)& phdr = info->dlpi_phdr[i];
        if (phdr.p_type != PT_NOTE)
            continue;
        const uint8_t* at = reinterpret_cast<const uint8_t*>(info->dlpi_addr + phdr.p_vaddr);
        size_t left = phdr.p_memsz;
        while (left >= sizeof(ElfW(Nhdr)))
        {
            ElfW(Nhdr) note;
            memcpy(&note, at, sizeof(note));
            size_t nameSize = (note.n_namesz + 3u) & ~size_t(3);
            size_t descSize = (note.n_descsz + 3u) & ~size_t(3);
            size_t total = sizeof(note) + nameSize + descSize;
            if (nameSize > left || descSize > left || total > left)
                break;
            const char* name = reinterpret_cast<const char*>(at + sizeof(note));
            if (note.n_type == NT_GNU_BUILD_ID && note.n_namesz == 4 && memcmp(name, "GNU", 4) == 0)
            {
                size_t size = note.n_descsz < sizeof(module.buildId) ? note.n_descsz : sizeof(module.buildId);
                memcpy(module.buildId, at + sizeof(note) + nameSize, size);
                module.buildIdSize = static_cast<uint32_t>(size);
                return;
            }
            at += total;
            left -= total;
        }
    }
}

int OnImage(dl_phdr_info* info, size_t, void* raw)
{
    IterateState& state = *static_cast<IterateState*>(raw);
    if (state.stopped)
        return 1;

    uintptr_t low = UINTPTR_MAX, high = 0;
    for (int i = 0; i < info->dlpi_phnum; ++i)
    {
        const ElfW(Phdr)& phdr = info->dlpi_phdr[i];
        if (phdr.p_type != PT_LOAD)
            continue;
        uintptr_t start = info->dlpi_addr + phdr.p_vaddr;
        uintptr_t end = start + phdr.p_memsz;
        if (start < low)
            low = start;
        if (end > high)
            high = end;
    }
    if (high <= low)
        return 0;

    SysModuleInfo module{};
    const char* name = info->dlpi_name;
    if (name == nullptr || name[0] == '\0')
    {
        // The loader names the executable "", so ask the kernel. The vDSO may also come unnamed.
        ssize_t length = state.count == 0 ? readlink("/proc/self/exe", module.path, sizeof(module.path) - 1) : -1;
        if (length > 0)
            module.path[length] = '\0';
        else
            SysText::CopyTruncated(module.path, sizeof(module.path), "-unknown-");
    }
    else
    {
        SysText::CopyTruncated(module.path, sizeof(module.path), name);
    }
    const char* slash = strrchr(module.path, '/');
    module.nameOffset = slash != nullptr ? static_cast<uint32_t>(slash + 1 - module.path) : 0;
    long page = sysconf(_SC_PAGESIZE);
    uintptr_t mask = page > 0 ? ~static_cast<uintptr_t>(page - 1) : ~uintptr_t(0xFFF);
    module.base = low & mask;
    uintptr_t span = high - module.base;
    module.size = span > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(span);
    ReadBuildId(info, module);

    ++state.count;
    if (state.fn != nullptr && !state.fn(module, state.context))
        state.stopped = true;
    return state.stopped ? 1 : 0;
}

}  // namespace

int SysModules::ForEach(ModuleFn fn, void* context)
{
    IterateState state{fn, context, 0, false};
    dl_iterate_phdr(OnImage, &state);
    return state.count;
}
