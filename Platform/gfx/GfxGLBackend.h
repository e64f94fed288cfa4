#pragma once
// OpenGL 3.3 core with clip control, through an SDL window and context.
//
// Conventions: every surface (the back buffer included) is a framebuffer object whose row 0 is the image's
// top row, the layout textures keep in memory, so engine uv coordinates sample unchanged. Clip control
// (upper-left origin, 0..1 depth) makes clip space land that way up; it also mirrors the facing rule, so
// Direct3D's clockwise front faces stay glFrontFace(GL_CW), and viewport and scissor rectangles keep their
// Direct3D coordinates. Present is the one place with a y-flip: the back buffer is blitted upside down
// into the window. Matrices are uploaded as they are; GLSL computes M * v.
#include <string>
#include <unordered_map>

#include "Platform/gfx/GfxAdapterInfo.h"
#include "Platform/gfx/GfxBackend.h"

struct SDL_Window;

class GfxGLBackend : public GfxBackend
{
public:
    explicit GfxGLBackend(const GfxAdapterInfo& adapter) : m_Adapter(adapter) {}
    ~GfxGLBackend() override;
    // Opens a hidden context once to learn what the adapter offers; false without GL 3.3 and clip control.
    static bool Probe(GfxAdapterInfo& adapter);
    static inline bool s_ShowOwnWindow = false;
    // The programs that draw the same image faster: each effect program's twin without the alpha test (and
    // with the effect's own cheaper route where it has one), and the plain texture copy of the fixed-function
    // stage. Off, every draw takes the general program: the reference the image tests compare the fast paths
    // against.
    static inline bool s_FastPaths = true;

    bool Open(HWND window, const D3DPRESENT_PARAMETERS& params) override;
    bool Resize(const D3DPRESENT_PARAMETERS& params) override;
    bool CreateImage(GfxImage& image) override;
    void DestroyImage(GfxImage& image) override;
    void UploadImage(GfxImage& image, UINT sub) override;
    bool CreateBuffer(GfxBuffer& buffer) override;
    void DestroyBuffer(GfxBuffer& buffer) override;
    void UploadBuffer(GfxBuffer& buffer, UINT offset, UINT size, bool discard) override;
    void Clear(const GfxState& state, DWORD count, const RECT* rects, DWORD flags, D3DCOLOR color, float z,
               DWORD stencil) override;
    void Draw(const GfxState& state, const GfxDraw& draw) override;
    bool Stretch(GfxSurface& source, const RECT& sourceRect, GfxSurface& dest, const RECT& destRect,
                 D3DTEXTUREFILTERTYPE filter) override;
    bool Fill(GfxSurface& surface, const RECT& rect, D3DCOLOR color) override;
    bool Read(GfxSurface& source, GfxImage& dest) override;
    void Present(GfxSurface& backBuffer) override;
    uint32_t BuildProgram(const std::string& vertex, const std::string& fragment, std::string* log) override;
    void DestroyProgram(uint32_t program) override;
    int UniformLocation(uint32_t program, const char* name) override;
    void SetUniform(uint32_t program, int location, UniformType type, UINT count, const void* data) override;

private:
    struct Attachment
    {
        uint32_t name = 0;
        int target = 0;  // GL texture target or GL_RENDERBUFFER
        UINT level = 0;
        bool operator==(const Attachment& o) const { return name == o.name && target == o.target && level == o.level; }
    };
    static Attachment AttachmentOf(const GfxSurface* surface);
    void Attach(uint32_t framebuffer, uint32_t point, const Attachment& attachment);
    // Binds the draw framebuffer with the state's targets; false when it cannot be drawn into.
    bool BindTargets(const GfxState& state);
    // A read framebuffer holding one colour surface, resolved first when it is multisampled.
    bool BindReadSurface(GfxSurface& surface, UINT width, UINT height);
    void ApplyRasterState(const GfxState& state, bool hasDepth);
    void ApplySamplers(const GfxState& state);
    void ApplyBuiltInProgram(const GfxState& state, bool pretransformed);
    void ClearRegion(const GfxState& state, LONG left, LONG top, LONG right, LONG bottom, DWORD flags, D3DCOLOR color,
                     float z, DWORD stencil);
    bool BuildBuiltIns();
    void ApplyWindowMode(const D3DPRESENT_PARAMETERS& params);
    void UseScratchUnit(uint32_t target, uint32_t name);
    // Every call that reaches GL first makes this device's context current: another device, or a probe, may
    // have taken it.
    void MakeCurrent();

    struct BoundTexture
    {
        uint32_t name = 0;
        int target = 0;
    };
    BoundTexture m_Bound[WE_GFX_STAGES];
    struct ProgramInfo
    {
        int viewport = -1, alphaFunc = -1, alphaRef = -1;
        // The same program without the alpha test's discard (0 when it could not be built), drawn with when
        // the test is off so that llvmpipe tests and writes depth before shading; every uniform set on the
        // program is set on it too, at its own location.
        uint32_t twin = 0;
        int twinViewport = -1;
        std::unordered_map<int, int> twinLocations;
    };
    std::unordered_map<uint32_t, ProgramInfo> m_Programs;
    uint32_t m_CurrentProgram = 0;
    void UseProgram(uint32_t program);
    void ApplyProgramCommon(const GfxState& state, uint32_t program, const ProgramInfo& info);
    void UploadUniform(uint32_t program, int location, UniformType type, UINT count, const void* data);
    bool m_FullScreen = false;

    GfxAdapterInfo m_Adapter;
    SDL_Window* m_Window = nullptr;
    bool m_OwnWindow = false;
    void* m_Context = nullptr;
    uint32_t m_Vao = 0, m_DrawFbo = 0, m_ReadFbo = 0, m_ResolveFbo = 0, m_ResolveBuffer = 0;
    UINT m_ResolveWidth = 0, m_ResolveHeight = 0;
    uint32_t m_ResolveFormat = 0;
    uint32_t m_ScratchVbo = 0, m_ScratchIbo = 0;
    uint32_t m_Samplers[WE_GFX_STAGES] = {};
    DWORD m_SamplerShadow[WE_GFX_STAGES][WE_D3DSAMP_COUNT] = {};
    uint32_t m_WhiteTexture = 0;
    uint32_t m_Program = 0;
    int m_UWorldViewProj = -1, m_UPretransformed = -1, m_UViewport = -1, m_UHasTexture = -1, m_UOps = -1,
        m_UTFactor = -1, m_UAlphaFunc = -1, m_UAlphaRef = -1, m_UTex0 = -1;
    // The built-in program's plain texture copy (most full-screen passes of the fixed-function stage), without
    // and with the alpha test.
    struct CopyProgram
    {
        bool built = false;
        uint32_t program = 0;
        int worldViewProj = -1, pretransformed = -1, viewport = -1, alphaFunc = -1, alphaRef = -1;
    };
    CopyProgram m_CopyPrograms[2];
    const CopyProgram& CopyProgramFor(bool tested);
    Attachment m_Colour[4];
    Attachment m_Depth;
    uint32_t m_DepthPoint = 0;
    bool m_FboComplete = false;
    bool m_FboKnown = false;
};
