#pragma once
// The values of shared parameters: one per name, reached by every effect created with the pool, so one set
// reaches them all.
#include <map>
#include <memory>
#include <string>

#include "Platform/gfx_d3dx/FxEffectData.h"

class FxPool
{
public:
    // Points the shared parameter at the pool's value of its name, creating that value (with the
    // parameter's default) on first sight. False when an earlier effect declared the name with another
    // type or size.
    bool Attach(FxParameter* parameter);
    const FxParameter* Find(const std::string& name) const;
    size_t Count() const { return m_Shared.size(); }
    template <class F>
    void ForEach(F&& f)
    {
        for (auto& [name, p] : m_Shared)
            f(*p);
    }

private:
    std::map<std::string, std::unique_ptr<FxParameter>> m_Shared;
};
