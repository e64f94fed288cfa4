#pragma once
// What the render tests share besides the GL fixture: the recording backend's fixture, the staged tree of
// the shipped pack and another pack file for a while.
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
#include "Tests/support/GLTestFixture.h"
#include "Tests/support/ScratchFolder.h"

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
