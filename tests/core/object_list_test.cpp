// Object lists: positions, cursor walks, reference counts and the deferred purge.
#include "core/object_list.h"

#include <gtest/gtest.h>

#include <vector>

namespace tundrix {
namespace {

struct Tracked : ListItem {
    Tracked(int id, std::vector<int>& deleted) : id(id), deleted(deleted) {}
    ~Tracked() override { deleted.push_back(id); }
    int id;
    std::vector<int>& deleted;
};

std::vector<int> ids(ObjectList& list) {
    std::vector<int> out;
    list.forEach([&](ListItem* item) { out.push_back(static_cast<Tracked*>(item)->id); });
    return out;
}

class ObjectListTest : public ::testing::Test {
  protected:
    std::vector<int> deleted;
    Tracked* make(int id) { return new Tracked(id, deleted); }
};

TEST_F(ObjectListTest, InsertsAtFrontBackAndMiddleAndRejectsPositionsPastTheEnd) {
    ObjectList list;
    Tracked* a = make(1);
    EXPECT_NE(list.insertAt(a, 0), nullptr);
    list.insertAt(make(2), 0);            // front
    list.insertAt(make(3), list.count()); // appended: becomes the tail
    list.insertAt(make(4), 1);            // middle
    EXPECT_EQ(ids(list), (std::vector<int>{2, 4, 1, 3}));
    EXPECT_EQ(static_cast<Tracked*>(list.tail()->item)->id, 3);
    EXPECT_EQ(list.head()->prev, nullptr);
    EXPECT_EQ(list.tail()->next, nullptr);

    Tracked* stray = make(9);
    EXPECT_EQ(list.insertAt(stray, list.count() + 1), nullptr);
    EXPECT_EQ(list.insertAt(stray, -1), nullptr);
    EXPECT_EQ(stray->refCount, 0);
    EXPECT_EQ(list.count(), 4);
    delete stray;
    EXPECT_EQ(a->refCount, 1);
}

TEST_F(ObjectListTest, WalksOverEmptyListsAndSkipsMarkedItems) {
    ObjectList list;
    EXPECT_EQ(list.next(), nullptr);
    list.rewind();
    EXPECT_EQ(list.next(), nullptr);
    EXPECT_EQ(list.nextUnmarked(), nullptr);

    Tracked* a = make(1);
    Tracked* b = make(2);
    Tracked* c = make(3);
    list.insertAt(c, 0);
    list.insertAt(b, 0);
    list.insertAt(a, 0);
    b->marked = true;
    list.rewind();
    EXPECT_EQ(list.nextUnmarked(), a);
    EXPECT_EQ(list.nextUnmarked(), c);
    EXPECT_EQ(list.nextUnmarked(), nullptr);
    a->marked = c->marked = true;
    list.rewind();
    EXPECT_EQ(list.nextUnmarked(), nullptr);
    EXPECT_EQ(list.cursor(), nullptr);
}

TEST_F(ObjectListTest, RemoveAtUnlinksWithoutDeletingAndMovesTheCursorOn) {
    ObjectList list;
    Tracked* items[3] = {make(1), make(2), make(3)};
    for (Tracked* t : items)
        list.insertAt(t, list.count());
    EXPECT_EQ(list.removeAt(3), nullptr);
    EXPECT_EQ(list.removeAt(-1), nullptr);
    EXPECT_EQ(list.removeAt(2), items[2]);
    EXPECT_EQ(list.tail()->item, items[1]);
    EXPECT_EQ(list.next(), nullptr);
    EXPECT_EQ(items[2]->refCount, 1); // untouched: the caller decides
    EXPECT_TRUE(deleted.empty());
    delete items[2];
    EXPECT_EQ(list.removeAt(0), items[0]);
    EXPECT_EQ(list.next(), items[1]);
    delete items[0];
    list.removeAt(0);
    EXPECT_EQ(list.head(), nullptr);
    EXPECT_EQ(list.tail(), nullptr);
    EXPECT_EQ(list.count(), 0);
    delete items[1];
}

TEST_F(ObjectListTest, PurgeDeletesMarkedItemsHeldOnlyHereInOnePass) {
    ObjectList list;
    for (int i = 1; i <= 5; ++i)
        list.insertAt(make(i), list.count());
    list.rewind();
    while (ListItem* item = list.next()) {
        int id = static_cast<Tracked*>(item)->id;
        item->marked = (id == 1 || id == 2 || id == 4);
    }
    list.purge();
    EXPECT_EQ(deleted, (std::vector<int>{1, 2, 4}));
    EXPECT_EQ(ids(list), (std::vector<int>{3, 5}));

    list.markAll();
    list.purge();
    EXPECT_EQ(list.count(), 0);
    EXPECT_EQ(list.head(), nullptr);
    EXPECT_EQ(list.tail(), nullptr);
    EXPECT_EQ(list.cursor(), nullptr);
    list.clear(); // on an empty list: nothing happens
    EXPECT_EQ(deleted.size(), 5u);
}

TEST_F(ObjectListTest, AnItemInTwoListsLivesUntilTheLastListLetsGo) {
    Tracked* shared = make(7);
    {
        ObjectList first, second;
        first.insertAt(shared, 0);
        second.insertAt(shared, 0);
        second.insertAt(make(8), 0);
        EXPECT_EQ(shared->refCount, 2);
        first.clear();
        EXPECT_EQ(shared->refCount, 1);
        EXPECT_TRUE(shared->marked);
        EXPECT_TRUE(deleted.empty());
        EXPECT_EQ(first.count(), 0);
    }
    // Destroying the second list deleted what only it held.
    EXPECT_EQ(deleted, (std::vector<int>{8, 7}));
}

} // namespace
} // namespace tundrix
