// Synthesises the sound effects from oscillators, noise and envelopes.
#include "tools/assetgen/sounds.h"

#include "core/feedback_layout.h"
#include "core/resource_ids.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace tundrix::assetgen {

namespace {

constexpr double RATE = 8000.0;
constexpr double TAU = 2 * M_PI;

using Buffer = std::vector<double>;

// A small deterministic noise source.
class Noise {
  public:
    explicit Noise(uint32_t seed) : state_(seed) {}
    double next() {
        state_ = state_ * 1664525u + 1013904223u;
        return static_cast<double>(state_ >> 8) / 8388608.0 - 1.0;
    }

  private:
    uint32_t state_;
};

double noteHz(int midi) {
    return 440.0 * std::pow(2.0, (midi - 69) / 12.0);
}

// A few harmonics of a square wave, which stay well below the 4 kHz limit.
double softSquare(double phase, double hz) {
    double s = 0;
    for (int k = 1; k <= 9 && k * hz < 3600; k += 2)
        s += std::sin(phase * k) / k;
    return s * 0.9;
}

double softSaw(double phase, double hz) {
    double s = 0;
    for (int k = 1; k <= 8 && k * hz < 3600; ++k)
        s += std::sin(phase * k) / k * (k % 2 ? 1 : -1);
    return s * 0.6;
}

double triangle(double phase) {
    double t = std::fmod(phase / TAU, 1.0);
    return t < 0.5 ? 4 * t - 1 : 3 - 4 * t;
}

// Attack, then an exponential-ish decay that reaches exactly zero at the end.
double pluck(double t, double length, double attack, double decay) {
    if (t < 0 || t >= length) return 0;
    const double a = t < attack ? t / attack : 1.0;
    const double tail = 1.0 - t / length;
    return a * std::exp(-t * decay) * tail;
}

// Flat level with linear ramps at both ends.
double gate(double t, double length, double attack, double release) {
    if (t < 0 || t >= length) return 0;
    return std::min({1.0, t / attack, (length - t) / release});
}

enum class Wave { Square, Saw, Triangle, Sine };

void addNote(Buffer& b, double start, double length, double hz, double level, Wave wave, double decay,
             double vibrato = 0) {
    const int from = static_cast<int>(start * RATE);
    const int count = static_cast<int>(length * RATE);
    double phase = 0;
    for (int i = 0; i < count && from + i < static_cast<int>(b.size()); ++i) {
        const double t = i / RATE;
        const double f = hz * (1 + vibrato * std::sin(TAU * 5.5 * t) * std::min(1.0, t * 4));
        phase += TAU * f / RATE;
        double v = 0;
        switch (wave) {
        case Wave::Square:
            v = softSquare(phase, f);
            break;
        case Wave::Saw:
            v = softSaw(phase, f);
            break;
        case Wave::Triangle:
            v = triangle(phase);
            break;
        case Wave::Sine:
            v = std::sin(phase);
            break;
        }
        b[from + i] += v * level * pluck(t, length, 0.006, decay);
    }
}

void addKick(Buffer& b, double start, double level) {
    const int from = static_cast<int>(start * RATE);
    double phase = 0;
    for (int i = 0; i < 1600 && from + i < static_cast<int>(b.size()); ++i) {
        const double t = i / RATE;
        phase += TAU * (50 + 90 * std::exp(-t * 30)) / RATE;
        b[from + i] += std::sin(phase) * level * pluck(t, 0.2, 0.002, 14);
    }
}

void addNoiseHit(Buffer& b, Noise& noise, double start, double length, double level, double brightness,
                 double decay) {
    const int from = static_cast<int>(start * RATE);
    const int count = static_cast<int>(length * RATE);
    double low = 0;
    for (int i = 0; i < count && from + i < static_cast<int>(b.size()); ++i) {
        const double n = noise.next();
        low += (n - low) * (1 - brightness);
        const double v = brightness > 0.5 ? n - low : low; // bright: high-passed, else low-passed
        b[from + i] += v * level * pluck(i / RATE, length, 0.001, decay);
    }
}

// Scales the sound so that its loudest sample reaches level (of full scale), then to unsigned 8 bits.
std::vector<uint8_t> toSamples(const Buffer& b, double level) {
    double loudest = 1e-9;
    for (double v : b)
        loudest = std::max(loudest, std::abs(v));
    std::vector<uint8_t> out(b.size());
    for (size_t i = 0; i < b.size(); ++i) {
        const double v = std::clamp(b[i] * level / loudest, -1.0, 1.0);
        out[i] = static_cast<uint8_t>(std::lround(128 + v * 127));
    }
    return out;
}

// Rounds off the peaks so a sound carries more loudness for the same loudest sample: the loudest sample
// is driven to drive on a tanh curve. Silence stays silence.
void saturate(Buffer& b, double drive) {
    double loudest = 1e-9;
    for (double v : b)
        loudest = std::max(loudest, std::abs(v));
    for (double& v : b)
        v = std::tanh(v / loudest * drive);
}

Buffer makeBuffer(size_t count) {
    return Buffer(count, 0.0);
}

// 305 and 317: a skate blade's swish as a figure pushes off, with a short chirp.
Buffer skateSwish(size_t count, double fromHz, double toHz, uint32_t seed) {
    Buffer b = makeBuffer(count);
    Noise noise(seed);
    const double length = count / RATE;
    double band = 0, low = 0, phase = 0;
    for (size_t i = 0; i < count; ++i) {
        const double t = i / RATE;
        const double u = t / length;
        const double env = std::sin(M_PI * u) * std::sin(M_PI * u);
        const double n = noise.next();
        low += (n - low) * (0.25 + 0.5 * u);
        band = n - low;
        phase += TAU * (fromHz + (toHz - fromHz) * u) / RATE;
        b[i] = env * (0.55 * band + 0.35 * std::sin(phase));
    }
    return b;
}

// 308: a bright four-bar fanfare in A minor, the key of the play music: lead over a bass falling from A
// to E with light drums, ending on a held A minor chord.
Buffer titleTune(size_t count) {
    Buffer b = makeBuffer(count);
    Noise noise(308);
    const double e = 0.1875; // an eighth note at 160 beats per minute
    struct N {
        double at, len;
        int midi;
    };
    const N lead[] = {{0, 1, 64},  {1, 1, 69},  {2, 1, 72},  {3, 1, 76},  {4, 2, 74},
                      {6, 2, 72},  {8, 1, 71},  {9, 1, 72},  {10, 1, 74}, {11, 1, 76},
                      {12, 2, 79}, {14, 1, 76}, {15, 1, 71}, {16, 4, 69}};
    for (const N& n : lead)
        addNote(b, n.at * e, n.len * e * 0.95, noteHz(n.midi), 0.26, Wave::Square, 3, 0.004);
    // The last chord rings out to the end.
    const double chordAt = 16 * e;
    const double chordLen = count / RATE - chordAt;
    for (int m : {69, 72, 76, 81})
        addNote(b, chordAt, chordLen, noteHz(m), 0.11, Wave::Square, 1.6, 0.006);
    addNote(b, chordAt, chordLen, noteHz(45), 0.3, Wave::Triangle, 1.4);
    const int bass[] = {45, 45, 43, 43, 41, 41, 40, 40};
    for (int i = 0; i < 8; ++i)
        addNote(b, i * 2 * e, 2 * e * 0.9, noteHz(bass[i]), 0.32, Wave::Triangle, 4);
    for (int beat = 0; beat < 8; ++beat) {
        addKick(b, beat * 2 * e, beat % 2 ? 0.0 : 0.5);
        if (beat % 2) addNoiseHit(b, noise, beat * 2 * e, 0.12, 0.28, 0.2, 18);
        addNoiseHit(b, noise, beat * 2 * e + e, 0.04, 0.1, 0.9, 60);
    }
    addKick(b, chordAt, 0.55);
    addNoiseHit(b, noise, chordAt, 0.9, 0.2, 0.95, 4); // cymbal
    saturate(b, 1.4);
    return b;
}

// 309: the first play loop and the game's beat: bass and drums in A minor over four beats; every sound
// ends inside the loop, so the repeat is seamless.
Buffer playLoopBeat(size_t count) {
    Buffer b = makeBuffer(count);
    Noise noise(309);
    const double beat = count / RATE / 4;
    const double e = beat / 2;
    const int bassLine[] = {45, 45, 57, 45, 43, 43, 52, 40};
    for (int i = 0; i < 8; ++i)
        addNote(b, i * e, e * 0.9, noteHz(bassLine[i]), 0.34, Wave::Saw, 3.5);
    for (int i = 0; i < 4; ++i) {
        addKick(b, i * beat, i % 2 ? 0.3 : 0.42);
        if (i % 2) addNoiseHit(b, noise, i * beat, 0.14, 0.28, 0.3, 16);
    }
    for (int i = 0; i < 8; ++i)
        addNoiseHit(b, noise, i * e + e * 0.5, 0.035, 0.09, 0.9, 70);
    saturate(b, 1.8);
    return b;
}

// 310: the second play loop, a sustained A minor chord under 309's beat with no rhythm of its own, so
// the two sound right together at every offset. Every partial completes a whole number of cycles in the
// loop (the chord is tuned just, on whole cycles of A), so the repeat joins without a seam, and no two
// partials lie close enough to beat against each other.
Buffer playLoopPad(size_t count) {
    Buffer b = makeBuffer(count);
    const double loopSeconds = count / RATE;
    const double aCycles = std::round(noteHz(57) * loopSeconds); // A below middle C
    struct Voice {
        double ratio, level;
    };
    const Voice chord[] = {{1.0, 1.0}, {1.2, 0.75}, {1.5, 0.8}, {2.0, 0.4}}; // A, C, E, A
    const double harmonics[] = {1.0, 0.3, 0.14, 0.06};
    for (int v = 0; v < 4; ++v) {
        const double cycles = std::round(aCycles * chord[v].ratio);
        for (int k = 0; k < 4; ++k) {
            const double hz = cycles * (k + 1) / loopSeconds;
            // Alternate signs so the partials do not all rise together from the first sample.
            const double level = chord[v].level * harmonics[k] * ((v + k) % 2 ? -1 : 1);
            for (size_t i = 0; i < count; ++i)
                b[i] += level * std::sin(TAU * hz * static_cast<double>(i) / RATE);
        }
    }
    return b;
}

// 311: a big capture: a fast rising arpeggio, a held bright chord and a cheering crowd.
Buffer bigCapture(size_t count) {
    Buffer b = makeBuffer(count);
    Noise noise(311);
    const int run[] = {60, 64, 67, 72, 76, 79, 84};
    for (int i = 0; i < 7; ++i)
        addNote(b, i * 0.06, 0.12, noteHz(run[i]), 0.22, Wave::Square, 10);
    const double length = count / RATE;
    for (int m : {72, 76, 79})
        addNote(b, 0.42, length - 0.42, noteHz(m), 0.12, Wave::Square, 2.2, 0.008);
    double low = 0;
    for (size_t i = 0; i < count; ++i) {
        const double t = i / RATE;
        low += (noise.next() - low) * 0.35;
        const double swell = std::min(1.0, t / 0.4) * (1 - t / length);
        const double voices = 0.7 + 0.3 * std::sin(TAU * 7 * t) * std::sin(TAU * 3.3 * t);
        b[i] += low * 0.5 * swell * voices;
    }
    saturate(b, 1.5);
    return b;
}

// 312: an opponent's bump: a dropping blip with a dull thud under it.
Buffer opponentBump(size_t count) {
    Buffer b = makeBuffer(count);
    const double length = count / RATE;
    double phase = 0, thud = 0;
    for (size_t i = 0; i < count; ++i) {
        const double t = i / RATE;
        const double hz = 700 * std::exp(-t * 9);
        phase += TAU * hz / RATE;
        thud += TAU * (90 + 60 * std::exp(-t * 40)) / RATE;
        b[i] = softSquare(phase, hz) * 0.4 * pluck(t, length, 0.003, 10) +
               std::sin(thud) * 0.4 * pluck(t, length, 0.002, 25);
    }
    saturate(b, 1.5);
    return b;
}

// 313: the time warning: two beeps a loop, B then G high above the music, with silence around them.
Buffer timeWarning(size_t count) {
    Buffer b = makeBuffer(count);
    const double half = count / RATE / 2;
    for (int k = 0; k < 2; ++k) {
        const double hz = k == 0 ? 988 : 784;
        const int from = static_cast<int>((0.02 + k * half) * RATE);
        double phase = 0;
        for (int i = 0; i < static_cast<int>(0.18 * RATE); ++i) {
            const double t = i / RATE;
            phase += TAU * hz / RATE;
            b[from + i] += softSquare(phase, hz) * 0.45 * gate(t, 0.18, 0.005, 0.03);
        }
    }
    return b;
}

// 314: the arena horn that ends a period, rising a fourth from E to A in open fifths: a lift for a
// won period, and with no third it fits the A minor music still playing at time-up and game over.
Buffer periodHorn(size_t count) {
    Buffer b = makeBuffer(count);
    const double length = count / RATE;
    const double step = 0.13, glide = 0.025;
    const int from[] = {52, 59, 64}, to[] = {57, 64, 69}; // E B E, then A E A
    double phase[3] = {};
    for (size_t i = 0; i < count; ++i) {
        const double t = i / RATE;
        const double u = std::clamp((t - step) / glide, 0.0, 1.0);
        double v = 0;
        for (int k = 0; k < 3; ++k) {
            const double hz = noteHz(from[k]) + (noteHz(to[k]) - noteHz(from[k])) * u;
            phase[k] += TAU * hz * (1 + 0.003 * std::sin(TAU * 6 * t)) / RATE;
            v += softSaw(phase[k], hz);
        }
        // The second chord comes in brighter and a little louder.
        const double accent = t < step ? 0.8 : 1.0;
        b[i] = v * accent * gate(t, length, 0.015, 0.09);
    }
    saturate(b, 1.3);
    return b;
}

// 315: the referee's pea whistle: a high tone trilled by the rattling pea, with breath.
Buffer refereeWhistle(size_t count) {
    Buffer b = makeBuffer(count);
    Noise noise(315);
    const double length = count / RATE;
    double phase = 0, low = 0;
    for (size_t i = 0; i < count; ++i) {
        const double t = i / RATE;
        const double trill = std::sin(TAU * 38 * t);
        phase += TAU * (2500 + 90 * trill) / RATE;
        low += (noise.next() - low) * 0.5;
        const double env = gate(t, length, 0.012, 0.05);
        b[i] = env * (0.5 * std::sin(phase) * (0.8 + 0.2 * trill) + 0.08 * low);
    }
    return b;
}

// 320: a capture too small for the fanfare: two quick bell tones a fourth apart, E then A, high above
// the music.
Buffer smallCapture(size_t count) {
    Buffer b = makeBuffer(count);
    const double length = count / RATE;
    const double second = 0.07;
    for (const auto& [at, midi] : {std::pair{0.0, 88}, std::pair{second, 93}}) {
        const double hz = noteHz(midi);
        const int from = static_cast<int>(at * RATE);
        for (int i = 0; from + i < static_cast<int>(count); ++i) {
            const double t = i / RATE;
            const double env = pluck(t, length - at, 0.002, 16);
            b[from + i] += env * (std::sin(TAU * hz * t) + 0.25 * std::sin(TAU * 2 * hz * t));
        }
    }
    return b;
}

// 321: a raid cut: the line snapping (a short bright crack), then three falling square tones a semitone
// apart, the sound of a chance lost, pitched well above the bass line and off the music's notes.
Buffer raidCut(size_t count) {
    Buffer b = makeBuffer(count);
    Noise noise(321);
    addNoiseHit(b, noise, 0, 0.05, 0.9, 0.95, 60);
    const double step = 0.12;
    const int fall[] = {77, 76, 75}; // F, E, E flat
    for (int i = 0; i < 3; ++i)
        addNote(b, 0.03 + i * step, i == 2 ? count / RATE - 0.03 - 2 * step : step * 0.9, noteHz(fall[i]),
                0.5, Wave::Square, i == 2 ? 5 : 3, i == 2 ? 0.012 : 0);
    saturate(b, 1.4);
    return b;
}

// 322: a won period: a quick run up the open fifths of A, as the horn has them, then a held bright chord
// with vibrato over a cheering crowd and a cymbal.
Buffer periodWon(size_t count) {
    Buffer b = makeBuffer(count);
    Noise noise(322);
    const double length = count / RATE;
    const int run[] = {69, 76, 81, 88};
    for (int i = 0; i < 4; ++i)
        addNote(b, i * 0.07, 0.1, noteHz(run[i]), 0.24, Wave::Square, 8);
    const double held = 0.3;
    for (int m : {81, 88, 93})
        addNote(b, held, length - held, noteHz(m), 0.13, Wave::Square, 2.4, 0.01);
    addNote(b, held, length - held, noteHz(57), 0.3, Wave::Triangle, 2.0);
    addNoiseHit(b, noise, held, 0.8, 0.18, 0.95, 4);
    double low = 0;
    for (size_t i = 0; i < count; ++i) {
        const double t = i / RATE;
        low += (noise.next() - low) * 0.3;
        const double swell = std::min(1.0, t / 0.3) * (1 - t / length);
        b[i] += low * 0.45 * swell * (0.75 + 0.25 * std::sin(TAU * 6 * t));
    }
    saturate(b, 1.5);
    return b;
}

size_t samplesFor(double seconds, bool odd) {
    size_t n = static_cast<size_t>(std::lround(seconds * RATE));
    if (odd && n % 2 == 0) ++n;
    return n;
}

} // namespace

