#pragma once
#include <cstdint>

#include "Engine/foundation/WeConfigEntry.h"
#include "Engine/foundation/WeString.h"
#include "Engine/foundation/WeStringList.h"

class WeVirtualFileSystem;

// The configuration store: one process-wide table of entries keyed by the case-sensitive dotted key
// file.section.name, filled from the ini files of package Config, folder Main (all but "debug" and
// "MapEditor") at the first lookup, and extended by the getters. Everything is built on first use,
// so a getter may be called from any static initialiser; nothing is torn down at exit, so a late
// getter never reloads anything or finds a destroyed table.

// The getters find (or create) the entry. An entry without a value takes the caller's default: its
// text and all four readings are set from it, and the first caller's default wins. The references
// stay valid for the life of the process and see every later change of the entry.
int32_t& GetConfigInt(const WeString& key, int32_t defaultValue);
bool& GetConfigBool(const WeString& key, bool defaultValue);
float& GetConfigFloat(const WeString& key, float defaultValue);
WeString& GetConfigString(const WeString& key, const WeString& defaultValue);

// The entry of the key (tried first with the key suffix appended), created empty when absent.
WeConfigEntry* FindConfigEntry(const WeString& key);
// Exact lookup; the very first call of the process loads every configuration file. Null when the key
// is absent and create is false.
WeConfigEntry* LookupConfigEntry(const WeString& key, bool create);
// Empties the list, then appends every key that begins with the prefix (compared without regard to
// ASCII case), in table order.
void ListConfigKeys(const WeString& prefix, WeStringList& out);
// An empty name loads every configuration file; otherwise the one file of that name.
void LoadConfigFiles(const WeString& fileName);
// The names of the configuration files found by the last full load.
WeStringList& GetConfigFileList();
// Appended to keys by FindConfigEntry's first try; empty, and nothing changes it.
WeString& GetConfigKeySuffix();
// The text of "build.Options.Version" (default "ver 1.0"), read once.
WeString& GetBuildVersion();
// The file system the configuration files are read from: the active one unless another was set
// (tools and tests). Null restores the active one.
void SetConfigFileSystem(WeVirtualFileSystem* fileSystem);
