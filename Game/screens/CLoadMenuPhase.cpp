#include "Game/screens/CLoadMenuPhase.h"

#include "Engine/foundation/WeBusy.h"
#include "Engine/foundation/WeConfig.h"
#include "Engine/foundation/WeFileStream.h"
#include "Engine/foundation/WeLocalization.h"
#include "Engine/foundation/WeLog.h"
#include "Engine/foundation/WePackageTypes.h"
#include "Engine/foundation/WeStringList.h"
#include "Engine/foundation/WeVirtualFileSystem.h"
#include "Engine/render/WeModel.h"
#include "Engine/render/WeModelManager.h"
#include "Engine/render/WeShaderManager.h"
#include "Engine/render/WeTexture.h"
#include "Engine/render/WeTextureManager.h"
#include "Engine/runtime/WePhaseManager.h"
#include "Engine/runtime/WeSoundBuffer.h"
#include "Engine/ui/WeUIColorFrame.h"
#include "Engine/ui/WeUIComponent.h"
#include "Engine/ui/WeUILabel.h"
#include "Engine/ui/WeUIMain.h"
#include "Engine/ui/WeUIPicture.h"
#include "Engine/world/WeLight.h"
#include "Engine/world/WeNewParticleSystem.h"
#include "Game/craft/CAIProfiles.h"
#include "Game/craft/CExplosionLocalized.h"
#include "Game/craft/CExplosionNuke.h"
#include "Game/craft/CExplosionSplash.h"
#include "Game/craft/CTuber.h"
#include "Game/craft/CTuberCatalogue.h"
#include "Game/craft/CWeaponAssets.h"
#include "Game/craft/CWeaponDescriptionManager.h"
#include "Game/screens/CBuyScreenPhase.h"
#include "Game/screens/CChooseProfilePhase.h"
#include "Game/screens/CMainMenuPhase.h"
#include "Game/screens/CMenuPhase.h"
#include "Game/screens/CProfileManager.h"
#include "Game/shell/CGameCamera.h"
#include "Game/shell/CGameGlobals.h"
#include "Game/shell/CMainGameInterface.h"
#include "Game/shell/CMapCatalogue.h"
#include "Platform/system/SysClock.h"

CLoadMenuPhase g_LoadMenuPhase;

namespace
{
const char* const BackgroundName = "LoadMenu_Background";
const char* const SplashName = "LoadMenu_SplashScreen";
const char* const LegalTextName = "LoadMenu_LegalText";
}  // namespace

void CLoadMenuPhase::Enter()
{
    m_Step = 0;
    WeUIColorFrame* background = g_UIMain.CreateColorFrame(BackgroundName, "Root");
    if (background != nullptr)
    {
        background->m_Colour[0] = background->m_Colour[1] = background->m_Colour[2] = 0.0f;
        background->m_Colour[3] = 1.0f;
    }
    static const float& legalFadeSpeed = GetConfigFloat("UI.LegalText.FadeSpeed", 0.5f);
    WeUIPicture* splash = g_UIMain.CreatePicture(SplashName, "Root");
    if (splash != nullptr)
    {
        splash->m_Texture = g_TextureManager.GetTexture("Ingame.Misc.Intro", false, 0, true);
        splash->m_Visible = 0;
        splash->SetFadeSpeed(legalFadeSpeed);
    }
    g_UIMain.CreateLabel(LegalTextName, g_Localization.GetText("TEXT: LegalText"), SplashName, 8);
    g_UIShowCursor = 0;
}

void CLoadMenuPhase::Leave()
{
    g_UIMain.RemoveComponent(BackgroundName);
    g_UIMain.RemoveComponent(LegalTextName);
    // Normally gone after its fade; a pass that ends early leaves nothing behind.
    g_UIMain.RemoveComponent(SplashName);
    g_UIShowCursor = 1;
}

