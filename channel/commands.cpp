// serve, user add / reset-password / list, release add / list, and winners for the prize draw.
#include "channel/commands.h"

#include "channel/accounts.h"
#include "channel/calendar.h"
#include "channel/client_address.h"
#include "channel/crypto.h"
#include "channel/csv.h"
#include "channel/http/listen_socket.h"
#include "channel/server.h"
#include "channel/store.h"
#include "protocol/form_text.h"
#include "protocol/replay_post.h"

#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <ctime>
#include <filesystem>
#include <iostream>
#include <map>
#include <sstream>

namespace tundrix::channel {
namespace {

int64_t now() {
    return static_cast<int64_t>(std::time(nullptr));
}

// The command's words and its "--name value" options, apart.
struct Parsed {
    std::vector<std::string> words;
    std::map<std::string, std::string> options;
    std::string error;
};

Parsed parse(const std::vector<std::string>& args) {
    Parsed p;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i].rfind("--", 0) == 0 && args[i].size() > 2) {
            std::string name = args[i].substr(2);
            const size_t eq = name.find('=');
            if (eq != std::string::npos) {
                p.options[name.substr(0, eq)] = name.substr(eq + 1);
            } else if (name == "help" || name == "create" || name == "unverified" || name == "all") {
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

// Reads one line of the password; hides the typing on a terminal.
std::string readPassword(CommandContext& c, const std::string& prompt) {
    termios saved{};
    const bool hide = c.interactive && tcgetattr(STDIN_FILENO, &saved) == 0;
    if (c.interactive) c.err << prompt << std::flush;
    if (hide) {
        termios quiet = saved;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        tcsetattr(STDIN_FILENO, TCSANOW, &quiet);
    }
    std::string line;
    std::getline(c.in, line);
    if (hide) {
        tcsetattr(STDIN_FILENO, TCSANOW, &saved);
        c.err << "\n";
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

std::string utcTime(int64_t seconds) {
    const auto t = static_cast<std::time_t>(seconds);
    std::tm utc{};
    gmtime_r(&t, &utc);
    char out[32];
    std::strftime(out, sizeof out, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return out;
}

int serve(Store& store, const Parsed& p, CommandContext& c) {
    ServerOptions options;
    const std::string listen = p.options.count("listen") ? p.options.at("listen") : "127.0.0.1:8080";
    if (!parseListenAddress(listen, options.address, options.port)) {
        c.err << "tundrix-channel: --listen wants ADDRESS:PORT, not " << listen << "\n";
        return 2;
    }
    if (p.options.count("workers")) {
        const std::optional<uint32_t> n = protocol::parseUint32(p.options.at("workers"));
        if (!n || *n < 1 || *n > 256) {
            c.err << "tundrix-channel: --workers wants 1 to 256\n";
            return 2;
        }
        options.workers = *n;
    }
    if (p.options.count("trusted-proxy")) {
        std::istringstream list(p.options.at("trusted-proxy"));
        for (std::string item; std::getline(list, item, ',');) {
            if (item.empty()) continue; // an empty setting names no proxy
            const std::optional<std::string> address = normalAddress(item);
            if (!address) {
                c.err << "tundrix-channel: --trusted-proxy wants numeric addresses, comma-separated, not "
                      << item << "\n";
                return 2;
            }
            options.trustedProxies.push_back(*address);
        }
    }
    SiteOptions site;
    if (p.options.count("rate-limits")) {
        const std::string& v = p.options.at("rate-limits");
        if (v != "on" && v != "off") {
            c.err << "tundrix-channel: --rate-limits wants on or off\n";
            return 2;
        }
        site.limits.enabled = v == "on";
    }
    if (p.options.count("credential-cache")) {
        const std::optional<uint32_t> seconds = protocol::parseUint32(p.options.at("credential-cache"));
        if (!seconds || *seconds > 3600) {
            c.err << "tundrix-channel: --credential-cache wants 0 to 3600 seconds\n";
            return 2;
        }
        site.credentialLifetime = *seconds;
    }
    site.contact = p.options.count("contact") ? p.options.at("contact") : "";
    site.publicUrl = p.options.count("public-url") ? p.options.at("public-url") : "";
    site.downloadUrl = p.options.count("download-url") ? p.options.at("download-url") : "";
    while (!site.publicUrl.empty() && site.publicUrl.back() == '/')
        site.publicUrl.pop_back();

    ChannelServer server(store, site, options, c.out);
    std::string error;
    if (!server.start(error)) {
        c.err << "tundrix-channel: " << error << "\n";
        return 1;
    }
    const bool v6 = options.address.find(':') != std::string::npos;
    c.out << "tundrix-channel: listening on http://" << (v6 ? "[" : "") << options.address << (v6 ? "]" : "")
          << ":" << server.port() << "/" << std::endl;
    // SIGINT and SIGTERM are blocked in every thread; this one takes them.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    int signal = 0;
    sigwait(&stopSignals, &signal);
    server.stop();
    c.out << "tundrix-channel: stopped" << std::endl;
    return 0;
}

int userCommand(Store& store, const Parsed& p, CommandContext& c) {
    const std::string what = p.words.size() > 1 ? p.words[1] : "";
    if (what == "list" && p.words.size() == 2) {
        c.out << "id\temail\tnickname\trecruiter\tjoined\n";
        for (const Member& m : store.members()) {
            c.out << m.id << "\t" << m.email << "\t" << m.nickname << "\t"
                  << (m.recruiterId ? std::to_string(*m.recruiterId) : "-") << "\t" << dayOf(m.createdAt)
                  << "\n";
        }
        return 0;
    }
    if ((what == "add" || what == "reset-password") && p.words.size() == 3) {
        const std::string& email = p.words[2];
        if (what == "add") {
            const std::string nickname =
                p.options.count("nickname") ? p.options.at("nickname") : nicknameFromEmail(email);
            const std::string password = readPassword(c, "Password for " + email + ": ");
            const SignupResult result = signUp(store, {email, nickname, password, password, ""}, now());
            if (!result.memberId) {
                for (const std::string& e : result.errors)
                    c.err << "tundrix-channel: " << e << "\n";
                return 1;
            }
            c.out << "added member " << *result.memberId << " " << email << " (" << nickname << ")\n";
            return 0;
        }
        const Lookup<Member> member = store.memberByEmail(canonicalUserName(email));
        if (!member.row) {
            c.err << "tundrix-channel: " << (member.failed ? "cannot read the members" : "no member " + email)
                  << "\n";
            return 1;
        }
        std::string error;
        if (!setPassword(store, member.row->id, readPassword(c, "New password for " + email + ": "), error)) {
            c.err << "tundrix-channel: " << error << "\n";
            return 1;
        }
        c.out << "password of " << email << " changed\n";
        return 0;
    }
    c.err << usage();
    return 2;
}

int releaseCommand(Store& store, const Parsed& p, CommandContext& c) {
    const std::string what = p.words.size() > 1 ? p.words[1] : "";
    if (what == "list" && p.words.size() == 2) {
        c.out << "version\tcrc\tlength\tadded\n";
        for (const Release& r : store.releases().value_or(std::vector<Release>{}))
            c.out << r.version << "\t" << r.crc << "\t" << r.length << "\t" << utcTime(r.addedAt) << "\n";
        return 0;
    }
    if (what == "add" && p.words.size() == 5) {
        const std::optional<uint32_t> version = protocol::parseUint32(p.words[2]);
        std::optional<uint32_t> crc = protocol::parseUint32(p.words[3]);
        if (!crc && p.words[3].rfind("0x", 0) == 0 && p.words[3].size() > 2 && p.words[3].size() <= 10 &&
            p.words[3].find_first_not_of("0123456789abcdefABCDEF", 2) == std::string::npos)
            crc = static_cast<uint32_t>(std::stoul(p.words[3].substr(2), nullptr, 16));
        const std::optional<uint32_t> length = protocol::parseUint32(p.words[4]);
        if (!version || *version < 2 || *version > INT32_MAX || !crc || !length) {
            c.err << "tundrix-channel: release add wants VERSION (a whole number above 1), CRC (decimal or "
                     "0x hex) "
                     "and LENGTH (bytes)\n";
            return 2;
        }
        std::string error;
        if (!store.addRelease({*version, *crc, *length, now()}, error)) {
            c.err << "tundrix-channel: that version or build is known already (" << error << ")\n";
            return 1;
        }
        c.out << "release " << *version << " added\n";
        return 0;
    }
    c.err << usage();
    return 2;
}

int winners(Store& store, const Parsed& p, CommandContext& c) {
    const bool week = p.options.count("week") != 0;
    const std::string key = week ? p.options.at("week") : p.options.count("day") ? p.options.at("day") : "";
    if (p.options.count("week") + p.options.count("day") != 1 || (week ? !isWeek(key) : !isDay(key))) {
        c.err << "tundrix-channel: winners wants --day YYYY-MM-DD or --week YYYY-Www\n";
        return 2;
    }
    c.out << "rank,nickname,email,score,posted_at,verified\n";
    int rank = 0;
    // Only scores whose game was played again and reached them win, unless the operator says otherwise.
    const std::optional<std::vector<Ranked>> standings = store.standings(
        week, key, p.options.count("unverified") ? Counted::VerifiedFirst : Counted::VerifiedOnly);
    if (!standings) {
        c.err << "tundrix-channel: the scores cannot be read\n";
        return 1;
    }
    for (const Ranked& r : *standings) {
        c.out << ++rank << "," << csvCell(r.nickname) << "," << csvCell(r.email) << "," << r.score << ","
              << utcTime(r.at) << "," << (r.verified ? "yes" : "no") << "\n";
    }
    return 0;
}

// The recordings sent with scores and what playing them again showed; only those not verified unless
// --all, newest first.
int replaysCommand(Store& store, const Parsed& p, CommandContext& c) {
    c.out << "score_id\tnickname\tscore\tverdict\treceived_at\treason\n";
    for (const ReplayRow& r : store.replays(!p.options.count("all"), 1000)) {
        using protocol::ReplayAnswer;
        const auto is = [&r](ReplayAnswer a) { return r.result == static_cast<int>(a); };
        const char* verdict = is(ReplayAnswer::Verified)     ? "verified"
                              : is(ReplayAnswer::Queued)     ? "queued"
                              : is(ReplayAnswer::Unreadable) ? "unreadable"
                                                             : "disagrees";
        c.out << r.scoreId << "\t" << r.nickname << "\t" << r.score << "\t" << verdict << "\t"
              << utcTime(r.receivedAt) << "\t" << r.reason << "\n";
    }
    return 0;
}

} // namespace

std::string defaultDatabasePath(const char* xdgDataHome, const char* home) {
    std::filesystem::path base;
    if (xdgDataHome && xdgDataHome[0] == '/') {
        base = xdgDataHome;
    } else if (home && home[0] == '/') {
        base = std::filesystem::path(home) / ".local/share";
    } else {
        return "";
    }
    return (base / "tundrix-channel" / "channel.db").string();
}

std::string usage() {
    return "usage: tundrix-channel [--db FILE] COMMAND\n"
           "  serve [--create] [--listen ADDRESS:PORT] [--contact TEXT] [--public-url URL] [--download-url "
           "URL]\n"
           "        [--trusted-proxy ADDRESS[,ADDRESS...]] [--workers N] [--rate-limits on|off]\n"
           "        [--credential-cache SECONDS]\n"
           "  user add EMAIL [--nickname NAME]      (the password is read from standard input)\n"
           "  user reset-password EMAIL             (the password is read from standard input)\n"
           "  user list\n"
           "  release add VERSION CRC LENGTH\n"
           "  release list\n"
           "  winners --day YYYY-MM-DD | --week YYYY-Www [--unverified]   (CSV; verified scores only unless\n"
           "        --unverified)\n"
           "  replays [--all]                       (the games not verified, or all, and why)\n";
}

int runCommand(const std::vector<std::string>& args, CommandContext& c) {
    const Parsed p = parse(args);
    if (!p.error.empty()) {
        c.err << "tundrix-channel: " << p.error << "\n" << usage();
        return 2;
    }
    if (p.options.count("help") || p.words.empty()) {
        (p.words.empty() && !p.options.count("help") ? c.err : c.out) << usage();
        return p.options.count("help") ? 0 : 2;
    }
    const std::string& command = p.words[0];
    if (command != "serve" && command != "user" && command != "release" && command != "winners" &&
        command != "replays") {
        c.err << "tundrix-channel: unknown command " << command << "\n" << usage();
        return 2;
    }
    if (!initCrypto()) {
        c.err << "tundrix-channel: libsodium cannot start\n";
        return 1;
    }
    const std::string db = p.options.count("db") ? p.options.at("db") : c.defaultDatabase;
    if (db.empty()) {
        c.err << "tundrix-channel: no --db given and neither XDG_DATA_HOME nor HOME is set\n";
        return 2;
    }
    // Only a new channel's first start or first member makes the database: a missing one is an error, so
    // that a lost folder is never quietly replaced by an empty channel.
    const bool create = (command == "serve" && p.options.count("create")) ||
                        (command == "user" && p.words.size() > 1 && p.words[1] == "add");
    std::string error;
    const std::unique_ptr<Store> store =
        Store::open(db, create ? OpenMode::Create : OpenMode::Existing, error);
    if (!store) {
        c.err << "tundrix-channel: " << db << ": " << error << "\n";
        return 1;
    }
    if (command == "serve") return serve(*store, p, c);
    if (command == "user") return userCommand(*store, p, c);
    if (command == "release") return releaseCommand(*store, p, c);
    if (command == "replays") return replaysCommand(*store, p, c);
    return winners(*store, p, c);
}

} // namespace tundrix::channel
