#pragma once
// The effect host over the graphics device: a pass sets its render and sampler states and textures through
// the device, and draws with its own program through the device's effect-program hook, its uniforms set
// from the effect's values at BeginPass and CommitChanges. The recording backend only numbers programs, so
// the same steps run (and are recorded) without GL.
#include <map>
#include <vector>

#include "Platform/gfx/D3D9.h"
#include "Platform/gfx_d3dx/FxEffectData.h"
#include "Platform/gfx_d3dx/FxHost.h"

class GfxDevice;

class FxDeviceHost : public FxHost
{
public:
    explicit FxDeviceHost(IDirect3DDevice9* device);
    ~FxDeviceHost() override;

    uint32_t BuildProgram(const std::string& vertex, const std::string& fragment, std::string* log) override;
    void DestroyProgram(uint32_t program) override;
    void ApplyPass(const FxEffect& effect, const FxPass& pass) override;
    void Commit(const FxEffect& effect, const FxPass& pass) override;
    void EndPass() override;

    // The texts a pass's bodies are compiled as: #version, the attribute locations and the layer's preludes.
    static std::string VertexText(const std::string& body);
    static std::string FragmentText(const std::string& body);

private:
    struct Uniform
    {
        const FxParameter* parameter;
        int location;
        int unit;           // texture parameters: the unit their pass binds
        uint64_t uploaded;  // the value's version the program holds (GL keeps uniforms per program)
    };
    void BindTextures(const FxEffect& effect, const FxPass& pass);
    void Upload(const FxEffect& effect, const FxPass& pass);

    GfxDevice* m_Device;                                  // not owned: the effect holds the reference
    std::map<uint32_t, std::vector<Uniform>> m_Uniforms;  // per built program, found on first use
};
