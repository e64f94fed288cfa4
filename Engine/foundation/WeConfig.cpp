#include "Engine/foundation/WeConfig.h"

#include <charconv>

#include "Engine/foundation/WeFileStream.h"
#include "Engine/foundation/WeHashTable.h"
#include "Engine/foundation/WeVirtualFileSystem.h"

namespace
{
constexpr int32_t ConfigType = 11;  // ini

// Process-wide state, built on first use and never destroyed.
struct ConfigState
{
    WeHashTable<WeConfigEntry>* table = nullptr;
    WeStringList fileList;
    WeString keySuffix;
    WeVirtualFileSystem* fileSystem = nullptr;
};

ConfigState& State()
{
    static ConfigState* state = new ConfigState();
    return *state;
}

WeVirtualFileSystem* ConfigFileSystem()
{
    ConfigState& state = State();
    return state.fileSystem ? state.fileSystem : WeVirtualFileSystem::Instance();
}

// Gives an entry without a value the caller's default as its text and parses it, so that every
// reading of the key agrees with what the first caller asked for.
void GiveDefault(WeConfigEntry& entry, const WeString& defaultText)
{
    entry.text = defaultText;
    entry.hasValue = true;
    entry.ParseText();
}

bool EqualsIgnoringCase(const char* a, const char* b, int32_t length)
{
    for (int32_t i = 0; i < length; ++i)
    {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z')
            x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z')
            y = static_cast<char>(y - 'A' + 'a');
        if (x != y)
            return false;
    }
    return true;
}

enum class Mode
{
    LineStart,
    Section,
    Key,
    Value
};

struct IniReader
{
    explicit IniReader(const WeString& name) : file(name) {}

    const WeString& file;
    Mode mode = Mode::LineStart;
    bool comment = false;
    bool escape = false;
    char previous = 0;
    WeString section, key, value;

    void Append(char c)
    {
        switch (mode)
        {
        case Mode::LineStart:
            key.Clear();
            key += c;
            mode = Mode::Key;
            break;
        case Mode::Section: section += c; break;
        case Mode::Key: key += c; break;
        case Mode::Value: value += c; break;
        }
    }

    void EndLine()
    {
        if (mode == Mode::Value && !section.IsEmpty() && !key.IsEmpty())
        {
            WeString name = file;
            name += '.';
            name += section;
            name += '.';
            name += key;
            WeConfigEntry* entry = LookupConfigEntry(name, true);
            entry->fromFile = true;
            entry->hasValue = true;
            entry->text = value;
            entry->ParseText();
        }
        key.Clear();
        mode = Mode::LineStart;
        comment = false;
        escape = false;
    }

    // One byte of the file; the end of the file counts as one last line end.
    void Feed(char c, bool last)
    {
        if (c == '\r' || c == '\n')
        {
            if (last)
                EndLine();  // a '\' as the very last byte keeps its line
            else if (escape)
                escape = false;  // '\' at a line end joins the lines
            else if (!(previous == '\r' && c == '\n'))
                EndLine();
            previous = c;
            return;
        }
        if (comment)
        {
            // After ';' nothing on the line acts: no escape, section, key or value.
            previous = c;
            return;
        }
        if (escape)
        {
            escape = false;
            c = (c == 'n' || c == 'r') ? '\n' : (c == 't' ? '\t' : c);
            Append(c);
            previous = c;
            return;
        }
        switch (c)
        {
        case ';': comment = true; break;
        case '\\': escape = true; break;
        case '[':
            if (mode == Mode::LineStart)
            {
                section.Clear();
                mode = Mode::Section;
            }
            else
                Append(c);
            break;
        case ']':
            if (mode == Mode::Section)
            {
                key.Clear();
                mode = Mode::Key;
            }
            else
                Append(c);
            break;
        case '=':
            if (mode == Mode::Key)
            {
                value.Clear();
                mode = Mode::Value;
            }
            else
                Append(c);
            break;
        default: Append(c); break;
        }
        previous = c;
    }
};

void LoadConfigFile(const WeString& file)
{
    WeVirtualFileSystem* fileSystem = ConfigFileSystem();
    WeString name("Config.Main.");
    name += file;
    if (!fileSystem->Open(name, ConfigType))
        return;
    WeFileStream* stream = fileSystem->GetStream();
    IniReader reader(file);
    for (;;)
    {
        const bool last = stream->IsEof();
        reader.Feed(last ? '\r' : stream->ReadByte(), last);
        if (last)
            break;
    }
    fileSystem->Close();
}
}  // namespace

