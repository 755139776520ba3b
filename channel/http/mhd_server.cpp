// The HTTP server on libmicrohttpd: the one file that knows the library. Its event loop reads requests
// within a memory limit per connection, hands each complete one to the handler and parks the connection
// until the answer comes, from whichever thread makes it.
#include "channel/http/http_server.h"

#include "channel/http/form_fields.h"
#include "channel/http/listen_socket.h"

#include <arpa/inet.h>
#include <microhttpd.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <set>
#include <thread>
#include <unordered_map>
#include <vector>

namespace tundrix::channel {
namespace {

using Clock = std::chrono::steady_clock;

std::string addressText(const sockaddr* address) {
    char text[INET6_ADDRSTRLEN] = "";
    if (address && address->sa_family == AF_INET) {
        inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in*>(address)->sin_addr, text, sizeof text);
    } else if (address && address->sa_family == AF_INET6) {
        const auto* v6 = reinterpret_cast<const sockaddr_in6*>(address);
        // An IPv4 client on a dual-stack socket is shown as the IPv4 address it is.
        if (IN6_IS_ADDR_V4MAPPED(&v6->sin6_addr)) {
            inet_ntop(AF_INET, &v6->sin6_addr.s6_addr[12], text, sizeof text);
        } else {
            inet_ntop(AF_INET6, &v6->sin6_addr, text, sizeof text);
        }
    }
    return text;
}

// One connection, from its start to its end.
struct Connection {
    int fd = -1;
    std::string address;
    Clock::time_point opened;
    bool unlimited = false;
    std::atomic<bool> busy{false}; // a request of its is being answered
    bool shut = false;
};

struct Parking;

// One request, from its first line to its answer. Shared by the library's hold on the request and by the
// reply the handler was given, so a late reply (after the server stopped) finds it still there.
struct Exchange {
    enum class State { Reading, Dispatching, Parked, Ready, Sent };
    Parking* parking = nullptr;
    MHD_Connection* connection = nullptr;
    std::string target;
    std::string body;
    size_t received = 0;
    size_t bodyLimit = 0; // this request's: the path's own, or the server's
    bool started = false;
    std::mutex mutex;
    State state = State::Reading;
    HttpResponse response;
};

HttpResponse plain(int status, const char* text) {
    HttpResponse r;
    r.status = status;
    r.setContent(text, "text/plain; charset=utf-8");
    return r;
}

MHD_Result queue(MHD_Connection* c, const HttpResponse& answer) {
    MHD_Response* response = MHD_create_response_from_buffer(
        answer.body.size(), const_cast<char*>(answer.body.data()), MHD_RESPMEM_MUST_COPY);
    if (!response) return MHD_NO;
    for (const auto& [name, value] : answer.headers)
        MHD_add_response_header(response, name.c_str(), value.c_str());
    const MHD_Result result = MHD_queue_response(c, static_cast<unsigned>(answer.status), response);
    MHD_destroy_response(response);
    return result;
}

Connection* connectionOf(MHD_Connection* c) {
    const MHD_ConnectionInfo* info = MHD_get_connection_info(c, MHD_CONNECTION_INFO_SOCKET_CONTEXT);
    return info ? static_cast<Connection*>(info->socket_context) : nullptr;
}

void quiet(void*, const char*, va_list) {}

using Held = std::shared_ptr<Exchange>;

// The connections parked while their answers are made: the library must not stop while one is.
struct Parking {
    std::mutex mutex;
    std::condition_variable changed;
    std::unordered_map<Exchange*, std::weak_ptr<Exchange>> parked;
};

// Hands the answer to the request: at once if its handler is still running, else by waking its
// connection. A second answer, or one after the server gave up waiting, is dropped.
void deliver(const Held& exchange, HttpResponse answer) {
    std::lock_guard lock(exchange->mutex);
    if (exchange->state == Exchange::State::Dispatching) {
        exchange->response = std::move(answer);
        exchange->state = Exchange::State::Ready;
    } else if (exchange->state == Exchange::State::Parked) {
        exchange->response = std::move(answer);
        exchange->state = Exchange::State::Ready;
        {
            std::lock_guard parkedLock(exchange->parking->mutex);
            exchange->parking->parked.erase(exchange.get());
        }
        exchange->parking->changed.notify_all();
        MHD_resume_connection(exchange->connection);
    }
}

} // namespace

struct HttpServer::Impl {
    HttpLimits limits;
    HttpHandler handler;
    MHD_Daemon* daemon = nullptr;
    int port = 0;
    unsigned maxConnections = 0;

    std::mutex connectionsMutex;
    std::set<Connection*> connections;
    std::unordered_map<std::string, unsigned> perAddress;

    Parking parking;
    // Set when the server stops: from then on every new connection is turned away at once.
    std::atomic<bool> closing = false;

    std::mutex reaperMutex;
    std::condition_variable reaperWake;
    bool stopping = false;
    std::thread reaper;

