// A member's own page: their standing on every board, their best scores with dates, their recruits, and
// the forms that change their nickname and password.
#pragma once
#include "channel/html.h"
#include "channel/site_paths.h"
#include "channel/store.h"

#include <optional>
#include <string>
#include <vector>

namespace tundrix::channel {

// Where the member stands on one board.
struct Standing {
    std::string swedish, english, id;
    std::optional<int64_t> rank; // none: no score on it (or beyond the rows counted)
    bool beyond = false;         // further down than the rows counted
    std::vector<Ranked> around;  // the rows around the member's own, numbered
};

struct MemberView {
    Member member;
    std::vector<Standing> standings;
    std::vector<OwnScore> best;
    std::vector<Member> recruits;
    std::string typedNickname; // what the nickname form was sent with, when it failed
    std::vector<FieldError> errors;
    std::string notice; // plain text: what was just changed
};

// Where the member stands among the first `scan` rows of the board, with `reach` rows either side.
Standing standingOf(std::vector<Ranked> board, int64_t memberId, size_t scan, size_t reach);

std::string memberPage(const Visitor& visitor, const MemberView& view);

} // namespace tundrix::channel
