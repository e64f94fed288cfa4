#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "Engine/foundation/WeList.h"
#include "Engine/foundation/WeString.h"
#include "Engine/world/WeActor.h"
#include "Game/shell/CInputMessage.h"
#include "Platform/math/D3DXMATRIX.h"
#include "Platform/math/D3DXVECTOR3.h"

class CAgent;
class CPickup;
class CPickupAction;
class CRaceParticipant;
class CTrigger;
class CTuberDescription;
class CTuberPart;
class CUberText;
class CWeapon;
class WeLight;
class WeMaterial;
class WeModel;
class WeNewParticleSystem;
struct WeParticleEmitter;
class WePathNode;
class WeSound;
class WeSound3D;
class WeTrail;

// The racing craft: one per occupied participant slot, steered by the player's control message or by its
// participant's agent. It owns its body, its tuning, weapon slots, health, power-ups, lap progress and every
// effect actor that travels with it. Other parts of the game add operations in source files of their own
// (weapons, damage, laps and pickups); every field of the craft is declared here.
class CTuber : public WeActor
{
public:
    static constexpr int32_t ActorKind = 8;
    static constexpr int32_t MaxPropulsions = 10, HitEffectKinds = 2, HitEffectsPerKind = 10;
    static constexpr int32_t AbilityEffectCount = 4;

    explicit CTuber(CRaceParticipant* participant);
    ~CTuber() override;
    void OnTeleport() override;
    void PreTick() override;
    void Tick() override;
    void Init() override;

    // --- set-up, movement, targeting, effects and sounds ---
    static void LoadAssets();
    // Frees the templates and forgets the constants and the process-wide flags, so a later race starts afresh.
    static void ReleaseAssets();
    static void LoadConstants();
    void InitFromDescription();
    void ApplyHandling();
    void CreatePropulsion();
    WeList<WeActor*>::Node* AddTriggerContact(WeActor* actor);
    void Move();
    void SetAsPlayer();
    void SetVelocity(const D3DXVECTOR3& v);
    void SetAngularVelocity(const D3DXVECTOR3& w);
    void SetCatchUpFactor(float f);
    void AddPendingImpulse(const D3DXVECTOR3& v);
    bool IsSameTeam(const CTuber* other) const;
    bool IsEnemy(const CTuber* other) const;
    bool IsVulnerable() const;
    CTuber* FindTarget(float maxDistance, float minDot, bool backwards, int32_t kindMask);
    CTuber* FindLockCandidate();
    bool IsLockValid();
    void UpdateLocking();
    void ClearLock();
    int32_t GetPrimaryWeaponKind() const;
    int32_t GetSecondaryWeaponKind() const;
    void SetPrimaryAmmo(int32_t n);
    void SetSecondaryAmmo(int32_t n);
    void SetPickupPrimaryAmmo(int32_t n);
    void SetPickupSecondaryAmmo(int32_t n);
    void StartMinigunFire();
    void UpdateLights();
    void UpdateMotionBlur();
    void UpdateScratch();
    void UpdatePropulsionFlames();
    void UpdateSoundMute();
    void UpdateIdleHover();
    void UpdateSpeedy();
    void UpdateNodeValueEffect();
    void ApplyZoneRenderFlag();
    void PushNearbyBodies();
    void ShowHitEffect(int32_t kind, const D3DXVECTOR3& point, float radius);
    void FindNearestIncomingWeapon();
    void ReleaseIncomingWeapons();

    // Helpers of the above.
    const float* TeamColour() const;  // the participant's team colour, white without one
    void CreateChildren();
    void UpdateVisibility(float dt);
    void UpdateRenderScale();
    void SpendTurbo(float dt);
    static float FirstEmitterAlpha();  // the flame template's start alpha
    static const char* AbilityModelSuffix(int32_t index);
    static WeParticleEmitter* FirstEmitter(WeNewParticleSystem* system);

    // --- weapons ---
    void UpdateWeaponSelection();  // drops spent pickups, picks this frame's kinds (before the control step)
    int32_t SelectWeapon(bool primary);
    void FireWeapon(bool primary);
    void ProcessFireRequests();
    void StartSwarmerBurst();
    void SetWeaponsDisabled(bool on);
    void CollectWeaponPickup(CPickup* pickup);
    void UpdateWeaponTimers();        // the disable timers and the Swarmer burst
    void ReloadWeapons();             // the lap reload by "tuber.Weapons.ReloadLogic"
    float LaunchSpeedOffset() const;  // how much further ahead shots start at speed
    // The teardown's: every mine forgets its owner (and expires when asked), every weapon homing on the craft
    // its target, so none points at a freed craft.
    void DetachWeapons(bool expireMines);

