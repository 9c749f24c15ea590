#pragma once
// The timing of a Standard MIDI File: its length in ticks and its tempo map,
// so that lengths and seek targets can be given in seconds (the synthesizer
// has no call for that).
#include <cstddef>
#include <cstdint>
#include <vector>

namespace audio {

struct TempoChange {
    std::int64_t tick = 0;
    int microsPerQuarter = 500000;
};

struct MidiTiming {
    int ticksPerQuarter = 480;
    double smpteTicksPerSecond = 0.0;  // > 0 for SMPTE time division
    std::int64_t totalTicks = 0;       // tick of the last event of the longest track
    std::vector<TempoChange> tempos;   // sorted by tick
};

// Parses an SMF (or an RMID file wrapping one). False for anything else.
bool ParseMidiTiming(const unsigned char* data, std::size_t size, MidiTiming* out);
// The SMF inside an RMID wrapper, or the data itself; {nullptr, 0} if neither.
std::pair<const unsigned char*, std::size_t> FindSmfData(const unsigned char* data, std::size_t size);
double MidiTicksToSeconds(const MidiTiming& timing, std::int64_t ticks);
std::int64_t MidiSecondsToTicks(const MidiTiming& timing, double seconds);

}  // namespace audio
