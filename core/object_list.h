// Reference-counted list membership with deferred removal: the period's live actors.
#pragma once
#include <cstdint>

namespace tundrix {

// Base of everything a list can hold. `marked` is the removal mark and, for an actor, its
// out-of-play flag; `refCount` is the number of lists holding the item.
class ListItem {
  public:
    virtual ~ListItem() = default;
    bool marked = false;
    int32_t refCount = 0;
};

struct ListNode {
    ListNode* prev = nullptr;
    ListNode* next = nullptr;
    ListItem* item = nullptr;
};

class ObjectList {
  public:
    ObjectList() = default;
    virtual ~ObjectList();
    ObjectList(const ObjectList&) = delete;
    ObjectList& operator=(const ObjectList&) = delete;

    // Links item in at position (0..count); null and no change if position is out of range.
    ListNode* insertAt(ListItem* item, int32_t position);
    void rewind() { cursor_ = head_; }
    ListItem* next();
    ListItem* nextUnmarked();
    // Unlinks the node at index without touching the item's refCount; null if out of range.
    ListItem* removeAt(int32_t index);
    void markAll();
    // Takes every marked item out; deletes those no other list holds.
    void purge();
    void clear();

    int32_t count() const { return count_; }

    // The first node, for walking the list without moving its cursor.
    const ListNode* head() const { return head_; }
    // Visit every item in list order (rewinds the cursor). F receives the ListItem*.
    template <class F> void forEach(F&& f) {
        rewind();
        while (ListItem* item = next())
            f(item);
    }

  private:
    ListNode* cursor_ = nullptr;
    ListNode* head_ = nullptr;
    ListNode* tail_ = nullptr;
    int32_t count_ = 0;
};

} // namespace tundrix
