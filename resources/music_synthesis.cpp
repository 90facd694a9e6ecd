#include "music_synthesis.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

namespace velmora::resources {

namespace {

constexpr double kPi = 3.14159265358979323846;

double noteFrequency(int midiNote) {
    return 440.0 * std::pow(2.0, (midiNote - 69) / 12.0);
}

// A soft tone: a sine with a little of its octave, shaped by an envelope
// that rises over `attack` seconds and dies away exponentially.
double tone(double frequency, double time, double attack, double decay) {
    if (time < 0) return 0;
    const double envelope = std::min(1.0, time / attack) * std::exp(-time / decay);
    const double phase = 2 * kPi * frequency * time;
    return envelope * (std::sin(phase) + 0.25 * std::sin(2 * phase) + 0.08 * std::sin(3 * phase));
}

// C major, A minor, F major, G major: root position triads with a bass note.
constexpr std::array<std::array<int, 4>, 4> kChords = {{
    {48, 60, 64, 67},
    {45, 57, 60, 64},
    {41, 57, 60, 65},
    {43, 55, 59, 62},
}};
constexpr double kChordSeconds = 3.0;
constexpr double kArpeggioStep = kChordSeconds / 8;

// The sample piece: G, D, E minor, C, a bar of four beats each.
constexpr double kBeat = 0.6;
constexpr std::array<std::array<int, 4>, 4> kSampleChords = {{
    {43, 55, 59, 62},
    {38, 54, 57, 62},
    {40, 55, 59, 64},
    {36, 55, 60, 64},
}};
// The tune in eighth notes, one bar a chord (0 = rest); it runs over two
// rounds of the progression.
constexpr std::array<std::array<int, 8>, 8> kTune = {{
    {71, 0, 74, 71, 67, 0, 69, 71},
    {69, 0, 66, 69, 74, 0, 0, 0},
    {71, 0, 67, 71, 76, 0, 74, 71},
    {72, 0, 71, 69, 67, 0, 0, 0},
    {74, 0, 79, 78, 74, 0, 71, 74},
    {73, 0, 74, 76, 78, 0, 0, 0},
    {79, 0, 78, 76, 71, 0, 74, 76},
    {72, 0, 74, 71, 67, 0, 0, 0},
}};

// A short burst of noise for the tick, from a hash of the sample index so
// that every build writes the same sound.
double tickNoise(int index) {
    uint32_t h = uint32_t(index) * 0x9E3779B1u;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    return h / 2147483647.5 - 1;
}

}  // namespace

StereoSound synthesiseSampleMusic(int seconds) {
    StereoSound sound;
    const int frames = seconds * sound.sampleRate;
    sound.samples.resize(size_t(frames) * 2);
    const double bar = 4 * kBeat, eighth = kBeat / 2;
    for (int i = 0; i < frames; ++i) {
        const double t = double(i) / sound.sampleRate;
        const int barIndex = int(t / bar);
        const auto& chord = kSampleChords[size_t(barIndex) % kSampleChords.size()];
        const double barTime = t - barIndex * bar;

        double chords = 0;
        for (size_t k = 1; k < chord.size(); ++k)
            chords += tone(noteFrequency(chord[k]), std::fmod(barTime, 2 * kBeat), 0.02, 0.5);
        // Bass on the first and third beats, the fifth above on the third.
        const double halfBar = std::fmod(barTime, 2 * kBeat);
        const int bassNote = barTime < 2 * kBeat ? chord[0] : chord[0] + 7;
        const double bass = tone(noteFrequency(bassNote), halfBar, 0.005, 0.35);
        const int step = int(barTime / eighth);
        const int note = kTune[size_t(barIndex) % kTune.size()][size_t(step)];
        const double tune =
            note == 0 ? 0 : tone(noteFrequency(note), barTime - step * eighth, 0.01, 0.28);
        const double beatTime = std::fmod(barTime + kBeat / 2, kBeat);
        const double tick = 0.5 * tickNoise(i) * std::exp(-beatTime / 0.015);

        const double fade = std::min({1.0, t / 1.0, (seconds - t) / 3.0});
        const double left = 0.06 * chords + 0.2 * bass + 0.2 * tune + 0.03 * tick;
        const double right = 0.06 * chords + 0.2 * bass + 0.13 * tune + 0.06 * tick;
        sound.samples[size_t(i) * 2] = float(std::clamp(left * fade, -1.0, 1.0));
        sound.samples[size_t(i) * 2 + 1] = float(std::clamp(right * fade, -1.0, 1.0));
    }
    return sound;
}

StereoSound synthesiseDefaultMusic(int seconds) {
    StereoSound sound;
    const int frames = seconds * sound.sampleRate;
    sound.samples.resize(size_t(frames) * 2);
    for (int i = 0; i < frames; ++i) {
        const double t = double(i) / sound.sampleRate;
        const int chordIndex = int(t / kChordSeconds) % int(kChords.size());
        const auto& chord = kChords[size_t(chordIndex)];
        const double chordTime = std::fmod(t, kChordSeconds);

        double pad = 0;
        for (int note : chord)
            pad += tone(noteFrequency(note), chordTime, 0.6, 2.5);
        // Arpeggio an octave up: the three upper notes, up and down again.
        constexpr int kPattern[8] = {1, 2, 3, 2, 1, 2, 3, 2};
        const int step = int(chordTime / kArpeggioStep);
        const double stepTime = chordTime - step * kArpeggioStep;
        const double arpeggio =
            tone(noteFrequency(chord[size_t(kPattern[step])] + 12), stepTime, 0.01, 0.35);

        // Fade in over two seconds and out over four.
        const double fade = std::min({1.0, t / 2.0, (seconds - t) / 4.0});
        const double left = 0.10 * pad + 0.16 * arpeggio * (step % 2 == 0 ? 1.0 : 0.6);
        const double right = 0.10 * pad + 0.16 * arpeggio * (step % 2 == 0 ? 0.6 : 1.0);
        sound.samples[size_t(i) * 2] = float(std::clamp(left * fade, -1.0, 1.0));
        sound.samples[size_t(i) * 2 + 1] = float(std::clamp(right * fade, -1.0, 1.0));
    }
    return sound;
}

}  // namespace velmora::resources
