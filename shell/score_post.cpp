// From the shell's submission to the net's record and back.
#include "shell/score_post.h"

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
    s.resultCode = record.resultCode;
    s.versionNotice = record.versionNotice;
    s.exchange = record.exchange;
    s.retryAfterSeconds = record.retryAfter;
}

} // namespace tundrix
