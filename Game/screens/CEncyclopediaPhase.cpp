#include "Game/screens/CEncyclopediaPhase.h"

#include "Engine/foundation/WeConfig.h"
#include "Engine/foundation/WeLocalization.h"
#include "Engine/foundation/WeTimer.h"
#include "Engine/foundation/WeVirtualFileSystem.h"
#include "Engine/render/WeTexture.h"
#include "Engine/render/WeTextureManager.h"
#include "Engine/runtime/WeInput.h"
#include "Engine/runtime/WePhaseManager.h"
#include "Engine/ui/WeUIButton.h"
#include "Engine/ui/WeUIComponent.h"
#include "Engine/ui/WeUILabel.h"
#include "Engine/ui/WeUIMain.h"
#include "Engine/ui/WeUIPicture.h"
#include "Engine/ui/WeUIScrollFrame.h"
#include "Engine/ui/WeUIText.h"
#include "Engine/ui/WeUIWindow.h"
#include "Game/screens/CMainMenuPhase.h"
#include "Game/screens/CMenuPhase.h"
#include "Game/shell/CInputMessage.h"
#include "Game/shell/CMapCatalogue.h"
#include "Game/shell/CMapInfo.h"
#include "Game/shell/COptionsSettings.h"

CEncyclopediaPhase g_EncyclopediaPhase;

const char* const CEncyclopediaPhase::Categories[CEncyclopediaPhase::CategoryCount] = {
    "Worlds", "Weapons", "Ships", "Pickups", "Maps", "History", "Story", "Tips"};

namespace
{
constexpr const char* MenuWindow = "Encyclopedia_Menu_Window";
constexpr const char* PresentationWindow = "Encyclopedia_Presentation_Window";
constexpr const char* NextButton = "Encyclopedia_Next_Button";
constexpr const char* PrevButton = "Encyclopedia_Prev_Button";
// The texture file type of the package file system.
constexpr int32_t TextureFileType = 1;

WeString ButtonName(const char* category)
{
    return WeString("Encyclopedia_") + category + "_Button";
}

void SetEnabled(WeUIComponent* c, bool enabled)
{
    if (c == nullptr)
        return;
    c->m_Opacity = enabled ? 1.0f : 0.5f;
    c->m_InputEnabled = enabled ? 1 : 0;
}

const CEncyclopediaPhase::Entry* EntryAt(const WeList<CEncyclopediaPhase::Entry>* list, int32_t index)
{
    if (list == nullptr)
        return nullptr;
    int32_t at = 0;
    for (auto* n = list->FirstNode(); n != nullptr; n = list->NextNode(n), ++at)
        if (at == index)
            return &n->payload;
    return nullptr;
}

void SetLabelText(WeUIComponent* label, const WeString& text)
{
    if (label != nullptr)
        static_cast<WeUILabel*>(label)->m_Text->m_Text = text;
}
}  // namespace

WeList<CEncyclopediaPhase::Entry>* CEncyclopediaPhase::GetList(const WeString& category)
{
    WeList<Entry>* lists[] = {&m_Worlds, &m_Ships, &m_Weapons, &m_Maps, &m_Pickups, &m_Tips, &m_History, &m_Story};
    const char* names[] = {"Worlds", "Ships", "Weapons", "Maps", "Pickups", "Tips", "History", "Story"};
    for (int32_t i = 0; i < CategoryCount; ++i)
        if (category == names[i])
            return lists[i];
    return nullptr;
}

