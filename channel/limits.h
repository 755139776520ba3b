// How often one address or one member may try the forms. A whole school or LAN party may share one
// address, so the address limits are wide; the limits that stop password guessing are charged by wrong
// passwords only and kept per user name and address, so a stranger's guesses never lock a member out.
#pragma once
#include "channel/rate_limit.h"

namespace tundrix::channel {

struct RateLimits {
    bool enabled = true;
    RateRule scorePerAddress{120, 20};              // every post
    RateRule scoreFailuresPerName{6, 1.0 / 30};     // wrong passwords for one user name from one address
    RateRule scoreFailuresPerAddress{30, 1.0 / 10}; // wrong passwords and unknown names from one address
    RateRule loginPerAddress{30, 1.0 / 2};          // every log-in
    RateRule loginFailuresPerName{5, 1.0 / 60};
    RateRule loginFailuresPerAddress{20, 1.0 / 10};
    RateRule signupPerAddress{30, 1.0 / 20}; // a class signing up together
    RateRule resetPerAddress{10, 1.0 / 60};  // asking for a reset link, from one client address
    RateRule resetPerMail{3, 1.0 / 900};     // reset links mailed to one address: a mailbox is not flooded
};

} // namespace tundrix::channel
