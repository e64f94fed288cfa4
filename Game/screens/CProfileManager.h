#pragma once
#include <cstdint>

#include "Engine/foundation/WeList.h"
#include "Engine/foundation/WeString.h"

class CProfile;
class WeFileStream;

// The profile store: every profile in memory, in load order (new ones at the end), the current one, and
// the one file "profiles_demo.sav" in the save folder that holds them all. Names are the key, compared
// exactly (length, then bytes; case-sensitive).
class CProfileManager
{
public:
    static constexpr const char* FileName = "profiles_demo.sav";
    // A damaged file is kept beside the good one under this suffix before anything rewrites it.
    static constexpr const char* DamagedSuffix = ".damaged";
    // The list version this code writes; 12 and older files hold nothing this game reads.
    static constexpr int32_t ListVersion = 13;

    CProfileManager() = default;
    ~CProfileManager();
    CProfileManager(const CProfileManager&) = delete;
    CProfileManager& operator=(const CProfileManager&) = delete;

    // Forgets every profile, then reads the file. A missing file gives an empty store; a damaged one
    // keeps the profiles read whole before the damage, and a copy of the file.
    void Load();
    // Rewrites the whole file (a temporary file renamed over the old one). False, the old file whole,
    // when it cannot be written.
    bool Save();

    // The store from and into a stream holding the file's bytes. Read returns false when the stream was
    // damaged (profiles read whole before the damage are kept).
    bool Read(WeFileStream& stream);
    bool Write(WeFileStream& stream) const;

    CProfile* Find(const WeString& name);
    // A new default profile of that name, appended and saved, not made current; null when the name is
    // taken or empty once its control bytes are dropped.
    CProfile* Create(const WeString& name);
    // Deletes the profile of that name (forgetting it as the current one). Unknown names change nothing.
    void Delete(const WeString& name);
    void Delete(CProfile* profile);
    // Deletes every profile and forgets the current one; the file is not touched.
    void Clear();

    void SetCurrent(CProfile* profile) { m_Current = profile; }
    CProfile* GetCurrent() const { return m_Current; }
    // Makes the current profile's bindings the active set of the options.
    void ApplyCurrent();

    int32_t Count() const { return m_Profiles.Count(); }
    WeList<CProfile*>& GetProfiles() { return m_Profiles; }
    // The file's path in the save folder; empty when there is no save folder.
    static WeString GetFilePath();

private:
    // Appends a loaded profile unless its name is taken (then it is deleted); false when dropped.
    bool AppendLoaded(CProfile* profile);

    CProfile* m_Current = nullptr;
    WeList<CProfile*> m_Profiles;
};

extern CProfileManager g_ProfileManager;
