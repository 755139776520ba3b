// The mail the channel sends, made into a MIME message and handed to the SMTP relay with libcurl, which
// speaks STARTTLS, TLS and the relay's log-in; the channel holds no SMTP client of its own.
#include "channel/mail_relay.h"

#include "channel/crypto.h"

#include <curl/curl.h>
#include <sodium.h>

#include <cstring>
#include <ctime>
#include <mutex>
#include <string_view>

namespace tundrix::channel {
namespace {

// An address fit for the envelope and a header: one "@", no blank, control character, bracket or quote
// (UTF-8 letters are fine).
bool mailable(std::string_view address) {
    const size_t at = address.find('@');
    if (at == 0 || at == std::string_view::npos || at + 1 == address.size() || address.size() > 254 ||
        address.find('@', at + 1) != std::string_view::npos)
        return false;
    for (const char c : address) {
        const auto b = static_cast<unsigned char>(c);
        if (b <= 0x20 || b == 0x7F || c == '<' || c == '>' || c == '"' || c == ',' || c == ';' || c == '\\' ||
            c == '(' || c == ')')
            return false;
    }
    return true;
}

std::string base64(std::string_view bytes) {
    std::string out(sodium_base64_encoded_len(bytes.size(), sodium_base64_VARIANT_ORIGINAL), '\0');
    sodium_bin2base64(out.data(), out.size(), reinterpret_cast<const unsigned char*>(bytes.data()),
                      bytes.size(), sodium_base64_VARIANT_ORIGINAL);
    out.resize(std::strlen(out.c_str()));
    return out;
}

// The subject as encoded words of whole characters, each short enough for a header line.
std::string encodedSubject(std::string_view text) {
    constexpr size_t CHUNK = 39; // bytes: 52 characters of base64 in each word
    std::string out;
    while (!text.empty()) {
        size_t n = std::min(CHUNK, text.size());
        while (n < text.size() && n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80)
            --n;
        // A run of continuation bytes with no character to start them (not UTF-8): cut it anywhere.
        if (n == 0) n = std::min(CHUNK, text.size());
        if (!out.empty()) out += "\r\n ";
        out += "=?UTF-8?B?" + base64(text.substr(0, n)) + "?=";
        text.remove_prefix(n);
    }
    return out;
}

std::string mailDate(int64_t now) {
    const auto t = static_cast<std::time_t>(now);
    std::tm utc{};
    gmtime_r(&t, &utc);
    static const char* const DAYS[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char* const MONTHS[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    char out[40];
    std::snprintf(out, sizeof out, "%s, %02d %s %04d %02d:%02d:%02d +0000", DAYS[utc.tm_wday], utc.tm_mday,
                  MONTHS[utc.tm_mon], utc.tm_year + 1900, utc.tm_hour, utc.tm_min, utc.tm_sec);
    return out;
}

// The message as it goes out, read by libcurl a piece at a time.
struct Upload {
    std::string_view rest;
    const std::atomic<bool>* stop;
};

size_t readUpload(char* buffer, size_t size, size_t count, void* user) {
    auto* upload = static_cast<Upload*>(user);
    const size_t n = std::min(size * count, upload->rest.size());
    std::memcpy(buffer, upload->rest.data(), n);
    upload->rest.remove_prefix(n);
    return n;
}

int progress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    return static_cast<Upload*>(user)->stop->load() ? 1 : 0; // non-zero aborts the transfer
}

} // namespace

int defaultMailPort(MailTls tls) {
    switch (tls) {
    case MailTls::Implicit:
        return 465;
    case MailTls::Off:
        return 25;
    case MailTls::StartTls:
        break;
    }
    return 587;
}

std::optional<std::string> mailMessage(const MailRelay& relay, const Mail& mail, int64_t now) {
    if (!mailable(mail.to) || !mailable(relay.from) ||
        mail.subject.find_first_of("\r\n") != std::string::npos)
        return std::nullopt;
    std::string body;
    for (const char c : mail.body) {
        if (c == '\r') continue;
        body += c == '\n' ? std::string("\r\n") : std::string(1, c);
    }
    // Base64 keeps every line short and 7-bit, whatever the relay makes of 8-bit text.
    const std::string encoded = base64(body);
    std::string message = "From: " + relay.from + "\r\nTo: " + mail.to +
                          "\r\nSubject: " + encodedSubject(mail.subject) + "\r\nDate: " + mailDate(now) +
                          "\r\nMessage-ID: <" + randomToken().substr(0, 32) +
                          relay.from.substr(relay.from.find('@')) +
                          ">\r\nMIME-Version: 1.0\r\nContent-Type: text/plain; charset=utf-8\r\n"
                          "Content-Transfer-Encoding: base64\r\nAuto-Submitted: auto-generated\r\n\r\n";
    for (size_t i = 0; i < encoded.size(); i += 76)
        message += encoded.substr(i, 76) + "\r\n";
    return message;
}

bool sendMail(const MailRelay& relay, const Mail& mail, int64_t now, const std::atomic<bool>& stop,
              std::string& error) {
    const std::optional<std::string> message = mailMessage(relay, mail, now);
    if (!message) {
        error = "an address or the subject cannot go into a mail";
        return false;
    }
    static std::once_flag started;
    std::call_once(started, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
    CURL* curl = curl_easy_init();
    if (!curl) {
        error = "libcurl cannot start";
        return false;
    }
    const bool v6 = relay.host.find(':') != std::string::npos;
    const std::string url = std::string(relay.tls == MailTls::Implicit ? "smtps://" : "smtp://") +
                            (v6 ? "[" + relay.host + "]" : relay.host) + ":" + std::to_string(relay.port);
    const std::string from = "<" + relay.from + ">";
    curl_slist* to = curl_slist_append(nullptr, ("<" + mail.to + ">").c_str());
    Upload upload{*message, &stop};
    char reason[CURL_ERROR_SIZE] = "";
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "smtp,smtps");
    curl_easy_setopt(curl, CURLOPT_PROXY, ""); // straight to the relay, whatever the environment says
    curl_easy_setopt(curl, CURLOPT_USE_SSL,
                     static_cast<long>(relay.tls == MailTls::Off ? CURLUSESSL_NONE : CURLUSESSL_ALL));
    if (!relay.user.empty()) {
        curl_easy_setopt(curl, CURLOPT_USERNAME, relay.user.c_str());
        curl_easy_setopt(curl, CURLOPT_PASSWORD, relay.password.c_str());
    }
    curl_easy_setopt(curl, CURLOPT_MAIL_FROM, from.c_str());
    curl_easy_setopt(curl, CURLOPT_MAIL_RCPT, to);
    curl_easy_setopt(curl, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(curl, CURLOPT_READFUNCTION, readUpload);
    curl_easy_setopt(curl, CURLOPT_READDATA, &upload);
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, progress);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &upload);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, 10L);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT, MAIL_TIMEOUT_SECONDS);
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, reason);
    const CURLcode result = curl_easy_perform(curl);
    curl_slist_free_all(to);
    curl_easy_cleanup(curl);
    if (result == CURLE_OK) return true;
    error = std::string(curl_easy_strerror(result)) + (reason[0] ? std::string(": ") + reason : "");
    return false;
}

} // namespace tundrix::channel
