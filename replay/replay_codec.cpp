// Writing and reading replay files: varint fields, clock readings as forward steps, keys as bits, zlib.
#include "replay/replay_codec.h"

#include <zlib.h>

namespace tundrix {

namespace {

constexpr size_t HEADER_BYTES = sizeof REPLAY_MAGIC + 4 + 4 + 4;
constexpr size_t MODE_BYTES = 1; // after the header, only in a file marked with the mode
// A step of the clock this large is the clock running backwards (readings wrap modulo 2^32).
constexpr uint32_t BACKWARDS = 0x80000000u;

void putVarint(std::vector<uint8_t>& out, uint32_t v) {
    while (v >= 0x80) {
        out.push_back(static_cast<uint8_t>(v | 0x80));
        v >>= 7;
    }
    out.push_back(static_cast<uint8_t>(v));
}
uint32_t zigzag(int32_t v) {
    return (static_cast<uint32_t>(v) << 1) ^ static_cast<uint32_t>(v >> 31);
}
int32_t unzigzag(uint32_t v) {
    return static_cast<int32_t>((v >> 1) ^ (0u - (v & 1u)));
}
void put32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

// Reads from a span and remembers the first failure; every read after it gives 0.
class Reader {
  public:
    explicit Reader(std::span<const uint8_t> bytes) : bytes_(bytes) {}
    uint32_t varint() {
        uint32_t v = 0;
        for (int shift = 0; shift < 35; shift += 7) {
            if (at_ >= bytes_.size()) return fail();
            const uint8_t b = bytes_[at_++];
            if (shift == 28 && (b & 0xF0) != 0) return fail(); // more than 32 bits
            v |= uint32_t{b & 0x7Fu} << shift;
            if ((b & 0x80) == 0) return v;
        }
        return fail();
    }
    int32_t signedVarint() { return unzigzag(varint()); }
    uint8_t byte() { return at_ < bytes_.size() ? bytes_[at_++] : static_cast<uint8_t>(fail()); }
    bool failed() const { return failed_; }
    bool atEnd() const { return at_ == bytes_.size(); }

