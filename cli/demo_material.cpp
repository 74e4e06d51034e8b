#include "cli/demo_material.h"

#include <sndfile.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

#include "cli/atomic_output.h"
#include "cli/sample_writer.h"

namespace kt {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kBeatSeconds = 0.5;  // 120 beats per minute

// Deterministic white noise in -1..1.
class Noise {
  public:
    explicit Noise(std::uint32_t seed) : state_(seed) {}
    double next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return static_cast<double>(state_) / 2147483648.0 - 1.0;
    }

  private:
    std::uint32_t state_;
};

double noteHz(int midi) {
    return 440.0 * std::pow(2.0, (midi - 69) / 12.0);
}

// A band-limited-enough sawtooth: the sum of the first harmonics.
double saw(double phase, int harmonics) {
    double sum = 0.0;
    for (int h = 1; h <= harmonics; ++h) sum += std::sin(2.0 * kPi * h * phase) / h;
    return sum * (2.0 / kPi);
}

struct Mixer {
    StereoSignal& out;
    void add(std::size_t frame, double value, double pan) {  // pan -1 left .. +1 right
        if (frame >= out.left.size()) return;
        const double angle = (pan + 1.0) * 0.25 * kPi;
        out.left[frame] += value * std::cos(angle) * std::sqrt(2.0);
        out.right[frame] += value * std::sin(angle) * std::sqrt(2.0);
    }
};

void addKick(Mixer& mix, int rate, double start, Noise& noise) {
    const auto first = static_cast<std::size_t>(start * rate);
    const int length = static_cast<int>(0.45 * rate);
    double phase = 0.0;
    for (int i = 0; i < length; ++i) {
        const double t = static_cast<double>(i) / rate;
        const double hz = 45.0 + 95.0 * std::exp(-t / 0.03);
        phase += hz / rate;
        double body = std::sin(2.0 * kPi * phase) * std::exp(-t / 0.22);
        double click = t < 0.004 ? noise.next() * (1.0 - t / 0.004) * 0.5 : 0.0;
        mix.add(first + i, 0.62 * (body + click), 0.0);
    }
}

void addSnare(Mixer& mix, int rate, double start, Noise& noise) {
    const auto first = static_cast<std::size_t>(start * rate);
    const int length = static_cast<int>(0.3 * rate);
    double low = 0.0;
    for (int i = 0; i < length; ++i) {
        const double t = static_cast<double>(i) / rate;
        const double n = noise.next();
        low += 0.35 * (n - low);
        const double bright = n - low;  // a crude high-pass keeps the rattle
        const double tone = std::sin(2.0 * kPi * 185.0 * t) * std::exp(-t / 0.05);
        const double value = (0.55 * bright * std::exp(-t / 0.09) + 0.5 * tone);
        mix.add(first + i, 0.5 * value, 0.08);
    }
}

void addHat(Mixer& mix, int rate, double start, double level, double pan, Noise& noise) {
    const auto first = static_cast<std::size_t>(start * rate);
    const int length = static_cast<int>(0.06 * rate);
    double previous = 0.0;
    for (int i = 0; i < length; ++i) {
        const double t = static_cast<double>(i) / rate;
        const double n = noise.next();
        const double high = n - previous;  // first difference: mostly top end
        previous = n;
        mix.add(first + i, level * high * std::exp(-t / 0.018), pan);
    }
}

void addBassNote(Mixer& mix, int rate, double start, double seconds, int midi) {
    const auto first = static_cast<std::size_t>(start * rate);
    const int length = static_cast<int>(seconds * rate);
    const double hz = noteHz(midi);
    double smooth = 0.0;
    for (int i = 0; i < length; ++i) {
        const double t = static_cast<double>(i) / rate;
        const double envelope =
            std::min(1.0, t / 0.004) * std::exp(-t / 0.6) * std::min(1.0, (seconds - t) / 0.01);
        const double raw = saw(hz * t, 8);
        smooth += 0.12 * (raw - smooth);
        mix.add(first + i, 0.42 * envelope * smooth, 0.0);
    }
}

