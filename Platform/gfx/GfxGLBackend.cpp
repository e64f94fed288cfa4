#include "Platform/gfx/GfxGLBackend.h"

#include <SDL2/SDL.h>
#include <dlfcn.h>
#include <link.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "Platform/gfx/GfxGL.h"
#include "Platform/gfx/GfxGLProgram.h"
#include "Platform/gfx/GfxShaderInterface.h"
#include "Platform/gfx/GfxSurface.h"
#include "Platform/gfx/GfxTexture.h"

#ifndef GL_TEXTURE_MAX_ANISOTROPY
#define GL_TEXTURE_MAX_ANISOTROPY 0x84FE
#define GL_MAX_TEXTURE_MAX_ANISOTROPY 0x84FF
#endif
#ifndef GL_MIRROR_CLAMP_TO_EDGE
#define GL_MIRROR_CLAMP_TO_EDGE 0x8743
#endif

namespace
{

const char* BuiltInVertex = R"(
layout(location = 0) in vec4 aPosition;
layout(location = 5) in vec4 aColor;
layout(location = 9) in vec4 aTex0;
uniform mat4 uWorldViewProj;
uniform int uPretransformed;
out vec4 vColor;
out vec2 vTex0;
void main() {
  if (uPretransformed != 0)
    gl_Position = weClipFromScreen(aPosition);
  else
    gl_Position = weClipFromD3D(uWorldViewProj * vec4(aPosition.xyz, 1.0));
  vColor = aColor;
  vTex0 = aTex0.xy;
}
)";

const char* BuiltInFragment = R"(
in vec4 vColor;
in vec2 vTex0;
uniform sampler2D uTex0;
uniform int uHasTexture;
uniform int uOps[6];
uniform vec4 uTFactor;
out vec4 fragColor;
vec4 Arg(int arg, vec4 tex) {
  int which = arg - (arg / 16) * 16;
  vec4 v = vColor;
  if (which == 2) v = tex;
  else if (which == 3) v = uTFactor;
  if ((arg / 16) % 2 == 1) v = vec4(1.0) - v;
  if ((arg / 32) % 2 == 1) v = vec4(v.a);
  return v;
}
vec4 Op(int op, vec4 a1, vec4 a2, vec4 tex) {
  if (op == 2) return a1;
  if (op == 3) return a2;
  if (op == 5) return a1 * a2 * 2.0;
  if (op == 6) return a1 * a2 * 4.0;
  if (op == 7) return a1 + a2;
  if (op == 8) return a1 + a2 - vec4(0.5);
  if (op == 9) return (a1 + a2 - vec4(0.5)) * 2.0;
  if (op == 10) return a1 - a2;
  if (op == 12) return mix(a2, a1, vColor.a);
  if (op == 13) return mix(a2, a1, tex.a);
  if (op == 14) return mix(a2, a1, uTFactor.a);
  return a1 * a2;
}
void main() {
  // A stage without a texture passes the diffuse colour on, as if disabled.
  vec4 tex = uHasTexture != 0 ? texture(uTex0, vTex0) : vec4(1.0);
  vec4 result = vColor;
  if (uOps[0] != 1 && uHasTexture != 0) {
    result.rgb = Op(uOps[0], Arg(uOps[1], tex), Arg(uOps[2], tex), tex).rgb;
    if (uOps[3] != 1) result.a = Op(uOps[3], Arg(uOps[4], tex), Arg(uOps[5], tex), tex).a;
  }
  result = clamp(result, 0.0, 1.0);
  weAlphaTest(result.a);
  fragColor = result;
}
)";

GLenum BlendFactor(DWORD blend, bool alpha)
{
    switch (blend)
    {
    case D3DBLEND_ZERO: return GL_ZERO;
    case D3DBLEND_ONE: return GL_ONE;
    case D3DBLEND_SRCCOLOR: return GL_SRC_COLOR;
    case D3DBLEND_INVSRCCOLOR: return GL_ONE_MINUS_SRC_COLOR;
    case D3DBLEND_SRCALPHA: return GL_SRC_ALPHA;
    case D3DBLEND_INVSRCALPHA: return GL_ONE_MINUS_SRC_ALPHA;
    case D3DBLEND_DESTALPHA: return GL_DST_ALPHA;
    case D3DBLEND_INVDESTALPHA: return GL_ONE_MINUS_DST_ALPHA;
    case D3DBLEND_DESTCOLOR: return GL_DST_COLOR;
    case D3DBLEND_INVDESTCOLOR: return GL_ONE_MINUS_DST_COLOR;
    case D3DBLEND_SRCALPHASAT: return alpha ? GL_ONE : GL_SRC_ALPHA_SATURATE;
    case D3DBLEND_BLENDFACTOR: return alpha ? GL_CONSTANT_ALPHA : GL_CONSTANT_COLOR;
    case D3DBLEND_INVBLENDFACTOR: return alpha ? GL_ONE_MINUS_CONSTANT_ALPHA : GL_ONE_MINUS_CONSTANT_COLOR;
    default: return GL_ONE;  // unknown values from files blend as ONE
    }
}

GLenum BlendOp(DWORD op)
{
    switch (op)
    {
    case D3DBLENDOP_SUBTRACT: return GL_FUNC_SUBTRACT;
    case D3DBLENDOP_REVSUBTRACT: return GL_FUNC_REVERSE_SUBTRACT;
    case D3DBLENDOP_MIN: return GL_MIN;
    case D3DBLENDOP_MAX: return GL_MAX;
    default: return GL_FUNC_ADD;
    }
}

GLenum CompareFunc(DWORD func)
{
    switch (func)
    {
    case D3DCMP_NEVER: return GL_NEVER;
    case D3DCMP_LESS: return GL_LESS;
    case D3DCMP_EQUAL: return GL_EQUAL;
    case D3DCMP_LESSEQUAL: return GL_LEQUAL;
    case D3DCMP_GREATER: return GL_GREATER;
    case D3DCMP_NOTEQUAL: return GL_NOTEQUAL;
    case D3DCMP_GREATEREQUAL: return GL_GEQUAL;
    default: return GL_ALWAYS;
    }
}

GLenum StencilOp(DWORD op)
{
    switch (op)
    {
    case D3DSTENCILOP_ZERO: return GL_ZERO;
    case D3DSTENCILOP_REPLACE: return GL_REPLACE;
    case D3DSTENCILOP_INCRSAT: return GL_INCR;
    case D3DSTENCILOP_DECRSAT: return GL_DECR;
    case D3DSTENCILOP_INVERT: return GL_INVERT;
    case D3DSTENCILOP_INCR: return GL_INCR_WRAP;
    case D3DSTENCILOP_DECR: return GL_DECR_WRAP;
    default: return GL_KEEP;
    }
}

GLenum AddressMode(DWORD mode)
{
    switch (mode)
    {
    case D3DTADDRESS_MIRROR: return GL_MIRRORED_REPEAT;
    case D3DTADDRESS_CLAMP: return GL_CLAMP_TO_EDGE;
    case D3DTADDRESS_BORDER: return GL_CLAMP_TO_BORDER;
    case D3DTADDRESS_MIRRORONCE: return GL_MIRROR_CLAMP_TO_EDGE;
    default: return GL_REPEAT;
    }
}

GLenum PrimitiveMode(D3DPRIMITIVETYPE type)
{
    switch (type)
    {
    case D3DPT_POINTLIST: return GL_POINTS;
    case D3DPT_LINELIST: return GL_LINES;
    case D3DPT_LINESTRIP: return GL_LINE_STRIP;
    case D3DPT_TRIANGLESTRIP: return GL_TRIANGLE_STRIP;
    case D3DPT_TRIANGLEFAN: return GL_TRIANGLE_FAN;
    default: return GL_TRIANGLES;
    }
}

GLenum TextureTarget(const GfxImage& image)
{
    switch (image.kind)
    {
    case GfxImageKind::Cube: return GL_TEXTURE_CUBE_MAP;
    case GfxImageKind::Volume: return GL_TEXTURE_3D;
    default: return GL_TEXTURE_2D;
    }
}

bool IsTexture(const GfxImage& image)
{
    return image.kind == GfxImageKind::Texture2D || image.kind == GfxImageKind::Cube ||
           image.kind == GfxImageKind::Volume;
}

void ArgbToFloats(D3DCOLOR c, float out[4])
{
    out[0] = float((c >> 16) & 0xFF) / 255.0f;
    out[1] = float((c >> 8) & 0xFF) / 255.0f;
    out[2] = float(c & 0xFF) / 255.0f;
    out[3] = float((c >> 24) & 0xFF) / 255.0f;
}

float BitsToFloat(DWORD bits)
{
    float f;
    std::memcpy(&f, &bits, 4);
    return f;
}

