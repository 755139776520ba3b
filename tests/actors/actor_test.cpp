// The sprite object and actor base: frames, boxes, overlap, drawing and the list visits.
#include "play_rig.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tundrix {
namespace {

using test::fillSheet;

// Logs every visit, so the list order shows.
class Probe : public Actor {
  public:
    Probe(SpriteSheet& sheet, std::vector<std::string>& log, std::string name)
        : Actor(sheet), log_(log), name_(std::move(name)) {}
    void update() override { Actor::update(), log_.push_back("update " + name_); }
    void check() override { log_.push_back("check " + name_); }
    void draw() override { Actor::draw(), log_.push_back("draw " + name_); }

  private:
    std::vector<std::string>& log_;
    std::string name_;
};

TEST(SpriteObject, DrawsItsFrameCentredBoxesThatOnlyTouchOverlapAndFramesBeyondTheSheetAreIgnored) {
    SpriteSheet sheet;
    std::vector<std::string> log;
    fillSheet(sheet, 1, 32, 40, 5);
    fillSheet(sheet, 1, 5, 7, 6);
    Probe a(fillSheet(sheet, 1, 20, 30, 7), log, "a"), b(sheet, log, "b");
    // Both at (100, 100) with the 32 by 40 frame: they meet when 32 apart across or 40 down, no further.
    for (auto [x, y, overlap] : {std::tuple{132.0f, 100.0f, true},
                                 {132, 140, true},
                                 {68, 60, true},
                                 {132.01f, 100, false},
                                 {100, 59.99f, false},
                                 {100, 140.01f, false}}) {
        b.setPosition(x, y);
        EXPECT_EQ(a.overlaps(b), overlap) << x << "," << y;
        EXPECT_EQ(b.overlaps(a), overlap) << x << "," << y;
    }
    // Frame 1 (5 by 7) at (10.7, 20.2) lies from (trunc 8.2, trunc 16.7); a frame beyond the sheet keeps it.
    Image target(40, 40);
    a.setTarget(&target);
    a.setFrame(1);
    a.setFrame(3);
    a.setFrame(65535);
    a.setPosition(10.7f, 20.2f);
    a.growBox(1);
    EXPECT_FLOAT_EQ(a.box().left, 7.2f);
    EXPECT_FLOAT_EQ(a.box().bottom, 24.7f);
    a.draw();
    for (auto [x, y, colour] :
         {std::tuple{8, 16, 6}, {12, 22, 6}, {7, 16, 0}, {13, 16, 0}, {8, 15, 0}, {8, 23, 0}})
        EXPECT_EQ(target.pixel(x, y), colour) << x << "," << y;
    // Invisible, marked or without a target or a frame, nothing is drawn.
    Image clean(40, 40);
    SpriteSheet empty;
    Probe e(empty, log, "e");
    EXPECT_EQ(e.frame(), nullptr);
    e.setTarget(&clean);
    e.draw();
    a.setTarget(&clean);
    a.visible = false;
    a.draw();
    a.visible = true, a.marked = true;
    a.draw();
    a.marked = false;
    a.setTarget(nullptr);
    a.draw();
    for (int i = 0; i < clean.pixelCount(); ++i)
        ASSERT_EQ(clean.pixelAtIndex(i), 0);
}

TEST(Actor, TheBaseUpdateAddsTheVelocityAndTheListVisitsGoInListOrder) {
    SpriteSheet sheet;
    std::vector<std::string> log;
    auto* a = new Probe(fillSheet(sheet, 1, 4, 4, 9), log, "a");
    auto* b = new Probe(sheet, log, "b");
    a->vx = 1.5f;
    a->vy = -2;
    Image target(200, 200);
    a->setTarget(&target);
    b->setTarget(&target);
    ObjectList list;
    list.insertAt(a, 0);
    list.insertAt(b, 0);
    list.insertAt(new ListItem, 1); // not an actor: passed over
    b->marked = true;               // still updated and checked, but not drawn
    updateAll(list);
    checkAll(list);
    drawAll(list);
    EXPECT_EQ(test::XY(a->x(), a->y()), test::XY(101.5f, 98));
    EXPECT_EQ(log,
              (std::vector<std::string>{"update b", "update a", "check b", "check a", "draw b", "draw a"}));
    EXPECT_EQ(target.pixel(99, 96), 9);
    EXPECT_EQ(target.pixel(98, 96), 0);
}

} // namespace
} // namespace tundrix
