// Feeds arbitrary bytes as the profile file to the profile store's Load, in a save folder of its own. After
// each input every name is free of control bytes and unique, the race set-up copied from each profile is in
// range, and Save then Load gives the same store.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "Engine/foundation/WeFileStream.h"
#include "Game/screens/CProfile.h"
#include "Game/screens/CProfileManager.h"
#include "Game/screens/GetLapCounts.h"
#include "Game/shell/CRaceParticipant.h"
#include "Game/shell/CRaceSettings.h"
#include "Game/shell/GameMain.h"
#include "Tests/fuzz/FuzzSupport.h"

namespace
{
std::string ReadAll(const std::string& path)
{
    std::string bytes;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr)
        return bytes;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof(buffer), file)) > 0)
        bytes.append(buffer, n);
    std::fclose(file);
    return bytes;
}

std::vector<std::string> Names()
{
    std::vector<std::string> names;
    for (auto* node = g_ProfileManager.GetProfiles().FirstNode(); node != nullptr;
         node = g_ProfileManager.GetProfiles().NextNode(node))
        names.emplace_back(node->payload->m_Name.c_str(), size_t(node->payload->m_Name.Length()));
    return names;
}

void CheckSetUp()
{
    const std::vector<int32_t> laps = GetLapCounts();
    for (auto* node = g_ProfileManager.GetProfiles().FirstNode(); node != nullptr;
         node = g_ProfileManager.GetProfiles().NextNode(node))
    {
        CProfile* saved = g_ProfileManager.GetCurrent();
        g_ProfileManager.SetCurrent(node->payload);
        g_RaceSettings.ClearParticipants();
        g_RaceSettings.LoadFromProfile();
        g_ProfileManager.SetCurrent(saved);
        for (int32_t i = 1; i < CRaceSettings::SlotCount; ++i)
        {
            const CRaceParticipant* slot = g_RaceSettings.GetParticipant(i);
            if (slot->m_Kind < 0 || slot->m_Kind > 3 || slot->m_StartPlace < 1 || slot->m_StartPlace > 6)
                __builtin_trap();
        }
        bool listed = false;
        for (int32_t count : laps)
            listed |= count == g_RaceSettings.m_Laps;
        if (!listed || g_RaceSettings.m_RaceType < 0 || g_RaceSettings.m_RaceType > 2 ||
            g_RaceSettings.m_Difficulty < 1 || g_RaceSettings.m_Difficulty > 3)
            __builtin_trap();
    }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::string folder = []
    {
        const std::string home = FuzzScratchPath("profiles");
        std::error_code error;
        std::filesystem::create_directories(home, error);
        setenv("XDG_DATA_HOME", home.c_str(), 1);
        return std::string(GetSaveFolder().c_str());
    }();
    if (folder.empty())
        __builtin_trap();
    const std::string path = folder + "/" + CProfileManager::FileName;
    if (!FuzzWriteFile(path, data, size))
        return 0;

    g_ProfileManager.Load();
    const std::vector<std::string> names = Names();
    for (size_t i = 0; i < names.size(); ++i)
    {
        for (unsigned char c : names[i])
            if (c < 0x20)
                __builtin_trap();
        if (names[i].empty())
            __builtin_trap();
        for (size_t j = 0; j < i; ++j)
            if (names[i] == names[j])
                __builtin_trap();
    }
    CheckSetUp();

    const CProfile* current = g_ProfileManager.GetCurrent();
    const std::string currentName = current != nullptr ? current->m_Name.c_str() : "";
    if (!g_ProfileManager.Save())
        __builtin_trap();
    const std::string saved = ReadAll(path);
    g_ProfileManager.Load();
    if (Names() != names)
        __builtin_trap();
    const CProfile* again = g_ProfileManager.GetCurrent();
    if ((again != nullptr ? again->m_Name.c_str() : "") != currentName)
        __builtin_trap();
    if (!g_ProfileManager.Save() || ReadAll(path) != saved)
        __builtin_trap();
    std::remove((path + CProfileManager::DamagedSuffix).c_str());
    return 0;
}
