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

struct Lists : ::testing::Test {
    std::vector<int> deleted;
    Tracked* make(int id) { return new Tracked(id, deleted); }
    // The ids in list order, walked with next or with nextUnmarked; the walk leaves the cursor at the end.
    static std::vector<int> ids(ObjectList& list, bool unmarkedOnly = false) {
        std::vector<int> out;
        list.rewind();
        while (ListItem* item = unmarkedOnly ? list.nextUnmarked() : list.next())
            out.push_back(static_cast<Tracked*>(item)->id);
        return out;
    }
};

TEST_F(Lists, ItemsGoInAtAnyPositionFromFrontToBackAndNowhereElse) {
    ObjectList list;
    EXPECT_EQ(ids(list), std::vector<int>{});
    Tracked* first = make(1);
    EXPECT_NE(list.insertAt(first, 0), nullptr);
    list.insertAt(make(2), 0);            // the front
    list.insertAt(make(3), list.count()); // the back
    list.insertAt(make(4), 1);            // between
    list.insertAt(make(5), 3);
    EXPECT_EQ(ids(list), (std::vector<int>{2, 4, 1, 5, 3}));
    EXPECT_EQ(first->refCount, 1);
    Tracked* stray = make(9);
    for (int position : {-1, list.count() + 1})
        EXPECT_EQ(list.insertAt(stray, position), nullptr) << position;
    EXPECT_EQ(list.insertAt(nullptr, 0), nullptr);
    EXPECT_EQ(stray->refCount, 0);
    EXPECT_EQ(list.count(), 5);
    delete stray;
    // The cursor stands on an item just put in.
    list.insertAt(make(6), 2);
    EXPECT_EQ(static_cast<Tracked*>(list.next())->id, 6);
    EXPECT_EQ(static_cast<Tracked*>(list.next())->id, 1);
}

TEST_F(Lists, RemoveAtUnlinksWithoutDeletingAndTheWalkGoesOnAfterIt) {
    ObjectList list;
    Tracked* items[] = {make(1), make(2), make(3), make(4)};
    for (Tracked* t : items)
        list.insertAt(t, list.count());
    for (int index : {-1, 4})
        EXPECT_EQ(list.removeAt(index), nullptr) << index;
    EXPECT_EQ(list.removeAt(1), items[1]);
    EXPECT_EQ(list.next(), items[2]);
    EXPECT_EQ(list.removeAt(2), items[3]); // the last: the walk is at its end
    EXPECT_EQ(list.next(), nullptr);
    EXPECT_EQ(list.removeAt(0), items[0]);
    EXPECT_EQ(ids(list), std::vector<int>{3});
    EXPECT_TRUE(deleted.empty());
    EXPECT_EQ(items[1]->refCount, 1); // left to the caller
    for (int i : {0, 1, 3})
        delete items[i];
    list.insertAt(make(5), 0); // both ends still link up
    list.insertAt(make(6), 2);
    EXPECT_EQ(ids(list), (std::vector<int>{5, 3, 6}));
}

TEST_F(Lists, MarkedItemsAreSkippedByTheUnmarkedWalkAndPurgedInOnePass) {
    ObjectList list;
    for (int i = 1; i <= 6; ++i)
        list.insertAt(make(i), list.count());
    list.rewind();
    while (ListItem* item = list.next())
        item->marked = static_cast<Tracked*>(item)->id % 3 != 0 && static_cast<Tracked*>(item)->id != 5;
    EXPECT_EQ(ids(list, true), (std::vector<int>{3, 5, 6}));
    list.purge();
    EXPECT_EQ(deleted, (std::vector<int>{1, 2, 4}));
    EXPECT_EQ(ids(list), (std::vector<int>{3, 5, 6}));
    list.markAll();
    EXPECT_EQ(ids(list, true), std::vector<int>{});
    list.purge();
    EXPECT_EQ(list.count(), 0);
    EXPECT_EQ(ids(list), std::vector<int>{});
    list.clear();
    EXPECT_EQ(deleted.size(), 6u);
}

TEST_F(Lists, AnItemInTwoListsLivesUntilTheLastListLetsGo) {
    Tracked* shared = make(7);
    {
        ObjectList first, second;
        first.insertAt(shared, 0);
        second.insertAt(make(8), 0);
        second.insertAt(shared, 1);
        EXPECT_EQ(shared->refCount, 2);
        first.clear();
        EXPECT_EQ(shared->refCount, 1);
        EXPECT_TRUE(deleted.empty());
        EXPECT_EQ(first.count(), 0);
        EXPECT_EQ(ids(second), (std::vector<int>{8, 7}));
    }
    EXPECT_EQ(deleted, (std::vector<int>{8, 7}));
}

} // namespace
} // namespace tundrix
