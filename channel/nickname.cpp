// Nickname rules on ICU: normalisation, character classes and the confusable skeleton of UTS #39.
#include "channel/nickname.h"

#include <unicode/uchar.h>
#include <unicode/unorm2.h>
#include <unicode/uspoof.h>
#include <unicode/ustring.h>
#include <unicode/utf16.h>
#include <unicode/utf8.h>

#include <vector>

namespace tundrix::channel {
namespace {

using Text = std::vector<UChar>;

std::optional<Text> toUtf16(std::string_view utf8) {
    if (utf8.size() > 4096) return std::nullopt;
    Text out(utf8.size() + 1);
    int32_t length = 0;
    UErrorCode status = U_ZERO_ERROR;
    u_strFromUTF8(out.data(), static_cast<int32_t>(out.size()), &length, utf8.data(),
                  static_cast<int32_t>(utf8.size()), &status);
    if (U_FAILURE(status)) return std::nullopt;
    out.resize(static_cast<size_t>(length));
    return out;
}

std::string toUtf8(const Text& text) {
    std::string out(text.size() * 3 + 1, '\0');
    int32_t length = 0;
    UErrorCode status = U_ZERO_ERROR;
    u_strToUTF8(out.data(), static_cast<int32_t>(out.size()), &length, text.data(),
                static_cast<int32_t>(text.size()), &status);
    out.resize(U_SUCCESS(status) ? static_cast<size_t>(length) : 0);
    return out;
}

// Runs one of ICU's "write into a buffer" functions, growing the buffer once if it was too small.
template <class Call> Text transformed(const Text& in, Call call) {
    Text out(in.size() * 2 + 16);
    for (int attempt = 0; attempt < 2; ++attempt) {
        UErrorCode status = U_ZERO_ERROR;
        const int32_t length = call(in.data(), static_cast<int32_t>(in.size()), out.data(),
                                    static_cast<int32_t>(out.size()), &status);
        if (status == U_BUFFER_OVERFLOW_ERROR) {
            out.resize(static_cast<size_t>(length) + 1);
            continue;
        }
        if (U_FAILURE(status)) return {};
        out.resize(static_cast<size_t>(length));
        return out;
    }
    return {};
}

Text nfkc(const Text& in) {
    UErrorCode status = U_ZERO_ERROR;
    const UNormalizer2* normalizer = unorm2_getNFKCInstance(&status);
    if (U_FAILURE(status)) return {};
    return transformed(in, [normalizer](const UChar* s, int32_t n, UChar* d, int32_t cap, UErrorCode* e) {
        return unorm2_normalize(normalizer, s, n, d, cap, e);
    });
}

const USpoofChecker* spoofChecker() {
    // Configured once; ICU allows concurrent skeleton look-ups on one checker.
    static USpoofChecker* checker = [] {
        UErrorCode status = U_ZERO_ERROR;
        USpoofChecker* made = uspoof_open(&status);
        return U_SUCCESS(status) ? made : nullptr;
    }();
    return checker;
}

// What makes a character unfit for a nickname, or nullptr.
const char* unfit(UChar32 c) {
    switch (u_charType(c)) {
    case U_CONTROL_CHAR:
    case U_FORMAT_CHAR: // zero-width and direction marks among them
    case U_UNASSIGNED:
    case U_PRIVATE_USE_CHAR:
    case U_SURROGATE:
    case U_LINE_SEPARATOR:
    case U_PARAGRAPH_SEPARATOR:
        return "Smeknamnet har ett osynligt tecken eller ett styrtecken. / The nickname has an invisible or "
               "control character.";
    default:
        break;
    }
    if (u_hasBinaryProperty(c, UCHAR_DEFAULT_IGNORABLE_CODE_POINT) ||
        u_hasBinaryProperty(c, UCHAR_BIDI_CONTROL))
        return "Smeknamnet har ett osynligt tecken eller ett styrtecken. / The nickname has an invisible or "
               "control character.";
    return nullptr;
}

bool isMark(UChar32 c) {
    const int8_t type = u_charType(c);
    return type == U_NON_SPACING_MARK || type == U_ENCLOSING_MARK || type == U_COMBINING_SPACING_MARK;
}

} // namespace

bool validUtf8(std::string_view text) {
    int32_t i = 0;
    const auto length = static_cast<int32_t>(text.size());
    const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
    while (i < length) {
        UChar32 c = 0;
        U8_NEXT(bytes, i, length, c);
        if (c < 0) return false;
    }
    return true;
}

std::string nicknameKey(std::string_view utf8) {
    const std::optional<Text> text = toUtf16(utf8);
    const USpoofChecker* checker = spoofChecker();
    if (!text || !checker) return std::string(utf8);
    // The skeleton first (it maps a Cyrillic capital to the Latin capital it resembles), then the case.
    const Text skeleton =
        transformed(nfkc(*text), [checker](const UChar* s, int32_t n, UChar* d, int32_t cap, UErrorCode* e) {
            return uspoof_getSkeleton(checker, 0, s, n, d, cap, e);
        });
    return toUtf8(transformed(skeleton, [](const UChar* s, int32_t n, UChar* d, int32_t cap, UErrorCode* e) {
        return u_strFoldCase(d, cap, s, n, U_FOLD_CASE_DEFAULT, e);
    }));
}

std::optional<Nickname> checkNickname(std::string_view utf8, std::string& problem) {
    const std::optional<Text> typed = toUtf16(utf8);
    if (!typed) {
        problem = "Smeknamnet är inte giltig text. / The nickname is not valid text.";
        return std::nullopt;
    }
    // Blanks around it go after the normal form is made: it may turn a character into one (an ideographic
    // space, an accent on its own).
    Text text = nfkc(*typed);
    const auto blank = [](UChar c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.back()))
        text.pop_back();
    size_t lead = 0;
    while (lead < text.size() && blank(text[lead]))
        ++lead;
    text.erase(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(lead));
    size_t characters = 0;
    int marksInARow = 0;
    for (int32_t i = 0; i < static_cast<int32_t>(text.size());) {
        UChar32 c = 0;
        U16_NEXT(text.data(), i, static_cast<int32_t>(text.size()), c);
        ++characters;
        if (const char* why = unfit(c)) {
            problem = why;
            return std::nullopt;
        }
        // A letter may carry an accent or two; a stack of them would run over the rows around it, and one
        // with no letter under it would sit on whatever comes before the name.
        marksInARow = isMark(c) ? marksInARow + 1 : 0;
        if (characters == 1 && marksInARow > 0) {
            problem = "Smeknamnet börjar med en accent. / The nickname starts with an accent.";
            return std::nullopt;
        }
        if (marksInARow > 2) {
            problem = "Smeknamnet har för många accenter på ett tecken. / The nickname has too many accents "
                      "on one character.";
            return std::nullopt;
        }
        if (c == '@') {
            // Leaderboards are public: a nickname must never be an e-mail address.
            problem = "Smeknamnet får inte innehålla @. / The nickname must not contain @.";
            return std::nullopt;
        }
    }
    if (characters < NICKNAME_MIN_CHARS || characters > NICKNAME_MAX_CHARS) {
        const std::string range =
            std::to_string(NICKNAME_MIN_CHARS) + " till " + std::to_string(NICKNAME_MAX_CHARS);
        const std::string rangeEn =
            std::to_string(NICKNAME_MIN_CHARS) + " to " + std::to_string(NICKNAME_MAX_CHARS);
        problem =
            "Smeknamnet ska ha " + range + " tecken. / The nickname must have " + rangeEn + " characters.";
        return std::nullopt;
    }
    Nickname out;
    out.text = toUtf8(text);
    out.key = nicknameKey(out.text);
    return out;
}

} // namespace tundrix::channel
