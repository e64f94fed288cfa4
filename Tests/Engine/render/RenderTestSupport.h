#pragma once
// What the render tests share: a window from the window layer marked foreground (the offscreen driver
// sends no focus events), the recording backend, and an explicit shutdown of the device and its managers
// after each test, in the engine's order.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

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
#include "Platform/gfx/GfxRecorder.h"
#include "Platform/window/WinUser.h"
#include "Tests/support/ScratchFolder.h"

inline LRESULT RenderTestProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(window, message, wParam, lParam);
}

inline HWND MakeRenderTestWindow(int width, int height)
{
    static bool registered = false;
    if (!registered)
    {
        WNDCLASSEXA c = {};
        c.cbSize = sizeof(c);
        c.lpfnWndProc = RenderTestProc;
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

// The staged tree the shipped pack was made from (beside bin/ in the build folder), found from the test
// binary's folder wherever it runs from.
inline std::filesystem::path StagedPackages()
{
    return std::filesystem::path(GetExeFolder().c_str()).parent_path() / "content" / "Packages";
}

// The active package file reads another archive for the life of the object.
class UsePackFile
{
public:
    explicit UsePackFile(const std::string& path) : m_Saved(WeVirtualFileSystem::GetDataFile()->GetPath())
    {
        WeVirtualFileSystem::GetDataFile()->SetPath(WeString(path.c_str()));
    }
    ~UsePackFile() { WeVirtualFileSystem::GetDataFile()->SetPath(m_Saved); }

private:
    WeString m_Saved;
};

class RecordingRender : public ::testing::Test
{
protected:
    void SetUp() override
    {
        GfxSelectBackend(GfxBackendKind::Recording);
        g_GfxRecorder.ResetAll();
        g_Engine.m_ErrorText = "";
        window = MakeRenderTestWindow(64, 64);
        ASSERT_NE(window, nullptr);
    }
    void TearDown() override
    {
        ShutdownRendering();
        if (window != nullptr)
            DestroyWindow(window);
        g_GfxRecorder.ResetAll();
    }
    bool Create(int width = 640, int height = 480, int multisampleType = 0, int quality = 0)
    {
        return g_RenderDevice.Create(nullptr, window, width, height, multisampleType, quality, 0, 2, 2, 1);
    }
    // Position of the first logged call of that name at or after `from`, or -1.
    static int IndexOf(const std::string& name, int from = 0)
    {
        for (size_t i = size_t(from); i < g_GfxRecorder.calls.size(); ++i)
            if (g_GfxRecorder.calls[i].name == name)
                return int(i);
        return -1;
    }

    HWND window = nullptr;
};
