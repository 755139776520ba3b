// The channel's pages as HTML, from what the site looked up; every user-typed text is escaped here.
#pragma once
#include "channel/html.h"
#include "channel/store.h"

#include <optional>
#include <string>
#include <vector>

namespace tundrix::channel {

// How many members each leaderboard shows on the home page, and on each page of a whole board.
inline constexpr int BOARD_SIZE = 10;
inline constexpr int BOARD_PAGE_SIZE = 50;

struct Boards {
    std::vector<Ranked> today, thisWeek, allTime;
};

// A competition with the standings of its round running now.
struct CompetitionView {
    Competition competition;
    std::string round;         // the day or week of the round, or the first day for the whole period
    std::vector<Ranked> board; // for a recruiting competition: score is the recruits counted
};

struct HomeView {
    Boards boards;
    std::vector<std::string> announcements;    // plain text
    std::vector<CompetitionView> competitions; // the running ones, their boards cut short
    std::string downloadUrl;
};
std::string homePage(const Visitor& visitor, const HomeView& home);

// One page of a whole board: rows numbered already, links to the pages before and after.
struct BoardPage {
    std::string word;             // the board's word in the address: idag, vecka, alltid
    std::string swedish, english; // its name
    std::vector<Ranked> rows;
    int page = 1;
    bool more = false; // a next page exists
};
std::string boardPage(const Visitor& visitor, const BoardPage& board);

// A board with its heading: ties share a rank and say so; the member's own row (nickname) is marked.
// A recruiting board counts recruits and has no verified marks.
std::string boardSection(std::string_view swedish, std::string_view english, const std::vector<Ranked>& rows,
                         std::string_view id, bool recruits = false, const std::string& own = "");

// What the sign-up form was filled with (the passwords never come back); errors are plain text.
struct SignupValues {
    std::string email, nickname, recruiter;
    std::string recruitedBy; // the recruiter's nickname, when the recruiting link named one
    std::string notice;      // plain text above the form (the address the game did not know, an expired form)
};
std::string signupPage(const Visitor& visitor, const SignupValues& values,
                       const std::vector<FieldError>& errors);

// problem: what went wrong with the last try, plain text by the field it belongs to (none when empty).
std::string loginPage(const Visitor& visitor, const std::string& email, const std::string& next,
                      const FieldError& problem = {}, const std::string& notice = "");

// After sign-up: the steps from here to a score on the boards. downloadUrl may be empty.
std::string welcomePage(const Visitor& visitor, const std::string& email, const std::string& downloadUrl);

struct ChallengeView {
    std::string recruitLink; // the sign-up page with this member's recruiting code
    std::vector<Member> recruits;
};
std::string challengePage(const Visitor& visitor, const ChallengeView& view);

std::string libraryHelpPage(const Visitor& visitor);
// asked: the version the game was told about; newest: the newest known release, if any.
std::string versionPage(const Visitor& visitor, const std::string& asked,
                        const std::optional<Release>& newest, const std::string& downloadUrl);
// A short page with a heading and one paragraph, both trusted HTML.
std::string messagePage(const Visitor& visitor, const std::string& heading, const std::string& text);

} // namespace tundrix::channel
