#include "Platform/gfx/GfxRecorder.h"

GfxRecorder g_GfxRecorder;

size_t GfxRecorder::Count(const std::string& name) const
{
    size_t n = 0;
    for (const GfxCall& call : calls)
        n += call.name == name;
    return n;
}

std::vector<const GfxCall*> GfxRecorder::Find(const std::string& name) const
{
    std::vector<const GfxCall*> out;
    for (const GfxCall& call : calls)
        if (call.name == name)
            out.push_back(&call);
    return out;
}

const GfxCall* GfxRecorder::Last(const std::string& name) const
{
    for (auto it = calls.rbegin(); it != calls.rend(); ++it)
        if (it->name == name)
            return &*it;
    return nullptr;
}

std::vector<const GfxDrawRecord*> GfxRecorder::Draws() const
{
    std::vector<const GfxDrawRecord*> out;
    for (const GfxCall& call : calls)
        if (call.draw && call.name.rfind("Draw", 0) == 0)
            out.push_back(call.draw.get());
    return out;
}

bool GfxRecorder::ShouldFail(const std::string& call)
{
    auto it = m_Failures.find(call);
    if (it == m_Failures.end() || it->second <= 0)
        return false;
    if (--it->second == 0)
        m_Failures.erase(it);
    return true;
}

void GfxRecorder::ResetAll()
{
    calls.clear();
    m_Failures.clear();
    acceptMode = nullptr;
    refusedFormats.clear();
    multisampleLevels.clear();
    pixelShaderVersion = D3DPS_VERSION(3, 0);
    caps2 = D3DCAPS2_DYNAMICTEXTURES;
    modes.clear();
    cooperativeLevels.clear();
    resetResults.clear();
    logging = true;
}

void GfxRecorder::Record(const char* name, std::initializer_list<uint64_t> args, std::shared_ptr<GfxDrawRecord> draw)
{
    if (!logging)
        return;
    calls.push_back(GfxCall{name, std::vector<uint64_t>(args), std::move(draw)});
}
