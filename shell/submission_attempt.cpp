// The score post on a detached thread with a shared, mutex-guarded state.
#include "shell/submission_attempt.h"

#include <mutex>
#include <thread>

namespace tundrix {

struct PostState {
    std::mutex lock;
    bool done = false;
    ScoreSubmission submission;
};

SubmissionAttempt::SubmissionAttempt(std::shared_ptr<std::atomic<int>> inFlight)
    : inFlight_(std::move(inFlight)) {}

SubmissionAttempt::~SubmissionAttempt() {
    giveUp();
}

void SubmissionAttempt::start(const SubmitScore& submit, const ScoreSubmission& submission) {
    giveUp();
    auto state = std::make_shared<PostState>();
    state->submission = submission;
    state_ = state;
    if (inFlight_) ++*inFlight_;
    // The thread owns copies of everything it uses: the function, the submission and the shared state.
    std::thread([state, submit, work = submission, counter = inFlight_]() mutable {
        if (submit) submit(work);
        {
            std::lock_guard<std::mutex> hold(state->lock);
            state->submission = std::move(work);
            state->done = true;
        }
        if (counter) --*counter;
    }).detach();
}

std::optional<ScoreSubmission> SubmissionAttempt::takeResult() {
    // A local owner keeps the mutex alive until the guard has let go of it.
    const std::shared_ptr<PostState> state = state_;
    if (!state) return std::nullopt;
    std::lock_guard<std::mutex> hold(state->lock);
    if (!state->done) return std::nullopt;
    state_.reset();
    return state->submission;
}

void SubmissionAttempt::giveUp() {
    state_.reset();
}

} // namespace tundrix
