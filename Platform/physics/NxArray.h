#pragma once
#include <vector>

#include "Platform/physics/NxTypes.h"

// The small growable array the SDK's descriptions use for their shape lists.
template <typename T>
class NxArray
{
public:
    void pushBack(const T& v) { items_.push_back(v); }
    void clear() { items_.clear(); }
    NxU32 size() const { return static_cast<NxU32>(items_.size()); }
    bool isEmpty() const { return items_.empty(); }
    T& operator[](NxU32 i) { return items_[i]; }
    const T& operator[](NxU32 i) const { return items_[i]; }
    typename std::vector<T>::const_iterator begin() const { return items_.begin(); }
    typename std::vector<T>::const_iterator end() const { return items_.end(); }

private:
    std::vector<T> items_;
};
