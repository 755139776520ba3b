// The size of every ImGui dialog, each written once.
#pragma once

namespace tundrix {

// A dialog's width and height in ImGui's pixels; a height of 0 makes it as high as its contents need.
struct DialogSize {
    float width;
    float height;
};
// The dialogs with a field to type into share one width, the two that show a text or a table another.
constexpr float FIELD_DIALOG_WIDTH = 436.0f;
constexpr float TEXT_DIALOG_WIDTH = 424.0f;
constexpr DialogSize QUESTION_SIZE{340.0f, 0.0f};
constexpr DialogSize MESSAGE_SIZE{360.0f, 0.0f};
constexpr DialogSize INFORMATION_SIZE{TEXT_DIALOG_WIDTH, 292.0f};
constexpr DialogSize BEST_GAMES_SIZE{TEXT_DIALOG_WIDTH, 0.0f};
constexpr DialogSize REGISTER_SIZE{FIELD_DIALOG_WIDTH, 0.0f};
constexpr DialogSize OPEN_REPLAY_SIZE{FIELD_DIALOG_WIDTH, 0.0f};

} // namespace tundrix
