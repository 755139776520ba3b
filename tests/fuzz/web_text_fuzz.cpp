// Feeds arbitrary bytes to the channel's readers of web text: form fields and request targets, cookies,
// the proxy's client address, nicknames and CSV cells.
#include "channel/client_address.h"
#include "channel/csv.h"
#include "channel/http/form_fields.h"
#include "channel/nickname.h"
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
    return 0;
}