WeConfigEntry* LookupConfigEntry(const WeString& key, bool create)
{
    ConfigState& state = State();
    if (!state.table)
    {
        // The table exists before the files are read, so the loader's own lookups do not load again.
        state.table = new WeHashTable<WeConfigEntry>();
        LoadConfigFiles(WeString());
    }
    WeConfigEntry* entry = nullptr;
    if (state.table->FindRef(key, &entry))
        return entry;
    if (!create)
        return nullptr;
    return &state.table->Insert(key, WeConfigEntry());
}

WeConfigEntry* FindConfigEntry(const WeString& key)
{
    WeString& suffix = GetConfigKeySuffix();
    if (!suffix.IsEmpty())
    {
        if (WeConfigEntry* entry = LookupConfigEntry(key + suffix, false))
            return entry;
    }
    return LookupConfigEntry(key, true);
}

int32_t& GetConfigInt(const WeString& key, int32_t defaultValue)
{
    WeConfigEntry* entry = FindConfigEntry(key);
    if (!entry->hasValue)
    {
        WeString text;
        text.AppendInt(defaultValue, 0, 10, true);
        GiveDefault(*entry, text);
    }
    return entry->intValue;
}

bool& GetConfigBool(const WeString& key, bool defaultValue)
{
    WeConfigEntry* entry = FindConfigEntry(key);
    if (!entry->hasValue)
        GiveDefault(*entry, WeString(defaultValue ? "1" : "0"));
    return entry->boolValue;
}

float& GetConfigFloat(const WeString& key, float defaultValue)
{
    WeConfigEntry* entry = FindConfigEntry(key);
    if (!entry->hasValue)
    {
        // The shortest fixed-point text that reads back as the same float, written as an ini file
        // would hold it (so 1e-7 does not read as the integer 1); to_chars ignores the locale.
        char digits[128];
        const std::to_chars_result r =
            std::to_chars(digits, digits + sizeof digits - 1, defaultValue, std::chars_format::fixed);
        *r.ptr = 0;
        GiveDefault(*entry, WeString(digits));
        entry->floatValue = defaultValue;  // exact, whatever the text could hold (NaN, infinities)
    }
    return entry->floatValue;
}

WeString& GetConfigString(const WeString& key, const WeString& defaultValue)
{
    WeConfigEntry* entry = FindConfigEntry(key);
    if (!entry->hasValue)
        GiveDefault(*entry, defaultValue);
    return entry->text;
}

void ListConfigKeys(const WeString& prefix, WeStringList& out)
{
    out.Reset();
    LookupConfigEntry(prefix, false);  // makes sure the files are loaded
    WeHashTable<WeConfigEntry>& table = *State().table;
    for (auto* entry = table.First(); entry; entry = table.Next())
        if (entry->key.Length() >= prefix.Length() &&
            EqualsIgnoringCase(entry->key.c_str(), prefix.c_str(), prefix.Length()))
            out.PushBack() = entry->key;
}

void LoadConfigFiles(const WeString& fileName)
{
    if (!fileName.IsEmpty())
    {
        LoadConfigFile(fileName);
        return;
    }
    WeStringList& files = State().fileList;
    ConfigFileSystem()->ListFiles(files, WeString("Config"), WeString("Main"), ConfigType);
    for (const WeString& file : files)
        if (file != "debug" && file != "MapEditor")
            LoadConfigFile(file);
}

WeStringList& GetConfigFileList()
{
    return State().fileList;
}

WeString& GetConfigKeySuffix()
{
    return State().keySuffix;
}

WeString& GetBuildVersion()
{
    static WeString* version = &GetConfigString(WeString("build.Options.Version"), WeString("ver 1.0"));
    return *version;
}

void SetConfigFileSystem(WeVirtualFileSystem* fileSystem)
{
    State().fileSystem = fileSystem;
}