// Minification filter from the minification and mip filters.
GLint MinFilter(DWORD min, DWORD mip, bool mipmapped)
{
    bool linear = min != D3DTEXF_POINT && min != D3DTEXF_NONE;
    if (mip == D3DTEXF_NONE || !mipmapped)
        return linear ? GL_LINEAR : GL_NEAREST;
    if (mip == D3DTEXF_POINT)
        return linear ? GL_LINEAR_MIPMAP_NEAREST : GL_NEAREST_MIPMAP_NEAREST;
    return linear ? GL_LINEAR_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_LINEAR;
}

bool ContextAttributes()
{
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);
    return true;
}

// SDL video stays up for the rest of the process once a GL device was asked for: quitting it unloads the
// GL driver, which costs a reload per device and leaves the leak checker without the driver's symbols.
bool VideoUp()
{
    static bool up = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
    return up;
}

// Pins every library loaded so far (the GL driver among them) for the rest of the process. Drivers are
// unloaded at exit otherwise, before the leak checker runs, and it then cannot tell their own allocations
// (which the suppression file names) from the program's.
void PinLoadedLibraries()
{
    static bool pinned = false;
    if (pinned)
        return;
    pinned = true;
    dl_iterate_phdr(
        [](dl_phdr_info* info, size_t, void*)
        {
            if (info->dlpi_name && info->dlpi_name[0])
                dlopen(info->dlpi_name, RTLD_LAZY | RTLD_NOLOAD | RTLD_NODELETE);
            return 0;
        },
        nullptr);
}

// GL keeps an error until it is read: one left by an earlier call (a mistyped uniform of an effect, say)
// must not be taken for the failure of the creation or read that checks next.
void DropPendingErrors()
{
    for (int i = 0; i < 32 && g_GL.glGetError() != GL_NO_ERROR; ++i)
    {
    }
}

bool HasClipControl()
{
    GLint major = 0, minor = 0;
    g_GL.glGetIntegerv(GL_MAJOR_VERSION, &major);
    g_GL.glGetIntegerv(GL_MINOR_VERSION, &minor);
    return major > 4 || (major == 4 && minor >= 5) || SDL_GL_ExtensionSupported("GL_ARB_clip_control");
}

}  // namespace

bool GfxGLBackend::Probe(GfxAdapterInfo& adapter)
{
    if (!VideoUp())
        return false;
    ContextAttributes();
    bool ok = false;
    // A device may be drawing already: its context is made current again once the probe's own is gone.
    SDL_Window* previousWindow = SDL_GL_GetCurrentWindow();
    SDL_GLContext previousContext = SDL_GL_GetCurrentContext();
    SDL_Window* window = SDL_CreateWindow("probe", 0, 0, 16, 16, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (window)
    {
        SDL_GLContext context = SDL_GL_CreateContext(window);
        if (context)
        {
            PinLoadedLibraries();
            if (g_GL.Load() && HasClipControl())
            {
                GLint value = 0;
                g_GL.glGetIntegerv(GL_MAX_SAMPLES, &value);
                adapter.maxSamples = UINT(std::max(value, 0));
                g_GL.glGetIntegerv(GL_MAX_TEXTURE_SIZE, &value);
                adapter.maxTextureSize = UINT(std::max(value, 0));
                adapter.s3tc = SDL_GL_ExtensionSupported("GL_EXT_texture_compression_s3tc");
                const GLubyte* renderer = g_GL.glGetString(GL_RENDERER);
                const GLubyte* version = g_GL.glGetString(GL_VERSION);
                adapter.renderer = renderer ? reinterpret_cast<const char*>(renderer) : "";
                adapter.version = version ? reinterpret_cast<const char*>(version) : "";
                adapter.maxAnisotropy = 1;
                if (SDL_GL_ExtensionSupported("GL_EXT_texture_filter_anisotropic") ||
                    SDL_GL_ExtensionSupported("GL_ARB_texture_filter_anisotropic"))
                {
                    float aniso = 1.0f;
                    g_GL.glGetFloatv(GL_MAX_TEXTURE_MAX_ANISOTROPY, &aniso);
                    adapter.maxAnisotropy = UINT(aniso);
                }
                ok = true;
            }
            SDL_GL_DeleteContext(context);
        }
        SDL_DestroyWindow(window);
    }
    if (previousContext)
        SDL_GL_MakeCurrent(previousWindow, previousContext);
    // Display modes: the display's own list, or (as with the off-screen driver, which reports none) the usual
    // sizes, so that the options screens always have a choice.
    adapter.modes.clear();
    int count = SDL_GetNumDisplayModes(0);
    for (int i = 0; i < count; ++i)
    {
        SDL_DisplayMode mode;
        if (SDL_GetDisplayMode(0, i, &mode) == 0 && mode.w > 0 && mode.h > 0)
            adapter.modes.push_back({UINT(mode.w), UINT(mode.h), UINT(mode.refresh_rate), D3DFMT_X8R8G8B8});
    }
    // SDL lists the largest modes first; the list is kept smallest first, sizes grouped.
    std::stable_sort(adapter.modes.begin(), adapter.modes.end(),
                     [](const D3DDISPLAYMODE& a, const D3DDISPLAYMODE& b)
                     { return a.Width != b.Width ? a.Width < b.Width : a.Height < b.Height; });
    if (adapter.modes.empty())
    {
        const UINT sizes[][2] = {{640, 480}, {800, 600}, {1024, 768}, {1280, 720}, {1280, 1024}, {1920, 1080}};
        for (const auto& size : sizes)
            adapter.modes.push_back({size[0], size[1], 60, D3DFMT_X8R8G8B8});
    }
    SDL_DisplayMode desktop;
    if (SDL_GetDesktopDisplayMode(0, &desktop) == 0 && desktop.w > 0)
        adapter.desktop = {UINT(desktop.w), UINT(desktop.h), UINT(desktop.refresh_rate), D3DFMT_X8R8G8B8};
    return ok;
}

bool GfxGLBackend::Open(HWND window, const D3DPRESENT_PARAMETERS& params)
{
    if (!VideoUp())
        return false;
    ContextAttributes();
    if (window)
    {
        m_Window = reinterpret_cast<SDL_Window*>(window);
    }
    else
    {
        m_Window = SDL_CreateWindow("", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, int(params.BackBufferWidth),
                                    int(params.BackBufferHeight),
                                    SDL_WINDOW_OPENGL | (s_ShowOwnWindow ? SDL_WINDOW_SHOWN : SDL_WINDOW_HIDDEN));
        m_OwnWindow = true;
    }
    if (!m_Window)
        return false;
    m_Context = SDL_GL_CreateContext(m_Window);
    if (!m_Context)
        return false;
    if (!g_GL.Load() || !HasClipControl())
        return false;
    SDL_GL_SetSwapInterval(params.PresentationInterval == D3DPRESENT_INTERVAL_IMMEDIATE ? 0 : 1);
    if (!params.Windowed)
        ApplyWindowMode(params);

    g_GL.glClipControl(GL_UPPER_LEFT, GL_ZERO_TO_ONE);
    g_GL.glFrontFace(GL_CW);
    g_GL.glGenVertexArrays(1, &m_Vao);
    g_GL.glBindVertexArray(m_Vao);
    g_GL.glGenFramebuffers(1, &m_DrawFbo);
    g_GL.glGenFramebuffers(1, &m_ReadFbo);
    g_GL.glGenFramebuffers(1, &m_ResolveFbo);
    g_GL.glGenBuffers(1, &m_ScratchVbo);
    g_GL.glGenBuffers(1, &m_ScratchIbo);
    g_GL.glGenSamplers(WE_GFX_STAGES, m_Samplers);
    for (int s = 0; s < WE_GFX_STAGES; ++s)
    {
        g_GL.glBindSampler(GLuint(s), m_Samplers[s]);
        std::memset(m_SamplerShadow[s], 0xFF, sizeof(m_SamplerShadow[s]));
    }
    g_GL.glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    g_GL.glPixelStorei(GL_PACK_ALIGNMENT, 1);
    return BuildBuiltIns();
}

// The fixed-function stage as most full-screen copies set it: the texture selected for colour and alpha.
// The same result as the general program for that setting, without its branches on the stage's operations.
const char* CopyFragment = R"(
in vec4 vColor;
in vec2 vTex0;
uniform sampler2D uTex0;
out vec4 fragColor;
void main() {
  vec4 result = clamp(texture(uTex0, vTex0), 0.0, 1.0);
  weAlphaTest(result.a);
  fragColor = result;
}
)";

