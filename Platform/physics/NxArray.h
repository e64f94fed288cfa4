#pragma once
#include <vector>

#include "Platform/physics/NxTypes.h"

// The small growable array the SDK's descriptions use for their shape lists.
template <typename T>
class NxArray
{
public:
    void pushBack(const T& v) { m_Items.push_back(v); }
    void clear() { m_Items.clear(); }
    NxU32 size() const { return static_cast<NxU32>(m_Items.size()); }
    bool isEmpty() const { return m_Items.empty(); }
    T& operator[](NxU32 i) { return m_Items[i]; }
    const T& operator[](NxU32 i) const { return m_Items[i]; }
    typename std::vector<T>::const_iterator begin() const { return m_Items.begin(); }
    typename std::vector<T>::const_iterator end() const { return m_Items.end(); }

private:
    std::vector<T> m_Items;
};