// Each sound's loudest sample, as a fraction of full scale. The sounds that can sound at once have loudest
// samples adding up to MIX_BUDGET at most, so their mix stays a decibel below full scale even when every
// peak lands on the same sample. During play both loops, the time warning, a big capture, a referee's cut,
// an opponent's bump and the period-end horn can all sound at once (the loops and the warning run on
// through the time-up pause and the game-over banner), and with them one sound of the feedback layer, the
// small-capture chime or the cut (the layer never plays two of its sounds at once). The game's own sounds
// keep their balance, scaled to leave the layer that one voice; the warning is the loudest of them over
// the music. The title sounds never meet the play sounds.
constexpr double MIX_BUDGET = 0.89;
constexpr double FEEDBACK_VOICE_LEVEL = 0.12;
constexpr double PLAY_SCALE = (MIX_BUDGET - FEEDBACK_VOICE_LEVEL) / MIX_BUDGET;
constexpr double PLAY_LOOP_1_LEVEL = 0.22 * PLAY_SCALE;
constexpr double PLAY_LOOP_2_LEVEL = 0.09 * PLAY_SCALE;
constexpr double TIME_WARNING_LEVEL = 0.17 * PLAY_SCALE;
constexpr double BIG_CAPTURE_LEVEL = 0.13 * PLAY_SCALE;
constexpr double OPPONENT_LEVEL = 0.10 * PLAY_SCALE;
constexpr double REFEREE_LEVEL = 0.08 * PLAY_SCALE;
constexpr double PERIOD_END_LEVEL = 0.10 * PLAY_SCALE;
static_assert(PLAY_LOOP_1_LEVEL + PLAY_LOOP_2_LEVEL + TIME_WARNING_LEVEL + BIG_CAPTURE_LEVEL +
                  OPPONENT_LEVEL + REFEREE_LEVEL + PERIOD_END_LEVEL + FEEDBACK_VOICE_LEVEL <=
              MIX_BUDGET + 1e-9);