  private:
    uint32_t fail() {
        failed_ = true;
        at_ = bytes_.size();
        return 0;
    }
    std::span<const uint8_t> bytes_;
    size_t at_ = 0;
    bool failed_ = false;
};

uint32_t get32(std::span<const uint8_t> b, size_t at) {
    return uint32_t{b[at]} | uint32_t{b[at + 1]} << 8 | uint32_t{b[at + 2]} << 16 | uint32_t{b[at + 3]} << 24;
}

// Inflates at most limit bytes; nothing for a damaged stream or one that would inflate past the limit.
std::optional<std::vector<uint8_t>> inflateBounded(std::span<const uint8_t> in, size_t limit) {
    z_stream z{};
    if (inflateInit(&z) != Z_OK) return std::nullopt;
    std::vector<uint8_t> out;
    uint8_t chunk[16384];
    z.next_in = const_cast<Bytef*>(in.data());
    z.avail_in = static_cast<uInt>(in.size());
    int rc = Z_OK;
    while (rc == Z_OK) {
        z.next_out = chunk;
        z.avail_out = sizeof chunk;
        rc = inflate(&z, Z_NO_FLUSH);
        if (rc != Z_OK && rc != Z_STREAM_END) break;
        const size_t got = sizeof chunk - z.avail_out;
        if (out.size() + got > limit) {
            rc = Z_MEM_ERROR;
            break;
        }
        out.insert(out.end(), chunk, chunk + got);
        if (rc == Z_OK && got == 0 && z.avail_in == 0) rc = Z_BUF_ERROR; // cut short
    }
    const bool whole = rc == Z_STREAM_END && z.avail_in == 0;
    inflateEnd(&z);
    if (!whole) return std::nullopt;
    return out;
}

} // namespace

uint32_t Replay::updates() const {
    uint32_t n = 0;
    for (const ReplayEntry& e : entries)
        n += e.step == ReplayStep::Update ? 1 : 0;
    return n;
}

std::vector<uint8_t> encodeReplay(const Replay& r) {
    std::vector<uint8_t> body;
    const KeyboardState& k = r.keyboard;
    for (int v : {k.spaceHeld, k.spacePressed, k.enterHeld, k.enterPressed, k.axisY, k.axisX, k.pressedY,
                  k.pressedX, k.lastHeading})
        putVarint(body, zigzag(v));
    for (int v : k.pressOrder)
        putVarint(body, zigzag(v));
    for (int v : k.prevDown)
        putVarint(body, zigzag(v));
    putVarint(body, zigzag(r.titleBlink));
    putVarint(body, static_cast<uint32_t>(r.entries.size()));

    size_t reading = 0, key = 0;
    uint32_t previous = 0;
    for (const ReplayEntry& e : r.entries) {
        body.push_back(static_cast<uint8_t>(e.step));
        if (e.step == ReplayStep::HoldClock) putVarint(body, e.argument);
        putVarint(body, e.readings);
        for (uint32_t i = 0; i < e.readings && reading < r.readings.size(); ++i, ++reading) {
            // The first reading as it is, every later one as its step forward from the one before.
            putVarint(body, reading == 0 ? r.readings[0] : r.readings[reading] - previous);
            previous = r.readings[reading];
        }
        putVarint(body, e.keys);
        for (uint32_t i = 0; i < e.keys; i += 8) {
            uint8_t bits = 0;
            for (uint32_t b = 0; b < 8 && i + b < e.keys; ++b, ++key)
                if (key < r.keys.size() && r.keys[key]) bits |= static_cast<uint8_t>(1u << b);
            body.push_back(bits);
        }
    }

    const bool named = r.mode != PlayMode::Original;
    const char* magic = named ? REPLAY_MAGIC_WITH_MODE : REPLAY_MAGIC;
    std::vector<uint8_t> out(magic, magic + sizeof REPLAY_MAGIC);
    put32(out, static_cast<uint32_t>(r.build.gameId));
    put32(out, r.build.crc);
    put32(out, r.build.length);
    if (named) out.push_back(static_cast<uint8_t>(r.mode));
    const size_t head = out.size();
    uLongf packed = compressBound(static_cast<uLong>(body.size()));
    out.resize(head + packed);
    if (compress2(out.data() + head, &packed, body.data(), static_cast<uLong>(body.size()), 9) != Z_OK)
        return {};
    out.resize(head + packed);
    return out;
}

std::optional<Replay> decodeReplay(std::span<const uint8_t> bytes, std::string& why,
                                   const ReplayLimits& limits) {
    const auto refuse = [&why](const char* reason) {
        why = reason;
        return std::nullopt;
    };
    if (bytes.size() > limits.maxFileBytes) return refuse("the replay is larger than a replay may be");
    const auto marked = [&bytes](const char* magic) {
        return bytes.size() >= HEADER_BYTES && std::equal(magic, magic + sizeof REPLAY_MAGIC, bytes.begin());
    };
    const bool named = marked(REPLAY_MAGIC_WITH_MODE);
    if (!named && !marked(REPLAY_MAGIC)) return refuse("not a replay of this game");
    Replay r;
    r.build.gameId = static_cast<int32_t>(get32(bytes, 4));
    r.build.crc = get32(bytes, 8);
    r.build.length = get32(bytes, 12);
    size_t head = HEADER_BYTES;
    if (named) {
        if (bytes.size() < HEADER_BYTES + MODE_BYTES) return refuse("the replay is cut short");
        const uint8_t mode = bytes[HEADER_BYTES];
        // Original is never named: a file naming it was not written by this game.
        if (mode == static_cast<uint8_t>(PlayMode::Original) || mode >= PLAY_MODES)
            return refuse("the replay names a mode this game does not know");
        r.mode = static_cast<PlayMode>(mode);
        head += MODE_BYTES;
    }
    const auto body = inflateBounded(bytes.subspan(head), limits.maxBodyBytes);
    if (!body) return refuse("the replay is damaged or inflates past its limit");

    Reader in(*body);
    KeyboardState& k = r.keyboard;
    for (int* v : {&k.spaceHeld, &k.spacePressed, &k.enterHeld, &k.enterPressed, &k.axisY, &k.axisX,
                   &k.pressedY, &k.pressedX, &k.lastHeading})
        *v = in.signedVarint();
    for (int& v : k.pressOrder)
        v = in.signedVarint();
    for (int& v : k.prevDown)
        v = in.signedVarint();
    r.titleBlink = in.signedVarint();
    const auto validHeading = [](int h) { return h >= NO_HEADING && h < HEADINGS; };
    bool keyboardOk = validHeading(k.lastHeading);
    for (int h : k.pressOrder)
        keyboardOk = keyboardOk && validHeading(h);
    if (in.failed() || !keyboardOk) return refuse("the replay's keyboard state is damaged");

    const uint32_t count = in.varint();
    if (in.failed() || count > limits.maxEntries)
        return refuse("the replay has more steps than a replay may");
    r.entries.reserve(count);
    uint32_t updates = 0, previous = 0;
    for (uint32_t n = 0; n < count; ++n) {
        ReplayEntry e;
        const uint8_t step = in.byte();
        if (step < static_cast<uint8_t>(ReplayStep::Create) ||
            step > static_cast<uint8_t>(ReplayStep::ClearScore))
            return refuse("the replay holds a step of no known kind");
        e.step = static_cast<ReplayStep>(step);
        if ((e.step == ReplayStep::Create) != (n == 0))
            return refuse("the replay does not begin with its world");
        if (e.step == ReplayStep::HoldClock) e.argument = in.varint();
        if (e.step == ReplayStep::Update && ++updates > limits.maxUpdates)
            return refuse("the replay is longer than a game may be");
        e.readings = in.varint();
        if (e.readings > limits.maxReadingsPerStep)
            return refuse("a step of the replay reads the clock too often");
        for (uint32_t i = 0; i < e.readings; ++i) {
            const uint32_t v = in.varint();
            if (r.readings.empty()) {
                previous = v;
            } else {
                if (v >= BACKWARDS) return refuse("the replay's clock runs backwards");
                previous += v;
            }
            r.readings.push_back(previous);
        }
        e.keys = in.varint();
        if (e.keys > limits.maxKeysPerStep) return refuse("a step of the replay reads the keys too often");
        for (uint32_t i = 0; i < e.keys; i += 8) {
            const uint8_t bits = in.byte();
            for (uint32_t b = 0; b < 8 && i + b < e.keys; ++b)
                r.keys.push_back((bits >> b) & 1u);
        }
        if (in.failed()) return refuse("the replay is cut short");
        r.entries.push_back(e);
    }
    if (count == 0) return refuse("the replay holds no game");
    if (!in.atEnd()) return refuse("the replay has bytes after its last step");
    return r;
}

} // namespace tundrix