bool GfxGLBackend::BuildBuiltIns()
{
    std::string log;
    std::string fragment = std::string("#version 330 core\n") + GfxShaderInterface::FragmentPrelude + BuiltInFragment;
    std::string vertex = std::string("#version 330 core\n") + GfxShaderInterface::VertexPrelude + BuiltInVertex;
    m_Program = GfxGLProgram::Build(vertex, fragment, &log);
    if (!m_Program)
    {
        std::fprintf(stderr, "gfx: built-in program failed: %s\n", log.c_str());
        return false;
    }
    m_UWorldViewProj = g_GL.glGetUniformLocation(m_Program, "uWorldViewProj");
    m_UPretransformed = g_GL.glGetUniformLocation(m_Program, "uPretransformed");
    m_UViewport = g_GL.glGetUniformLocation(m_Program, GfxShaderInterface::Viewport);
    m_UHasTexture = g_GL.glGetUniformLocation(m_Program, "uHasTexture");
    m_UOps = g_GL.glGetUniformLocation(m_Program, "uOps");
    m_UTFactor = g_GL.glGetUniformLocation(m_Program, "uTFactor");
    m_UAlphaFunc = g_GL.glGetUniformLocation(m_Program, GfxShaderInterface::AlphaFunc);
    m_UAlphaRef = g_GL.glGetUniformLocation(m_Program, GfxShaderInterface::AlphaRef);
    m_UTex0 = g_GL.glGetUniformLocation(m_Program, "uTex0");
    UseProgram(m_Program);
    g_GL.glUniform1i(m_UTex0, 0);
    return true;
}

GfxGLBackend::~GfxGLBackend()
{
    if (m_Context)
    {
        MakeCurrent();
        if (m_Program)
            g_GL.glDeleteProgram(m_Program);
        for (CopyProgram& copy : m_CopyPrograms)
            if (copy.program)
                g_GL.glDeleteProgram(copy.program);
        for (const auto& entry : m_Programs)
        {
            g_GL.glDeleteProgram(entry.first);
            if (entry.second.twin)
                g_GL.glDeleteProgram(entry.second.twin);
        }
        g_GL.glDeleteSamplers(WE_GFX_STAGES, m_Samplers);
        g_GL.glDeleteBuffers(1, &m_ScratchVbo);
        g_GL.glDeleteBuffers(1, &m_ScratchIbo);
        g_GL.glDeleteFramebuffers(1, &m_DrawFbo);
        g_GL.glDeleteFramebuffers(1, &m_ReadFbo);
        g_GL.glDeleteFramebuffers(1, &m_ResolveFbo);
        if (m_ResolveBuffer)
            g_GL.glDeleteRenderbuffers(1, &m_ResolveBuffer);
        g_GL.glDeleteVertexArrays(1, &m_Vao);
        SDL_GL_DeleteContext(static_cast<SDL_GLContext>(m_Context));
    }
    if (m_OwnWindow && m_Window)
        SDL_DestroyWindow(m_Window);
}

bool GfxGLBackend::Resize(const D3DPRESENT_PARAMETERS& params)
{
    MakeCurrent();
    ApplyWindowMode(params);
    SDL_GL_SetSwapInterval(params.PresentationInterval == D3DPRESENT_INTERVAL_IMMEDIATE ? 0 : 1);
    return true;
}

void GfxGLBackend::ApplyWindowMode(const D3DPRESENT_PARAMETERS& params)
{
    // Full screen takes the display mode of the back-buffer size; windowed leaves placing a foreign window to
    // its owner, and sizes the backend's own window.
    if (!params.Windowed)
    {
        SDL_DisplayMode mode{};
        mode.w = int(params.BackBufferWidth);
        mode.h = int(params.BackBufferHeight);
        mode.refresh_rate = int(params.FullScreen_RefreshRateInHz);
        SDL_SetWindowDisplayMode(m_Window, &mode);
        SDL_SetWindowFullscreen(m_Window, SDL_WINDOW_FULLSCREEN);
        m_FullScreen = true;
        return;
    }
    if (m_FullScreen)
    {
        SDL_SetWindowFullscreen(m_Window, 0);
        m_FullScreen = false;
    }
    if (m_OwnWindow)
        SDL_SetWindowSize(m_Window, int(params.BackBufferWidth), int(params.BackBufferHeight));
}

bool GfxGLBackend::CreateImage(GfxImage& image)
{
    MakeCurrent();
    const GfxFormatInfo& info = *image.info;
    if (image.kind == GfxImageKind::SystemSurface)
        return true;
    DropPendingErrors();
    if (!IsTexture(image))
    {
        g_GL.glGenRenderbuffers(1, &image.glName);
        g_GL.glBindRenderbuffer(GL_RENDERBUFFER, image.glName);
        if (image.Samples() > 0)
            g_GL.glRenderbufferStorageMultisample(GL_RENDERBUFFER, GLsizei(image.Samples()), info.glInternal,
                                                  GLsizei(image.width), GLsizei(image.height));
        else
            g_GL.glRenderbufferStorage(GL_RENDERBUFFER, info.glInternal, GLsizei(image.width), GLsizei(image.height));
        if (g_GL.glGetError() == GL_NO_ERROR)
            return true;
        // The device drops an image it could not create without destroying it: its object goes here.
        g_GL.glDeleteRenderbuffers(1, &image.glName);
        image.glName = 0;
        return false;
    }
    GLenum target = TextureTarget(image);
    g_GL.glGenTextures(1, &image.glName);
    UseScratchUnit(target, image.glName);
    g_GL.glTexParameteri(target, GL_TEXTURE_BASE_LEVEL, 0);
    g_GL.glTexParameteri(target, GL_TEXTURE_MAX_LEVEL, GLint(image.levels - 1));
    GLint swizzle[4] = {GL_RED, GL_GREEN, GL_BLUE, GL_ALPHA};
    switch (info.swizzle)
    {
    case 1: swizzle[3] = GL_ONE; break;
    case 2: swizzle[0] = swizzle[1] = swizzle[2] = GL_ZERO, swizzle[3] = GL_RED; break;
    case 3: swizzle[0] = swizzle[1] = swizzle[2] = GL_RED, swizzle[3] = GL_ONE; break;
    case 4: swizzle[0] = swizzle[1] = swizzle[2] = GL_RED, swizzle[3] = GL_GREEN; break;
    default: break;
    }
    g_GL.glTexParameteriv(target, GL_TEXTURE_SWIZZLE_RGBA, swizzle);
    for (UINT face = 0; face < image.faces; ++face)
    {
        for (UINT level = 0; level < image.levels; ++level)
        {
            const GfxSubImage& sub = image.Sub(face, level);
            const void* data = sub.bytes.empty() ? nullptr : sub.bytes.data();
            GLenum faceTarget = image.kind == GfxImageKind::Cube ? GL_TEXTURE_CUBE_MAP_POSITIVE_X + face : target;
            if (image.kind == GfxImageKind::Volume)
            {
                if (info.block)
                    g_GL.glCompressedTexImage3D(target, GLint(level), info.glInternal, GLsizei(sub.width),
                                                GLsizei(sub.height), GLsizei(sub.depth), 0,
                                                GLsizei(sub.slicePitch * sub.depth), data);
                else
                    g_GL.glTexImage3D(target, GLint(level), GLint(info.glInternal), GLsizei(sub.width),
                                      GLsizei(sub.height), GLsizei(sub.depth), 0, info.glFormat, info.glType, data);
            }
            else if (info.block)
            {
                std::vector<uint8_t> zeros;
                if (!data)
                {
                    zeros.assign(sub.slicePitch, 0);
                    data = zeros.data();
                }
                g_GL.glCompressedTexImage2D(faceTarget, GLint(level), info.glInternal, GLsizei(sub.width),
                                            GLsizei(sub.height), 0, GLsizei(sub.slicePitch), data);
            }
            else
            {
                g_GL.glTexImage2D(faceTarget, GLint(level), GLint(info.glInternal), GLsizei(sub.width),
                                  GLsizei(sub.height), 0, info.glFormat, info.glType, data);
            }
        }
    }
    if (g_GL.glGetError() == GL_NO_ERROR)
        return true;
    for (BoundTexture& bound : m_Bound)
        if (bound.name == image.glName)
            bound = BoundTexture();
    g_GL.glDeleteTextures(1, &image.glName);
    image.glName = 0;
    return false;
}

void GfxGLBackend::MakeCurrent()
{
    if (m_Context)
        SDL_GL_MakeCurrent(m_Window, static_cast<SDL_GLContext>(m_Context));
}

