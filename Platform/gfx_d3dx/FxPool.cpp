#include "Platform/gfx_d3dx/FxPool.h"

bool FxPool::Attach(FxParameter* p)
{
    auto it = m_Shared.find(p->name);
    if (it == m_Shared.end())
    {
        auto record = std::make_unique<FxParameter>();
        record->name = p->name;
        record->semantic = p->semantic;
        record->type = p->type;
        record->rows = p->rows;
        record->columns = p->columns;
        record->elements = p->elements;
        record->shared = true;
        record->own = p->own;
        it = m_Shared.emplace(p->name, std::move(record)).first;
    }
    const FxParameter& q = *it->second;
    if (q.type != p->type || q.rows != p->rows || q.columns != p->columns || q.elements != p->elements)
        return false;
    p->value = &it->second->own;
    return true;
}

const FxParameter* FxPool::Find(const std::string& name) const
{
    auto it = m_Shared.find(name);
    return it == m_Shared.end() ? nullptr : it->second.get();
}
