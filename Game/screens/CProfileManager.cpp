#include "Game/screens/CProfileManager.h"

#include <string>
#include <vector>

#include "Engine/foundation/WeFileStream.h"
#include "Engine/foundation/WeLog.h"
#include "Engine/foundation/WeSaveFile.h"
#include "Engine/render/WeRenderDevice.h"
#include "Game/screens/CProfile.h"
#include "Game/shell/CInputBindings.h"
#include "Game/shell/COptionsSettings.h"
#include "Game/shell/GameMain.h"
#include "Platform/system/SysPath.h"

CProfileManager g_ProfileManager;

namespace
{
// The twenty ints after the list version: the back-buffer size ten times. No reader uses them.
constexpr int32_t ScreenSizePairs = 10;

// Keeps a copy of a file that could not be read whole beside it, so that the next save, which writes
// only what was read, cannot cost the profiles behind the damage.
void KeepDamagedCopy(const WeString& path)
{
    WeFileStream in;
    if (!in.Open(path))
        return;
    const int64_t size = in.GetSize();
    std::vector<char> bytes(static_cast<size_t>(size > 0 ? size : 0));
    if (size > 0)
        in.Read(bytes.data(), size);
    in.Close();

    const WeString copyPath = path + CProfileManager::DamagedSuffix;
    WeSaveFile copy(copyPath);
    bool ok = copy.Open();
    if (ok)
        ok = copy.Commit(size <= 0 || copy.GetStream().Write(bytes.data(), size));
    DebugLogPrintf("Profiles: %s is damaged; %s a copy as %s\n", path.c_str(), ok ? "kept" : "could not keep",
                   copyPath.c_str());
}
}  // namespace

CProfileManager::~CProfileManager()
{
    Clear();
}

WeString CProfileManager::GetFilePath()
{
    const WeString folder = GetSaveFolder();
    if (folder.IsEmpty())
        return WeString();
    return WeString(SysPath::Join(folder.c_str(), FileName).c_str());
}

void CProfileManager::Clear()
{
    for (WeList<CProfile*>::Node* node = m_Profiles.FirstNode(); node != nullptr; node = m_Profiles.NextNode(node))
        delete node->payload;
    m_Profiles.Clear();
    m_Current = nullptr;
}

CProfile* CProfileManager::Find(const WeString& name)
{
    for (WeList<CProfile*>::Node* node = m_Profiles.FirstNode(); node != nullptr; node = m_Profiles.NextNode(node))
    {
        if (node->payload->m_Name == name)
            return node->payload;
    }
    return nullptr;
}

CProfile* CProfileManager::Create(const WeString& name)
{
    const WeString clean = CProfile::CleanName(name);
    if (clean.IsEmpty() || Find(clean) != nullptr)
        return nullptr;
    CProfile* profile = new CProfile();
    profile->m_Name = clean;
    m_Profiles.PushBack(profile);
    Save();
    return profile;
}

void CProfileManager::Delete(const WeString& name)
{
    Delete(Find(name));
}

void CProfileManager::Delete(CProfile* profile)
{
    if (profile == nullptr)
        return;
    for (WeList<CProfile*>::Node* node = m_Profiles.FirstNode(); node != nullptr; node = m_Profiles.NextNode(node))
    {
        if (node->payload != profile)
            continue;
        if (m_Current == profile)
            m_Current = nullptr;
        m_Profiles.Remove(node);
        delete profile;
        return;
    }
}

void CProfileManager::ApplyCurrent()
{
    if (m_Current == nullptr || m_Current->m_Bindings == nullptr)
        return;
    g_OptionsSettings.m_Bindings = *m_Current->m_Bindings;
}

bool CProfileManager::AppendLoaded(CProfile* profile)
{
    if (Find(profile->m_Name) != nullptr)
    {
        DebugLogPrintf("Profiles: a second profile named \"%s\" is dropped\n", profile->m_Name.c_str());
        delete profile;
        return false;
    }
    m_Profiles.PushBack(profile);
    return true;
}

bool CProfileManager::Read(WeFileStream& stream)
{
    Clear();
    stream.ClearShortRead();
    const int32_t version = stream.ReadInt32();
    if (stream.HadShortRead())
        return false;
    if (version < ListVersion)
        return true;
    for (int32_t i = 0; i < 2 * ScreenSizePairs; ++i)
        stream.ReadInt32();
    const int32_t count = stream.ReadInt32();
    if (stream.HadShortRead() || count < 0)
        return false;

    // Every record takes at least its version's four bytes, so the end of the file bounds the loop
    // whatever the count says.
    bool whole = true;
    for (int32_t i = 0; i < count; ++i)
    {
        CProfile* profile = new CProfile();
        if (!profile->Load(stream))
        {
            delete profile;
            return false;
        }
        whole &= AppendLoaded(profile);
    }

    stream.ClearShortRead();
    const WeString current = CProfile::CleanName(stream.ReadString());
    if (stream.HadShortRead())
        return false;
    m_Current = current.IsEmpty() ? nullptr : Find(current);
    return whole;
}

bool CProfileManager::Write(WeFileStream& stream) const
{
    bool ok = stream.WriteInt32(ListVersion);
    for (int32_t i = 0; i < ScreenSizePairs; ++i)
    {
        ok &= stream.WriteInt32(g_ScreenSize.width);
        ok &= stream.WriteInt32(g_ScreenSize.height);
    }
    ok &= stream.WriteInt32(m_Profiles.Count());
    for (WeList<CProfile*>::Node* node = m_Profiles.FirstNode(); node != nullptr; node = m_Profiles.NextNode(node))
        ok &= node->payload->Save(stream);
    ok &= stream.WriteString(m_Current != nullptr ? m_Current->m_Name : WeString());
    return ok;
}

void CProfileManager::Load()
{
    Clear();
    const WeString path = GetFilePath();
    if (path.IsEmpty())
        return;
    WeFileStream stream;
    if (!stream.Open(path))
        return;
    const bool whole = Read(stream);
    stream.Close();
    if (!whole)
        KeepDamagedCopy(path);
}

bool CProfileManager::Save()
{
    const WeString path = GetFilePath();
    if (path.IsEmpty())
    {
        DebugLogPrintf("Profiles: no save folder; the profiles are not saved\n");
        return false;
    }
    WeSaveFile file(path);
    const bool ok = file.Open() && file.Commit(Write(file.GetStream()));
    if (!ok)
        DebugLogPrintf("Profiles: %s could not be written\n", path.c_str());
    return ok;
}
