// From the shell's submission to the net's record and back.
#include "shell/score_post.h"

#include "net/replay_post.h"
#include "net/submission_record.h"

namespace tundrix {

void postSubmission(const SubmitOptions& options, HttpClient& http, CalendarClock& calendar,
                    ScoreSubmission& s) {
    SubmissionRecord record;
    record.setUserName(s.userName);
    record.setPassword(s.password);
    record.score = s.score;
    record.bestScoreTime = s.bestScoreTime;
    record.totalPlayTime = static_cast<int32_t>(s.totalPlayTime);
    record.tampered = s.tampered;
    submitScore(record, http, calendar, options);
    // A registered score's game goes after it, so the channel can play it again; what happens to that
    // post never takes the registration back.
    if (record.resultCode == 0 || record.resultCode == 1)
        s.replayAnswer = postReplay(record, s.replay, http, options);
    s.resultCode = record.resultCode;
    s.versionNotice = record.versionNotice;
    s.exchange = record.exchange;
    s.retryAfterSeconds = record.retryAfter;
}

} // namespace tundrix
