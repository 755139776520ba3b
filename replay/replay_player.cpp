// The replay's clock and keys hand out the recorded answers one step at a time; the world takes them.
#include "replay/replay_player.h"

#include "platform/headless/recording_video.h"
#include "platform/headless/silent_audio.h"

namespace tundrix {

// Answers the world's clock and key questions from the recording, within the step being played.
class ReplayPlayer::Feed : public Clock, public KeySource {
  public:
    explicit Feed(const Replay& replay) : replay_(replay) {}
    uint32_t nowMs() override {
        if (reading_ < readingEnd_) return last_ = replay_.readings[reading_++];
        overrun_ = true;
        return last_;
    }
    void sleepMs(uint32_t) override {}
    bool keyDown(Key) override {
        if (key_ < keyEnd_) return replay_.keys[key_++];
        overrun_ = true;
        return false;
    }
    // Opens the next step's answers; false if the recording holds fewer than it claims.
    bool open(const ReplayEntry& e) {
        readingEnd_ = reading_ + e.readings;
        keyEnd_ = key_ + e.keys;
        overrun_ = false;
        return readingEnd_ <= replay_.readings.size() && keyEnd_ <= replay_.keys.size();
    }
    // Passes over a step's answers without taking them.
    void skip() { reading_ = readingEnd_, key_ = keyEnd_; }
    bool tookExactly() const { return !overrun_ && reading_ == readingEnd_ && key_ == keyEnd_; }
    void forgetOverrun() { overrun_ = false; }

  private:
    const Replay& replay_;
    size_t reading_ = 0, readingEnd_ = 0, key_ = 0, keyEnd_ = 0;
    uint32_t last_ = 0;
    bool overrun_ = false;
};

ReplayPlayer::ReplayPlayer(const Replay& replay, const ResourceStore& resources, AudioOut& audio,
                           VideoOut& video)
    : replay_(replay), resources_(resources), audio_(audio), video_(video),
      feed_(std::make_unique<Feed>(replay)),
      // The keyboard samples the arrows as it is made, before any step: the recorded state replaces that.
      keyboard_(std::make_unique<KeyboardInput>(*feed_)) {
    feed_->forgetOverrun();
}

ReplayPlayer::~ReplayPlayer() {
    world_.reset();
}

bool ReplayPlayer::finished() const {
    return entry_ >= replay_.entries.size() || !problem_.empty();
}

bool ReplayPlayer::next(bool draw) {
    if (finished()) return false;
    const ReplayEntry& e = replay_.entries[entry_++];
    if (!feed_->open(e)) {
        problem_ = "the replay holds fewer clock readings or keys than its steps take";
        return false;
    }
    if ((e.step == ReplayStep::Create) != (world_ == nullptr)) {
        problem_ = "the replay builds its world anywhere but at its start";
        return false;
    }
    switch (e.step) {
    case ReplayStep::Create:
        keyboard_->restore(replay_.keyboard);
        services_ = std::unique_ptr<GameServices>(new GameServices{*feed_, *keyboard_, resources_, audio_,
                                                                   video_, replay_.titleBlink, replay_.mode});
        world_ = std::make_unique<GameWorld>(*services_, angles_);
        break;
    case ReplayStep::Update:
        world_->update();
        ++updates_;
        break;
    case ReplayStep::Draw:
        if (!draw) {
            feed_->skip();
            return true;
        }
        world_->draw();
        break;
    case ReplayStep::HoldClock:
        world_->holdClock(e.argument);
        break;
    case ReplayStep::ClearScore:
        world_->clearScore();
        break;
    }
    if (!feed_->tookExactly()) {
        problem_ = "the game read the clock or the keys otherwise than the replay recorded";
        return false;
    }
    return true;
}

ReplayVerdict verifyReplay(const Replay& replay, const ResourceStore& resources,
                           const std::function<void(GameWorld&)>& eachUpdate) {
    headless::SilentAudio audio;
    headless::RecordingVideo video;
    ReplayPlayer player(replay, resources, audio, video);
    ReplayVerdict verdict;
    verdict.mode = replay.mode;
    uint32_t updates = 0;
    while (player.next(false)) {
        if (eachUpdate && player.updates() != updates && player.world()) eachUpdate(*player.world());
        updates = player.updates();
    }
    verdict.problem = player.problem();
    verdict.consistent = verdict.problem.empty() && player.world() != nullptr;
    if (!player.world() && verdict.problem.empty()) verdict.problem = "the replay builds no world";
    verdict.updates = player.updates();
    if (!replay.readings.empty()) verdict.elapsedMs = replay.readings.back() - replay.readings.front();
    if (GameWorld* w = player.world()) {
        verdict.score = w->score().get();
        verdict.gameOver = w->gameOver();
        verdict.periodsPlayed = w->periodNumber().get();
        verdict.tampered = tamperFlag;
    }
    return verdict;
}

} // namespace tundrix
