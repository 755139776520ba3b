// The five texts of the information dialog: rules, competition rules and about, in Swedish and English
// (no SDL here).
#pragma once
#include <string>

namespace tundrix {

constexpr int INFO_TEXT_COUNT = 5;
// Text 0 rules, 1 competition rules, 2 about the channel (Swedish); 3 about the channel, 4 rules
// (English). An index outside 0..4 gives an empty text.
std::string infoText(int index);

} // namespace tundrix
