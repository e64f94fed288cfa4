#pragma once
#include <cstdint>

// The two links every list node starts with. A list header holds one of these as its own sentinel:
// its `next` is the first node and its `prev` the last, and both point back at the header when the
// list is empty.
struct WeListLink
{
    WeListLink* next;
    WeListLink* prev;  // null while the node sits on a free stack
};

// A list node: the links, then the payload stored inline.
template <class T>
struct WeListNode : WeListLink
{
    T payload;
};

// Doubly linked list whose removed nodes are kept on a free stack for reuse, so that lists filled
// and emptied every frame stop touching the heap once they reach their working size. One built-in
// cursor walks the list; pushes leave it on the new node. Main thread only.
template <class T>
class WeList
{
public:
    using Node = WeListNode<T>;

    WeList()
    {
        m_Head.next = &m_Head;
        m_Head.prev = &m_Head;
        m_FreeNodes = nullptr;
        m_Count = 0;
        m_Cursor = &m_Head;
    }
    ~WeList() { Clear(); }

    // The header is the sentinel its nodes point at, so it can be neither copied nor moved.
    WeList(const WeList&) = delete;
    WeList& operator=(const WeList&) = delete;
    WeList(WeList&&) = delete;
    WeList& operator=(WeList&&) = delete;

    int32_t Count() const { return m_Count; }
    bool IsEmpty() const { return m_Count == 0; }

    // Reference to the payload of a new last node, for the caller to assign. A fresh node's payload
    // is value-initialised; a node reused from the free stack keeps its old payload.
    T& PushBack()
    {
        Node* node = TakeNode();
        node->next = &m_Head;
        node->prev = m_Head.prev;
        m_Head.prev->next = node;
        m_Head.prev = node;
        ++m_Count;
        m_Cursor = node;
        return node->payload;
    }
    T& PushBack(const T& value)
    {
        T& slot = PushBack();
        slot = value;
        return slot;
    }
    // The same, under the name some owners use.
    T& Append() { return PushBack(); }

    T& PushFront()
    {
        Node* node = TakeNode();
        node->next = m_Head.next;
        node->prev = &m_Head;
        m_Head.next->prev = node;
        m_Head.next = node;
        ++m_Count;
        m_Cursor = node;
        return node->payload;
    }
    T& PushFront(const T& value)
    {
        T& slot = PushFront();
        slot = value;
        return slot;
    }

    // Unlinks the first node onto the free stack and returns its payload, which stays readable until
    // the next push reuses the node; null on an empty list.
    T* RemoveFirst()
    {
        if (m_Count == 0)
            return nullptr;
        Node* node = static_cast<Node*>(m_Head.next);
        Unlink(node);
        return &node->payload;
    }
    // Copies the first payload out and unlinks its node; false on an empty list.
    bool PopFront(T& out)
    {
        T* payload = RemoveFirst();
        if (payload == nullptr)
            return false;
        out = *payload;
        return true;
    }

    // Unlinks the node under the cursor onto the free stack and moves the cursor to the node that
    // followed it (the header after the last). Nothing when the cursor is on the header.
    void RemoveCurrent()
    {
        if (m_Count == 0 || m_Cursor == &m_Head)
            return;
        Unlink(static_cast<Node*>(m_Cursor));
    }

    // Unlinks a live node of this list onto the free stack; the cursor moves on when it stood there.
    void Remove(Node* node)
    {
        if (node == nullptr || node->prev == nullptr)
            return;
        Unlink(node);
    }

    // True when a node's payload equals the value; the cursor is left on that node (so that the
    // caller can remove it next), or on the header when there is none.
    bool Contains(const T& value)
    {
        for (m_Cursor = m_Head.next; m_Cursor != &m_Head; m_Cursor = m_Cursor->next)
        {
            if (static_cast<Node*>(m_Cursor)->payload == value)
                return true;
        }
        return false;
    }

