#pragma once
// One OpenGL render device for a test: a window from the window layer marked foreground (the offscreen driver
// sends no focus events), the device over the shipped pack beside the test executable (so the test runs from
// any working folder), the back buffer read back to an image through the demos' read-back, and, when a check
// failed, a PNG of the last image read (and of any the test names) in its scratch folder, left in place.
// Everything the engine's shutdown releases is released after each test, in its order.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "Engine/foundation/WeDataFile.h"
#include "Engine/foundation/WeExeFolder.h"
#include "Engine/foundation/WeString.h"
#include "Engine/foundation/WeVirtualFileSystem.h"
#include "Engine/render/WeMaterialManager.h"
#include "Engine/render/WeMeshManager.h"
#include "Engine/render/WeRenderDevice.h"
#include "Engine/render/WeRenderTargetManager.h"
#include "Engine/render/WeShaderManager.h"
#include "Engine/render/WeTextureManager.h"
#include "Engine/runtime/WeEngine.h"
#include "Platform/gfx/GfxBackend.h"
#include "Platform/window/WinUser.h"
#include "Tests/support/ScratchFolder.h"
#include "Tools/demo_common/DemoFrame.h"

inline LRESULT GLTestWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(window, message, wParam, lParam);
}

// A popup window of the size, marked foreground; null when the window layer cannot make one.
inline HWND MakeRenderTestWindow(int width, int height)
{
    static bool registered = false;
    if (!registered)
    {
        WNDCLASSEXA c = {};
        c.cbSize = sizeof(c);
        c.lpfnWndProc = GLTestWindowProc;
        c.lpszClassName = "RenderTestWindow";
        registered = RegisterClassExA(&c) != 0;
    }
    HWND window = CreateWindowExA(0, "RenderTestWindow", "render test", WS_POPUP, 0, 0, width, height, nullptr, nullptr,
                                  nullptr, nullptr);
    if (window != nullptr)
        SetForegroundWindow(window);
    return window;
}

// Everything the engine's shutdown releases, in its order; then the device's options back to their defaults.
inline void ShutdownRendering()
{
    g_RenderTargetManager.ReleaseAll();
    g_ShaderManager.ReleaseAll();
    g_MeshManager.ReleaseAll(true);
    g_MaterialManager.ReleaseAll(true);
    g_TextureManager.ReleaseAll(true);
    g_RenderDevice.Shutdown();
    g_RenderDevice.m_RenderCallback = nullptr;
    g_RenderDevice.m_DeviceLostCallback = nullptr;
    g_RenderDevice.m_DeviceResetCallback = nullptr;
    g_RenderDevice.m_DrawBackLayer = nullptr;
    g_RenderDevice.m_DrawMainLayer = nullptr;
    g_RenderDevice.m_DrawFrontLayer = nullptr;
    g_RenderDevice.m_ClearEachFrame = 0;
    g_RenderDevice.m_DrawAtCreation = 0;
    g_RenderDevice.m_ShaderPath = 1;
    g_RenderDevice.m_FogEnabled = 0;
    g_RenderDevice.m_FellBack = 0;
    g_TextureManager.m_QualityLevel = 2;
    // The manager keeps the last camera's matrices past its release; tests that draw without a camera
    // expect the identity.
    D3DXMatrixIdentity(&g_ShaderManager.m_ViewProj);
    D3DXMatrixIdentity(&g_ShaderManager.m_PrevViewProj);
}

// X8R8G8B8 pixels, top row first; empty when nothing could be read.
struct GLTestImage
{
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;

    bool Empty() const { return pixels.empty(); }
    // The colour without the unused top byte.
    uint32_t At(int x, int y) const { return pixels[size_t(y) * size_t(width) + size_t(x)] & 0x00FFFFFFu; }
};

class GLTestFixture : public ::testing::Test
{
protected:
    // createInSetUp false: the test sets the device's options first, then calls CreateDevice.
    GLTestFixture(int width, int height, bool createInSetUp = true)
        : m_Width(width), m_Height(height), m_CreateInSetUp(createInSetUp)
    {
    }

    void SetUp() override
    {
        GfxSelectBackend(GfxBackendKind::OpenGL);
        g_Engine.m_ErrorText = "";
        m_SavedPack = WeVirtualFileSystem::GetDataFile()->GetPath();
        WeVirtualFileSystem::GetDataFile()->SetPath(
            WeString((std::string(GetExeFolder().c_str()) + "/Packages.dat").c_str()));
        m_Window = MakeRenderTestWindow(m_Width, m_Height);
        ASSERT_NE(m_Window, nullptr);
        if (m_CreateInSetUp)
        {
            ASSERT_TRUE(CreateDevice()) << g_Engine.m_ErrorText.c_str();
        }
    }
    void TearDown() override
    {
        KeepOnFailure(m_LastRead, "last-read");
        ShutdownRendering();
        m_Device = nullptr;
        if (m_Window != nullptr)
            DestroyWindow(m_Window);
        m_Window = nullptr;
        GfxSelectBackend(GfxBackendKind::Recording);
        WeVirtualFileSystem::GetDataFile()->SetPath(m_SavedPack);
    }

    // The render device on the window at the fixture's size, with the options as they are set now.
    bool CreateDevice(int multisampleType = 0, int quality = 0)
    {
        if (!g_RenderDevice.Create(nullptr, m_Window, m_Width, m_Height, multisampleType, quality, 0, 2, 2, 1))
            return false;
        m_Device = g_RenderDevice.GetDevice();
        return m_Device != nullptr;
    }

    // The back buffer as it is now. The last one read is kept as "last-read.png" when the test fails.
    GLTestImage ReadBack()
    {
        GLTestImage image;
        // At the back buffer's own size: a mode change may have resized it.
        IDirect3DSurface9* back = nullptr;
        D3DSURFACE_DESC desc{};
        if (m_Device != nullptr && SUCCEEDED(m_Device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back)))
        {
            back->GetDesc(&desc);
            back->Release();
        }
        image.pixels = DemoReadBackBuffer(m_Device, desc.Width, desc.Height);
        if (!image.pixels.empty())
        {
            image.width = int(desc.Width);
            image.height = int(desc.Height);
        }
        m_LastRead = image;
        return image;
    }

    // When a check of this test has failed, the image goes to "<name>.png" in the scratch folder, which
    // stays for a look.
    void KeepOnFailure(const GLTestImage& image, const std::string& name)
    {
        if (!HasFailure() || image.Empty())
            return;
        if (DemoWritePng(m_Scratch.Path(name + ".png").c_str(), UINT(image.width), UINT(image.height), image.pixels))
            m_Scratch.Keep();
    }

    const int m_Width;
    const int m_Height;
    const bool m_CreateInSetUp;
    HWND m_Window = nullptr;
    IDirect3DDevice9* m_Device = nullptr;
    ScratchFolder m_Scratch;

private:
    WeString m_SavedPack;
    GLTestImage m_LastRead;
};
