#pragma once
#include "Engine/foundation/WeList.h"
#include "Engine/foundation/WeString.h"

#include <cstdint>
#include <cstring>

template <class V>
struct WeHashEntry;

// Hashing shared by every table: the one-at-a-time hash over the key's bytes (each read as a signed
// char), case-sensitive.
class WeHashKey
{
public:
    static constexpr int32_t BucketCount = 127;

    static uint32_t Hash(const char* bytes, int32_t length)
    {
        uint32_t h = 0;
        for (int32_t i = 0; i < length; ++i)
        {
            h += static_cast<uint32_t>(static_cast<int32_t>(static_cast<signed char>(bytes[i])));
            h *= 1025;
            h ^= h >> 6;
        }
        h *= 9;
        h ^= h >> 11;
        h *= 32769;
        return h;
    }
    static int32_t Bucket(const char* bytes, int32_t length)
    {
        return static_cast<int32_t>(Hash(bytes, length) % static_cast<uint32_t>(BucketCount));
    }
    static int32_t Bucket(const WeString& key) { return Bucket(key.c_str(), key.Length()); }
};

// One entry, stored inline in a node of the table's node list.
template <class V>
struct WeHashEntry
{
    WeListNode<WeHashEntry>* chainNext;  // toward newer entries of the bucket
    WeListNode<WeHashEntry>* chainPrev;  // toward older entries
    WeString key;
    V value;
};

// Map from string keys to values with a fixed 127 buckets and no rehashing. Inserting never looks
// for an existing key: a lookup finds the earliest inserted entry of a key, and later ones stay
// hidden until it is removed. Iteration goes by bucket index, oldest entry first, so its order
// depends only on the hashes and the insertion order. Removed entries are kept for reuse.
template <class V>
class WeHashTable
{
public:
    static constexpr int32_t BucketCount = WeHashKey::BucketCount;
    using Entry = WeHashEntry<V>;
    using Node = WeListNode<Entry>;

    struct Iterator
    {
        WeHashTable* table;
        int32_t bucket;  // -1 when there is no position
        Node* node;
    };

    WeHashTable()
    {
        m_Iterator = {this, -1, nullptr};
        Clear();
    }
    ~WeHashTable()
    {
        Clear();
        FreeNodes();
    }
    WeHashTable(const WeHashTable&) = delete;
    WeHashTable& operator=(const WeHashTable&) = delete;

    int32_t Count() const { return m_Count; }

    // Stores copies of key and value in a new entry and returns the stored value.
    V& Insert(const WeString& key, const V& value)
    {
        Entry& entry = m_Nodes.PushBack();
        Node* node = m_Nodes.CursorNode();
        entry.value = value;
        entry.key = key;
        Bucket& bucket = m_Buckets[WeHashKey::Bucket(key)];
        entry.chainNext = nullptr;
        entry.chainPrev = bucket.newest;
        if (bucket.newest != nullptr)
            bucket.newest->payload.chainNext = node;
        else
            bucket.oldest = node;
        bucket.newest = node;
        ++m_Count;
        return entry.value;
    }

    // True and the address of the stored value when the key is present.
    bool FindRef(const WeString& key, V** out) { return FindRef(key.c_str(), key.Length(), out); }
    bool FindRef(const char* key, V** out) { return FindRef(key, static_cast<int32_t>(std::strlen(key)), out); }
    bool FindRef(const char* key, int32_t length, V** out)
    {
        Node* node = FindNode(key, length);
        if (node == nullptr)
            return false;
        *out = &node->payload.value;
        return true;
    }

    // As FindRef, copying the value out.
    bool Find(const WeString& key, V* out) const { return Find(key.c_str(), key.Length(), out); }
    bool Find(const char* key, V* out) const { return Find(key, static_cast<int32_t>(std::strlen(key)), out); }
    bool Find(const char* key, int32_t length, V* out) const
    {
        Node* node = FindNode(key, length);
        if (node == nullptr)
            return false;
        *out = node->payload.value;
        return true;
    }

    // Removes the earliest entry of the key, copying its value out first when `out` is not null.
    bool Remove(const WeString& key, V* out = nullptr) { return Remove(key.c_str(), key.Length(), out); }
    bool Remove(const char* key, V* out = nullptr) { return Remove(key, static_cast<int32_t>(std::strlen(key)), out); }
    bool Remove(const char* key, int32_t length, V* out)
    {
        Node* node = FindNode(key, length);
        if (node == nullptr)
            return false;
        Entry& entry = node->payload;
        if (out != nullptr)
            *out = entry.value;
        Bucket& bucket = m_Buckets[WeHashKey::Bucket(key, length)];
        if (m_Iterator.node == node)
            Next();
        if (entry.chainPrev != nullptr)
            entry.chainPrev->payload.chainNext = entry.chainNext;
        else
            bucket.oldest = entry.chainNext;
        if (entry.chainNext != nullptr)
            entry.chainNext->payload.chainPrev = entry.chainPrev;
        else
            bucket.newest = entry.chainPrev;
        --m_Count;
        m_Nodes.Remove(node);
        return true;
    }

    // Empties every bucket and keeps all entry nodes for reuse (their keys and values stay until
    // overwritten); the iterator loses its position.
    void Clear()
    {
        for (Bucket& bucket : m_Buckets)
            bucket = {nullptr, nullptr};
        m_Nodes.Reset();
        m_Count = 0;
        m_Iterator.bucket = -1;
        m_Iterator.node = nullptr;
    }

    // Empties the table and frees every entry node with its key and value. Values that are pointers
    // are not deleted.
    void FreeNodes()
    {
        Clear();
        m_Nodes.Clear();
    }

    // Iteration with the built-in iterator: the first entry (null when the table is empty), then
    // the following ones until null.
    Entry* First()
    {
        m_Iterator.bucket = 0;
        m_Iterator.node = m_Buckets[0].oldest;
        SkipEmptyBuckets();
        return Current();
    }
    Entry* Next()
    {
        if (m_Iterator.node == nullptr)
            return nullptr;
        m_Iterator.node = m_Iterator.node->payload.chainNext;
        SkipEmptyBuckets();
        return Current();
    }
    Entry* Current() const { return m_Iterator.node != nullptr ? &m_Iterator.node->payload : nullptr; }
    const Iterator& GetIterator() const { return m_Iterator; }

    // Entry nodes kept for reuse.
    int32_t FreeCount() const { return m_Nodes.FreeCount(); }

private:
    struct Bucket
    {
        Node* oldest;
        Node* newest;
    };

    Node* FindNode(const char* key, int32_t length) const
    {
        // Same length, then equal as zero-terminated texts. The stored key ends at `length`, so the
        // comparison never reads the caller's bytes past it (a key need not be terminated there).
        for (Node* node = m_Buckets[WeHashKey::Bucket(key, length)].oldest; node != nullptr;
             node = node->payload.chainNext)
        {
            const WeString& k = node->payload.key;
            if (k.Length() == length && std::strncmp(k.c_str(), key, static_cast<size_t>(length)) == 0)
                return node;
        }
        return nullptr;
    }

    void SkipEmptyBuckets()
    {
        while (m_Iterator.node == nullptr)
        {
            if (++m_Iterator.bucket >= BucketCount)
            {
                m_Iterator.bucket = -1;
                return;
            }
            m_Iterator.node = m_Buckets[m_Iterator.bucket].oldest;
        }
    }

    int32_t m_Count = 0;
    Bucket m_Buckets[BucketCount];
    WeList<Entry> m_Nodes;
    Iterator m_Iterator;
};
