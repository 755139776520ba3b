// Posts one submission of the register dialog to the channel through a platform's HTTP client (no SDL here).
#pragma once
#include "net/measurements.h"
#include "net/score_submission.h"
#include "platform/http_client.h"
#include "shell/submission.h"

namespace tundrix {

// Fills a submission record from s, posts it and brings the verdict (result code, version notice, how far the
// exchange got and any Retry-After) back into s. Runs on a post's own thread: it uses nothing but its
// arguments.
void postSubmission(const SubmitOptions& options, HttpClient& http, CalendarClock& calendar,
                    ScoreSubmission& s);

} // namespace tundrix
