// The sprite object and actor base: frames, boxes, overlap, drawing and the list visits.
#include "actors/actor.h"

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

TEST(SpriteObject, BoxesThatOnlyTouchOverlapAndFramesBeyondTheSheetAreIgnored) {
    SpriteSheet sheet;
    std::vector<std::string> log;
    fillSheet(sheet, 1, 32, 40, 5);
    fillSheet(sheet, 1, 8, 8, 6);
    Probe a(fillSheet(sheet, 1, 20, 30, 7), log, "a"), b(sheet, log, "b");
    // a at (100, 100) with a 32 by 40 frame, b the same: they meet when 32 apart across, 40 down.
    const struct {
        float x, y;
        bool overlap;
    } cases[] = {{132, 100, true}, {132, 140, true}, {132.01f, 100, false}, {100, 59.99f, false}};
    for (const auto& c : cases) {
        b.setPosition(c.x, c.y);
        EXPECT_EQ(a.overlaps(b), c.overlap) << c.x << "," << c.y;
        EXPECT_EQ(b.overlaps(a), c.overlap) << c.x << "," << c.y;
    }
    // A frame beyond the sheet keeps the sheet's current frame and its hot spot.
    a.setFrame(2);
    a.setFrame(7);
    EXPECT_EQ(a.frame(), sheet.frame(2));
    EXPECT_FLOAT_EQ(a.hotX(), 10);
    a.setFrame(1);
    a.setFrame(65535);
    EXPECT_EQ(a.frame(), sheet.frame(1));
    EXPECT_FLOAT_EQ(a.hotY(), 4);
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
    std::vector<std::string> log;
    Probe a(fillSheet(sheet, 1, 4, 6, 9), log, "a");
    Image target(40, 40), clean(40, 40);
    a.setTarget(&target);
    a.setPosition(10.7f, 20.2f); // top-left at trunc(8.7), trunc(17.2)
    a.draw();
    const struct {
        int x, y, colour;
    } pixels[] = {{8, 17, 9}, {11, 22, 9}, {7, 17, 0}, {12, 17, 0}, {8, 23, 0}};
    for (const auto& p : pixels)
        EXPECT_EQ(target.pixel(p.x, p.y), p.colour) << p.x << "," << p.y;
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

TEST(Actor, BaseUpdateAddsTheVelocityAndTheListVisitsGoInListOrder) {
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
    b->marked = true; // still updated and checked, but not drawn
    updateAll(list);
    checkAll(list);
    drawAll(list);
    EXPECT_EQ(test::XY(a->x(), a->y()), test::XY(101.5f, 98));
    EXPECT_EQ(log,
              (std::vector<std::string>{"update b", "update a", "check b", "check a", "draw b", "draw a"}));
    EXPECT_EQ(target.pixel(100, 97), 9);
}

} // namespace
} // namespace tundrix