void GfxGLBackend::UseScratchUnit(uint32_t target, uint32_t name)
{
    // Uploads go through the last unit; whatever a draw bound there is bound again by the next draw.
    const int unit = WE_GFX_STAGES - 1;
    g_GL.glActiveTexture(GL_TEXTURE0 + unit);
    if (m_Bound[unit].name && m_Bound[unit].target != int(target))
        g_GL.glBindTexture(GLenum(m_Bound[unit].target), 0);
    g_GL.glBindTexture(target, name);
    m_Bound[unit].name = name;
    m_Bound[unit].target = int(target);
}

void GfxGLBackend::DestroyImage(GfxImage& image)
{
    if (!image.glName)
        return;
    MakeCurrent();
    for (BoundTexture& bound : m_Bound)
        if (bound.name == image.glName)
            bound = BoundTexture();
    // A surface still attached to the draw framebuffer must not be found there by a later object of the
    // same name.
    g_GL.glBindFramebuffer(GL_DRAW_FRAMEBUFFER, m_DrawFbo);
    for (UINT i = 0; i < 4; ++i)
    {
        if (m_Colour[i].name != image.glName)
            continue;
        m_Colour[i] = Attachment();
        Attach(m_DrawFbo, GL_COLOR_ATTACHMENT0 + i, m_Colour[i]);
        m_FboKnown = false;
    }
    if (m_Depth.name == image.glName && m_DepthPoint)
    {
        m_Depth = Attachment();
        Attach(m_DrawFbo, m_DepthPoint, m_Depth);
        m_FboKnown = false;
    }
    g_GL.glBindFramebuffer(GL_READ_FRAMEBUFFER, m_ReadFbo);
    Attach(m_ReadFbo, GL_COLOR_ATTACHMENT0, Attachment());
    if (IsTexture(image))
        g_GL.glDeleteTextures(1, &image.glName);
    else
        g_GL.glDeleteRenderbuffers(1, &image.glName);
    image.glName = 0;
}

void GfxGLBackend::UploadImage(GfxImage& image, UINT index)
{
    MakeCurrent();
    if (!image.glName || !IsTexture(image) || image.subs[index].bytes.empty())
        return;
    const GfxFormatInfo& info = *image.info;
    UINT face = index / image.levels, level = index % image.levels;
    const GfxSubImage& sub = image.subs[index];
    GLenum target = TextureTarget(image);
    GLenum faceTarget = image.kind == GfxImageKind::Cube ? GL_TEXTURE_CUBE_MAP_POSITIVE_X + face : target;
    UseScratchUnit(target, image.glName);
    if (image.kind == GfxImageKind::Volume)
    {
        if (info.block)
            g_GL.glCompressedTexSubImage3D(target, GLint(level), 0, 0, 0, GLsizei(sub.width), GLsizei(sub.height),
                                           GLsizei(sub.depth), info.glInternal, GLsizei(sub.slicePitch * sub.depth),
                                           sub.bytes.data());
        else
            g_GL.glTexSubImage3D(target, GLint(level), 0, 0, 0, GLsizei(sub.width), GLsizei(sub.height),
                                 GLsizei(sub.depth), info.glFormat, info.glType, sub.bytes.data());
    }
    else if (info.block)
    {
        g_GL.glCompressedTexSubImage2D(faceTarget, GLint(level), 0, 0, GLsizei(sub.width), GLsizei(sub.height),
                                       info.glInternal, GLsizei(sub.slicePitch), sub.bytes.data());
    }
    else
    {
        g_GL.glTexSubImage2D(faceTarget, GLint(level), 0, 0, GLsizei(sub.width), GLsizei(sub.height), info.glFormat,
                             info.glType, sub.bytes.data());
    }
}

bool GfxGLBackend::CreateBuffer(GfxBuffer& buffer)
{
    MakeCurrent();
    DropPendingErrors();
    g_GL.glGenBuffers(1, &buffer.glName);
    g_GL.glBindBuffer(GL_COPY_WRITE_BUFFER, buffer.glName);
    g_GL.glBufferData(GL_COPY_WRITE_BUFFER, GLsizeiptr(buffer.bytes.size()), buffer.bytes.data(),
                      (buffer.usage & D3DUSAGE_DYNAMIC) ? GL_DYNAMIC_DRAW : GL_STATIC_DRAW);
    if (g_GL.glGetError() == GL_NO_ERROR)
        return true;
    g_GL.glDeleteBuffers(1, &buffer.glName);
    buffer.glName = 0;
    return false;
}

void GfxGLBackend::DestroyBuffer(GfxBuffer& buffer)
{
    if (!buffer.glName)
        return;
    MakeCurrent();
    g_GL.glDeleteBuffers(1, &buffer.glName);
    buffer.glName = 0;
}

void GfxGLBackend::UploadBuffer(GfxBuffer& buffer, UINT offset, UINT size, bool discard)
{
    MakeCurrent();
    if (!buffer.glName)
        return;
    g_GL.glBindBuffer(GL_COPY_WRITE_BUFFER, buffer.glName);
    if (discard)
    {
        // Orphan the old storage so that a draw still reading it is not waited for.
        g_GL.glBufferData(GL_COPY_WRITE_BUFFER, GLsizeiptr(buffer.bytes.size()), nullptr, GL_DYNAMIC_DRAW);
        g_GL.glBufferSubData(GL_COPY_WRITE_BUFFER, 0, GLsizeiptr(buffer.bytes.size()), buffer.bytes.data());
    }
    else
    {
        g_GL.glBufferSubData(GL_COPY_WRITE_BUFFER, GLintptr(offset), GLsizeiptr(size), buffer.bytes.data() + offset);
    }
}

GfxGLBackend::Attachment GfxGLBackend::AttachmentOf(const GfxSurface* surface)
{
    Attachment a;
    if (!surface)
        return a;
    const GfxImage& image = *surface->Image();
    a.name = image.glName;
    if (IsTexture(image))
    {
        a.target =
            image.kind == GfxImageKind::Cube ? int(GL_TEXTURE_CUBE_MAP_POSITIVE_X + surface->Face()) : GL_TEXTURE_2D;
        a.level = surface->Level();
    }
    else
    {
        a.target = GL_RENDERBUFFER;
    }
    return a;
}

void GfxGLBackend::Attach(uint32_t framebuffer, uint32_t point, const Attachment& a)
{
    GLenum binding = framebuffer == m_DrawFbo ? GL_DRAW_FRAMEBUFFER : GL_READ_FRAMEBUFFER;
    if (a.name == 0)
        g_GL.glFramebufferRenderbuffer(binding, point, GL_RENDERBUFFER, 0);
    else if (a.target == GL_RENDERBUFFER)
        g_GL.glFramebufferRenderbuffer(binding, point, GL_RENDERBUFFER, a.name);
    else
        g_GL.glFramebufferTexture2D(binding, point, GLenum(a.target), a.name, GLint(a.level));
}

