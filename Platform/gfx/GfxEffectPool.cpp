#include "Platform/gfx/GfxEffectPool.h"

std::shared_ptr<GfxEffectStorage> GfxEffectPool::Share(const GfxEffectParamDef& def) {
  auto it = m_Entries.find(def.name);
  if (it != m_Entries.end()) {
    const Entry& e = it->second;
    if (e.type != def.type || e.rows != def.rows || e.columns != def.columns || e.elements != def.elements)
      return nullptr;
    return e.storage;
  }
  auto storage = std::make_shared<GfxEffectStorage>();
  storage->words = def.words;
  storage->text = def.text;
  m_Entries[def.name] = Entry{def.type, def.rows, def.columns, def.elements, storage};
  return storage;
}

HRESULT D3DXCreateEffectPool(ID3DXEffectPool** pool) {
  if (!pool) return D3DERR_INVALIDCALL;
  *pool = new GfxEffectPool();
  return D3D_OK;
}
