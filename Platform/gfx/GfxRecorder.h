#pragma once
// The recording backend's log and controls. With GfxSelectBackend(GfxBackendKind::Recording) the device
// draws nothing; each call it receives is appended to the log (draws and clears with a copy of the state
// and of the vertices and indices they read), and the adapter answers and failures below are the ones
// tests choose.
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "Platform/gfx/GfxState.h"

struct GfxDrawRecord
{
    GfxState state;  // pointers in it identify objects; they are not kept alive
    D3DPRIMITIVETYPE type = D3DPT_TRIANGLELIST;
    UINT primitiveCount = 0;
    UINT vertexCount = 0;
    UINT stride = 0;
    std::vector<uint8_t> vertices;  // the vertices the draw reads, from its first one on
    bool indexed = false;
    std::vector<uint32_t> indices;  // relative to the first vertex above
};

struct GfxCall
{
    std::string name;
    std::vector<uint64_t> args;
    std::shared_ptr<GfxDrawRecord> draw;  // draws and clears
};

class GfxRecorder
{
public:
    // The log. With logging off nothing is appended (long runs of frames), the controls below still act.
    std::vector<GfxCall> calls;
    bool logging = true;
    size_t Count(const std::string& name) const;
    // The calls of one name, in order.
    std::vector<const GfxCall*> Find(const std::string& name) const;
    const GfxCall* Last(const std::string& name) const;
    // Every draw record in order (DrawPrimitive, DrawIndexedPrimitive and the UP forms).
    std::vector<const GfxDrawRecord*> Draws() const;
    void ClearLog() { calls.clear(); }

    // Failures: the next `times` calls of that name fail. Honoured by "Direct3DCreate9" (null), by
    // "CreateDevice", "CheckDeviceFormat", "CheckDeviceMultiSampleType" and "CheckDepthStencilMatch"
    // (D3DERR_NOTAVAILABLE), and by the device's Create calls ("CreateTexture", "CreateCubeTexture",
    // "CreateVolumeTexture", "CreateVertexBuffer", "CreateIndexBuffer", "CreateRenderTarget",
    // "CreateDepthStencilSurface", "CreateOffscreenPlainSurface", "CreateVertexDeclaration":
    // D3DERR_OUTOFVIDEOMEMORY), and by a 2-D texture's "LockRect" (D3DERR_INVALIDCALL, on any backend). Reset and TestCooperativeLevel take their answers from the queues below.
    void FailNext(const std::string& call, int times = 1) { m_Failures[call] += times; }
    bool ShouldFail(const std::string& call);
    // CreateDevice and Reset refuse present parameters for which this returns false.
    std::function<bool(const D3DPRESENT_PARAMETERS&)> acceptMode;
    // CheckDeviceFormat and CheckDepthStencilMatch refuse these formats (as checked, render-target or depth).
    std::set<D3DFORMAT> refusedFormats;
    // Quality levels per (surface format, multisample type); D3DFMT_UNKNOWN matches any format. Types absent
    // from the table: none 1, nonmaskable 4, 2/4/8 samples 1, others not available.
    std::map<std::pair<D3DFORMAT, int>, DWORD> multisampleLevels;
    DWORD pixelShaderVersion = D3DPS_VERSION(3, 0);
    DWORD caps2 = D3DCAPS2_DYNAMICTEXTURES;
    std::vector<D3DDISPLAYMODE> modes;
    // Answers of TestCooperativeLevel and Reset, taken from the front; D3D_OK when empty.
    std::deque<HRESULT> cooperativeLevels;
    std::deque<HRESULT> resetResults;

    // Everything back to the defaults above, log emptied.
    void ResetAll();
    void Record(const char* name, std::initializer_list<uint64_t> args, std::shared_ptr<GfxDrawRecord> draw = {});

private:
    std::map<std::string, int> m_Failures;
};

extern GfxRecorder g_GfxRecorder;