void CLoadMenuPhase::Update()
{
    switch (m_Step)
    {
    case 0:
    case 3:
    case 5:
        // Lets a frame be drawn.
        ++m_Step;
        break;
    case 1:
        g_UIMain.ShowComponent(SplashName, false);
        m_Step = 2;
        break;
    case 2:
    {
        WeUIComponent* splash = g_UIMain.FindComponent(SplashName);
        if (splash == nullptr || splash->m_Alpha >= 1.0)
            m_Step = 3;
        break;
    }
    case 4:
    {
        const int64_t start = SysClock::Counter();
        LoadGameData();
        DebugLogPrintf("Start-up: the game data loaded in %.3f s of wall time\n",
                       double(SysClock::Counter() - start) / double(SysClock::CounterFrequency));
        m_Step = 5;
        break;
    }
    case 6:
        g_UIMain.CloseComponent(SplashName, false);
        m_Step = 7;
        break;
    default:
        if (m_Step != 7 || g_UIMain.FindComponent(SplashName) != nullptr)
            break;
        g_PhaseManager.RequestPhase(&g_MenuPhase, WePhaseManager::ChangeRequest);
        if (g_ProfileManager.GetCurrent() != nullptr)
        {
            g_ProfileManager.ApplyCurrent();
            g_PhaseManager.RequestPhase(&g_MainMenuPhase, WePhaseManager::PushRequest);
        }
        else
        {
            g_PhaseManager.RequestPhase(&g_ChooseProfilePhase, WePhaseManager::PushRequest);
        }
        // Once: the change leaves this phase at the next tick.
        m_Step = 8;
        break;
    }
}

void CLoadMenuPhase::LoadGameData()
{
    g_Game.LoadFonts();
    // Everything loaded from here on stays loaded until the program ends.
    BeginBusy();
    g_WeaponDescriptions.LoadPictures();
    g_TuberCatalogue.Load();
    g_MapCatalogue.Load();
    g_AIProfiles.Load();
    g_ProfileManager.Load();
    CGameCamera::LoadPresets();
    g_MainGameInterface.LoadLayout();
    LoadSharedAssets();
    LoadSounds();
    g_BuyScreenPhase.m_Picture = g_TextureManager.GetTexture("Ingame.Misc.BuyScreen", false, 0, true);
    EndBusy();
    g_Game.PlayMusic(1);
    g_MenuPhase.StartBackground();
}

void CLoadMenuPhase::LoadSharedAssets()
{
    BeginBusy();
    g_ShaderManager.SetDefaultShader(g_ShaderManager.GetShader("Shaders.Default.Default", false, true));

    // The game's static asset loaders; those of the craft parts (CTuberPart::LoadAssets,
    // CTuberPartFabric::LoadModels) and the pickups (CPickup::LoadGlowModel and the kinds' LoadModels) come
    // with the issues that bring those classes.
    CTuber::LoadAssets();
    CExplosionLocalized::LoadVisualTable();
    CExplosionLocalized::LoadAssets();
    CExplosionNuke::LoadAssets();
    CExplosionSplash::LoadAssets();
    g_TuberCatalogue.LoadModels();

    LoadWeaponAssets();
    g_MainGameInterface.LoadAtlases();
    EndBusy();
}

void CLoadMenuPhase::LoadSounds()
{
    WeVirtualFileSystem* files = WeVirtualFileSystem::Instance();
    const int32_t soundType = PackageTypeFromExtension("ogg");
    WeStringList folders;
    files->ListFolders(folders, "Sounds", soundType);
    for (WeStringList::Node* folder = folders.FirstNode(); folder != nullptr; folder = folders.NextNode(folder))
    {
        // The music streams while it plays.
        if (folder->payload == "Music")
            continue;
        WeStringList names;
        files->ListFiles(names, "Sounds", folder->payload, soundType);
        for (WeStringList::Node* file = names.FirstNode(); file != nullptr; file = names.NextNode(file))
            GetSoundBuffer(WeString("Sounds.") + folder->payload + "." + file->payload);
    }
}