bool GfxGLBackend::BindTargets(const GfxState& state)
{
    g_GL.glBindFramebuffer(GL_DRAW_FRAMEBUFFER, m_DrawFbo);
    bool changed = !m_FboKnown;
    for (UINT i = 0; i < 4; ++i)
    {
        Attachment a = AttachmentOf(state.renderTargets[i]);
        if (!(a == m_Colour[i]) || !m_FboKnown)
        {
            Attach(m_DrawFbo, GL_COLOR_ATTACHMENT0 + i, a);
            m_Colour[i] = a;
            changed = true;
        }
    }
    Attachment depth = AttachmentOf(state.depthStencil);
    GLenum point = GL_DEPTH_STENCIL_ATTACHMENT;
    if (state.depthStencil && state.depthStencil->Image()->info->glFormat == GL_DEPTH_COMPONENT)
        point = GL_DEPTH_ATTACHMENT;
    if (!(depth == m_Depth) || point != m_DepthPoint || !m_FboKnown)
    {
        if (m_DepthPoint && m_DepthPoint != point)
            Attach(m_DrawFbo, m_DepthPoint, Attachment());
        Attach(m_DrawFbo, point, depth);
        m_Depth = depth;
        m_DepthPoint = point;
        changed = true;
    }
    if (changed)
    {
        GLenum buffers[4];
        for (UINT i = 0; i < 4; ++i)
            buffers[i] = m_Colour[i].name ? GL_COLOR_ATTACHMENT0 + i : GL_NONE;
        g_GL.glDrawBuffers(4, buffers);
        m_FboComplete = g_GL.glCheckFramebufferStatus(GL_DRAW_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
        m_FboKnown = true;
    }
    return m_FboComplete;
}

void GfxGLBackend::ApplyRasterState(const GfxState& state, bool hasDepth)
{
    const DWORD* rs = state.renderStates;
    const GfxViewport& vp = state.viewport;
    g_GL.glViewport(GLint(vp.X), GLint(vp.Y), GLsizei(vp.Width), GLsizei(vp.Height));
    g_GL.glDepthRange(vp.MinZ, vp.MaxZ);

    if (rs[D3DRS_SCISSORTESTENABLE])
    {
        g_GL.glEnable(GL_SCISSOR_TEST);
        // Clamped to the target first: the rectangle is the caller's, and its width need not fit an int.
        const RECT& r = state.scissor;
        LONG w = state.renderTargets[0] ? LONG(state.renderTargets[0]->Width()) : 0;
        LONG h = state.renderTargets[0] ? LONG(state.renderTargets[0]->Height()) : 0;
        LONG left = std::clamp<LONG>(r.left, 0, w), right = std::clamp<LONG>(r.right, 0, w);
        LONG top = std::clamp<LONG>(r.top, 0, h), bottom = std::clamp<LONG>(r.bottom, 0, h);
        g_GL.glScissor(left, top, std::max<LONG>(0, right - left), std::max<LONG>(0, bottom - top));
    }
    else
    {
        g_GL.glDisable(GL_SCISSOR_TEST);
    }

    if (hasDepth && rs[D3DRS_ZENABLE])
    {
        g_GL.glEnable(GL_DEPTH_TEST);
        g_GL.glDepthFunc(CompareFunc(rs[D3DRS_ZFUNC]));
    }
    else
    {
        g_GL.glDisable(GL_DEPTH_TEST);
    }
    g_GL.glDepthMask(hasDepth && rs[D3DRS_ZENABLE] && rs[D3DRS_ZWRITEENABLE] ? GL_TRUE : GL_FALSE);

    bool stencil =
        hasDepth && rs[D3DRS_STENCILENABLE] && state.depthStencil->Image()->info->glFormat == GL_DEPTH_STENCIL;
    if (stencil)
    {
        g_GL.glEnable(GL_STENCIL_TEST);
        GLint ref = GLint(rs[D3DRS_STENCILREF] & 0xFF);
        GLuint mask = rs[D3DRS_STENCILMASK];
        g_GL.glStencilFuncSeparate(GL_FRONT, CompareFunc(rs[D3DRS_STENCILFUNC]), ref, mask);
        g_GL.glStencilOpSeparate(GL_FRONT, StencilOp(rs[D3DRS_STENCILFAIL]), StencilOp(rs[D3DRS_STENCILZFAIL]),
                                 StencilOp(rs[D3DRS_STENCILPASS]));
        bool twoSided = rs[D3DRS_TWOSIDEDSTENCILMODE] != 0;
        g_GL.glStencilFuncSeparate(GL_BACK, CompareFunc(rs[twoSided ? D3DRS_CCW_STENCILFUNC : D3DRS_STENCILFUNC]), ref,
                                   mask);
        g_GL.glStencilOpSeparate(GL_BACK, StencilOp(rs[twoSided ? D3DRS_CCW_STENCILFAIL : D3DRS_STENCILFAIL]),
                                 StencilOp(rs[twoSided ? D3DRS_CCW_STENCILZFAIL : D3DRS_STENCILZFAIL]),
                                 StencilOp(rs[twoSided ? D3DRS_CCW_STENCILPASS : D3DRS_STENCILPASS]));
        g_GL.glStencilMask(rs[D3DRS_STENCILWRITEMASK]);
    }
    else
    {
        g_GL.glDisable(GL_STENCIL_TEST);
        g_GL.glStencilMask(0);
    }

    if (rs[D3DRS_ALPHABLENDENABLE])
    {
        g_GL.glEnable(GL_BLEND);
        DWORD src = rs[D3DRS_SRCBLEND], dst = rs[D3DRS_DESTBLEND];
        // The two "both" modes set the source and override the destination.
        if (src == D3DBLEND_BOTHSRCALPHA)
            src = D3DBLEND_SRCALPHA, dst = D3DBLEND_INVSRCALPHA;
        if (src == D3DBLEND_BOTHINVSRCALPHA)
            src = D3DBLEND_INVSRCALPHA, dst = D3DBLEND_SRCALPHA;
        DWORD srcAlpha = src, dstAlpha = dst, opAlpha = rs[D3DRS_BLENDOP];
        if (rs[D3DRS_SEPARATEALPHABLENDENABLE])
        {
            srcAlpha = rs[D3DRS_SRCBLENDALPHA];
            dstAlpha = rs[D3DRS_DESTBLENDALPHA];
            opAlpha = rs[D3DRS_BLENDOPALPHA];
        }
        g_GL.glBlendFuncSeparate(BlendFactor(src, false), BlendFactor(dst, false), BlendFactor(srcAlpha, true),
                                 BlendFactor(dstAlpha, true));
        g_GL.glBlendEquationSeparate(BlendOp(rs[D3DRS_BLENDOP]), BlendOp(opAlpha));
        float factor[4];
        ArgbToFloats(rs[D3DRS_BLENDFACTOR], factor);
        g_GL.glBlendColor(factor[0], factor[1], factor[2], factor[3]);
    }
    else
    {
        g_GL.glDisable(GL_BLEND);
    }

    DWORD write = rs[D3DRS_COLORWRITEENABLE];
    g_GL.glColorMask((write & 1) != 0, (write & 2) != 0, (write & 4) != 0, (write & 8) != 0);

    switch (rs[D3DRS_CULLMODE])
    {
    case D3DCULL_NONE: g_GL.glDisable(GL_CULL_FACE); break;
    case D3DCULL_CW:
        g_GL.glEnable(GL_CULL_FACE);
        g_GL.glCullFace(GL_FRONT);
        break;
    default:
        g_GL.glEnable(GL_CULL_FACE);
        g_GL.glCullFace(GL_BACK);
        break;
    }
    DWORD fill = rs[D3DRS_FILLMODE];
    g_GL.glPolygonMode(GL_FRONT_AND_BACK, fill == D3DFILL_POINT       ? GL_POINT
                                          : fill == D3DFILL_WIREFRAME ? GL_LINE
                                                                      : GL_FILL);

    float bias = BitsToFloat(rs[D3DRS_DEPTHBIAS]), slope = BitsToFloat(rs[D3DRS_SLOPESCALEDEPTHBIAS]);
    if (bias != 0.0f || slope != 0.0f)
    {
        g_GL.glEnable(GL_POLYGON_OFFSET_FILL);
        g_GL.glPolygonOffset(slope, bias * 16777215.0f);
    }
    else
    {
        g_GL.glDisable(GL_POLYGON_OFFSET_FILL);
    }
    if (rs[D3DRS_MULTISAMPLEANTIALIAS])
        g_GL.glEnable(GL_MULTISAMPLE);
    else
        g_GL.glDisable(GL_MULTISAMPLE);
}

void GfxGLBackend::ApplySamplers(const GfxState& state)
{
    for (int stage = 0; stage < WE_GFX_STAGES; ++stage)
    {
        GfxImage* image = GfxTextureImage(state.textures[stage]);
        uint32_t name = image ? image->glName : 0;
        GLenum target = image ? TextureTarget(*image) : GL_TEXTURE_2D;
        if (m_Bound[stage].name != name || m_Bound[stage].target != int(target))
        {
            g_GL.glActiveTexture(GL_TEXTURE0 + stage);
            if (m_Bound[stage].name && m_Bound[stage].target != int(target))
                g_GL.glBindTexture(GLenum(m_Bound[stage].target), 0);
            g_GL.glBindTexture(target, name);
            m_Bound[stage].name = name;
            m_Bound[stage].target = int(target);
        }
        if (!name)
            continue;
        const DWORD* ss = state.samplerStates[stage];
        DWORD* shadow = m_SamplerShadow[stage];
        GLuint sampler = m_Samplers[stage];
        bool mipmapped = image->levels > 1;
        // The mip count is part of the shadow: the same states mean another filter on a single-level texture.
        DWORD mipKey = mipmapped ? 1u : 0u;
        if (shadow[D3DSAMP_MINFILTER] != ss[D3DSAMP_MINFILTER] || shadow[D3DSAMP_MIPFILTER] != ss[D3DSAMP_MIPFILTER] ||
            shadow[D3DSAMP_MAGFILTER] != ss[D3DSAMP_MAGFILTER] ||
            shadow[D3DSAMP_MAXANISOTROPY] != ss[D3DSAMP_MAXANISOTROPY] || shadow[0] != mipKey)
        {
            g_GL.glSamplerParameteri(sampler, GL_TEXTURE_MIN_FILTER,
                                     MinFilter(ss[D3DSAMP_MINFILTER], ss[D3DSAMP_MIPFILTER], mipmapped));
            g_GL.glSamplerParameteri(sampler, GL_TEXTURE_MAG_FILTER,
                                     ss[D3DSAMP_MAGFILTER] == D3DTEXF_POINT ? GL_NEAREST : GL_LINEAR);
            float aniso = 1.0f;
            if (ss[D3DSAMP_MINFILTER] == D3DTEXF_ANISOTROPIC || ss[D3DSAMP_MAGFILTER] == D3DTEXF_ANISOTROPIC)
                aniso =
                    float(std::clamp<DWORD>(ss[D3DSAMP_MAXANISOTROPY], 1, std::max<UINT>(m_Adapter.maxAnisotropy, 1)));
            if (m_Adapter.maxAnisotropy > 1)
                g_GL.glSamplerParameterf(sampler, GL_TEXTURE_MAX_ANISOTROPY, aniso);
            shadow[D3DSAMP_MINFILTER] = ss[D3DSAMP_MINFILTER];
            shadow[D3DSAMP_MIPFILTER] = ss[D3DSAMP_MIPFILTER];
            shadow[D3DSAMP_MAGFILTER] = ss[D3DSAMP_MAGFILTER];
            shadow[D3DSAMP_MAXANISOTROPY] = ss[D3DSAMP_MAXANISOTROPY];
            shadow[0] = mipKey;
        }
        static const GLenum Wrap[3] = {GL_TEXTURE_WRAP_S, GL_TEXTURE_WRAP_T, GL_TEXTURE_WRAP_R};
        for (int axis = 0; axis < 3; ++axis)
        {
            int key = D3DSAMP_ADDRESSU + axis;
            if (shadow[key] != ss[key])
            {
                g_GL.glSamplerParameteri(sampler, Wrap[axis], GLint(AddressMode(ss[key])));
                shadow[key] = ss[key];
            }
        }
        if (shadow[D3DSAMP_BORDERCOLOR] != ss[D3DSAMP_BORDERCOLOR])
        {
            float border[4];
            ArgbToFloats(ss[D3DSAMP_BORDERCOLOR], border);
            g_GL.glSamplerParameterfv(sampler, GL_TEXTURE_BORDER_COLOR, border);
            shadow[D3DSAMP_BORDERCOLOR] = ss[D3DSAMP_BORDERCOLOR];
        }
        if (shadow[D3DSAMP_MIPMAPLODBIAS] != ss[D3DSAMP_MIPMAPLODBIAS])
        {
            g_GL.glSamplerParameterf(sampler, GL_TEXTURE_LOD_BIAS, BitsToFloat(ss[D3DSAMP_MIPMAPLODBIAS]));
            shadow[D3DSAMP_MIPMAPLODBIAS] = ss[D3DSAMP_MIPMAPLODBIAS];
        }
        if (shadow[D3DSAMP_MAXMIPLEVEL] != ss[D3DSAMP_MAXMIPLEVEL])
        {
            // The largest level index allowed is the most detailed one drawn.
            g_GL.glSamplerParameterf(sampler, GL_TEXTURE_MIN_LOD, float(ss[D3DSAMP_MAXMIPLEVEL]));
            shadow[D3DSAMP_MAXMIPLEVEL] = ss[D3DSAMP_MAXMIPLEVEL];
        }
    }
}

namespace
{

// v * World * View * Projection in the engine's row-vector convention.
void Multiply(const float* a, const float* b, float* out)
{
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
        {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k)
                sum += a[r * 4 + k] * b[k * 4 + c];
            out[r * 4 + c] = sum;
        }
}

}  // namespace

