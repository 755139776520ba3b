// The command line's parsing and the help text of every subcommand, written once for both.
#include "channel/command_line.h"

#include "channel/mail_relay.h"

#include <array>
#include <sstream>
#include <string_view>

namespace tundrix::channel {
namespace {

struct Option {
    const char* name;
    const char* meaning; // with its default
};

struct Subcommand {
    const char* words;
    const char* arguments;
    const char* what;
    std::vector<Option> options;
};

const std::vector<Subcommand>& subcommands() {
    static const std::string SMTP_USER_HELP = std::string("log in to the relay as NAME, with the password in "
                                                          "the environment variable ") +
                                              SMTP_PASSWORD_VARIABLE + " (default: no log-in)";
    static const std::vector<Subcommand> all = {
        {"serve",
         "",
         "Serves the channel's pages and the game's score form until SIGINT or SIGTERM.",
         {{"--create",
           "make the database (and its folder) if it is missing (default: a missing one is an error)"},
          {"--listen ADDRESS:PORT", "where to listen (default 127.0.0.1:8080; port 0 picks a free one)"},
          {"--contact TEXT", "who members write to, shown on the password page (default: none)"},
          {"--public-url URL",
           "the site's address as visitors see it, for links and secure cookies (default: none)"},
          {"--download-url URL", "where the game is downloaded (default: none)"},
          {"--trusted-proxy ADDRESS[,ADDRESS...]",
           "proxies whose X-Forwarded-For is believed (default: none)"},
          {"--workers N", "threads answering pages, 1 to 256 (default: one per processor core)"},
          {"--rate-limits on|off", "limit posts and log-ins per address and name (default on)"},
          {"--credential-cache SECONDS",
           "how long a checked password is remembered, 0 to 3600 (default 600)"},
          {"--smtp-host HOST",
           "the SMTP relay that mails members a one-time link to a new password (default: none; the "
           "password page names --contact instead); needs --mail-from and --public-url"},
          {"--smtp-port PORT", "the relay's port (default 587, 465 with --smtp-tls tls, 25 with off)"},
          {"--smtp-tls starttls|tls|off",
           "STARTTLS required, TLS from the start, or plain text for a relay on this machine (default "
           "starttls)"},
          {"--smtp-user NAME", SMTP_USER_HELP.c_str()},
          {"--mail-from ADDRESS", "the sender of the mails (default: none; required with --smtp-host)"}}},
        {"user add",
         "EMAIL",
         "Adds a member; the password is read from standard input.",
         {{"--nickname NAME", "the name on the boards (default: the address before the @)"}}},
        {"user reset-password",
         "EMAIL",
         "Sets a member's password, read from standard input, and ends their sessions.",
         {}},
        {"user list", "", "Lists every member: number, address, nickname, recruiter, day joined.", {}},
        {"member ban",
         "MEMBER",
         "Keeps a member (number, address or nickname) off the boards and the draws and ends their sessions; "
         "their "
         "scores are still kept, flagged.",
         {{"--reason TEXT", "why, kept in the moderation log (default: none)"}}},
        {"member unban", "MEMBER", "Lifts a ban.", {{"--reason TEXT", "why, for the log (default: none)"}}},
        {"member rename",
         "MEMBER NICKNAME",
         "Gives a member another nickname, under the sign-up's rules.",
         {{"--reason TEXT", "why, for the log (default: none)"}}},
        {"score hide",
         "SCORE",
         "Takes a score (its number, from flagged or replays) off the boards.",
         {{"--reason TEXT", "why, for the log (default: none)"}}},
        {"score show",
         "SCORE",
         "Puts a hidden score back on the boards.",
         {{"--reason TEXT", "why, for the log (default: none)"}}},
        {"score delete",
         "SCORE",
         "Removes a score and its recording for good.",
         {{"--reason TEXT", "why, for the log (default: none)"}}},
        {"flagged",
         "",
         "Lists the scores the checks flagged, newest first, with their reasons (tab-separated).",
         {{"--limit N", "how many, 1 to 10000 (default 100)"}}},
        {"moderation",
         "",
         "Lists what the operator did to scores, members, competitions and draws.",
         {{"--limit N", "how many, newest first, 1 to 10000 (default 100)"}}},
        {"announce",
         "TEXT",
         "Shows a line on the home page up to and including a day.",
         {{"--until YYYY-MM-DD", "the last day it is shown (required)"}}},
        {"backup",
         "FILE",
         "Copies the whole database into a new FILE with SQLite's online backup: safe while the channel "
         "serves. To restore: stop the channel, put FILE in place of channel.db, remove channel.db-wal and "
         "channel.db-shm, start it.",
         {}},
        {"release add",
         "VERSION (CRC LENGTH | --from FILE)",
         "Makes a build of the game known, by the CRC-32 and length the game sends of its own program file.",
         {{"--from FILE", "the released program file: its CRC-32 and length are measured as the game does "
                          "(default: CRC and LENGTH given, CRC decimal or 0x hex)"}}},
        {"release list", "", "Lists the known builds, newest version first.", {}},
        {"competition add",
         "",
         "Sets up a competition; several may run at once. Prints its number.",
         {{"--kind daily|weekly|period|recruiting",
           "a round every day, every ISO week, one for all its days, or the most recruits (required)"},
          {"--name-sv TEXT", "its name in Swedish (required)"},
          {"--name-en TEXT", "its name in English (default: the Swedish one)"},
          {"--from YYYY-MM-DD", "its first day (default: today)"},
          {"--to YYYY-MM-DD", "its last day (required)"},
          {"--rules-sv TEXT", "rules of its own besides the channel's, in Swedish (default: none)"},
          {"--rules-en TEXT", "the same in English (default: none)"},
          {"--prizes-sv TEXT", "what the winners get, in Swedish (default: none)"},
          {"--prizes-en TEXT", "the same in English (default: none)"},
          {"--winners N", "winners per round, 1 to 100 (default 1)"},
          {"--draw-among N",
           "draw the winners by lot among this many best (and all level with the last of them); 0: the "
           "best win (default 0)"}}},
        {"competition list", "", "Lists the competitions, newest first, and whether each runs.", {}},
        {"competition end", "ID", "Ends a competition before its last day.", {}},
        {"winners",
         "",
         "The round's standings as CSV (times in the server's time zone with its offset), or a "
         "competition's winners drawn as its rules say.",
         {{"--day YYYY-MM-DD",
           "the day's standings, or the round of a daily competition (default: none; one of --day, --week or "
           "--competition is required)"},
          {"--week YYYY-Www",
           "the ISO week's standings, or the round of a weekly competition (default: none)"},
          {"--competition ID",
           "draw that competition's winners; a period or recruiting one needs no round (default: none)"},
          {"--seed TEXT",
           "the lot's seed: the same seed draws the same winners (default: a new one, printed)"},
          {"--publish", "keep the draw and show its winners on the competition's page (default: only print)"},
          {"--unverified",
           "count scores whose game was not played again too (default: verified ones only)"}}},
        {"replays",
         "",
         "The recordings sent with scores that were not verified, and why.",
         {{"--all", "every recording (default: those not verified)"}}},
    };
    return all;
}

bool startsWith(const Subcommand& s, const std::vector<std::string>& words) {
    std::string joined;
    for (const std::string& w : words) {
        if (!joined.empty()) joined += ' ';
        joined += w;
    }
    const std::string_view name = s.words;
    return name == joined || (name.size() > joined.size() && name.substr(0, joined.size()) == joined &&
                              name[joined.size()] == ' ');
}

} // namespace

Parsed parse(const std::vector<std::string>& args) {
    static constexpr std::array<const char*, 6> FLAGS = {"help", "create",  "unverified",
                                                         "all",  "publish", "early"};
    Parsed p;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i].rfind("--", 0) == 0 && args[i].size() > 2) {
            std::string name = args[i].substr(2);
            const size_t eq = name.find('=');
            bool flag = false;
            for (const char* f : FLAGS)
                flag = flag || name == f;
            if (eq != std::string::npos) {
                p.options[name.substr(0, eq)] = name.substr(eq + 1);
            } else if (flag) {
                p.options[name] = "";
            } else if (i + 1 < args.size()) {
                p.options[name] = args[++i];
            } else {
                p.error = "--" + name + " needs a value";
            }
        } else {
            p.words.push_back(args[i]);
        }
    }
    return p;
}

std::string usage() {
    std::ostringstream out;
    out << "usage: tundrix-channel [--db FILE] COMMAND [OPTIONS]\n"
           "  (FILE defaults to $XDG_DATA_HOME/tundrix-channel/channel.db, else\n"
           "   ~/.local/share/tundrix-channel/channel.db; COMMAND --help explains each option)\n";
    for (const Subcommand& s : subcommands()) {
        out << "  " << s.words;
        if (*s.arguments) out << " " << s.arguments;
        for (const Option& o : s.options)
            out << " [" << o.name << "]";
        out << "\n";
    }
    return out.str();
}

std::optional<std::string> helpFor(const std::vector<std::string>& words) {
    std::ostringstream out;
    bool any = false;
    for (const Subcommand& s : subcommands()) {
        if (!startsWith(s, words)) continue;
        any = true;
        out << "tundrix-channel [--db FILE] " << s.words;
        if (*s.arguments) out << " " << s.arguments;
        out << "\n  " << s.what << "\n";
        for (const Option& o : s.options)
            out << "    " << o.name << "\n        " << o.meaning << "\n";
        out << "\n";
    }
    if (!any) return std::nullopt;
    return out.str();
}

} // namespace tundrix::channel
