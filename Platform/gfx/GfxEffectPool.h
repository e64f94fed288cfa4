#pragma once
// The pool of shared parameters: one value per name, reached by every effect created in the pool.
#include <map>
#include <memory>
#include <string>

#include "Platform/gfx/GfxEffectStorage.h"
#include "Platform/gfx/GfxEffectText.h"
#include "Platform/gfx/GfxRefCounted.h"

class GfxEffectPool : public GfxRefCounted<ID3DXEffectPool> {
 public:
  // The storage of a shared parameter, made with the parameter's default when it is new; null when the
  // pool already holds the name with another type or size.
  std::shared_ptr<GfxEffectStorage> Share(const GfxEffectParamDef& def);

 private:
  ~GfxEffectPool() override = default;
  struct Entry {
    D3DXPARAMETER_TYPE type;
    UINT rows, columns, elements;
    std::shared_ptr<GfxEffectStorage> storage;
  };
  std::map<std::string, Entry> m_Entries;
};
