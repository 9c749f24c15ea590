// MIDI files come from anywhere: the timing parser must survive any bytes.
#include <cstddef>
#include <cstdint>

#include "audio/MidiTiming.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    audio::MidiTiming timing;
    if (audio::ParseMidiTiming(data, size, &timing)) {
        const double seconds = audio::MidiTicksToSeconds(timing, timing.totalTicks);
        audio::MidiSecondsToTicks(timing, seconds / 2);
    }
    return 0;
}
