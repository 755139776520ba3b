// Sign-up checks, password setting and log-in, shared by the web pages and the operator's commands.
#include "channel/accounts.h"

#include "channel/crypto.h"
#include "channel/nickname.h"
#include "net/latin1_text.h"

namespace tundrix::channel {
namespace {

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

size_t utf8Length(std::string_view text) {
    size_t n = 0;
    for (char c : text)
        n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return n;
}

bool plausibleEmail(std::string_view email) {
    const size_t at = email.find('@');
    if (at == 0 || at == std::string_view::npos || email.find('@', at + 1) != std::string_view::npos)
        return false;
    const std::string_view domain = email.substr(at + 1);
    const size_t dot = domain.find('.');
    if (dot == 0 || dot == std::string_view::npos || domain.back() == '.') return false;
    for (char c : email) {
        if (c == ' ' || c == '<' || c == '>' || c == '"' || c == ',' || c == ';') return false;
    }
    return true;
}

bool hasControl(std::string_view text) {
    for (char c : text) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return true;
    }
    return false;
}

constexpr char TEMPORARY_FAILURE[] = "Tillfälligt fel, försök igen. / Temporary failure, try again.";

} // namespace

std::optional<std::string> gameText(std::string_view utf8, size_t maxChars) {
    if (hasControl(utf8)) return std::nullopt;
    // The conversion turns what the code page lacks into '?' and drops what it cannot read: the text
    // survives the round trip only if every character made it.
    std::string single = utf8ToWindows1252(utf8, maxChars + 1);
    if (single.size() > maxChars || windows1252ToUtf8(single) != utf8) return std::nullopt;
    return single;
}

std::vector<std::string> passwordProblems(std::string_view utf8) {
    std::vector<std::string> problems;
    const size_t length = utf8Length(utf8);
    if (length < PASSWORD_MIN_CHARS || length > PASSWORD_MAX_CHARS) {
        problems.push_back(
            "Lösenordet ska ha 6 till 16 tecken. / The password must have 6 to 16 characters.");
    } else if (!gameText(utf8, PASSWORD_MAX_CHARS)) {
        problems.push_back("Lösenordet har ett tecken som spelet inte kan skicka. / The password has a "
                           "character the game cannot send.");
    }
    return problems;
}

bool setPassword(Store& store, int64_t memberId, std::string_view utf8, std::string& error) {
    const std::vector<std::string> problems = passwordProblems(utf8);
    if (!problems.empty()) {
        error = problems.front();
        return false;
    }
    // The hash is of the bytes the game sends, so the game's post and the web log-in agree.
    const std::optional<std::string> hash = hashPassword(*gameText(utf8, PASSWORD_MAX_CHARS));
    if (!hash) {
        error = "out of memory while hashing";
        return false;
    }
    if (!store.setPasswordHash(memberId, *hash)) {
        error = "no such member";
        return false;
    }
    return true;
}

SignupResult signUp(Store& store, const SignupRequest& request, int64_t now) {
    SignupResult result;
    const auto fail = [&result](const char* field, std::string text) {
        result.errors.push_back(std::move(text));
        result.fields.push_back(field);
    };
    const std::string email(trimmed(request.email));
    const std::string recruiter(trimmed(request.recruiter));

    if (!plausibleEmail(email) || !gameText(email, EMAIL_MAX_CHARS)) {
        fail("email", "Skriv en giltig e-postadress med högst " + std::to_string(EMAIL_MAX_CHARS) +
                          " tecken. / Enter a valid e-mail address of at most " +
                          std::to_string(EMAIL_MAX_CHARS) + " characters.");
    }
    std::string nicknameProblem;
    const std::optional<Nickname> nick = checkNickname(request.nickname, nicknameProblem);
    if (!nick) fail("nickname", nicknameProblem);
    for (std::string& p : passwordProblems(request.password))
        fail("password", std::move(p));
    if (request.password != request.password2) {
        fail("password2", "Lösenorden är olika. / The passwords differ.");
    }
    std::optional<int64_t> recruiterId;
    if (!recruiter.empty()) {
        const Lookup<Member> who = recruiter.find('@') == std::string::npos
                                       ? store.memberByRecruitCode(recruiter)
                                       : store.memberByEmail(recruiter);
        if (who.failed) {
            fail("", TEMPORARY_FAILURE);
        } else if (!who.row) {
            fail("recruiter", "Ingen medlem har den värvningskoden eller e-postadressen. / No member has "
                              "that recruiting code or e-mail address.");
        } else {
            recruiterId = who.row->id;
        }
    }
    if (!result.errors.empty()) return result;

    const std::optional<std::string> hash = hashPassword(*gameText(request.password, PASSWORD_MAX_CHARS));
    if (!hash) {
        fail("", TEMPORARY_FAILURE);
        return result;
    }
    int64_t id = 0;
    switch (store.addMember({email, nick->text, nick->key, *hash, recruiterId}, now, &id)) {
    case AddOutcome::Added:
        result.memberId = id;
        break;
    case AddOutcome::EmailTaken:
        fail("email", "E-postadressen är redan medlem. / That e-mail address is already a member.");
        break;
    case AddOutcome::NicknameTaken:
        fail("nickname", "Smeknamnet är upptaget eller för likt ett som finns. / That nickname is taken, "
                         "or too like one that is.");
        break;
    case AddOutcome::Failed:
        fail("", TEMPORARY_FAILURE);
        break;
    }
    return result;
}

std::string canonicalUserName(std::string_view utf8) {
    std::string out(trimmed(utf8));
    for (char& c : out)
        c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    return out;
}

Lookup<Member> logIn(Store& store, std::string_view email, std::string_view password) {
    // A hash of nothing anyone knows, checked in place of a member's when the address is unknown.
    static const std::string stranger = hashPassword(randomToken()).value_or("");
    const std::optional<std::string> single = gameText(password, PASSWORD_MAX_CHARS);
    Lookup<Member> member = store.memberByEmail(canonicalUserName(email));
    if (member.failed) return member;
    const bool right = verifyPassword(member.row ? member.row->passwordHash : stranger, single.value_or(""));
    if (!member.row || !single || !right) member.row.reset();
    return member;
}

std::string nicknameFromEmail(std::string_view email) {
    return std::string(email.substr(0, email.find('@')));
}

} // namespace tundrix::channel
