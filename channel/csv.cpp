// Quoting and formula neutralising of CSV cells, as OWASP advises against CSV injection.
#include "channel/csv.h"

namespace tundrix::channel {

std::string csvCell(std::string_view text) {
    const bool formula =
        !text.empty() && std::string_view("=+-@\t\r").find(text.front()) != std::string_view::npos;
    if (!formula && text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
    // A leading apostrophe makes the spreadsheet take the cell as text; quoted, the cell keeps it.
    std::string out = formula ? "\"'" : "\"";
    for (char ch : text)
        out += ch == '"' ? std::string("\"\"") : std::string(1, ch);
    return out + "\"";
}

} // namespace tundrix::channel
