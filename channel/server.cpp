// Wires the site into cpp-httplib with limits, and logs every request on one line.
#include "channel/server.h"

#include <httplib.h>

#include <algorithm>
#include <ctime>

namespace tundrix::channel {
namespace {

std::string timestamp() {
    const std::time_t t = std::time(nullptr);
    std::tm utc{};
    gmtime_r(&t, &utc);
    char out[32];
    std::strftime(out, sizeof out, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return out;
}

// Keeps a log field on one line and free of quotes.
std::string oneLine(std::string_view text) {
    std::string out;
    for (char c : text.substr(0, 200))
        out += (static_cast<unsigned char>(c) < 0x20 || c == '"') ? '?' : c;
    return out;
}

} // namespace

bool parseListenAddress(const std::string& text, std::string& host, int& port) {
    const size_t colon = text.rfind(':');
    if (colon == std::string::npos) return false;
    host = text.substr(0, colon);
    if (host.size() >= 2 && host.front() == '[' && host.back() == ']') host = host.substr(1, host.size() - 2);
    if (host.empty()) host = "0.0.0.0";
    const std::string digits = text.substr(colon + 1);
    if (digits.empty() || digits.size() > 5 || digits.find_first_not_of("0123456789") != std::string::npos)
        return false;
    port = std::stoi(digits);
    return port <= 65535;
}

ChannelServer::ChannelServer(Store& store, SiteOptions site, ServerOptions options, std::ostream& log)
    : store_(store), site_(std::move(site)), options_(std::move(options)), log_(log),
      http_(std::make_unique<httplib::Server>()) {
    const size_t workers = options_.workers;
    http_->new_task_queue = [workers] { return new httplib::ThreadPool(workers); };
    http_->set_read_timeout(options_.readTimeout);
    http_->set_write_timeout(options_.writeTimeout);
    http_->set_keep_alive_timeout(std::max<time_t>(
        1, std::chrono::duration_cast<std::chrono::seconds>(options_.keepAliveTimeout).count()));
    http_->set_keep_alive_max_count(5);
    http_->set_payload_max_length(options_.maxBodyBytes);
    http_->set_default_headers({{"X-Content-Type-Options", "nosniff"},
                                {"X-Frame-Options", "DENY"},
                                {"Referrer-Policy", "same-origin"},
                                {"Content-Security-Policy", "default-src 'self'; form-action 'self'"}});

    http_->set_pre_routing_handler([this](const httplib::Request& req, httplib::Response&) {
        std::lock_guard lock(pendingMutex_);
        pending_[&req] = {std::chrono::steady_clock::now(), {}};
        return httplib::Server::HandlerResponse::Unhandled;
    });
    site_.note = [this](const httplib::Request& req, const std::string& note) {
        std::lock_guard lock(pendingMutex_);
        const auto it = pending_.find(&req);
        if (it != pending_.end()) it->second.note = note;
    };
    http_->set_logger([this](const httplib::Request& req, const httplib::Response& res) {
        std::string line = timestamp() + " " + req.remote_addr + " " + oneLine(req.method) + " " +
                           oneLine(req.path) + " " + std::to_string(res.status);
        logRequest(&req, line);
    });
    installSite(*http_, store_, site_);
}

ChannelServer::~ChannelServer() = default;

void ChannelServer::logRequest(const void* request, const std::string& line) {
    std::string duration = "-";
    std::string note;
    {
        std::lock_guard lock(pendingMutex_);
        const auto it = pending_.find(request);
        if (it != pending_.end()) {
            const auto us = std::chrono::duration_cast<std::chrono::microseconds>(
                std::chrono::steady_clock::now() - it->second.start);
            duration = std::to_string(us.count() / 1000) + "." + std::to_string(us.count() / 100 % 10) + "ms";
            note = it->second.note;
            pending_.erase(it);
        }
        // One write per line, under the lock, so lines of parallel requests never mix.
        log_ << line << " " << duration << (note.empty() ? "" : " \"" + oneLine(note) + "\"") << "\n";
        log_.flush();
    }
}

bool ChannelServer::bind(std::string& error) {
    if (options_.port == 0) {
        port_ = http_->bind_to_any_port(options_.address);
    } else {
        port_ = http_->bind_to_port(options_.address, options_.port) ? options_.port : -1;
    }
    if (port_ <= 0) {
        error = "cannot listen on " + options_.address + ":" + std::to_string(options_.port);
        return false;
    }
    reaper_ = std::make_unique<ConnectionReaper>(port_, options_.connectionDeadline);
    return true;
}

void ChannelServer::run() {
    http_->listen_after_bind();
}

void ChannelServer::stop() {
    http_->stop();
}

} // namespace tundrix::channel
