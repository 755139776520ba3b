// The program's command line: serve, user add / reset-password / list, release add / list, winners and
// replays here, the operator's other subcommands beside it.
#include "channel/commands.h"

#include "channel/accounts.h"
#include "channel/calendar.h"
#include "channel/client_address.h"
#include "channel/command_line.h"
#include "channel/crypto.h"
#include "channel/csv.h"
#include "channel/http/listen_socket.h"
#include "channel/operator_commands.h"
#include "channel/server.h"
#include "channel/store.h"
#include "net/measurements.h"
#include "protocol/form_text.h"
#include "protocol/replay_post.h"

#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <cstdlib>
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

// The SMTP relay of the reset links, from serve's options; its password only from the environment, never
// the command line that every user of the machine can see. An empty option is no option (the systemd
// unit passes every setting, set or not).
bool mailRelay(const Parsed& p, SiteOptions& site, CommandContext& c) {
    MailRelay& relay = site.mail;
    relay.host = p.get("smtp-host");
    if (relay.host.empty()) return true;
    const std::string tls = p.get("smtp-tls");
    if (tls.empty() || tls == "starttls") {
        relay.tls = MailTls::StartTls;
    } else if (tls == "tls") {
        relay.tls = MailTls::Implicit;
    } else if (tls == "off") {
        relay.tls = MailTls::Off;
    } else {
        c.err << "tundrix-channel: --smtp-tls wants starttls, tls or off\n";
        return false;
    }
    relay.port = defaultMailPort(relay.tls);
    if (!p.get("smtp-port").empty()) {
        const std::optional<uint32_t> port = protocol::parseUint32(p.get("smtp-port"));
        if (!port || *port < 1 || *port > 65535) {
            c.err << "tundrix-channel: --smtp-port wants 1 to 65535\n";
            return false;
        }
        relay.port = static_cast<int>(*port);
    }
    relay.user = p.get("smtp-user");
    if (!relay.user.empty()) {
        const char* password = std::getenv(SMTP_PASSWORD_VARIABLE);
        relay.password = password ? password : "";
    }
    relay.from = p.get("mail-from");
    if (relay.from.find('@') == std::string::npos) {
        c.err << "tundrix-channel: --smtp-host wants --mail-from ADDRESS too\n";
        return false;
    }
    // The link in the mail comes from the operator, never from the Host a request names.
    if (site.publicUrl.empty()) {
        c.err << "tundrix-channel: --smtp-host wants --public-url too: the mailed links start with it\n";
        return false;
    }
    return true;
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
    if (!mailRelay(p, site, c)) return 2;

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
            c.out << r.version << "\t" << r.crc << "\t" << r.length << "\t" << localTime(r.addedAt) << "\n";
        return 0;
    }
    const bool measured = p.has("from");
    if (what == "add" && p.words.size() == (measured ? 3u : 5u)) {
        const std::optional<uint32_t> version = protocol::parseUint32(p.words[2]);
        std::optional<uint32_t> crc, length;
        if (measured) {
            // Measured as the game measures its own program file, so the two always agree.
            const FileIntegrity file = measureFile(p.get("from"));
            if (file.length == 0) {
                c.err << "tundrix-channel: cannot read " << p.get("from") << " (or it is empty)\n";
                return 1;
            }
            crc = file.crc;
            length = file.length;
        } else {
            crc = protocol::parseUint32(p.words[3]);
            if (!crc && p.words[3].rfind("0x", 0) == 0 && p.words[3].size() > 2 && p.words[3].size() <= 10 &&
                p.words[3].find_first_not_of("0123456789abcdefABCDEF", 2) == std::string::npos)
                crc = static_cast<uint32_t>(std::stoul(p.words[3].substr(2), nullptr, 16));
            length = protocol::parseUint32(p.words[4]);
        }
        if (!version || *version < 2 || *version > INT32_MAX || !crc || !length) {
            c.err
                << "tundrix-channel: release add wants VERSION (a whole number above 1), and CRC (decimal or "
                   "0x hex) and LENGTH (bytes) or --from FILE\n";
            return 2;
        }
        std::string error;
        if (!store.addRelease({*version, *crc, *length, now()}, error)) {
            c.err << "tundrix-channel: that version or build is known already (" << error << ")\n";
            return 1;
        }
        c.out << "release " << *version << " added (crc " << *crc << ", length " << *length << ")\n";
        return 0;
    }
    c.err << usage();
    return 2;
}

int winners(Store& store, const Parsed& p, CommandContext& c) {
    if (p.has("competition")) return competitionWinners(store, p, c);
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
              << localTime(r.at) << "," << (r.verified ? "yes" : "no") << "\n";
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
              << localTime(r.receivedAt) << "\t" << r.reason << "\n";
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

int runCommand(const std::vector<std::string>& args, CommandContext& c) {
    const Parsed p = parse(args);
    if (!p.error.empty()) {
        c.err << "tundrix-channel: " << p.error << "\n" << usage();
        return 2;
    }
    if (p.words.empty()) {
        (p.has("help") ? c.out : c.err) << usage();
        return p.has("help") ? 0 : 2;
    }
    using Run = int (*)(Store&, const Parsed&, CommandContext&);
    static const std::map<std::string, Run> COMMANDS = {
        {"serve", serve},
        {"user", userCommand},
        {"release", releaseCommand},
        {"winners", winners},
        {"replays", replaysCommand},
        {"score", scoreCommand},
        {"member", memberCommand},
        {"flagged", flaggedCommand},
        {"moderation", moderationCommand},
        {"announce", announceCommand},
        {"backup", backupCommand},
        {"competition", competitionCommand},
    };
    const std::string& command = p.words[0];
    const auto run = COMMANDS.find(command);
    if (run == COMMANDS.end()) {
        c.err << "tundrix-channel: unknown command " << command << "\n" << usage();
        return 2;
    }
    if (p.has("help")) {
        // The help of the words given, or of the whole command when the rest are its arguments.
        std::optional<std::string> help = helpFor(p.words);
        if (!help) help = helpFor({p.words.begin(), p.words.begin() + std::min<size_t>(2, p.words.size())});
        if (!help) help = helpFor({command});
        c.out << *help;
        return 0;
    }
    if (!initCrypto()) {
        c.err << "tundrix-channel: libsodium cannot start\n";
        return 1;
    }
    const std::string db = p.has("db") ? p.get("db") : c.defaultDatabase;
    if (db.empty()) {
        c.err << "tundrix-channel: no --db given and neither XDG_DATA_HOME nor HOME is set\n";
        return 2;
    }
    // Only a new channel's first start or first member makes the database: a missing one is an error, so
    // that a lost folder is never quietly replaced by an empty channel.
    const bool create = (command == "serve" && p.has("create")) ||
                        (command == "user" && p.words.size() > 1 && p.words[1] == "add");
    std::string error;
    const std::unique_ptr<Store> store =
        Store::open(db, create ? OpenMode::Create : OpenMode::Existing, error);
    if (!store) {
        c.err << "tundrix-channel: " << db << ": " << error << "\n";
        return 1;
    }
    return run->second(*store, p, c);
}

} // namespace tundrix::channel
