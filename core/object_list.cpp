// The doubly linked object list with a cursor, reference counts and a single-pass purge.
#include "core/object_list.h"

namespace tundrix {

ObjectList::~ObjectList() {
    clear();
}

ListNode* ObjectList::insertAt(ListItem* item, int32_t position) {
    if (item == nullptr || position < 0 || position > count_) return nullptr;
    auto* node = new ListNode{};
    node->item = item;
    item->refCount += 1;

    if (count_ == 0) {
        head_ = tail_ = node;
    } else if (position == 0) {
        node->next = head_;
        head_->prev = node;
        head_ = node;
    } else if (position == count_) {
        node->prev = tail_;
        tail_->next = node;
        tail_ = node;
    } else {
        ListNode* after = head_;
        for (int32_t i = 0; i < position; ++i)
            after = after->next;
        ListNode* before = after->prev;
        node->prev = before;
        node->next = after;
        before->next = node;
        after->prev = node;
    }
    count_ += 1;
    cursor_ = node;
    return node;
}

ListItem* ObjectList::next() {
    if (cursor_ == nullptr) return nullptr;
    ListItem* item = cursor_->item;
    cursor_ = cursor_->next;
    return item;
}

ListItem* ObjectList::nextUnmarked() {
    while (cursor_ != nullptr) {
        ListItem* item = cursor_->item;
        cursor_ = cursor_->next;
        if (!item->marked) return item;
    }
    return nullptr;
}

ListItem* ObjectList::removeAt(int32_t index) {
    if (index < 0 || index >= count_ || head_ == nullptr) return nullptr;
    ListNode* node = head_;
    for (int32_t i = 0; i < index; ++i)
        node = node->next;

    if (node->prev)
        node->prev->next = node->next;
    else
        head_ = node->next;
    if (node->next)
        node->next->prev = node->prev;
    else
        tail_ = node->prev;

    cursor_ = node->next;
    ListItem* item = node->item;
    delete node;
    count_ -= 1;
    return item;
}

void ObjectList::markAll() {
    for (ListNode* n = head_; n != nullptr; n = n->next)
        n->item->marked = true;
}

void ObjectList::purge() {
    rewind();
    int32_t i = 0;
    while (ListItem* item = next()) {
        if (!item->marked) {
            ++i;
            continue;
        }
        if (item->refCount > 1) {
            item->refCount -= 1;
            removeAt(i);
        } else {
            removeAt(i);
            delete item;
        }
    }
}

void ObjectList::clear() {
    markAll();
    purge();
}

} // namespace tundrix
