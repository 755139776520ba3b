// The best games' dialog: the player's table and the channel's top ten, two pages turned by Left and Right.
#include "shell/dialog_texts.h"
#include "shell/imgui/dialog_widgets.h"
#include "shell/imgui/shell_ui.h"
#include "shell/imgui/ui_theme.h"

#include <imgui.h>
#include <iterator>

namespace tundrix {

void ShellUi::showBestGames(std::optional<size_t> newPlace, const std::vector<BestGame>& table) {
    if (topTen) topTen->start();
    std::vector<ChannelScore> channel = topTen ? topTen->latest() : std::vector<ChannelScore>{};
    const ImU32 newRow = IM_COL32(255, 214, 110, 90);
    const ImGuiTableFlags flags =
        ImGuiTableFlags_RowBg | ImGuiTableFlags_SizingFixedFit | ImGuiTableFlags_NoHostExtendX;
    // Two pages, the player's own and the channel's; Left and Right turn between them.
    int shownPage = 0, wanted = -1;
    const std::string title = newPlace ? newPlaceCaption(*newPlace) : std::string(BEST_GAMES_CAPTION);
    runModal(
        title, BEST_GAMES_SIZE, false,
        [&] {
            if (!channel.empty() && (keyPressed(ShellKey::Left) || keyPressed(ShellKey::Right)))
                wanted = 1 - shownPage;
            ImGui::PushStyleVar(ImGuiStyleVar_CellPadding, ImVec2(5.0f, 0.0f));
            ImGui::PushStyleVar(ImGuiStyleVar_ItemSpacing, ImVec2(6.0f, 2.0f));
            if (ImGui::BeginTabBar("pages")) {
                const auto tab = [&](const char* label, int which) {
                    if (!ImGui::BeginTabItem(label, nullptr,
                                             wanted == which ? ImGuiTabItemFlags_SetSelected : 0))
                        return false;
                    shownPage = which;
                    return true;
                };
                if (tab(OWN_BEST_PAGE, 0)) {
                    if (table.empty()) ImGui::TextDisabled("%s", NO_GAMES_YET);
                    if (!table.empty() &&
                        ImGui::BeginTable("mine", static_cast<int>(std::size(BEST_GAMES_HEADINGS)), flags)) {
                        for (const char* heading : BEST_GAMES_HEADINGS)
                            ImGui::TableSetupColumn(heading);
                        ImGui::TableHeadersRow();
                        for (size_t i = 0; i < table.size(); ++i) {
                            const BestGame& g = table[i];
                            ImGui::TableNextRow();
                            if (newPlace && *newPlace == i)
                                ImGui::TableSetBgColor(ImGuiTableBgTarget_RowBg1, newRow);
                            ImGui::TableNextColumn();
                            ImGui::Text("%zu.", i + 1);
                            ImGui::TableNextColumn();
                            ImGui::Text("%d", g.score);
                            ImGui::TableNextColumn();
                            ImGui::Text("%d", g.periods);
                            ImGui::TableNextColumn();
                            ImGui::TextUnformatted(g.date.c_str());
                            ImGui::TableNextColumn();
                            ImGui::TextUnformatted(mascotName(g.mascot));
                            ImGui::TableNextColumn();
                            ImGui::TextUnformatted(playModeName(g.mode));
                        }
                        ImGui::EndTable();
                    }
                    ImGui::EndTabItem();
                }
                if (!channel.empty() && tab(TOP_TEN_PAGE, 1)) {
                    if (ImGui::BeginTable("channel", 3, flags)) {
                        for (size_t i = 0; i < channel.size(); ++i) {
                            ImGui::TableNextRow();
                            ImGui::TableNextColumn();
                            ImGui::Text("%zu.", i + 1);
                            ImGui::TableNextColumn();
                            ImGui::TextUnformatted(channel[i].name.c_str());
                            ImGui::TableNextColumn();
                            ImGui::Text("%d", channel[i].score);
                        }
                        ImGui::EndTable();
                    }
                    ImGui::EndTabItem();
                }
                ImGui::EndTabBar();
            }
            // A page asked for shows on the next frame.
            if (wanted == shownPage) wanted = -1;
            if (wanted >= 0) host_.wake();
            ImGui::PopStyleVar(2);
            ImGui::Spacing();
            centred(buttonWidth(OK_LABEL));
            if (themedButton(OK_LABEL, true) || keyPressed(ShellKey::Enter) || keyPressed(ShellKey::Escape)) {
                session_.closeInformation();
                return Close::Done;
            }
            return Close::Stay;
        },
        [&] {
            // The channel's list may come while the dialog stands open.
            if (!topTen || !channel.empty()) return Close::Stay;
            channel = topTen->latest();
            if (!channel.empty()) host_.wake();
            return Close::Stay;
        });
}

} // namespace tundrix
