#pragma once
#include "Platform/physics/NxVec3.h"

class NxScene;
class NxSpringDesc;

// Surface description. Bullet has one friction coefficient: contacts use the dynamic friction, combined
// by the pair's mode (the larger of the two materials' modes, as the SDK ranks them).
class NxMaterialDesc
{
public:
    NxReal dynamicFriction = 0;
    NxReal staticFriction = 0;
    NxReal restitution = 0;
    NxReal dynamicFrictionV = 0;
    NxReal staticFrictionV = 0;
    NxVec3 dirOfAnisotropy{1, 0, 0};
    NxU32 flags = 0;
    NxCombineMode frictionCombineMode = NX_CM_AVERAGE;
    NxCombineMode restitutionCombineMode = NX_CM_AVERAGE;
    NxSpringDesc* spring = nullptr;

    void setToDefault() { *this = NxMaterialDesc(); }
    bool isValid() const { return dynamicFriction >= 0 && staticFriction >= 0 && restitution >= 0 && restitution <= 1; }
};

class NxMaterial
{
public:
    NxMaterial(NxScene* scene, NxMaterialIndex index) : scene_(scene), index_(index) {}

    NxMaterialIndex getMaterialIndex() const { return index_; }
    void loadFromDesc(const NxMaterialDesc& desc) { desc_ = desc; }
    void saveToDesc(NxMaterialDesc& desc) const { desc = desc_; }
    NxScene& getScene() const { return *scene_; }

    void setDynamicFriction(NxReal f) { desc_.dynamicFriction = f; }
    NxReal getDynamicFriction() const { return desc_.dynamicFriction; }
    void setStaticFriction(NxReal f) { desc_.staticFriction = f; }
    NxReal getStaticFriction() const { return desc_.staticFriction; }
    void setRestitution(NxReal r) { desc_.restitution = r; }
    NxReal getRestitution() const { return desc_.restitution; }
    void setFrictionCombineMode(NxCombineMode m) { desc_.frictionCombineMode = m; }
    NxCombineMode getFrictionCombineMode() const { return desc_.frictionCombineMode; }
    void setRestitutionCombineMode(NxCombineMode m) { desc_.restitutionCombineMode = m; }
    NxCombineMode getRestitutionCombineMode() const { return desc_.restitutionCombineMode; }

    // Combines two materials' values by the pair's mode.
    static NxReal combine(NxReal a, NxReal b, NxCombineMode mode);

private:
    NxScene* scene_;
    NxMaterialIndex index_;
    NxMaterialDesc desc_;
};