void GfxGLBackend::UseProgram(uint32_t program)
{
    if (m_CurrentProgram == program)
        return;
    g_GL.glUseProgram(program);
    m_CurrentProgram = program;
}

void GfxGLBackend::ApplyProgramCommon(const GfxState& state, uint32_t program, const ProgramInfo& info)
{
    const DWORD* rs = state.renderStates;
    // Without the test (or with one every fragment passes) the twin draws: the same image, depth tested early.
    const bool testing = rs[D3DRS_ALPHATESTENABLE] && rs[D3DRS_ALPHAFUNC] != D3DCMP_ALWAYS;
    if (!testing && info.twin != 0 && s_FastPaths)
    {
        UseProgram(info.twin);
        if (info.twinViewport >= 0)
            g_GL.glUniform4f(info.twinViewport, float(state.viewport.X), float(state.viewport.Y),
                             float(state.viewport.Width), float(state.viewport.Height));
        return;
    }
    UseProgram(program);
    if (info.viewport >= 0)
        g_GL.glUniform4f(info.viewport, float(state.viewport.X), float(state.viewport.Y), float(state.viewport.Width),
                         float(state.viewport.Height));
    if (info.alphaFunc >= 0)
        g_GL.glUniform1i(info.alphaFunc, rs[D3DRS_ALPHATESTENABLE] ? GLint(rs[D3DRS_ALPHAFUNC]) : 0);
    if (info.alphaRef >= 0)
        g_GL.glUniform1f(info.alphaRef, float(rs[D3DRS_ALPHAREF] & 0xFF));
}

uint32_t GfxGLBackend::BuildProgram(const std::string& vertex, const std::string& fragment, std::string* log)
{
    MakeCurrent();
    uint32_t program = GfxGLProgram::Build(vertex, fragment, log);
    if (!program)
        return 0;
    ProgramInfo info;
    info.viewport = g_GL.glGetUniformLocation(program, GfxShaderInterface::Viewport);
    info.alphaFunc = g_GL.glGetUniformLocation(program, GfxShaderInterface::AlphaFunc);
    info.alphaRef = g_GL.glGetUniformLocation(program, GfxShaderInterface::AlphaRef);
    // The twin: the define goes right after the #version line.
    const size_t line = fragment.find('\n');
    if (info.alphaFunc >= 0 && line != std::string::npos)
    {
        std::string twinText = fragment;
        twinText.insert(line + 1,
                        std::string(GfxShaderInterface::NoAlphaTestDefine) + GfxShaderInterface::FastPathDefine);
        std::string ignored;
        info.twin = GfxGLProgram::Build(vertex, twinText, &ignored);
        if (info.twin != 0)
            info.twinViewport = g_GL.glGetUniformLocation(info.twin, GfxShaderInterface::Viewport);
    }
    m_Programs[program] = info;
    return program;
}

void GfxGLBackend::DestroyProgram(uint32_t program)
{
    auto found = m_Programs.find(program);
    if (found == m_Programs.end())
        return;
    const uint32_t twin = found->second.twin;
    m_Programs.erase(found);
    MakeCurrent();
    if (m_CurrentProgram == program || (twin != 0 && m_CurrentProgram == twin))
        UseProgram(0);
    g_GL.glDeleteProgram(program);
    if (twin != 0)
        g_GL.glDeleteProgram(twin);
}

int GfxGLBackend::UniformLocation(uint32_t program, const char* name)
{
    MakeCurrent();
    auto found = m_Programs.find(program);
    if (found == m_Programs.end())
        return -1;
    const int location = g_GL.glGetUniformLocation(program, name);
    if (location >= 0 && found->second.twin != 0)
        found->second.twinLocations[location] = g_GL.glGetUniformLocation(found->second.twin, name);
    return location;
}

void GfxGLBackend::SetUniform(uint32_t program, int location, UniformType type, UINT count, const void* data)
{
    MakeCurrent();
    auto found = location >= 0 ? m_Programs.find(program) : m_Programs.end();
    if (found == m_Programs.end())
        return;
    UploadUniform(program, location, type, count, data);
    if (found->second.twin == 0)
        return;
    auto twin = found->second.twinLocations.find(location);
    if (twin != found->second.twinLocations.end() && twin->second >= 0)
        UploadUniform(found->second.twin, twin->second, type, count, data);
}

void GfxGLBackend::UploadUniform(uint32_t program, int location, UniformType type, UINT count, const void* data)
{
    UseProgram(program);
    const float* f = static_cast<const float*>(data);
    GLsizei n = GLsizei(count);
    switch (type)
    {
    case UniformType::Float1: g_GL.glUniform1fv(location, n, f); break;
    case UniformType::Float2: g_GL.glUniform2fv(location, n, f); break;
    case UniformType::Float3: g_GL.glUniform3fv(location, n, f); break;
    case UniformType::Float4: g_GL.glUniform4fv(location, n, f); break;
    // Uploaded as they are: GLSL reads the rows as columns and M * v equals v * M.
    case UniformType::Matrix4: g_GL.glUniformMatrix4fv(location, n, GL_FALSE, f); break;
    case UniformType::Int1: g_GL.glUniform1iv(location, n, static_cast<const GLint*>(data)); break;
    }
}

