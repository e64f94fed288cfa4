#pragma once
#include <cstdint>

#include "Engine/foundation/WeString.h"

class WeModel;
class WeVirtualFileSystem;

// Makes model instances by resource name: every call gives a new model for one owner; meshes and
// materials are what the instances share.
class WeModelManager
{
public:
    static constexpr int32_t MeshFileType = 5;

    WeModelManager() = default;
    virtual ~WeModelManager() = default;
    WeModelManager(const WeModelManager&) = delete;
    WeModelManager& operator=(const WeModelManager&) = delete;

    // A mesh of that name makes a mesh model, else a model file a hierarchy model; null for neither or a
    // failed load. The model takes the preset.
    WeModel* Load(const WeString& name, int32_t preset);
    // The same over another file system (the meshes still come from the mesh manager).
    WeModel* Load(WeVirtualFileSystem* vfs, const WeString& name, int32_t preset);
    // A new model like the given one (null for null).
    WeModel* Clone(WeModel* model);
};

extern WeModelManager g_ModelManager;
