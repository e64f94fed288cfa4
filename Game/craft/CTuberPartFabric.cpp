#include "Game/craft/CTuberPartFabric.h"

#include <cmath>

#include "Engine/foundation/WeBusy.h"
#include "Engine/foundation/WeLog.h"
#include "Engine/render/WeModel.h"
#include "Engine/render/WeModelManager.h"
#include "Game/craft/CTuber.h"
#include "Game/craft/CTuberPartSpawn.h"

CTuberPartFabric g_TuberPartFabric;
WeModel* CTuberPartFabric::s_PartModels[CTuberPartFabric::ModelCount];
WeModel* CTuberPartFabric::s_FragmentModels[CTuberPartFabric::ModelCount];
std::vector<CTuberAssetRequest> CTuberPartFabric::s_Requests;

namespace
{
WeModel* LoadModel(const WeString& name)
{
    WeModel* model = g_ModelManager.Load(name, 0);
    CTuberAssetRequest request;
    request.name = name.c_str();
    request.kind = "model";
    request.found = model != nullptr;
    CTuberPartFabric::s_Requests.push_back(request);
    return model;
}
}  // namespace

CTuberPartFabric::CTuberPartFabric()
{
    for (int32_t i = 0; i < ModelCount; ++i)
        s_PartModels[i] = s_FragmentModels[i] = nullptr;
}

CTuberPartFabric::~CTuberPartFabric() = default;

void CTuberPartFabric::LoadModels()
{
    ReleaseModels();
    BeginBusy();
    for (int32_t i = 0; i < ModelCount; ++i)
    {
        WeString part("Tubers.Parts.Part");
        part.AppendInt(i + 1, 2);
        s_PartModels[i] = LoadModel(part);
        WeString fragment("Ingame.Fragments.Fragment0");
        fragment.AppendInt(i);
        s_FragmentModels[i] = LoadModel(fragment);
    }
    EndBusy();
    int32_t parts = 0;
    for (WeModel* model : s_PartModels)
        parts += model ? 1 : 0;
    if (parts < ModelCount)
        DebugLogPrintf("wreck: %d of %d piece models found", parts, ModelCount);
}

void CTuberPartFabric::ReleaseModels()
{
    for (int32_t i = 0; i < ModelCount; ++i)
    {
        delete s_PartModels[i];
        delete s_FragmentModels[i];
        s_PartModels[i] = s_FragmentModels[i] = nullptr;
    }
    s_Requests.clear();
}

void CTuberPartFabric::SpawnTuberParts(CTuber* craft)
{
    PostTuberPartSpawn(craft);
}
