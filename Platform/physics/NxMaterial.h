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
    NxMaterial(NxScene* scene, NxMaterialIndex index) : m_Scene(scene), m_Index(index) {}

    NxMaterialIndex getMaterialIndex() const { return m_Index; }
    void loadFromDesc(const NxMaterialDesc& desc) { m_Desc = desc; }
    void saveToDesc(NxMaterialDesc& desc) const { desc = m_Desc; }
    NxScene& getScene() const { return *m_Scene; }

    void setDynamicFriction(NxReal f) { m_Desc.dynamicFriction = f; }
    NxReal getDynamicFriction() const { return m_Desc.dynamicFriction; }
    void setStaticFriction(NxReal f) { m_Desc.staticFriction = f; }
    NxReal getStaticFriction() const { return m_Desc.staticFriction; }
    void setRestitution(NxReal r) { m_Desc.restitution = r; }
    NxReal getRestitution() const { return m_Desc.restitution; }
    void setFrictionCombineMode(NxCombineMode m) { m_Desc.frictionCombineMode = m; }
    NxCombineMode getFrictionCombineMode() const { return m_Desc.frictionCombineMode; }
    void setRestitutionCombineMode(NxCombineMode m) { m_Desc.restitutionCombineMode = m; }
    NxCombineMode getRestitutionCombineMode() const { return m_Desc.restitutionCombineMode; }

    // Combines two materials' values by the pair's mode.
    static NxReal combine(NxReal a, NxReal b, NxCombineMode mode);

private:
    NxScene* m_Scene;
    NxMaterialIndex m_Index;
    NxMaterialDesc m_Desc;
};
