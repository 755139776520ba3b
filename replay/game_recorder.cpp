// The recording clock and keys, and the world that notes each of its steps before it takes it.
#include "replay/game_recorder.h"

namespace tundrix {

void ReplayLog::reading(uint32_t ms) {
    if (replay_.entries.empty()) return;
    replay_.readings.push_back(ms);
    ++replay_.entries.back().readings;
}

void ReplayLog::key(bool down) {
    if (replay_.entries.empty()) return;
    replay_.keys.push_back(down);
    ++replay_.entries.back().keys;
}

void ReplayLog::start(const KeyboardState& keyboard, int32_t titleBlink, PlayMode mode) {
    replay_.mode = mode;
    replay_.keyboard = keyboard;
    replay_.titleBlink = titleBlink;
    begin(ReplayStep::Create);
}

// Passes the clock and the keys through to the real ones, noting every answer in the current log.
class GameRecorder::Pass : public Clock, public KeySource {
  public:
    Pass(Clock* clock, KeySource* keys) : clock_(clock), keys_(keys) {}
    uint32_t nowMs() override {
        const uint32_t ms = clock_->nowMs();
        if (log) log->reading(ms);
        return ms;
    }
    void sleepMs(uint32_t ms) override { clock_->sleepMs(ms); }
    bool keyDown(Key key) override {
        const bool down = keys_->keyDown(key);
        if (log) log->key(down);
        return down;
    }
    ReplayLog* log = nullptr;

  private:
    Clock* clock_;
    KeySource* keys_;
};

namespace {

// The world as the driver and the shell see it, noting each step in the log before the real world takes it.
class RecordedWorld : public World {
  public:
    RecordedWorld(std::unique_ptr<World> world, std::shared_ptr<ReplayLog> log)
        : world_(std::move(world)), log_(std::move(log)) {}
    void update() override {
        log_->begin(ReplayStep::Update);
        world_->update();
    }
    void draw() override {
        log_->begin(ReplayStep::Draw);
        world_->draw();
    }
    bool gameOver() const override { return world_->gameOver(); }
    int countdown() const override { return world_->countdown(); }
    bool onTitle() const override { return world_->onTitle(); }
    GuardedCounter* scoreCounter() override { return world_->scoreCounter(); }
    void clearScore() override {
        log_->begin(ReplayStep::ClearScore);
        world_->clearScore();
    }
    void holdClock(uint32_t ms) override {
        log_->begin(ReplayStep::HoldClock, ms);
        world_->holdClock(ms);
    }

  private:
    std::unique_ptr<World> world_;
    std::shared_ptr<ReplayLog> log_;
};

} // namespace

GameRecorder::GameRecorder(Clock& clock, KeySource& keys, ReplayBuild build)
    : clock_(std::make_unique<Pass>(&clock, nullptr)), keys_(std::make_unique<Pass>(nullptr, &keys)),
      build_(build) {}

GameRecorder::~GameRecorder() = default;

Clock& GameRecorder::clock() {
    return *clock_;
}

KeySource& GameRecorder::keys() {
    return *keys_;
}

std::unique_ptr<World> GameRecorder::record(GameServices& services,
                                            const std::function<std::unique_ptr<World>()>& build) {
    auto log = std::make_shared<ReplayLog>(build_);
    log->start(services.keyboard.state(), services.titleBlink, services.mode);
    clock_->log = keys_->log = log.get();
    std::unique_ptr<World> world = build ? build() : nullptr;
    if (!world) {
        clock_->log = keys_->log = current_.get();
        return nullptr;
    }
    current_ = log;
    return std::make_unique<RecordedWorld>(std::move(world), std::move(log));
}

} // namespace tundrix
