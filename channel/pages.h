// The channel's pages as HTML, from what the site looked up; every user-typed text is escaped here.
#pragma once
#include "channel/html.h"
#include "channel/store.h"

#include <optional>
#include <string>
#include <vector>

namespace tundrix::channel {

// How many members each leaderboard shows.
inline constexpr int BOARD_SIZE = 100;

struct Boards {
    std::vector<Ranked> today, thisWeek, allTime;
};
std::string homePage(const Visitor& visitor, const Boards& boards);

// What the sign-up form was filled with (the passwords never come back); errors are plain text.
struct SignupValues {
    std::string email, nickname, recruiter;
    std::string recruitedBy; // the recruiter's nickname, when the recruiting link named one
};
std::string signupPage(const Visitor& visitor, const SignupValues& values,
                       const std::vector<std::string>& errors);

std::string loginPage(const Visitor& visitor, const std::string& email, const std::string& next, bool failed);

struct ChallengeView {
    std::string recruitLink; // the sign-up page with this member's recruiting code
    std::vector<Member> recruits;
};
std::string challengePage(const Visitor& visitor, const ChallengeView& view);

// contact: how the channel's operator is reached (may be empty).
std::string passwordHelpPage(const Visitor& visitor, const std::string& mail, const std::string& contact);
std::string libraryHelpPage(const Visitor& visitor);
// asked: the version the game was told about; newest: the newest known release, if any.
std::string versionPage(const Visitor& visitor, const std::string& asked,
                        const std::optional<Release>& newest, const std::string& downloadUrl);
// A short page with a heading and one paragraph, both trusted HTML.
std::string messagePage(const Visitor& visitor, const std::string& heading, const std::string& text);

} // namespace tundrix::channel
