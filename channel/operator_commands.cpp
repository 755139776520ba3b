// score hide/show/delete, member ban/unban/rename, flagged, moderation, announce and backup: the
// operator's hand on the channel without SQL, each change logged.
#include "channel/operator_commands.h"

#include "channel/accounts.h"
#include "channel/calendar.h"
#include "channel/csv.h"
#include "channel/nickname.h"
#include "protocol/form_text.h"

#include <ctime>
#include <iostream>

namespace tundrix::channel {
namespace {

constexpr int LIST_DEFAULT = 100;
constexpr uint32_t LIST_MAX = 10000;

int64_t now() {
    return static_cast<int64_t>(std::time(nullptr));
}

int wrong(CommandContext& c, const std::string& command) {
    c.err << "tundrix-channel: " << command << " wants other arguments; see tundrix-channel " << command
          << " --help\n";
    return 2;
}

// What the store's answer means to the operator, as the exit status.
int report(CommandContext& c, Moderated m, const std::string& done, const std::string& what) {
    switch (m) {
    case Moderated::Done:
        c.out << done << "\n";
        return 0;
    case Moderated::NotFound:
        c.err << "tundrix-channel: no " << what << "\n";
        return 1;
    case Moderated::Taken:
        c.err << "tundrix-channel: " << what << " is taken\n";
        return 1;
    case Moderated::Failed:
        break;
    }
    c.err << "tundrix-channel: the change could not be stored\n";
    return 1;
}

std::optional<int> listLimit(const Parsed& p, CommandContext& c) {
    if (!p.has("limit")) return LIST_DEFAULT;
    const std::optional<uint32_t> n = protocol::parseUint32(p.get("limit"));
    if (!n || *n < 1 || *n > LIST_MAX) {
        c.err << "tundrix-channel: --limit wants 1 to " << LIST_MAX << "\n";
        return std::nullopt;
    }
    return static_cast<int>(*n);
}

// A member by number, address or nickname.
std::optional<Member> findMember(Store& store, const std::string& which, CommandContext& c) {
    const std::optional<uint32_t> id = protocol::parseUint32(which);
    const Lookup<Member> m = id ? store.memberById(*id)
                             : which.find('@') != std::string::npos
                                 ? store.memberByEmail(canonicalUserName(which))
                                 : store.memberByNickname(which);
    if (!m.row)
        c.err << "tundrix-channel: " << (m.failed ? "cannot read the members" : "no member " + which) << "\n";
    return m.row;
}

} // namespace

int scoreCommand(Store& store, const Parsed& p, CommandContext& c) {
    const std::string what = p.words.size() > 1 ? p.words[1] : "";
    const int64_t id = p.words.size() == 3 ? protocol::parseUint32(p.words[2]).value_or(0) : 0;
    if (id <= 0 || (what != "hide" && what != "show" && what != "delete")) return wrong(c, "score");
    const std::string reason = p.get("reason");
    const std::string name = "score " + std::to_string(id);
    if (what == "delete") return report(c, store.deleteScore(id, reason, now()), name + " deleted", name);
    const bool hide = what == "hide";
    return report(c, store.setScoreHidden(id, hide, reason, now()), name + (hide ? " hidden" : " shown"),
                  name);
}

int memberCommand(Store& store, const Parsed& p, CommandContext& c) {
    const std::string what = p.words.size() > 1 ? p.words[1] : "";
    const bool rename = what == "rename";
    if (p.words.size() != (rename ? 4u : 3u) || (!rename && what != "ban" && what != "unban"))
        return wrong(c, "member");
    const std::optional<Member> m = findMember(store, p.words[2], c);
    if (!m) return 1;
    const std::string name = "member " + std::to_string(m->id) + " (" + m->nickname + ")";
    if (!rename) {
        const bool ban = what == "ban";
        return report(c, store.setBanned(m->id, ban, p.get("reason"), now()),
                      name + (ban ? " banned" : " no longer banned"), name);
    }
    std::string problem;
    const std::optional<Nickname> nick = checkNickname(p.words[3], problem);
    if (!nick) {
        c.err << "tundrix-channel: " << problem << "\n";
        return 1;
    }
    return report(c, store.renameMember(m->id, nick->text, nick->key, p.get("reason"), now()),
                  name + " is now " + nick->text, "the nickname " + nick->text);
}

int flaggedCommand(Store& store, const Parsed& p, CommandContext& c) {
    const std::optional<int> limit = listLimit(p, c);
    if (!limit || p.words.size() != 1) return limit ? wrong(c, "flagged") : 2;
    const auto rows = store.flaggedScores(*limit);
    if (!rows) {
        c.err << "tundrix-channel: the scores cannot be read\n";
        return 1;
    }
    c.out << "score_id\tnickname\temail\tscore\tposted_at\thidden\treason\n";
    for (const FlaggedScore& f : *rows)
        c.out << f.scoreId << "\t" << f.nickname << "\t" << f.email << "\t" << f.score << "\t"
              << localTime(f.at) << "\t" << (f.hidden ? "yes" : "no") << "\t" << f.reason << "\n";
    return 0;
}

int moderationCommand(Store& store, const Parsed& p, CommandContext& c) {
    const std::optional<int> limit = listLimit(p, c);
    if (!limit || p.words.size() != 1) return limit ? wrong(c, "moderation") : 2;
    const auto rows = store.moderationLog(*limit);
    if (!rows) {
        c.err << "tundrix-channel: the log cannot be read\n";
        return 1;
    }
    c.out << "at\taction\ttarget\tdetail\n";
    for (const ModerationEntry& e : *rows)
        c.out << localTime(e.at) << "\t" << e.action << "\t" << e.target << "\t" << e.detail << "\n";
    return 0;
}

int announceCommand(Store& store, const Parsed& p, CommandContext& c) {
    // One line of at most a tweet's length: it sits on the home page above the boards.
    constexpr size_t ANNOUNCEMENT_MAX_BYTES = 280;
    const std::string until = p.get("until");
    if (p.words.size() != 2 || !isDay(until)) return wrong(c, "announce");
    const std::string& text = p.words[1];
    if (text.empty() || text.size() > ANNOUNCEMENT_MAX_BYTES || !validUtf8(text) ||
        text.find_first_of("\r\n") != std::string::npos) {
        c.err << "tundrix-channel: the announcement is one line of UTF-8 text, at most "
              << ANNOUNCEMENT_MAX_BYTES << " bytes\n";
        return 2;
    }
    if (!store.addAnnouncement({text, until}, now())) {
        c.err << "tundrix-channel: the announcement could not be stored\n";
        return 1;
    }
    c.out << "announced until " << until << "\n";
    return 0;
}

int backupCommand(Store& store, const Parsed& p, CommandContext& c) {
    if (p.words.size() != 2) return wrong(c, "backup");
    std::string error;
    if (!store.backup(p.words[1], error)) {
        c.err << "tundrix-channel: backup: " << error << "\n";
        return 1;
    }
    c.out << "backed up to " << p.words[1] << "\n";
    return 0;
}

} // namespace tundrix::channel
