// Posting a best score to the channel's server and reading its verdict.
#pragma once
#include "net/channel.h"
#include "net/channel_address.h"
#include "net/measurements.h"
#include "net/submission_record.h"
#include "platform/http_client.h"

#include <cstdint>
#include <string>

namespace tundrix {

// What a submission leaves in SubmissionRecord::resultCode:
//   the server's number         when the server answered (0 or 1: registered, 2: unknown user,
//                                3: wrong password, ...);
//   -1                          the HTTP library or one of its functions is missing (message says which);
//   TRANSPORT_ERROR_BASE + code after a transport failure, where code is the HTTP library's own error
//                                number (curl's CURLcode: 12007 connection refused, 12006 unknown host,
//                                12028 timed out). The offset keeps these clear of the server's small
//                                numbers: a bare CURLcode 1, 2 or 3 would read as "registered",
//                                "unknown user" or "wrong password". SubmissionRecord::exchange says
//                                whether the server was reached, broke off or answered too slowly;
//   the HTTP status (100..599)  when the server answered with a status other than 2xx, whose page is
//                                not a verdict of ours (429 too many attempts, with
//                                SubmissionRecord::retryAfter; 503 it cannot store the score now);
//   ANSWER_WITHOUT_RESULT       the server answered 2xx but the text does not start with a number
//                                (an empty answer included), so nothing says the score was registered.
// Each of the last three makes the register dialog offer another try.
inline constexpr int32_t TRANSPORT_ERROR_BASE = 12000;
inline constexpr int32_t ANSWER_WITHOUT_RESULT = 12152;

inline constexpr char SUBMIT_USER_AGENT[] = "SpelHttp";

struct SubmitOptions {
    std::string host = CHANNEL_HOST; // tests point these at a server on the loopback address
    uint16_t port = CHANNEL_PORT;
    bool https = false;
    std::string executablePath = "/proc/self/exe"; // the file whose CRC-32 and length are sent
    int processorType = 0;                         // the platform's processor-type code, 0 where it has none
    long connectTimeoutMs = 30000;
    long totalTimeoutMs = 60000;
};

// The options that post to a configured channel (see configuredChannel), with the default time-outs.
SubmitOptions submitOptionsFor(const ChannelAddress& channel);

// The measured values sent along with a score.
struct SubmissionMeasurements {
    int32_t speedCount = 0;   // f6
    std::string processor;    // f7
    FileIntegrity executable; // f8 and f9
};

// The form the record and the measurements make, for a record whose score is already the one to send.
protocol::ScoreForm scoreFormOf(const SubmissionRecord& record, const SubmissionMeasurements& measured);
// Its body, as posted.
std::string buildSubmissionBody(const SubmissionRecord& record, const SubmissionMeasurements& measured);

// One attempt: loads the HTTP library, measures, posts the form and leaves the outcome in
// record.resultCode, record.message and (when an answer was read) record.versionNotice. A tampered
// record's score is negated in place once the server has been reached. Returns 0 if the server's result
// was 0, -1 if the library is missing or the server could not be reached, -2 otherwise. Blocks for the
// speed count (3-4 s) and the exchange (bounded by the time-outs).
int submitScore(SubmissionRecord& record, HttpClient& http, CalendarClock& calendar,
                const SubmitOptions& options = {});

} // namespace tundrix