    // Empties the list; every node goes on the free stack, in list order, payload untouched.
    void Reset()
    {
        if (m_Count > 0)
        {
            for (WeListLink* link = m_Head.next; link != &m_Head; link = link->next)
                link->prev = nullptr;
            m_Head.prev->next = m_FreeNodes;
            m_FreeNodes = m_Head.next;
            m_Head.next = &m_Head;
            m_Head.prev = &m_Head;
            m_Count = 0;
        }
        m_Cursor = &m_Head;
    }

    // Empties the list and frees every node, live and free, destroying the payloads.
    void Clear()
    {
        Reset();
        while (m_FreeNodes != nullptr)
        {
            Node* node = static_cast<Node*>(m_FreeNodes);
            m_FreeNodes = node->next;
            delete node;
        }
    }

    // Walking: FirstNode, then NextNode until null.
    Node* FirstNode() const { return m_Count ? static_cast<Node*>(m_Head.next) : nullptr; }
    Node* LastNode() const { return m_Count ? static_cast<Node*>(m_Head.prev) : nullptr; }
    Node* NextNode(const Node* node) const { return node->next == &m_Head ? nullptr : static_cast<Node*>(node->next); }
    Node* PrevNode(const Node* node) const { return node->prev == &m_Head ? nullptr : static_cast<Node*>(node->prev); }
    T& Front() { return static_cast<Node*>(m_Head.next)->payload; }
    T& Back() { return static_cast<Node*>(m_Head.prev)->payload; }

    // The built-in cursor.
    void CursorToFirst() { m_Cursor = m_Head.next; }
    void CursorNext()
    {
        if (m_Cursor != &m_Head)
            m_Cursor = m_Cursor->next;
    }
    void SetCursor(Node* node) { m_Cursor = node ? static_cast<WeListLink*>(node) : &m_Head; }
    bool CursorValid() const { return m_Cursor != &m_Head; }
    Node* CursorNode() const { return m_Cursor != &m_Head ? static_cast<Node*>(m_Cursor) : nullptr; }
    T* Current() const { return m_Cursor != &m_Head ? &static_cast<Node*>(m_Cursor)->payload : nullptr; }

    // The sentinel, for code that walks the links itself.
    const WeListLink* Head() const { return &m_Head; }

    // Number of nodes kept for reuse.
    int32_t FreeCount() const
    {
        int32_t n = 0;
        for (const WeListLink* link = m_FreeNodes; link != nullptr; link = link->next)
            ++n;
        return n;
    }

    template <class P, class L>
    class BasicIterator
    {
    public:
        explicit BasicIterator(L* link) : m_Link(link) {}
        P& operator*() const { return static_cast<Node*>(const_cast<WeListLink*>(m_Link))->payload; }
        P* operator->() const { return &**this; }
        BasicIterator& operator++()
        {
            m_Link = m_Link->next;
            return *this;
        }
        bool operator==(const BasicIterator& other) const { return m_Link == other.m_Link; }
        bool operator!=(const BasicIterator& other) const { return m_Link != other.m_Link; }

    private:
        L* m_Link;
    };
    using Iterator = BasicIterator<T, WeListLink>;
    using ConstIterator = BasicIterator<const T, const WeListLink>;

    // Range-for over the payloads; the list must not change during the walk.
    Iterator begin() { return Iterator(m_Head.next); }
    Iterator end() { return Iterator(&m_Head); }
    ConstIterator begin() const { return ConstIterator(m_Head.next); }
    ConstIterator end() const { return ConstIterator(&m_Head); }

private:
    Node* TakeNode()
    {
        if (m_FreeNodes != nullptr)
        {
            Node* node = static_cast<Node*>(m_FreeNodes);
            m_FreeNodes = node->next;
            return node;
        }
        return new Node();
    }

    void Unlink(Node* node)
    {
        WeListLink* following = node->next;
        node->prev->next = following;
        following->prev = node->prev;
        if (m_Cursor == node)
            m_Cursor = following;
        node->prev = nullptr;
        node->next = m_FreeNodes;
        m_FreeNodes = node;
        --m_Count;
    }

    WeListLink m_Head;  // next = first, prev = last
    WeListLink* m_FreeNodes;
    int32_t m_Count;
    WeListLink* m_Cursor;
};