    // --- damage, death and respawn ---
    bool ApplyDamage(float amount, CTuber* attacker, int32_t kind);
    void Die();
    void Respawn();
    void UpdateRespawn();  // the death timer and the respawn
    void UpdateHealth();
    void ShowKillMessages();
    void UpdateSparks();

    // --- laps, placings, pickups and abilities ---
    void UpdateTrackPosition();
    void OnLapCompleted();
    void ShowLapMessages(float lapTime, bool newRecord);
    void ShowPlacingMessage();
    void FinishRace(bool won);
    void CollectPickup(CPickup* pickup);
    void CollectCoin(CPickup* pickup);
    void CollectAbility(CPickup* pickup);
    void ShowCoinBonusText(const WeString& name);
    void ShowTurboBonusText(bool withAbility);
    CPickupAction* StartPowerUp(int32_t type, bool showAnimation, float duration, bool force);
    void SetCheatPowerUp(int32_t type, bool on);
    void UpdatePowerUps();
    bool EndPowerUp(int32_t type, bool playSound, bool force);
    void EndAllPowerUps(bool force);
    CPickupAction* FindPowerUp(int32_t type);

    // --- links, identity, life cycle ---
    CRaceParticipant* m_Participant = nullptr;         // its craft pointer points back
    const CTuberDescription* m_Description = nullptr;  // never null once constructed with a catalogue
    bool m_IsPlayer = false;                           // only SetAsPlayer sets it
    bool m_Initialised = false;                        // Init runs once
    D3DXVECTOR3 m_LastPosition;                        // where Init found it
    float m_TrailColor[4] = {1.0f, 1.0f, 1.0f, 1.0f};  // team colour r, g, b and 1
    float m_Visibility = 1.0f;                         // -1..1
    float m_RenderScale = 1.0f;
    bool m_TeleportGrace = false;
    float m_TeleportGraceTimer = 0.0f;    // 0.8 s after a teleport
    float m_TeleportEffectTimer = -1.0f;  // 0 at a teleport; the trail stays hidden 3 s
    D3DXVECTOR3 m_PendingImpulse;         // pushes; handed to the body with the next SetVelocity

    // --- control, tuning, motion, turbo, hyper brake ---
    CInputMessage m_ControlMessage;
    int32_t m_FireRequests = 0;  // bit 0 primary, bit 1 secondary
    float m_MaxSpeed = 0.0f, m_Acceleration = 0.0f, m_BrakeDeceleration = 0.0f, m_YawRate = 0.0f, m_PitchRate = 0.0f;
    float m_TurboMaxSpeed = 0.0f, m_TurboAcceleration = 0.0f;
    float m_SpeedFactor = 1.0f;
    float m_SpeedCap = 0.0f;  // 70 after the finish
    float m_MeasuredSpeed = 0.0f, m_PreviousSpeed = 0.0f;
    D3DXVECTOR3 m_TargetVelocity, m_TargetAngularVelocity;
    bool m_Turbo = false;
    float m_TurboEnergy = 0.0f, m_MaxTurboEnergy = 0.0f;
    bool m_UnlimitedTurbo = false;
    float m_HyperBrakeCharge = 0.0f;
    bool m_HyperBrakeLaunch = false;
    bool m_HyperBrakeReleased = true;

    // --- weapons ---
    int32_t m_BuiltInPrimaryKind = 0, m_BuiltInPrimaryAmmo = 0, m_BuiltInSecondaryKind = 0, m_BuiltInSecondaryAmmo = 0;
    int32_t m_PickupPrimaryKind = 0, m_PickupPrimaryAmmo = 0, m_PickupSecondaryKind = 0, m_PickupSecondaryAmmo = 0;
    int32_t m_SelectedPrimaryKind = 0, m_SelectedSecondaryKind = 0;  // what may fire this frame (the HUD reads it)
    float m_PrimaryShotTimer = 1000.0f, m_SecondaryShotTimer = 1000.0f;
    bool m_UnlimitedAmmo = false;
    bool m_WeaponsDisabled = false;
    float m_EmpDisableTimer = -1.0f, m_SlowingDisableTimer = -1.0f;
    int32_t m_SwarmerBurstCount = 0;
    float m_SwarmerBurstTimer = 0.0f;
    D3DXMATRIX m_FrontLaunchMatrix, m_RearLaunchMatrix;  // the rear one is the mine drop matrix
    bool m_MinigunSide = false;                          // the weapon factory toggles it
    WeList<CWeapon*> m_IncomingWeapons, m_Mines;
    CWeapon* m_NearestIncomingWeapon = nullptr;

