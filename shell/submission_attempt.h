// One score post running beside the window's thread: the dialog keeps painting and may give it up
// (no SDL here).
#pragma once
#include "shell/submission.h"

#include <atomic>
#include <memory>
#include <optional>

namespace tundrix {

// The state a post shares with its thread. The thread holds it too, so a post that was given up can
// finish late without touching anything that is gone; its result is then dropped.
struct PostState;

class SubmissionAttempt {
  public:
    // inFlight counts the post threads still running, given up or not, so the program can tell whether it
    // may end normally.
    explicit SubmissionAttempt(std::shared_ptr<std::atomic<int>> inFlight);
    ~SubmissionAttempt(); // gives up a post still running
    SubmissionAttempt(const SubmissionAttempt&) = delete;
    SubmissionAttempt& operator=(const SubmissionAttempt&) = delete;

    // Starts posting a copy of submission with submit on a thread of its own.
    void start(const SubmitScore& submit, const ScoreSubmission& submission);
    bool running() const { return state_ != nullptr; }
    // The finished submission, once; nothing while it is still running or when none was started.
    std::optional<ScoreSubmission> takeResult();
    // Stops waiting for the post: its late result is dropped.
    void giveUp();

  private:
    std::shared_ptr<std::atomic<int>> inFlight_;
    std::shared_ptr<PostState> state_;
};

} // namespace tundrix
