// The two forms the game posts, written by the game's side and read by the channel's: every field comes
// back, and what the game never sends is refused.
#include "protocol/base64url.h"
#include "protocol/form_text.h"
#include "protocol/paths.h"
#include "protocol/replay_post.h"
#include "protocol/score_form.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <tuple>

namespace tundrix::protocol {
namespace {

ScoreForm annasForm() {
    ScoreForm f;
    f.userName = "\xE5sa@lumora.se"; // Windows-1252
    f.gameId = GAME_ID;
    f.password = "hemligt";
    f.score = 1234;
    f.bestScoreTime = 61'000;
    f.totalPlayTime = 3'600'000;
    f.speedCount = 4321;
    f.processor = "GenuineIntel 6";
    f.buildCrc = 0xDEADBEEF;
    f.buildLength = 4'000'000'000u; // length plus score wraps in the game's 32 bits
    return f;
}

// Every field of the form, to compare two at once.
auto fieldsOf(const ScoreForm& f) {
    return std::tie(f.userName, f.gameId, f.password, f.score, f.bestScoreTime, f.totalPlayTime, f.speedCount,
                    f.processor, f.buildCrc, f.buildLength);
}

// The body with one field's raw value replaced.
std::string withField(std::string body, const std::string& name, const std::string& value) {
    const size_t at = body.find(name + "=") + name.size() + 1;
    return body.replace(at, body.find('&', at) - at, value);
}

TEST(FormText, ScramblesEachByteWithTheKeyByteOfItsPositionAndReadsItBack) {
    // 'a' (61) XOR C3 = A2, 'b' (62) XOR 5E = 3C, 'c' (63) XOR 02 = 61.
    EXPECT_EQ(scrambleField("abc"), "A23C61");
    EXPECT_EQ(unscrambleField("a23c61"), "abc");
    EXPECT_EQ(scrambleField("\xE5"), "26"); // a Swedish letter's byte like any other
    const std::string nine = scrambleField("AAAAAAAAA");
    EXPECT_EQ(nine.substr(0, 2), nine.substr(16, 2)); // the key repeats after eight bytes
    EXPECT_NE(nine.substr(0, 2), nine.substr(2, 2));
    EXPECT_TRUE(std::regex_match(scrambleField("\x01\xFF zZ~"), std::regex("[0-9A-F]{12}")));
    EXPECT_EQ(scrambleField(std::string("ab\0cd", 5)), scrambleField("ab")); // text ends at a NUL
    for (const char* bad : {"A", "A23", "G0", "0x", " 0"})
        EXPECT_FALSE(unscrambleField(bad)) << bad;

    // Numbers as the game writes them, and nothing else.
    EXPECT_EQ(parseInt32("-2147483648"), INT32_MIN);
    EXPECT_EQ(parseUint32("4294967295"), UINT32_MAX);
    for (const char* bad : {"", "-", "+1", " 1", "1 ", "01", "-0", "2147483648", "1e3", "99999999999"})
        EXPECT_FALSE(parseInt32(bad)) << bad;
    EXPECT_FALSE(parseUint32("-1"));
    EXPECT_FALSE(parseUint32("4294967296"));
}

TEST(ScoreForm, EveryFieldComesBackAndTheDerivedOnesAddUp) {
    const ScoreForm sent = annasForm();
    // (The body's order of fields and each field's text, as the original server reads them, are the game
    // client's test against its own server.)
    const std::string body = encodeScoreForm(sent);
    std::string why;
    std::vector<std::string> problems;
    const auto read = decodeScoreForm(body, why, problems);
    ASSERT_TRUE(read) << why;
    EXPECT_EQ(fieldsOf(*read), fieldsOf(sent));
    EXPECT_TRUE(problems.empty()) << problems.front();

    // A tampered game sends its score negated; the limits hold exactly.
    ScoreForm edge = sent;
    edge.score = INT32_MIN;
    edge.userName = std::string(USER_NAME_MAX_CHARS, 'u');
    edge.password = std::string(PASSWORD_MAX_CHARS, '\xE4');
    const auto edgeRead = decodeScoreForm(encodeScoreForm(edge), why, problems);
    ASSERT_TRUE(edgeRead) << why;
    EXPECT_EQ(fieldsOf(*edgeRead), fieldsOf(edge));
    EXPECT_TRUE(problems.empty());
}

TEST(ScoreForm, RefusesWhatTheGameNeverSendsAndNamesWhatDoesNotAddUp) {
    const std::string body = encodeScoreForm(annasForm());
    const std::string f1 = "f1=" + scrambleField(annasForm().userName) + "&";
    const struct {
        std::string body;
        const char* why; // the start of the reason
    } refused[] = {
        {"", "field f1 missing"},
        {body.substr(f1.size()), "field f1 missing"},
        {body.substr(f1.size()) + "&" + f1.substr(0, f1.size() - 1), "field f1 missing"}, // out of order
        {f1 + body, "field f2 missing"},                                                  // twice
        {body + "&f9=00", "fields after the last one"},
        {body + "&", "fields after the last one"},
        {withField(body, "f4", "F"), "field f4 is not scrambled"},
        {withField(body, "f1", scrambleField(std::string(USER_NAME_MAX_CHARS + 1, 'u'))),
         "field f1 too long"},
        {withField(body, "f3", scrambleField(std::string(PASSWORD_MAX_CHARS + 1, 'p'))), "field f3 too long"},
        {withField(body, "f7", "C3"), "field f7 holds a NUL"},
        {withField(body, "f2", std::string(FIELD_MAX_BYTES + 1, '1')), "field f2 too long"},
        {withField(body, "f4", scrambleField("12x")), "the score is not a number"},
        {body + std::string(SCORE_FORM_MAX_BYTES, 'x'), "form too large"},
    };
    for (const auto& r : refused) {
        std::string why;
        std::vector<std::string> problems;
        EXPECT_FALSE(decodeScoreForm(r.body, why, problems)) << r.why;
        EXPECT_EQ(why.rfind(r.why, 0), 0u) << why;
    }

    // clang-format off
    const struct { std::string body; std::vector<std::string> problems; } kept[] = {
        {withField(body, "f2", "11"), {"f2 is not this game's id"}},
        {withField(body, "fa", scrambleField("1234someone@else")), {"fa does not match f4 and f1"}},
        {withField(body, "fb", scrambleField("5")), {"fb does not match f9 plus f4"}},
        {withField(body, "f5", scrambleField("soon")), {"f5 is not a number"}},
        {withField(body, "f9", scrambleField("-1")), {"f9 is not a number", "fb does not match f9 plus f4"}},
    };
    // clang-format on
    for (const auto& k : kept) {
        std::string why;
        std::vector<std::string> problems;
        EXPECT_TRUE(decodeScoreForm(k.body, why, problems)) << why;
        EXPECT_EQ(problems, k.problems);
    }
}

TEST(ReplayPost, TheFileAndItsClaimComeBackAndAnythingElseIsMalformed) {
    ReplayPost sent;
    sent.userName = "\xE5sa@lumora.se";
    sent.password = "hemligt";
    sent.score = 1234;
    sent.bestScoreTime = 61'000;
    for (int i = 0; i < 1000; ++i)
        sent.replay.push_back(static_cast<uint8_t>(i * 7));
    const std::optional<std::string> body = encodeReplayPost(sent);
    ASSERT_TRUE(body);
    EXPECT_EQ(body->rfind("f1=" + scrambleField(sent.userName) + "&f3=" + scrambleField("hemligt") +
                              "&f4=" + scrambleField("1234") + "&f5=" + scrambleField("61000") + "&replay=",
                          0),
              0u);
    std::string why;
    const auto read = decodeReplayPost(*body, why);
    ASSERT_TRUE(read) << why;
    const auto fields = [](const ReplayPost& p) {
        return std::tie(p.userName, p.password, p.score, p.bestScoreTime, p.replay);
    };
    EXPECT_EQ(fields(*read), fields(sent));

    // The largest file fits the body limit; one byte more is not sent.
    ReplayPost largest = sent;
    largest.userName = std::string(USER_NAME_MAX_CHARS, 'u');
    largest.password = std::string(PASSWORD_MAX_CHARS, 'p');
    largest.score = INT32_MIN;
    largest.bestScoreTime = INT32_MIN;
    largest.replay.assign(REPLAY_FILE_MAX_BYTES, 0xFF);
    const auto big = encodeReplayPost(largest);
    ASSERT_TRUE(big);
    EXPECT_LE(big->size(), REPLAY_POST_MAX_BYTES);
    EXPECT_TRUE(decodeReplayPost(*big, why)) << why;
    largest.replay.push_back(0);
    EXPECT_FALSE(encodeReplayPost(largest));
    EXPECT_FALSE(encodeReplayPost(ReplayPost{})); // no file

    for (const std::string& bad :
         {std::string(""), withField(*body, "f1", "X"), withField(*body, "f4", scrambleField("many")),
          *body + "&more=1", *body + "=", body->substr(0, body->size() - 1) + "*",
          body->substr(0, body->find("replay=") + 7), *body + std::string(REPLAY_POST_MAX_BYTES, 'A')}) {
        EXPECT_FALSE(decodeReplayPost(bad, why)) << bad.substr(0, 80);
        EXPECT_FALSE(why.empty());
    }
}

TEST(Base64Url, KnownTextsEachByteStringHasOneTextAndForeignCharactersAreRefused) {
    auto bytes = [](std::string_view s) { return std::vector<uint8_t>(s.begin(), s.end()); };
    const struct {
        const char* plain;
        const char* text;
    } known[] = {{"", ""},           {"f", "Zg"},          {"fo", "Zm8"},          {"foo", "Zm9v"},
                 {"foob", "Zm9vYg"}, {"fooba", "Zm9vYmE"}, {"foobar", "Zm9vYmFy"}, {"\xFB\xFF\xBF", "-_-_"}};
    for (const auto& k : known) {
        EXPECT_EQ(base64UrlEncode(bytes(k.plain)), k.text);
        EXPECT_EQ(base64UrlDecode(k.text), bytes(k.plain));
    }
    for (const char* bad : {"Z", "Zh", "Zm9", "Zm9v=", "Zg==", "Zm+v", "Zm/v", "Zm9v\n", "Zm 9"})
        EXPECT_FALSE(base64UrlDecode(bad)) << bad;
}

TEST(Paths, QueryValuesAreEscapedAndThePagesCarryThem) {
    EXPECT_EQ(queryEscape("a-b_c.d~e09AZ"), "a-b_c.d~e09AZ");
    EXPECT_EQ(queryEscape("a b&c=d+e/\xE5%"), "a%20b%26c%3Dd%2Be%2F%E5%25");
    EXPECT_EQ(passwordHelpPage("anna+x@example.se"), "/getpass.asp?mail=anna%2Bx%40example.se");
    EXPECT_EQ(signupPage("anna+x@example.se"), "/registrera/?mail=anna%2Bx%40example.se");
    EXPECT_EQ(versionPage(6), "/version.asp?gameid=6");
}

} // namespace
} // namespace tundrix::protocol
