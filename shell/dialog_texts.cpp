// The dialogs' texts that are put together from what the game knows: a score, a place, a mascot, a mode.
#include "shell/dialog_texts.h"

namespace tundrix {

std::string registerScoreCaption(int score) {
    return "Registrera din poäng / Register your score (" + std::to_string(score) + ")";
}

std::string registeredText(const RegisterOutcome& outcome) {
    std::string text = REGISTERED_TEXT;
    if (!outcome.unverified.empty()) text += "\n\n" + outcome.unverified;
    return text;
}

std::string newPlaceCaption(size_t place) {
    const std::string number = std::to_string(place + 1);
    return "Ny plats: nr " + number + "! / New place: no. " + number + "!";
}

const char* mascotName(uint8_t mascot) {
    return mascot == 1 ? "Brum" : "Vessa";
}

const char* playModeName(PlayMode mode) {
    return mode == PlayMode::Easier ? "Lättare / Easier" : "Original";
}

} // namespace tundrix
