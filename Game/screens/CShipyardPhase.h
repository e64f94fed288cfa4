#pragma once
#include <cstdint>

#include "Engine/foundation/WeList.h"
#include "Engine/foundation/WeString.h"
#include "Engine/runtime/WeAbstractPhase.h"
#include "Game/screens/CNextPrevRepeat.h"

class CMap;
class CProgressBar;
class CTuberDescription;
class WeActor;
class WeCamera;
class WeTexture;
class WeUIComponent;
class WeUILabel;
class WeUIProgressBar;

// The craft choice between the race set-up and the race's loading: a garage room for the race's world,
// the offered craft turning on a turntable under an orbiting camera, and a window with the craft's name,
// text, weapons and four rating bars.
class CShipyardPhase : public WeAbstractPhase
{
public:
    // One offered craft: its model on the turntable (owned) and its description (not owned).
    class CTuberInfo
    {
    public:
        CTuberInfo() = default;
        virtual ~CTuberInfo();
        CTuberInfo(const CTuberInfo&) = delete;
        CTuberInfo& operator=(const CTuberInfo&) = delete;

        WeActor* m_Actor = nullptr;
        const CTuberDescription* m_Description = nullptr;
    };

    static constexpr int32_t LoadingPictureCount = 10;

    void Enter() override;
    void Leave() override;
    void HandleInput() override;
    void Update() override;
    void Render() override;

    static int32_t OnStartClicked(int32_t button, WeUIComponent* sender);
    static int32_t OnBackClicked(int32_t button, WeUIComponent* sender);
    static int32_t OnNextClicked(int32_t button, WeUIComponent* sender);
    static int32_t OnPrevClicked(int32_t button, WeUIComponent* sender);
    static void OnLoadingFadeDone();
    static void OnStartFadeDone();
    static void OnBackFadeDone();

    // Fills the window from the selected entry; nothing without one.
    void ShowTuberInfo();
    // One catalogue entry; true once every entry is built.
    bool AddNextTuberInfo();
    void UpdateCamera();
    // NEXT (forward) or PREV in the circular list of entries.
    void MoveSelection(bool forward);

    WeTexture* m_LoadingPicture = nullptr;
    uint8_t m_FirstShow = 0;
    float m_BarProgress = 0.0f;
    int32_t m_SavedReflectionQuality = 0;
    int32_t m_SavedQualityLevel = 0;
    uint8_t m_Leaving = 0;
    uint8_t m_LoadingView = 0;
    uint8_t m_Starting = 0;
    // Speed, acceleration, turbo, HP.
    float m_TargetRatings[4] = {};
    float m_ShownRatings[4] = {};
    float m_StartRatings[4] = {};
    CProgressBar* m_ProgressBar = nullptr;
    uint8_t m_SlidingForward = 0;
    uint8_t m_SlidingBack = 0;
    WeUILabel* m_RatingLabels[4] = {};
    WeUIProgressBar* m_RatingBars[4] = {};
    WeUILabel* m_DescriptionLabel = nullptr;
    WeUILabel* m_NameLabel = nullptr;
    WeUILabel* m_WeaponLabel = nullptr;
    WeUILabel* m_MineLabel = nullptr;
    uint8_t m_Loaded = 0;
    uint32_t m_TitleColour = 0xFFFFFFFF;
    // The next catalogue name to build an entry of; null once all are built.
    WeListNode<WeString>* m_CatalogueCursor = nullptr;
    WeString m_WorldName;
    CMap* m_GarageMap = nullptr;
    WeCamera* m_Camera = nullptr;
    WeList<CTuberInfo*> m_Entries;
    WeListNode<CTuberInfo*>* m_Selected = nullptr;
    // 1..10, advanced at each entry.
    int32_t m_LoadingPictureNumber = 0;
    // Counts the entries built, from 1.
    int32_t m_BuildStep = 1;
    // Game time when the scene first rendered, negative before.
    double m_SceneStartTime = -1.0;
    // The garage map's load has begun.
    uint8_t m_MapLoading = 0;
    CNextPrevRepeat m_PrevRepeat;
    CNextPrevRepeat m_NextRepeat;
};

extern CShipyardPhase g_ShipyardPhase;