void addChord(Mixer& mix, int rate, double start, double seconds, const std::array<int, 3>& notes) {
    const auto first = static_cast<std::size_t>(start * rate);
    const int length = static_cast<int>(seconds * rate);
    // Each side detuned a few cents the other way: a wide pad.
    const double spread = std::pow(2.0, 6.0 / 1200.0);
    for (int i = 0; i < length; ++i) {
        const double t = static_cast<double>(i) / rate;
        const double envelope = std::min(1.0, t / 0.08) * std::min(1.0, (seconds - t) / 0.12) *
                                (0.8 + 0.2 * std::exp(-t / 0.5));
        double left = 0.0, right = 0.0;
        for (int note : notes) {
            const double hz = noteHz(note);
            left += saw(hz * spread * t, 6);
            right += saw(hz / spread * t + 0.25, 6);
        }
        const double level = 0.055 * envelope;
        if (first + i < mix.out.left.size()) {
            mix.out.left[first + i] += level * left;
            mix.out.right[first + i] += level * right;
        }
    }
}

}  // namespace

StereoSignal generateDemoMaterial(int sampleRate, double seconds) {
    StereoSignal signal;
    signal.sampleRate = sampleRate;
    const auto frames = static_cast<std::size_t>(seconds * sampleRate);
    signal.left.assign(frames, 0.0);
    signal.right.assign(frames, 0.0);
    Mixer mix{signal};
    Noise noise(0x4b767472u);

    // A minor, F, C, G: one chord per bar of four beats.
    const std::array<std::array<int, 3>, 4> chords = {
        {{57, 60, 64}, {57, 60, 65}, {55, 60, 64}, {55, 59, 62}}};
    const std::array<int, 4> roots = {33, 29, 36, 31};
    const int beats = static_cast<int>(seconds / kBeatSeconds);
    for (int beat = 0; beat < beats; ++beat) {
        const double time = beat * kBeatSeconds;
        const int bar = (beat / 4) % 4;
        if (beat % 4 == 0) addChord(mix, sampleRate, time, 4 * kBeatSeconds, chords[bar]);
        if (beat % 2 == 0) addKick(mix, sampleRate, time, noise);
        if (beat % 4 == 3) addKick(mix, sampleRate, time + 0.75 * kBeatSeconds, noise);
        if (beat % 2 == 1) addSnare(mix, sampleRate, time, noise);
        for (int eighth = 0; eighth < 2; ++eighth) {
            const double at = time + eighth * 0.5 * kBeatSeconds;
            addHat(mix, sampleRate, at, eighth == 1 ? 0.22 : 0.12, eighth == 1 ? 0.45 : -0.35,
                   noise);
            const int root = roots[bar] + ((beat + eighth) % 4 == 3 ? 12 : 0);
            addBassNote(mix, sampleRate, at, 0.45 * kBeatSeconds, root);
        }
    }

    double peak = 0.0;
    for (std::size_t i = 0; i < frames; ++i)
        peak = std::max({peak, std::fabs(signal.left[i]), std::fabs(signal.right[i])});
    if (peak > 0.0) {
        const double gain = kDemoPeak / peak;
        for (std::size_t i = 0; i < frames; ++i) {
            signal.left[i] *= gain;
            signal.right[i] *= gain;
        }
    }
    return signal;
}

bool writeStereoFile(const std::string& path, const StereoSignal& signal, int format,
                     std::string* error) {
    SF_INFO info{};
    info.samplerate = signal.sampleRate;
    info.channels = 2;
    info.format = format;
    if (!sf_format_check(&info)) {
        *error = "libsndfile cannot write that format at " + std::to_string(signal.sampleRate) +
                 " Hz in stereo";
        return false;
    }
    AtomicOutput output;
    if (!output.open(path, error)) return false;
    SNDFILE* file = openForWriting(output.temporaryPath(), &info);
    if (file == nullptr) {
        *error = "cannot write " + path + ": " + sf_strerror(nullptr);
        return false;
    }
    constexpr std::size_t kBlock = 4096;
    SampleWriter writer(file, format, 2, kBlock);
    std::vector<double> interleaved(2 * kBlock);
    bool ok = true;
    for (std::size_t start = 0; ok && start < signal.frames(); start += kBlock) {
        const std::size_t frames = std::min(kBlock, signal.frames() - start);
        for (std::size_t i = 0; i < frames; ++i) {
            interleaved[2 * i] = signal.left[start + i];
            interleaved[2 * i + 1] = signal.right[start + i];
        }
        ok = writer.write(interleaved.data(), static_cast<int>(frames));
    }
    ok = sf_close(file) == 0 && ok;
    if (!ok) {
        *error = "cannot write all of " + path;
        return false;
    }
    return output.commit(error);
}

}  // namespace kt
