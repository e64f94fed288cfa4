#include "Engine/foundation/WeHashTable.h"
#include "Engine/foundation/WeString.h"

#include <benchmark/benchmark.h>

#include <string>
#include <unordered_map>
#include <vector>

// Keys shaped like the configuration store's: file.Section.Name, 3,584 of them (about as many as
// the game's configuration holds), so that each of the 127 chains holds some 28 entries.
namespace
{
const char* const Files[] = {"game", "build", "debug", "UI", "Sounds", "Shaders", "Maps", "Localization"};
const char* const Sections[] = {"Options", "Render", "Physics", "General", "TimeTrial", "Fonts", "Weapons"};
const char* const Names[] = {"GlobalBloomScale", "MaxDistance", "Version",  "DefaultFontName",
                             "BlueTimeColor",    "FixedTick",   "RefvsMax", "PreviewCamera"};

struct Keys
{
    std::vector<std::string> std;
    std::vector<WeString> we;
};

const Keys& ConfigKeys()
{
    static const Keys keys = []
    {
        Keys k;
        for (const char* file : Files)
            for (const char* section : Sections)
                for (const char* name : Names)
                    for (int variant = 0; variant < 8; ++variant)
                    {
                        const std::string key =
                            std::string(file) + "." + section + "." + name + std::to_string(variant);
                        k.std.push_back(key);
                        k.we.emplace_back(key.c_str());
                    }
        return k;
    }();
    return keys;
}

void WeStringAppend(benchmark::State& state)
{
    for (auto _ : state)
    {
        WeString key("game");
        key.AppendChar('.');
        key.AppendText("Render");
        key.AppendChar('.');
        key.AppendText("GlobalBloomScale");
        key.AppendInt(42);
        benchmark::DoNotOptimize(key.c_str());
    }
}
BENCHMARK(WeStringAppend);

void StdStringAppend(benchmark::State& state)
{
    for (auto _ : state)
    {
        std::string key("game");
        key += '.';
        key += "Render";
        key += '.';
        key += "GlobalBloomScale";
        key += std::to_string(42);
        benchmark::DoNotOptimize(key.data());
    }
}
BENCHMARK(StdStringAppend);

void WeStringConcat(benchmark::State& state)
{
    const WeString file("game"), section("Render"), name("GlobalBloomScale");
    for (auto _ : state)
    {
        WeString key = file.ConcatText(".").Concat(section).ConcatText(".").Concat(name);
        benchmark::DoNotOptimize(key.c_str());
    }
}
BENCHMARK(WeStringConcat);

void StdStringConcat(benchmark::State& state)
{
    const std::string file("game"), section("Render"), name("GlobalBloomScale");
    for (auto _ : state)
    {
        std::string key = file + "." + section + "." + name;
        benchmark::DoNotOptimize(key.data());
    }
}
BENCHMARK(StdStringConcat);

void WeStringToLower(benchmark::State& state)
{
    const WeString name("Textures.Crafts.Tuber_Plasma_Diffuse.DDS");
    for (auto _ : state)
    {
        WeString lower = name.ToLower();
        benchmark::DoNotOptimize(lower.c_str());
    }
}
BENCHMARK(WeStringToLower);

void StdStringToLower(benchmark::State& state)
{
    const std::string name("Textures.Crafts.Tuber_Plasma_Diffuse.DDS");
    for (auto _ : state)
    {
        std::string lower(name);
        for (char& c : lower)
            if (c >= 'A' && c <= 'Z')
                c = static_cast<char>(c + ('a' - 'A'));
        benchmark::DoNotOptimize(lower.data());
    }
}
BENCHMARK(StdStringToLower);

void WeHashTableInsert(benchmark::State& state)
{
    const Keys& keys = ConfigKeys();
    WeHashTable<int> table;
    for (auto _ : state)
    {
        table.Clear();  // nodes are kept: the steady state of a table refilled every frame
        int i = 0;
        for (const WeString& key : keys.we)
            table.Insert(key, i++);
        benchmark::DoNotOptimize(table.Count());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(keys.we.size()));
}
BENCHMARK(WeHashTableInsert);

void StdUnorderedMapInsert(benchmark::State& state)
{
    const Keys& keys = ConfigKeys();
    std::unordered_map<std::string, int> table;
    for (auto _ : state)
    {
        table.clear();
        int i = 0;
        for (const std::string& key : keys.std)
            table.emplace(key, i++);
        benchmark::DoNotOptimize(table.size());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(keys.std.size()));
}
BENCHMARK(StdUnorderedMapInsert);

void WeHashTableFind(benchmark::State& state)
{
    const Keys& keys = ConfigKeys();
    WeHashTable<int> table;
    int i = 0;
    for (const WeString& key : keys.we)
        table.Insert(key, i++);
    for (auto _ : state)
    {
        int sum = 0;
        for (const WeString& key : keys.we)
        {
            int* value = nullptr;
            if (table.FindRef(key, &value))
                sum += *value;
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(keys.we.size()));
}
BENCHMARK(WeHashTableFind);

void StdUnorderedMapFind(benchmark::State& state)
{
    const Keys& keys = ConfigKeys();
    std::unordered_map<std::string, int> table;
    int i = 0;
    for (const std::string& key : keys.std)
        table.emplace(key, i++);
    for (auto _ : state)
    {
        int sum = 0;
        for (const std::string& key : keys.std)
        {
            auto it = table.find(key);
            if (it != table.end())
                sum += it->second;
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(keys.std.size()));
}
BENCHMARK(StdUnorderedMapFind);
}  // namespace

BENCHMARK_MAIN();