    bool unlimited(const std::string& address) const {
        for (const std::string& a : limits.unlimitedAddresses)
            if (a == address) return true;
        return false;
    }

    static MHD_Result allow(void* cls, const sockaddr* address, socklen_t) {
        auto* self = static_cast<Impl*>(cls);
        if (self->closing) return MHD_NO;
        const std::string text = addressText(address);
        if (self->unlimited(text)) return MHD_YES;
        std::lock_guard lock(self->connectionsMutex);
        const auto it = self->perAddress.find(text);
        return it != self->perAddress.end() && it->second >= self->limits.perAddressConnections ? MHD_NO
                                                                                                : MHD_YES;
    }

    static void onConnection(void* cls, MHD_Connection* c, void** context,
                             MHD_ConnectionNotificationCode code) {
        auto* self = static_cast<Impl*>(cls);
        if (code == MHD_CONNECTION_NOTIFY_STARTED) {
            auto* conn = new Connection;
            if (const MHD_ConnectionInfo* fd = MHD_get_connection_info(c, MHD_CONNECTION_INFO_CONNECTION_FD))
                conn->fd = fd->connect_fd;
            if (const MHD_ConnectionInfo* a = MHD_get_connection_info(c, MHD_CONNECTION_INFO_CLIENT_ADDRESS))
                conn->address = addressText(a->client_addr);
            conn->opened = Clock::now();
            conn->unlimited = self->unlimited(conn->address);
            *context = conn;
            std::lock_guard lock(self->connectionsMutex);
            self->connections.insert(conn);
            ++self->perAddress[conn->address];
            return;
        }
        // The library closes the socket only after this notice: once the connection is out of the set,
        // the reaper never touches its descriptor again.
        auto* conn = static_cast<Connection*>(*context);
        if (!conn) return;
        {
            std::lock_guard lock(self->connectionsMutex);
            self->connections.erase(conn);
            const auto it = self->perAddress.find(conn->address);
            if (it != self->perAddress.end() && --it->second == 0) self->perAddress.erase(it);
        }
        delete conn;
        *context = nullptr;
    }

    static void* onTarget(void* cls, const char* uri, MHD_Connection* c) {
        auto* self = static_cast<Impl*>(cls);
        auto* exchange = new Held(std::make_shared<Exchange>());
        (*exchange)->parking = &self->parking;
        (*exchange)->connection = c;
        (*exchange)->target = uri ? uri : "";
        return exchange;
    }

    static void onCompleted(void*, MHD_Connection* c, void** context, MHD_RequestTerminationCode) {
        delete static_cast<Held*>(*context);
        *context = nullptr;
        if (Connection* conn = connectionOf(c)) conn->busy = false;
    }

    static MHD_Result onRequest(void* cls, MHD_Connection* c, const char* url, const char* method,
                                const char*, const char* upload, size_t* uploadSize, void** context) {
        auto* self = static_cast<Impl*>(cls);
        auto* holder = static_cast<Held*>(*context);
        if (!holder) return MHD_NO;
        const Held& exchange = *holder;
        std::unique_lock lock(exchange->mutex);
        if (exchange->state == Exchange::State::Ready) {
            exchange->state = Exchange::State::Sent;
            return queue(c, exchange->response);
        }
        if (exchange->state != Exchange::State::Reading) return MHD_NO;
        lock.unlock();

        if (!exchange->started) {
            // The first call has the headers only: a body announced too long is refused before it comes.
            exchange->started = true;
            exchange->bodyLimit = self->limits.maxBodyBytes;
            for (const auto& [path, bytes] : self->limits.largerBodies)
                if (url && path == url) exchange->bodyLimit = bytes;
            const char* length =
                MHD_lookup_connection_value(c, MHD_HEADER_KIND, MHD_HTTP_HEADER_CONTENT_LENGTH);
            if (length && std::strtoull(length, nullptr, 10) > exchange->bodyLimit)
                return queue(c, plain(413, "Payload Too Large\r\n"));
            return MHD_YES;
        }
        if (*uploadSize > 0) {
            // Too long a body (one sent in chunks has no length to refuse it by in advance): the rest is
            // read and dropped for an answer at its end, unless it goes on much longer still.
            exchange->received += *uploadSize;
            if (exchange->received > exchange->bodyLimit) {
                if (exchange->received > 4 * exchange->bodyLimit) return MHD_NO;
            } else {
                exchange->body.append(upload, *uploadSize);
            }
            *uploadSize = 0;
            return MHD_YES;
        }
        if (exchange->received > exchange->bodyLimit) return queue(c, plain(413, "Payload Too Large\r\n"));

        HttpRequest request;
        request.method = method;
        MHD_get_connection_values(
            c, MHD_HEADER_KIND,
            [](void* into, MHD_ValueKind, const char* key, const char* value) {
                static_cast<Fields*>(into)->emplace_back(key, value ? value : "");
                return MHD_YES;
            },
            &request.headers);
        request.body = std::move(exchange->body);
        Connection* conn = connectionOf(c);
        request.peer = conn ? conn->address : "";
        readTarget(request, exchange->target);
        if (conn) conn->busy = true;

        exchange->state = Exchange::State::Dispatching;
        self->handler(std::move(request),
                      [exchange](HttpResponse answer) { deliver(exchange, std::move(answer)); });
        lock.lock();
        if (exchange->state == Exchange::State::Ready) {
            exchange->state = Exchange::State::Sent;
            return queue(c, exchange->response);
        }
        exchange->state = Exchange::State::Parked;
        {
            std::lock_guard parkedLock(self->parking.mutex);
            self->parking.parked.emplace(exchange.get(), exchange);
        }
        MHD_suspend_connection(c);
        return MHD_YES;
    }

