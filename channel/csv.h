// CSV cells for the operator's spreadsheets, safe to open: quoted where needed, and a cell that a
// spreadsheet would run as a formula (=, +, -, @, a tab or a carriage return first) shown as text.
#pragma once
#include <string>
#include <string_view>

namespace tundrix::channel {

std::string csvCell(std::string_view text);

} // namespace tundrix::channel
