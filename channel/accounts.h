// Members' accounts: the rules for e-mail addresses, nicknames and passwords, signing up, logging in.
#pragma once
#include "channel/store.h"
#include "protocol/score_form.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tundrix::channel {

// The game sends the user name and password in its single-byte code page, up to its limits.
inline constexpr size_t EMAIL_MAX_CHARS = protocol::USER_NAME_MAX_CHARS;
inline constexpr size_t PASSWORD_MIN_CHARS = 6;
inline constexpr size_t PASSWORD_MAX_CHARS = protocol::PASSWORD_MAX_CHARS;

// Text as the game will send it: its Windows-1252 bytes, or nothing if it holds a control character or
// a character the code page lacks, or is longer than maxChars.
std::optional<std::string> gameText(std::string_view utf8, size_t maxChars);

// A user name as it is looked up and as every limit keys it: without surrounding blanks, its ASCII
// letters in lower case (the database compares addresses that way too).
std::string canonicalUserName(std::string_view utf8);

struct SignupRequest {
    std::string email, nickname, password, password2;
    std::string recruiter; // the recruiter's code from the recruiting link, or their e-mail address
};

struct SignupResult {
    std::optional<int64_t> memberId;
    std::vector<std::string> errors; // plain text, "Swedish / English"
};

// Checks every field and adds the member; the errors say what to mend. Surrounding blanks of the e-mail
// address, nickname and recruiter are ignored; the nickname is kept in its normal form and may not look
// like one taken already.
SignupResult signUp(Store& store, const SignupRequest& request, int64_t now);

// What is wrong with a new password (empty: nothing).
std::vector<std::string> passwordProblems(std::string_view utf8);
// Sets a member's password, ending their sessions; false with the reason on failure.
bool setPassword(Store& store, int64_t memberId, std::string_view utf8, std::string& error);

// The member with this e-mail address and password, if they match (failed: the database could not be
// read). An unknown address costs the same password check as a known one, so the time taken tells
// nobody which addresses are members.
Lookup<Member> logIn(Store& store, std::string_view email, std::string_view password);

// The part of an e-mail address before the "@", as a nickname.
std::string nicknameFromEmail(std::string_view email);

} // namespace tundrix::channel