const GfxGLBackend::CopyProgram& GfxGLBackend::CopyProgramFor(bool tested)
{
    // Built on first use, once: a device that never copies never compiles them; one that cannot build them
    // draws its copies with the general program.
    CopyProgram& copy = m_CopyPrograms[tested ? 1 : 0];
    if (copy.built)
        return copy;
    copy.built = true;
    const std::string vertex = std::string("#version 330 core\n") + GfxShaderInterface::VertexPrelude + BuiltInVertex;
    const std::string fragment = std::string("#version 330 core\n") +
                                 (tested ? "" : GfxShaderInterface::NoAlphaTestDefine) +
                                 GfxShaderInterface::FragmentPrelude + CopyFragment;
    std::string log;
    copy.program = GfxGLProgram::Build(vertex, fragment, &log);
    if (!copy.program)
        return copy;
    copy.worldViewProj = g_GL.glGetUniformLocation(copy.program, "uWorldViewProj");
    copy.pretransformed = g_GL.glGetUniformLocation(copy.program, "uPretransformed");
    copy.viewport = g_GL.glGetUniformLocation(copy.program, GfxShaderInterface::Viewport);
    copy.alphaFunc = g_GL.glGetUniformLocation(copy.program, GfxShaderInterface::AlphaFunc);
    copy.alphaRef = g_GL.glGetUniformLocation(copy.program, GfxShaderInterface::AlphaRef);
    UseProgram(copy.program);
    g_GL.glUniform1i(g_GL.glGetUniformLocation(copy.program, "uTex0"), 0);
    return copy;
}

void GfxGLBackend::ApplyBuiltInProgram(const GfxState& state, bool pretransformed)
{
    float worldView[16], wvp[16];
    Multiply(state.world, state.view, worldView);
    Multiply(worldView, state.projection, wvp);
    const DWORD* rs = state.renderStates;
    GfxImage* texture = GfxTextureImage(state.textures[0]);
    const DWORD* stage = state.stageStates[0];
    if (s_FastPaths && texture && texture->kind == GfxImageKind::Texture2D &&
        stage[D3DTSS_COLOROP] == D3DTOP_SELECTARG1 && stage[D3DTSS_COLORARG1] == D3DTA_TEXTURE &&
        stage[D3DTSS_ALPHAOP] == D3DTOP_SELECTARG1 && stage[D3DTSS_ALPHAARG1] == D3DTA_TEXTURE)
    {
        const bool tested = rs[D3DRS_ALPHATESTENABLE] && rs[D3DRS_ALPHAFUNC] != D3DCMP_ALWAYS;
        const CopyProgram& copy = CopyProgramFor(tested);
        if (copy.program)
        {
            UseProgram(copy.program);
            g_GL.glUniformMatrix4fv(copy.worldViewProj, 1, GL_FALSE, wvp);
            g_GL.glUniform1i(copy.pretransformed, pretransformed ? 1 : 0);
            g_GL.glUniform4f(copy.viewport, float(state.viewport.X), float(state.viewport.Y),
                             float(state.viewport.Width), float(state.viewport.Height));
            if (tested)
            {
                g_GL.glUniform1i(copy.alphaFunc, GLint(rs[D3DRS_ALPHAFUNC]));
                g_GL.glUniform1f(copy.alphaRef, float(rs[D3DRS_ALPHAREF] & 0xFF));
            }
            return;
        }
    }
    UseProgram(m_Program);
    // Uploaded as it is: GLSL reads the rows as columns and M * v equals v * M.
    g_GL.glUniformMatrix4fv(m_UWorldViewProj, 1, GL_FALSE, wvp);
    g_GL.glUniform1i(m_UPretransformed, pretransformed ? 1 : 0);
    g_GL.glUniform4f(m_UViewport, float(state.viewport.X), float(state.viewport.Y), float(state.viewport.Width),
                     float(state.viewport.Height));
    GfxImage* image = GfxTextureImage(state.textures[0]);
    g_GL.glUniform1i(m_UHasTexture, image && image->kind == GfxImageKind::Texture2D ? 1 : 0);
    const DWORD* ts = state.stageStates[0];
    GLint ops[6] = {GLint(ts[D3DTSS_COLOROP]), GLint(ts[D3DTSS_COLORARG1]), GLint(ts[D3DTSS_COLORARG2]),
                    GLint(ts[D3DTSS_ALPHAOP]), GLint(ts[D3DTSS_ALPHAARG1]), GLint(ts[D3DTSS_ALPHAARG2])};
    g_GL.glUniform1iv(m_UOps, 6, ops);
    float factor[4];
    ArgbToFloats(state.renderStates[D3DRS_TEXTUREFACTOR], factor);
    g_GL.glUniform4f(m_UTFactor, factor[0], factor[1], factor[2], factor[3]);
    g_GL.glUniform1i(m_UAlphaFunc, rs[D3DRS_ALPHATESTENABLE] ? GLint(rs[D3DRS_ALPHAFUNC]) : 0);
    g_GL.glUniform1f(m_UAlphaRef, float(rs[D3DRS_ALPHAREF] & 0xFF));
}

void GfxGLBackend::ClearRegion(const GfxState& state, LONG left, LONG top, LONG right, LONG bottom, DWORD flags,
                               D3DCOLOR color, float z, DWORD stencil)
{
    const GfxViewport& vp = state.viewport;
    left = std::max(left, LONG(vp.X));
    top = std::max(top, LONG(vp.Y));
    right = std::min(right, LONG(vp.X + vp.Width));
    bottom = std::min(bottom, LONG(vp.Y + vp.Height));
    if (state.renderStates[D3DRS_SCISSORTESTENABLE])
    {
        left = std::max(left, state.scissor.left);
        top = std::max(top, state.scissor.top);
        right = std::min(right, state.scissor.right);
        bottom = std::min(bottom, state.scissor.bottom);
    }
    if (left >= right || top >= bottom)
        return;
    g_GL.glEnable(GL_SCISSOR_TEST);
    g_GL.glScissor(left, top, right - left, bottom - top);
    GLbitfield mask = 0;
    if (flags & D3DCLEAR_TARGET)
    {
        float c[4];
        ArgbToFloats(color, c);
        g_GL.glClearColor(c[0], c[1], c[2], c[3]);
        g_GL.glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
        mask |= GL_COLOR_BUFFER_BIT;
    }
    if (flags & D3DCLEAR_ZBUFFER)
    {
        g_GL.glClearDepth(z);
        g_GL.glDepthMask(GL_TRUE);
        mask |= GL_DEPTH_BUFFER_BIT;
    }
    if ((flags & D3DCLEAR_STENCIL) && state.depthStencil->Image()->info->glFormat == GL_DEPTH_STENCIL)
    {
        g_GL.glClearStencil(GLint(stencil & 0xFF));
        g_GL.glStencilMask(0xFF);
        mask |= GL_STENCIL_BUFFER_BIT;
    }
    g_GL.glClear(mask);
}

void GfxGLBackend::Clear(const GfxState& state, DWORD count, const RECT* rects, DWORD flags, D3DCOLOR color, float z,
                         DWORD stencil)
{
    MakeCurrent();
    if (!BindTargets(state))
        return;
    if (count == 0)
    {
        ClearRegion(state, 0, 0, 0x7FFFFFFF, 0x7FFFFFFF, flags, color, z, stencil);
        return;
    }
    for (DWORD i = 0; i < count; ++i)
        ClearRegion(state, rects[i].left, rects[i].top, rects[i].right, rects[i].bottom, flags, color, z, stencil);
}