void CEncyclopediaPhase::Enter()
{
    g_UIMain.CreateWindow(MenuWindow, g_Localization.GetText("UI: ENCYCLOPEDIA"), "Root");
    g_UIMain.ShowComponent(MenuWindow, false);
    for (const char* category : Categories)
    {
        WeUIComponent* button =
            g_UIMain.CreateButton(ButtonName(category), g_Localization.GetText(WeString("UI: Enc") + category),
                                  MenuWindow, OnCategoryClicked);
        if (!GetConfigBool(WeString("Encyclopedia.") + category + ".Enabled", true))
            SetEnabled(button, false);
    }
    g_UIMain.CreateButton("Encyclopedia_Back_Button", g_Localization.GetText("UI: BACK"), MenuWindow, OnBackClicked);

    m_PresentationWindow = g_UIMain.CreateWindow(PresentationWindow, "", "Root");
    g_UIMain.ShowComponent(PresentationWindow, false);
    g_UIMain.CreateButton(NextButton, g_Localization.GetText("UI: NEXT"), PresentationWindow, OnNextClicked);
    g_UIMain.CreateButton(PrevButton, g_Localization.GetText("UI: PREV"), PresentationWindow, OnPrevClicked);
    m_CaptionLabel = g_UIMain.CreateLabel("Encyclopedia_Caption", "", PresentationWindow, -1);
    m_Picture = g_UIMain.CreatePicture("Encyclopedia_Picture", PresentationWindow);
    m_ScrollFrame = g_UIMain.CreateScrollFrame("Encyclopedia_ScrolledText", PresentationWindow);
    m_TextLabel = g_UIMain.CreateLabel("Encyclopedia_Text", "", "Encyclopedia_ScrolledText", WeUITextWrap);

    for (const char* category : {"Worlds", "Ships", "Maps", "Weapons", "Pickups", "History", "Story", "Tips"})
        FillList(category);

    m_CurrentCategory = "Worlds";
    m_CurrentList = &m_Worlds;
    m_CurrentIndex = 0;
    m_PrevRepeat = CNextPrevRepeat();
    m_NextRepeat = CNextPrevRepeat();
    ShowEntry();
}

void CEncyclopediaPhase::FillList(const WeString& category)
{
    WeList<Entry>* list = GetList(category);
    if (list == nullptr)
        return;
    list->Clear();
    const WeString keys = GetConfigString(WeString("Encyclopedia.") + category + ".List", "");
    for (int32_t i = 0;; ++i)
    {
        const WeString key = keys.GetToken(',', i);
        if (key.IsEmpty())
            break;
        Entry& entry = list->PushBack();
        entry.m_Key = key;
        entry.m_DisplayName = g_Localization.GetText(category + ": " + key + ": NAME");
    }
    if (list == &m_Maps)
        RestrictMaps();
}

void CEncyclopediaPhase::RestrictMaps()
{
    if (m_MapWorlds.Count() == 0)
        for (auto* n = g_MapCatalogue.m_Names.FirstNode(); n != nullptr; n = g_MapCatalogue.m_Names.NextNode(n))
            if (CMapInfo* info = g_MapCatalogue.Find(n->payload))
                m_MapWorlds.Insert(n->payload, info->m_WorldName);
    for (auto* n = m_Maps.FirstNode(); n != nullptr;)
    {
        auto* next = m_Maps.NextNode(n);
        WeString* world = nullptr;
        if (m_MapWorlds.FindRef(n->payload.m_Key, &world))
            n->payload.m_DisplayName = g_Localization.GetText(WeString("Worlds: ") + *world + ": SHORTNAME") + " - " +
                                       n->payload.m_DisplayName;
        else
            m_Maps.Remove(n);
        n = next;
    }
}

void CEncyclopediaPhase::ShowEntry()
{
    const int32_t count = m_CurrentList != nullptr ? m_CurrentList->Count() : 0;
    SetEnabled(g_UIMain.FindComponent(PrevButton), m_CurrentIndex > 0);
    SetEnabled(g_UIMain.FindComponent(NextButton), m_CurrentIndex < count - 1);
    if (m_PresentationWindow != nullptr)
        static_cast<WeUIWindow*>(m_PresentationWindow)->m_Caption->m_Text =
            m_CurrentCategory.IsEmpty() ? WeString() : g_Localization.GetText(WeString("UI: Enc") + m_CurrentCategory);

    auto* picture = static_cast<WeUIPicture*>(m_Picture);
    WeTexture* texture = nullptr;
    WeString text;
    const Entry* entry = EntryAt(m_CurrentList, m_CurrentIndex);
    if (entry == nullptr)
        SetLabelText(m_CaptionLabel, g_Localization.GetText("UI: NOTHING UNLOCKED"));
    else
    {
        SetLabelText(m_CaptionLabel, entry->m_DisplayName);
        const WeString name =
            GetConfigString(WeString("Encyclopedia.") + m_CurrentCategory + ":" + entry->m_Key + ".Picture", "");
        WeVirtualFileSystem* vfs = WeVirtualFileSystem::Instance();
        // A missing member shows no picture rather than the default texture.
        if (!name.IsEmpty() && vfs != nullptr && vfs->Exists(name, TextureFileType))
        {
            texture = g_TextureManager.GetTexture(name, false, 0, false);
            if (texture != nullptr)
                texture->SetMinimumQuality(2);
        }
        text = g_Localization.GetText(m_CurrentCategory + ": " + entry->m_Key + ": TEXT");
    }
    if (picture != nullptr)
    {
        if (picture->m_Texture != nullptr && picture->m_Texture != texture)
            g_TextureManager.ReleaseTexture(picture->m_Texture, false);
        picture->m_Texture = texture;
        picture->m_Visible = texture != nullptr ? 1 : 0;
    }

    float height = 0.0f;
    if (m_TextLabel != nullptr)
    {
        WeUIText* label = static_cast<WeUILabel*>(m_TextLabel)->m_Text;
        label->m_Text = text;
        if (!text.IsEmpty())
            label->GetExtent(nullptr, &height);
        m_TextLabel->SetRect(m_TextLabel->m_X, m_TextLabel->m_Y, m_TextLabel->m_Width, height);
        label->SetRect(0.0f, 0.0f, m_TextLabel->m_Width, height);
    }
    if (m_ScrollFrame != nullptr)
        m_ScrollFrame->SetContentHeight(height);
}