    void reap() {
        std::unique_lock wait(reaperMutex);
        while (!reaperWake.wait_for(wait, std::chrono::milliseconds(250), [this] { return stopping; })) {
            const auto now = Clock::now();
            std::lock_guard lock(connectionsMutex);
            for (Connection* conn : connections) {
                if (conn->unlimited || conn->busy || conn->shut || now - conn->opened < limits.lifetime)
                    continue;
                shutdown(conn->fd, SHUT_RDWR);
                conn->shut = true;
            }
        }
    }
};

HttpServer::HttpServer(HttpLimits limits, HttpHandler handler) : impl_(std::make_unique<Impl>()) {
    impl_->limits = std::move(limits);
    impl_->handler = std::move(handler);
}

HttpServer::~HttpServer() {
    stop();
}

bool HttpServer::start(const std::string& host, int port, std::string& error) {
    const ListenSocket listening = openListenSocket(host, port, impl_->limits.backlog, error);
    if (listening.fd < 0) return false;
    const unsigned descriptors = raiseDescriptorLimit();
    impl_->maxConnections =
        std::min(impl_->limits.maxConnections, descriptors > 192 ? descriptors - 64 : 128);
    const unsigned threads =
        impl_->limits.threads ? impl_->limits.threads : std::max(1u, std::thread::hardware_concurrency());
    const auto seconds = static_cast<unsigned>(impl_->limits.idleTimeout.count());
    Impl* self = impl_.get();
    impl_->daemon = MHD_start_daemon(
        MHD_USE_INTERNAL_POLLING_THREAD | MHD_USE_EPOLL | MHD_ALLOW_SUSPEND_RESUME, 0, &Impl::allow, self,
        &Impl::onRequest, self, MHD_OPTION_EXTERNAL_LOGGER, &quiet, nullptr, MHD_OPTION_LISTEN_SOCKET,
        listening.fd, MHD_OPTION_CONNECTION_MEMORY_LIMIT, impl_->limits.connectionMemory,
        MHD_OPTION_CONNECTION_LIMIT, impl_->maxConnections, MHD_OPTION_CONNECTION_TIMEOUT, seconds,
        MHD_OPTION_THREAD_POOL_SIZE, threads, MHD_OPTION_NOTIFY_CONNECTION, &Impl::onConnection, self,
        MHD_OPTION_URI_LOG_CALLBACK, &Impl::onTarget, self, MHD_OPTION_NOTIFY_COMPLETED, &Impl::onCompleted,
        self, MHD_OPTION_STRICT_FOR_CLIENT, 1, MHD_OPTION_END);
    if (!impl_->daemon) {
        close(listening.fd);
        error = "libmicrohttpd cannot start on " + host + ":" + std::to_string(listening.port);
        return false;
    }
    impl_->port = listening.port;
    impl_->closing = false;
    impl_->stopping = false;
    impl_->reaper = std::thread([self] { self->reap(); });
    return true;
}

int HttpServer::port() const {
    return impl_->port;
}

void HttpServer::stop() {
    if (!impl_->daemon) return;
    // New connections are refused by the accept policy rather than by MHD_quiesce_daemon, which with a
    // pool of epoll threads can race a worker taking the listening socket out of its set and abort the
    // process ("Failed to remove listen FD from epoll set"). MHD_stop_daemon closes the socket.
    impl_->closing = true;
    {
        // The library must not be stopped with parked connections: wait for their answers, and answer
        // what is still missing after a while.
        std::unique_lock lock(impl_->parking.mutex);
        if (!impl_->parking.changed.wait_for(lock, std::chrono::seconds(10),
                                             [this] { return impl_->parking.parked.empty(); })) {
            std::vector<Held> late;
            for (const auto& [raw, weak] : impl_->parking.parked)
                if (Held e = weak.lock()) late.push_back(e);
            lock.unlock();
            for (const Held& e : late)
                deliver(e, plain(503, "Service Unavailable\r\n"));
        }
    }
    MHD_stop_daemon(impl_->daemon);
    impl_->daemon = nullptr;
    {
        std::lock_guard lock(impl_->reaperMutex);
        impl_->stopping = true;
    }
    impl_->reaperWake.notify_all();
    if (impl_->reaper.joinable()) impl_->reaper.join();
}

} // namespace tundrix::channel