void GfxGLBackend::Draw(const GfxState& state, const GfxDraw& draw)
{
    MakeCurrent();
    if (!BindTargets(state))
        return;
    ApplyRasterState(state, state.depthStencil != nullptr);
    ApplySamplers(state);
    auto effect = state.program ? m_Programs.find(state.program) : m_Programs.end();
    if (effect != m_Programs.end())
    {
        ApplyProgramCommon(state, effect->first, effect->second);
    }
    else
    {
        ApplyBuiltInProgram(state, draw.layout->pretransformed);
    }

    // Vertices.
    size_t base = 0;
    if (draw.userVertices)
    {
        g_GL.glBindBuffer(GL_ARRAY_BUFFER, m_ScratchVbo);
        g_GL.glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(draw.userVertexBytes), draw.userVertices, GL_STREAM_DRAW);
    }
    else
    {
        g_GL.glBindBuffer(GL_ARRAY_BUFFER, draw.vertexBuffer->glName);
        base = draw.vertexOffset;
    }
    bool used[WE_ATTR_COUNT] = {};
    for (const GfxVertexAttribute& a : draw.layout->attributes)
    {
        GLint size = 4;
        GLenum type = GL_FLOAT;
        GLboolean normalized = GL_FALSE;
        switch (a.type)
        {
        case D3DDECLTYPE_FLOAT1: size = 1; break;
        case D3DDECLTYPE_FLOAT2: size = 2; break;
        case D3DDECLTYPE_FLOAT3: size = 3; break;
        case D3DDECLTYPE_FLOAT4: size = 4; break;
        case D3DDECLTYPE_D3DCOLOR: size = GL_BGRA, type = GL_UNSIGNED_BYTE, normalized = GL_TRUE; break;
        case D3DDECLTYPE_UBYTE4: type = GL_UNSIGNED_BYTE; break;
        case D3DDECLTYPE_UBYTE4N: type = GL_UNSIGNED_BYTE, normalized = GL_TRUE; break;
        case D3DDECLTYPE_SHORT2: size = 2, type = GL_SHORT; break;
        case D3DDECLTYPE_SHORT4: type = GL_SHORT; break;
        case D3DDECLTYPE_SHORT2N: size = 2, type = GL_SHORT, normalized = GL_TRUE; break;
        case D3DDECLTYPE_SHORT4N: type = GL_SHORT, normalized = GL_TRUE; break;
        case D3DDECLTYPE_USHORT2N: size = 2, type = GL_UNSIGNED_SHORT, normalized = GL_TRUE; break;
        case D3DDECLTYPE_USHORT4N: type = GL_UNSIGNED_SHORT, normalized = GL_TRUE; break;
        case D3DDECLTYPE_FLOAT16_2: size = 2, type = GL_HALF_FLOAT; break;
        case D3DDECLTYPE_FLOAT16_4: type = GL_HALF_FLOAT; break;
        default: continue;
        }
        used[a.location] = true;
        g_GL.glEnableVertexAttribArray(GLuint(a.location));
        g_GL.glVertexAttribPointer(GLuint(a.location), size, type, normalized, GLsizei(draw.stride),
                                   reinterpret_cast<const void*>(base + a.offset));
    }
    for (int location = 0; location < WE_ATTR_COUNT; ++location)
    {
        if (used[location])
            continue;
        g_GL.glDisableVertexAttribArray(GLuint(location));
        // A missing diffuse colour is white, anything else (0, 0, 0, 1).
        if (location == WE_ATTR_COLOR0)
            g_GL.glVertexAttrib4f(GLuint(location), 1.0f, 1.0f, 1.0f, 1.0f);
        else
            g_GL.glVertexAttrib4f(GLuint(location), 0.0f, 0.0f, 0.0f, 1.0f);
    }

    GLenum mode = PrimitiveMode(draw.type);
    if (!draw.indexed)
    {
        g_GL.glDrawArrays(mode, GLint(draw.firstVertex), GLsizei(draw.vertexCount));
        return;
    }
    GLenum indexType = draw.indexSize == 4 ? GL_UNSIGNED_INT : GL_UNSIGNED_SHORT;
    if (draw.userIndices)
    {
        g_GL.glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, m_ScratchIbo);
        g_GL.glBufferData(GL_ELEMENT_ARRAY_BUFFER, GLsizeiptr(size_t(draw.indexCount) * draw.indexSize),
                          draw.userIndices, GL_STREAM_DRAW);
        g_GL.glDrawElements(mode, GLsizei(draw.indexCount), indexType, nullptr);
    }
    else
    {
        g_GL.glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, draw.indexBuffer->glName);
        g_GL.glDrawElements(mode, GLsizei(draw.indexCount), indexType,
                            reinterpret_cast<const void*>(size_t(draw.firstIndex) * draw.indexSize));
    }
}

bool GfxGLBackend::BindReadSurface(GfxSurface& surface, UINT width, UINT height)
{
    GfxImage& image = *surface.Image();
    g_GL.glBindFramebuffer(GL_READ_FRAMEBUFFER, m_ReadFbo);
    Attach(m_ReadFbo, GL_COLOR_ATTACHMENT0, AttachmentOf(&surface));
    g_GL.glReadBuffer(GL_COLOR_ATTACHMENT0);
    if (g_GL.glCheckFramebufferStatus(GL_READ_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE)
        return false;
    if (image.Samples() == 0)
        return true;
    // Resolve into a single-sample buffer of the same size and format, then read from that.
    if (!m_ResolveBuffer || m_ResolveWidth != width || m_ResolveHeight != height ||
        m_ResolveFormat != image.info->glInternal)
    {
        if (!m_ResolveBuffer)
            g_GL.glGenRenderbuffers(1, &m_ResolveBuffer);
        g_GL.glBindRenderbuffer(GL_RENDERBUFFER, m_ResolveBuffer);
        g_GL.glRenderbufferStorage(GL_RENDERBUFFER, image.info->glInternal, GLsizei(width), GLsizei(height));
        m_ResolveWidth = width;
        m_ResolveHeight = height;
        m_ResolveFormat = image.info->glInternal;
    }
    g_GL.glBindFramebuffer(GL_DRAW_FRAMEBUFFER, m_ResolveFbo);
    g_GL.glFramebufferRenderbuffer(GL_DRAW_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, m_ResolveBuffer);
    g_GL.glDisable(GL_SCISSOR_TEST);
    g_GL.glBlitFramebuffer(0, 0, GLint(width), GLint(height), 0, 0, GLint(width), GLint(height), GL_COLOR_BUFFER_BIT,
                           GL_NEAREST);
    g_GL.glBindFramebuffer(GL_READ_FRAMEBUFFER, m_ResolveFbo);
    g_GL.glReadBuffer(GL_COLOR_ATTACHMENT0);
    m_FboKnown = false;  // the draw binding moved
    return true;
}

bool GfxGLBackend::Stretch(GfxSurface& source, const RECT& s, GfxSurface& dest, const RECT& d,
                           D3DTEXTUREFILTERTYPE filter)
{
    MakeCurrent();
    if (source.Image()->info->depth)
        return false;  // depth copies are not offered
    if (!BindReadSurface(source, source.Width(), source.Height()))
        return false;
    GfxState none{};
    none.renderTargets[0] = &dest;
    none.depthStencil = nullptr;
    if (!BindTargets(none))
        return false;
    g_GL.glDisable(GL_SCISSOR_TEST);
    g_GL.glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    bool sameSize = s.right - s.left == d.right - d.left && s.bottom - s.top == d.bottom - d.top;
    GLenum glFilter = (filter == D3DTEXF_POINT || sameSize) ? GL_NEAREST : GL_LINEAR;
    g_GL.glBlitFramebuffer(s.left, s.top, s.right, s.bottom, d.left, d.top, d.right, d.bottom, GL_COLOR_BUFFER_BIT,
                           glFilter);
    return true;
}

bool GfxGLBackend::Fill(GfxSurface& surface, const RECT& rect, D3DCOLOR color)
{
    MakeCurrent();
    GfxState state{};
    state.renderTargets[0] = &surface;
    state.viewport.Width = surface.Width();
    state.viewport.Height = surface.Height();
    if (!BindTargets(state))
        return false;
    ClearRegion(state, rect.left, rect.top, rect.right, rect.bottom, D3DCLEAR_TARGET, color, 1.0f, 0);
    return true;
}

bool GfxGLBackend::Read(GfxSurface& source, GfxImage& dest)
{
    MakeCurrent();
    DropPendingErrors();
    if (!BindReadSurface(source, dest.width, dest.height))
        return false;
    const GfxFormatInfo& info = *dest.info;
    if (info.block)
        return false;
    GfxSubImage& sub = dest.subs[0];
    g_GL.glReadPixels(0, 0, GLsizei(dest.width), GLsizei(dest.height), info.glFormat, info.glType, sub.bytes.data());
    // Formats without alpha read back with their unused bits set, as their texels would be.
    if (info.swizzle == 1 && info.bytes == 4 && info.glFormat == GL_BGRA)
        for (size_t i = 3; i < sub.bytes.size(); i += 4)
            sub.bytes[i] = 0xFF;
    return g_GL.glGetError() == GL_NO_ERROR;
}

void GfxGLBackend::Present(GfxSurface& backBuffer)
{
    MakeCurrent();
    if (!BindReadSurface(backBuffer, backBuffer.Width(), backBuffer.Height()))
        return;
    int width = 0, height = 0;
    SDL_GL_GetDrawableSize(m_Window, &width, &height);
    g_GL.glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    g_GL.glDisable(GL_SCISSOR_TEST);
    g_GL.glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    // The window's row 0 is its bottom row: the one flip of the whole pipeline.
    GLint w = GLint(backBuffer.Width()), h = GLint(backBuffer.Height());
    g_GL.glBlitFramebuffer(0, 0, w, h, 0, height, width, 0, GL_COLOR_BUFFER_BIT,
                           (w == width && h == height) ? GL_NEAREST : GL_LINEAR);
    SDL_GL_SwapWindow(m_Window);
    m_FboKnown = false;
}