void CEncyclopediaPhase::SelectCategory(const WeString& category)
{
    WeList<Entry>* list = GetList(category);
    if (list != nullptr && !(category == m_CurrentCategory))
    {
        m_CurrentCategory = category;
        m_CurrentList = list;
        m_CurrentIndex = 0;
        ShowEntry();
    }
    g_MenuPhase.PlayMenuSound(CMenuPhase::SoundConfirm);
}

void CEncyclopediaPhase::ShowNext()
{
    const int32_t count = m_CurrentList != nullptr ? m_CurrentList->Count() : 0;
    if (m_CurrentIndex >= count - 1)
        return;
    ++m_CurrentIndex;
    ShowEntry();
    g_MenuPhase.PlayMenuSound(CMenuPhase::SoundConfirm);
}

void CEncyclopediaPhase::ShowPrevious()
{
    if (m_CurrentIndex <= 0)
        return;
    --m_CurrentIndex;
    ShowEntry();
    g_MenuPhase.PlayMenuSound(CMenuPhase::SoundConfirm);
}

void CEncyclopediaPhase::Update()
{
    g_OptionsSettings.m_Bindings.FillInputMessage(&g_PlayerInputMessage);
    const float interval = GetConfigFloat("game.Input.AutoRepeatNextPrevButton", 0.5f);
    const float frameTime = g_Timer.m_FrameDeltaF;
    if (m_PrevRepeat.Step(g_PlayerInputMessage.m_RotateLeft != 0, frameTime, interval))
        ShowPrevious();
    if (m_NextRepeat.Step(g_PlayerInputMessage.m_RotateRight != 0, frameTime, interval))
        ShowNext();
}

void CEncyclopediaPhase::HandleInput()
{
    if (g_Input.ConsumeKey(1))
        OnBackClicked(0, nullptr);
}

void CEncyclopediaPhase::Leave()
{
    if (auto* picture = static_cast<WeUIPicture*>(m_Picture))
    {
        if (picture->m_Texture != nullptr)
            g_TextureManager.ReleaseTexture(picture->m_Texture, false);
        picture->m_Texture = nullptr;
    }
    g_UIMain.CloseComponent(MenuWindow, false);
    g_UIMain.CloseComponent(PresentationWindow, false);
    m_CaptionLabel = nullptr;
    m_ScrollFrame = nullptr;
    m_TextLabel = nullptr;
    m_PresentationWindow = nullptr;
    m_Picture = nullptr;
    m_CurrentList = nullptr;
}

int32_t CEncyclopediaPhase::OnCategoryClicked(int32_t button, WeUIComponent* sender)
{
    (void)button;
    if (sender == nullptr)
        return 1;
    // "Encyclopedia_<category>_Button"
    g_EncyclopediaPhase.SelectCategory(sender->m_Name.GetToken('_', 1));
    return 1;
}

int32_t CEncyclopediaPhase::OnNextClicked(int32_t button, WeUIComponent* sender)
{
    (void)button;
    (void)sender;
    g_EncyclopediaPhase.ShowNext();
    return 1;
}

int32_t CEncyclopediaPhase::OnPrevClicked(int32_t button, WeUIComponent* sender)
{
    (void)button;
    (void)sender;
    g_EncyclopediaPhase.ShowPrevious();
    return 1;
}

int32_t CEncyclopediaPhase::OnBackClicked(int32_t button, WeUIComponent* sender)
{
    (void)button;
    (void)sender;
    g_MenuPhase.PlayMenuSound(CMenuPhase::SoundBack);
    g_PhaseManager.RequestPhase(&g_MainMenuPhase, WePhaseManager::ChangeRequest);
    return 1;
}