// The won period's fanfare starts half a second into the won pause and ends before it does: the warning
// stopped as the period was won, the horn and the layer's short sounds are over, and no figure moves, so
// only the loops and a big capture's fanfare can sound with it.
constexpr double PERIOD_WON_LEVEL = 0.30;
static_assert(PLAY_LOOP_1_LEVEL + PLAY_LOOP_2_LEVEL + BIG_CAPTURE_LEVEL + PERIOD_WON_LEVEL <= MIX_BUDGET);
constexpr double TITLE_TUNE_LEVEL = 0.5;
constexpr double SWISH_LEVEL = 0.18;

std::vector<SoundAsset> makeSounds() {
    std::vector<SoundAsset> out;
    out.push_back(
        {WAVE_RIGHT_FIGURE,
         toSamples(skateSwish(samplesFor(0.12, false), 600, 1500, WAVE_RIGHT_FIGURE), SWISH_LEVEL)});
    out.push_back({WAVE_TITLE_TUNE, toSamples(titleTune(samplesFor(3.74, false)), TITLE_TUNE_LEVEL)});
    out.push_back({WAVE_PLAY_LOOP_1, toSamples(playLoopBeat(samplesFor(1.98, false)), PLAY_LOOP_1_LEVEL)});
    out.push_back({WAVE_PLAY_LOOP_2, toSamples(playLoopPad(samplesFor(1.52, false)), PLAY_LOOP_2_LEVEL)});
    out.push_back({WAVE_BIG_CAPTURE, toSamples(bigCapture(samplesFor(1.40, false)), BIG_CAPTURE_LEVEL)});
    out.push_back({WAVE_OPPONENT, toSamples(opponentBump(samplesFor(0.21, false)), OPPONENT_LEVEL)});
    out.push_back({WAVE_TIME_WARNING, toSamples(timeWarning(samplesFor(1.42, true)), TIME_WARNING_LEVEL)});
    out.push_back({WAVE_PERIOD_END, toSamples(periodHorn(samplesFor(0.48, true)), PERIOD_END_LEVEL)});
    out.push_back({WAVE_REFEREE_CUT, toSamples(refereeWhistle(samplesFor(0.34, true)), REFEREE_LEVEL)});
    out.push_back({WAVE_LEFT_FIGURE,
                   toSamples(skateSwish(samplesFor(0.11, true), 520, 240, WAVE_LEFT_FIGURE), SWISH_LEVEL)});
    out.push_back({feedback::WAVE_SMALL_CAPTURE,
                   toSamples(smallCapture(samplesFor(0.20, false)), FEEDBACK_VOICE_LEVEL)});
    out.push_back({feedback::WAVE_CUT, toSamples(raidCut(samplesFor(0.42, false)), FEEDBACK_VOICE_LEVEL)});
    out.push_back(
        {feedback::WAVE_PERIOD_WON, toSamples(periodWon(samplesFor(1.30, false)), PERIOD_WON_LEVEL)});
    return out;
}

} // namespace tundrix::assetgen
