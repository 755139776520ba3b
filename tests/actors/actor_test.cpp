// The sprite object and actor base: frames, hot spot, boxes, overlap, drawing and the list visits.
#include "actors/actor.h"

#include "play_rig.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tundrix {
namespace {

using test::fillSheet;

class Probe : public Actor {
  public:
    Probe(SpriteSheet& sheet, std::vector<std::string>& log, std::string name)
        : Actor(sheet), log_(log), name_(std::move(name)) {}
    void update() override {
        Actor::update();
        log_.push_back("update " + name_);
    }
    void check() override { log_.push_back("check " + name_); }
    void draw() override {
        Actor::draw();
        log_.push_back("draw " + name_);
    }

  private:
    std::vector<std::string>& log_;
    std::string name_;
};

TEST(SpriteObject, HotSpotBoxAndGrowth) {
    SpriteSheet sheet;
    fillSheet(sheet, 1, 32, 40, 5);
    std::vector<std::string> log;
    Probe a(sheet, log, "a");
    EXPECT_FLOAT_EQ(a.x(), 100);
    EXPECT_FLOAT_EQ(a.y(), 100);
    EXPECT_TRUE(a.visible);
    EXPECT_FALSE(a.marked);
    EXPECT_FLOAT_EQ(a.hotX(), 16);
    EXPECT_FLOAT_EQ(a.hotY(), 20);
    a.updateBox();
    EXPECT_FLOAT_EQ(a.box().left, 84);
    EXPECT_FLOAT_EQ(a.box().top, 80);
    EXPECT_FLOAT_EQ(a.box().right, 116);
    EXPECT_FLOAT_EQ(a.box().bottom, 120);
    a.growBox(-10);
    EXPECT_FLOAT_EQ(a.box().left, 94);
    EXPECT_FLOAT_EQ(a.box().top, 90);
    EXPECT_FLOAT_EQ(a.box().right, 106);
    EXPECT_FLOAT_EQ(a.box().bottom, 110);
    // A new frame resets the offsets.
    a.setFrame(0);
    a.updateBox();
    EXPECT_FLOAT_EQ(a.box().left, 84);
}

TEST(SpriteObject, BoxesThatOnlyTouchOverlap) {
    SpriteSheet sheet;
    fillSheet(sheet, 1, 10, 10, 5);
    std::vector<std::string> log;
    Probe a(sheet, log, "a"), b(sheet, log, "b");
    b.setPosition(110, 100); // a's right edge 105 is b's left edge
    EXPECT_TRUE(a.overlaps(b));
    EXPECT_TRUE(b.overlaps(a));
    b.setPosition(110, 110); // corners touch
    EXPECT_TRUE(a.overlaps(b));
    b.setPosition(110.01f, 100);
    EXPECT_FALSE(a.overlaps(b));
    b.setPosition(100, 89.99f);
    EXPECT_FALSE(a.overlaps(b));
}

TEST(SpriteObject, FrameBeyondTheSheetKeepsTheSheetsCurrentFrame) {
    SpriteSheet sheet;
    fillSheet(sheet, 2, 8, 8, 5);
    auto big = std::make_unique<Image>(20, 30);
    sheet.add(std::move(big));
    std::vector<std::string> log;
    Probe a(sheet, log, "a");
    a.setFrame(2);
    EXPECT_FLOAT_EQ(a.hotY(), 15);
    a.setFrame(7);
    EXPECT_EQ(a.frame(), sheet.frame(2));
    EXPECT_FLOAT_EQ(a.hotX(), 10);
    a.setFrame(1);
    a.setFrame(65535);
    EXPECT_EQ(a.frame(), sheet.frame(1));

    // An empty sheet: no frame, nothing drawn, no crash.
    SpriteSheet empty;
    Probe e(empty, log, "e");
    EXPECT_EQ(e.frame(), nullptr);
    Image target(50, 50);
    e.setTarget(&target);
    e.draw();
}

TEST(SpriteObject, DrawsCentredAndSkipsMarkedOrInvisibleObjects) {
    SpriteSheet sheet;
    fillSheet(sheet, 1, 4, 6, 9);
    std::vector<std::string> log;
    Probe a(sheet, log, "a");
    Image target(40, 40);
    a.setTarget(&target);
    a.setPosition(10.7f, 20.2f); // top-left at trunc(8.7), trunc(17.2)
    a.draw();
    EXPECT_EQ(target.pixel(8, 17), 9);
    EXPECT_EQ(target.pixel(11, 22), 9);
    EXPECT_EQ(target.pixel(7, 17), 0);
    EXPECT_EQ(target.pixel(12, 17), 0);
    EXPECT_EQ(target.pixel(8, 23), 0);

    Image clean(40, 40);
    a.setTarget(&clean);
    a.visible = false;
    a.draw();
    a.visible = true;
    a.marked = true;
    a.draw();
    a.marked = false;
    a.setTarget(nullptr);
    a.draw();
    for (int i = 0; i < clean.pixelCount(); ++i)
        ASSERT_EQ(clean.pixelAtIndex(i), 0);
}

TEST(Actor, BaseUpdateAddsTheVelocityAndTheListVisitsGoInListOrder) {
    SpriteSheet sheet;
    fillSheet(sheet, 1, 4, 4, 9);
    std::vector<std::string> log;
    auto* a = new Probe(sheet, log, "a");
    auto* b = new Probe(sheet, log, "b");
    a->vx = 1.5f;
    a->vy = -2;
    Image target(200, 200);
    a->setTarget(&target);
    b->setTarget(&target);
    ObjectList list;
    list.insertAt(a, 0);
    list.insertAt(b, 0);
    b->marked = true; // still updated and checked, but not drawn
    updateAll(list);
    checkAll(list);
    drawAll(list);
    EXPECT_FLOAT_EQ(a->x(), 101.5f);
    EXPECT_FLOAT_EQ(a->y(), 98);
    EXPECT_EQ(log,
              (std::vector<std::string>{"update b", "update a", "check b", "check a", "draw b", "draw a"}));
    EXPECT_EQ(target.pixel(100, 97), 9);
}

} // namespace
} // namespace tundrix