    // --- health, death, damage effects ---
    float m_Health = 0.0f, m_MaxHealth = 0.0f;
    bool m_Destroyed = false;
    float m_DeathTimer = 0.0f;
    bool m_Healing = false;
    CTuber* m_LastAttacker = nullptr;
    int32_t m_LastDamageKind = 0;
    CTuber* m_LastVictim = nullptr;
    float m_LastKillTime = -1.0f;
    int32_t m_MultiKillCount = 0;
    CUberText* m_MultiKillText = nullptr;
    float m_DamageEffectTimer = 0.0f;     // drives the sparks and smoke
    CTuberPart* m_CameraPiece = nullptr;  // the first wreck piece

    // --- hits (explosions and the HUD) ---
    float m_HitTimer = 0.0f;
    bool m_HitFlash = false, m_HitRestartFlash = false, m_HitRecord = false;  // a hit raises all three
    bool m_Translocated = false;
    float m_TranslocationTimer = 0.0f;
    bool m_Slowed = false;

    // --- contacts (the race's contact handler) ---
    bool m_HitByDynamicObject = false, m_TouchingLevel = false;
    D3DXVECTOR3 m_WallContactPoint, m_WallNormal;
    float m_CollisionSoundTimer = 1000.0f;  // time since the last collision sound

    // --- track, laps, coins, abilities ---
    WePathNode* m_CurrentNode = nullptr;
    WePathNode* m_NextNode = nullptr;
    float m_PreviousNodeFraction = -1.0f;
    float m_NodeDistance[2] = {0.0f, 0.0f};  // distances to both nodes
    D3DXVECTOR3 m_TrackPoint;                // the projected point on the track
    bool m_WrongWay = false;
    int32_t m_LapCrossings = 0, m_LapsCompleted = 0;
    // [0] now, [1] last frame
    float m_TrackDistance[2] = {}, m_LapFraction[2] = {}, m_RaceProgress[2] = {}, m_RaceDistance[2] = {};
    float m_LapTime = 0.0f, m_LapStartClock = 0.0f, m_LastLapTime = 0.0f, m_LapTurboUse = 0.0f;
    int32_t m_Coins = 0, m_TurboBonusPoints = 0, m_CoinStreaks[3] = {};  // small, large, Kest
    bool m_Invisible = false, m_Invulnerable = false;
    float m_DamageMultiplier = 1.0f;
    bool m_EngineAbility = false;
    WeList<CPickupAction*> m_PowerUps;
    bool m_ForcedPowerUps[4] = {};
    float m_EngineBlastTimer = 0.0f;
    bool m_Finished = false;

    // --- chase camera and standings ---
    float m_SpeedFraction = 0.0f;
    float m_FieldOfView = -1.0f;  // written by the camera
    float m_GapBehind = 0.0f;     // lead over the craft one place behind; the rearmost 0
    float m_LastCheckpointMark = -1.0f;
    float m_LapEndTime = 0.0f;

    // --- the computer driver ---
    bool m_StillRacing = true;  // cleared at the finish
    bool m_Ghost = false;
    float m_StuckTimer = 0.0f;
    D3DXVECTOR3 m_StuckPosition;
    WePathNode* m_AITargetNode = nullptr;
    float m_WrapTimer = 0.0f;  // one-second wrap timer, 0 to below 1

