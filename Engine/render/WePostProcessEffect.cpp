#include "Engine/render/WePostProcessEffect.h"

#include "Engine/render/WeShader.h"
#include "Engine/render/WeShaderManager.h"

bool WePostProcessEffect::Load(const WeString& name)
{
    if (m_Loaded)
        return true;
    WeShader* shader = g_ShaderManager.GetShader(name, false, true);
    if (shader == nullptr)
        return false;
    // The manager answers a missing file with its default effect; only the effect asked for counts.
    if (shader == g_ShaderManager.GetDefaultShader() && shader->GetName().ToLower() != name.ToLower())
        return false;
    m_Shader = shader;
    m_Loaded = 1;
    return true;
}

void WePostProcessEffect::ApplyParameters()
{
    if (!m_Loaded || m_Shader == nullptr || m_Shader->GetEffect() == nullptr)
        return;
    m_Shader->GetEffect()->SetFloat("PPParam", m_PPParam);
    m_Shader->CommitChanges();
}
