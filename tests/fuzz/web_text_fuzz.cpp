// Feeds arbitrary bytes to the channel's readers of web text: form fields and request targets, cookies,
// the proxy's client address, nicknames, CSV cells, reset links' tokens and the mail a typed address and
// nickname go into.
#include "channel/client_address.h"
#include "channel/csv.h"
#include "channel/http/form_fields.h"
#include "channel/mail_relay.h"
#include "channel/nickname.h"
#include "channel/password_resets.h"
#include "channel/sessions.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace tundrix::channel;
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    const Fields fields = parseFormFields(text);
    if (fields.size() > MAX_FIELDS) std::abort();
    for (const auto& [name, value] : fields)
        if (name.size() + value.size() > text.size()) std::abort();
    HttpRequest request;
    readTarget(request, text);
    if (request.path.size() > text.size()) std::abort();
    if (cookieValue(text, "tundrix_session").size() > text.size()) std::abort();

    const std::string client = clientAddress("127.0.0.1", text, text, {"127.0.0.1"});
    if (client != "127.0.0.1" && !normalAddress(client)) std::abort();

    std::string problem;
    if (const auto nick = checkNickname(text, problem)) {
        // A kept nickname is valid text of a length the rules allow, and passes the rules again as it is.
        if (!validUtf8(nick->text) || nick->key != nicknameKey(nick->text)) std::abort();
        std::string again;
        const auto twice = checkNickname(nick->text, again);
        if (!twice || twice->text != nick->text) std::abort();
    } else if (problem.empty()) {
        std::abort();
    }
    const std::string cell = csvCell(text);
    if (!cell.empty() && std::string_view("=+-@\t\r").find(cell.front()) != std::string_view::npos)
        std::abort();

    if (resetTokenShaped(text) && text.find_first_not_of("0123456789abcdef") != std::string_view::npos)
        std::abort();
    // Whatever the address, subject and body, the mail has its own headers only, one a line.
    MailRelay relay;
    relay.from = "kanalen@example.se";
    const size_t third = text.size() / 3;
    const std::string to(text.substr(0, third)), subject(text.substr(third, third));
    const std::optional<std::string> mail =
        mailMessage(relay, {to, subject, std::string(text.substr(2 * third))}, 0);
    if (mail) {
        const std::string_view head = std::string_view(*mail).substr(0, mail->find("\r\n\r\n") + 2);
        static constexpr std::string_view NAMES[] = {
            "From: ",          "To: ",           "Subject: ",      "Date: ",
            "Message-ID: ",    "MIME-Version: ", "Content-Type: ", "Content-Transfer-Encoding: ",
            "Auto-Submitted: "};
        size_t named = 0;
        for (size_t at = 0, end; at < head.size(); at = end + 2) {
            end = head.find("\r\n", at);
            if (end == std::string_view::npos) std::abort();
            const std::string_view line = head.substr(at, end - at);
            if (line.find_first_of("\r\n") != std::string_view::npos) std::abort();
            if (line.rfind(" =?UTF-8?B?", 0) != 0) {
                if (named == std::size(NAMES) || line.rfind(NAMES[named], 0) != 0) std::abort();
                ++named;
            }
        }
        if (named != std::size(NAMES)) std::abort();
    }
    return 0;
}