    // --- lock, effects, sounds ---
    CTuber* m_LockTarget = nullptr;
    float m_LockLevel = 0.0f, m_LockDuration = 0.0f, m_LockTimer = 0.0f;
    int32_t m_LockWeaponKind = 0;
    bool m_FullyLocked = false;
    float m_SpeedScreenAlpha = 0.0f, m_SpeedyTimer = 0.0f, m_SpeedyAlpha = 0.0f;
    float m_FlyingCoefficient = 1.0f, m_CatchUpFactor = 1.0f;
    bool m_HeadlightMode = false, m_FinishLightMode = false;
    float m_LightLevel = 0.0f;
    float m_MinigunFireTimer = 0.0f, m_MinigunLightTimer = 0.0f;
    float m_LastNodeEffectValue = 0.0f;
    float m_FlameBase[3] = {};  // the flame template's speed, start size and end size
    bool m_Muted = false;
    float m_MuteTimer = 0.0f;
    float m_StaticScratchTimer = 0.0f, m_DynamicScratchTimer = 0.0f, m_ScrapeTime = 0.0f;
    bool m_StaticContact = false, m_DynamicContact = false;
    float m_ScratchSparksTimer = 1000.0f;
    bool m_EngineSoundStarted = false;

    // --- child actors (owned; made by Init) and sounds (made by the constructor) ---
    WeActor* m_AIGlow = nullptr;
    WeTrail* m_Trail = nullptr;
    WeActor* m_SpeedScreen = nullptr;
    WeActor* m_Electricity[2] = {};
    WeActor* m_AbilityEffects[AbilityEffectCount] =
        {};  // quad damage, lights (the speedy actor), turbo, invulnerability
    WeNewParticleSystem* m_MinigunFlashes[2] = {};
    WeNewParticleSystem* m_MinigunLights[2] = {};
    WeLight* m_ProjectorLight = nullptr;
    WeLight* m_CraftLight = nullptr;
    WeNewParticleSystem* m_DamageSparks = nullptr;
    WeNewParticleSystem* m_DamageSmoke[2] = {};
    WeNewParticleSystem* m_ScratchSparks = nullptr;
    WeNewParticleSystem* m_Propulsions[MaxPropulsions] = {};
    int32_t m_PropulsionCount = 0;
    CTrigger* m_TriggerVolume = nullptr;
    WeList<WeActor*> m_TouchedByTrigger;
    WeActor* m_HitEffects[HitEffectKinds][HitEffectsPerKind] = {};
    bool m_HitEffectShown[HitEffectKinds][HitEffectsPerKind] = {};
    WeSound3D* m_EngineSound = nullptr;
    WeSound3D* m_TurboSound = nullptr;
    WeSound* m_QuadDamageFireSound = nullptr;
    WeSound3D* m_ScrapeLoopSound = nullptr;
    WeSound* m_LockingSound = nullptr;
    WeSound* m_LockedSound = nullptr;

    // --- process-wide: the constants of LoadConstants, the templates of LoadAssets ---
    struct Constants;
    static Constants s_Constants;
    struct Assets;
    static Assets s_Assets;
    static bool s_LockingHeard;  // a lock sound was heard and the locked tone is due
};

// One light mode of the craft light: its range, strengths and place above and ahead of the craft.
struct CTuberLightMode
{
    float range = 100.0f, distance = 0.0f, height = 5.0f, intensity = 1.0f, specularIntensity = 1.0f;
};

struct CTuber::Constants
{
    bool loaded = false;
    CTuberLightMode light, finishLight, headlight{60.0f, 40.0f, 0.0f, 1.0f, 1.0f};
    float lightFadeInSpeed = 1.0f, lightFadeOutSpeed = 1.0f;
    D3DXVECTOR3 collisionSize{1.0f, 1.0f, 4.0f};  // half extents of the body
};

// What a loader asked for by name, of which kind, and whether it was there.
struct CTuberAssetRequest
{
    std::string name;
    std::string kind;  // "particles", "material", "model"
    bool found = false;
};

struct CTuber::Assets
{
    bool loaded = false;
    WeNewParticleSystem* trail = nullptr;  // the flame template
    WeNewParticleSystem* damageSmoke[2] = {};
    WeNewParticleSystem* damageSparkies = nullptr;
    WeNewParticleSystem* scratchSparkies = nullptr;
    WeNewParticleSystem* minigun[2] = {};
    WeNewParticleSystem* minigunLight[2] = {};
    WeMaterial* trailMaterial = nullptr;
    WeModel* electricity01 = nullptr;
    WeModel* electricity = nullptr;
    WeModel* speedScreen = nullptr;
    WeModel* aiGlow = nullptr;
    std::vector<CTuberAssetRequest> requests;  // every name asked for, by the assets and by each craft's Init
};

// The pickup kind that stands for a running ability of the type (0 invisibility, 1 invulnerability,
// 3 engine ability, else quad damage).
int32_t GetAbilityPickupKind(int32_t type);
