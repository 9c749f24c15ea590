#include "audio/MidiTiming.h"

#include <algorithm>
#include <cstring>

namespace audio {
namespace {

std::uint32_t Be32(const unsigned char* p) { return (std::uint32_t{p[0]} << 24) | (p[1] << 16) | (p[2] << 8) | p[3]; }
std::uint16_t Be16(const unsigned char* p) { return static_cast<std::uint16_t>((p[0] << 8) | p[1]); }
std::uint32_t Le32(const unsigned char* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (std::uint32_t{p[3]} << 24); }

// Reads a variable-length quantity; false when it runs past `end` or is too long.
bool ReadVarLen(const unsigned char*& p, const unsigned char* end, std::uint32_t* value)
{
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i) {
        if (p >= end)
            return false;
        const unsigned char b = *p++;
        v = (v << 7) | (b & 0x7F);
        if (!(b & 0x80)) {
            *value = v;
            return true;
        }
    }
    return false;
}

// Walks one track: its last tick, and its tempo events. False on a malformed track.
bool WalkTrack(const unsigned char* p, const unsigned char* end, std::int64_t* lastTick, std::vector<TempoChange>* tempos)
{
    std::int64_t tick = 0;
    unsigned char running = 0;
    while (p < end) {
        std::uint32_t delta = 0;
        if (!ReadVarLen(p, end, &delta))
            return false;
        tick += delta;
        if (p >= end)
            return false;
        unsigned char status = *p;
        if (status & 0x80) {
            ++p;
        } else {
            if (running == 0)
                return false;
            status = running;  // running status: the byte is data
        }
        if (status == 0xFF) {
            if (p >= end)
                return false;
            const unsigned char type = *p++;
            std::uint32_t len = 0;
            if (!ReadVarLen(p, end, &len) || len > static_cast<std::uint32_t>(end - p))
                return false;
            if (type == 0x51 && len == 3)
                tempos->push_back({tick, static_cast<int>((p[0] << 16) | (p[1] << 8) | p[2])});
            p += len;
            if (type == 0x2F)
                break;
            running = 0;
        } else if (status == 0xF0 || status == 0xF7) {
            std::uint32_t len = 0;
            if (!ReadVarLen(p, end, &len) || len > static_cast<std::uint32_t>(end - p))
                return false;
            p += len;
            running = 0;
        } else if (status >= 0x80 && status < 0xF0) {
            const int dataBytes = (status & 0xF0) == 0xC0 || (status & 0xF0) == 0xD0 ? 1 : 2;
            if (end - p < dataBytes)
                return false;
            p += dataBytes;
            running = status;
        } else {
            return false;  // system common messages do not belong in a file
        }
    }
    *lastTick = std::max(*lastTick, tick);
    return true;
}

}  // namespace

std::pair<const unsigned char*, std::size_t> FindSmfData(const unsigned char* data, std::size_t size)
{
    if (size >= 14 && std::memcmp(data, "MThd", 4) == 0)
        return {data, size};
    if (size >= 20 && std::memcmp(data, "RIFF", 4) == 0 && std::memcmp(data + 8, "RMID", 4) == 0) {
        std::size_t at = 12;
        while (at + 8 <= size) {
            const std::uint32_t len = Le32(data + at + 4);
            if (std::memcmp(data + at, "data", 4) == 0 && len <= size - at - 8)
                return FindSmfData(data + at + 8, len);
            if (len > size - at - 8)
                break;
            at += 8 + len + (len & 1);
        }
    }
    return {nullptr, 0};
}

bool ParseMidiTiming(const unsigned char* data, std::size_t size, MidiTiming* out)
{
    auto [smf, smfSize] = FindSmfData(data, size);
    if (!smf)
        return false;
    const std::uint32_t headerLen = Be32(smf + 4);
    if (headerLen < 6 || headerLen > smfSize - 8)
        return false;
    const int tracks = Be16(smf + 10);
    const std::uint16_t division = Be16(smf + 12);
    MidiTiming timing;
    if (division & 0x8000) {
        const int fps = 256 - (division >> 8);
        const int perFrame = division & 0xFF;
        if (fps <= 0 || perFrame == 0)
            return false;
        timing.smpteTicksPerSecond = (fps == 29 ? 29.97 : fps) * perFrame;
    } else {
        if (division == 0)
            return false;
        timing.ticksPerQuarter = division;
    }
    std::size_t at = 8 + headerLen;
    int found = 0;
    while (found < tracks && at + 8 <= smfSize) {
        const std::uint32_t len = Be32(smf + at + 4);
        const std::size_t avail = smfSize - at - 8;
        const std::size_t use = std::min<std::size_t>(len, avail);  // a cut-off last track still counts
        if (std::memcmp(smf + at, "MTrk", 4) == 0) {
            if (!WalkTrack(smf + at + 8, smf + at + 8 + use, &timing.totalTicks, &timing.tempos))
                return false;
            ++found;
        }
        if (len > avail)
            break;
        at += 8 + len;
    }
    if (found == 0)
        return false;
    std::stable_sort(timing.tempos.begin(), timing.tempos.end(),
                     [](const TempoChange& a, const TempoChange& b) { return a.tick < b.tick; });
    *out = std::move(timing);
    return true;
}

double MidiTicksToSeconds(const MidiTiming& t, std::int64_t ticks)
{
    if (t.smpteTicksPerSecond > 0.0)
        return static_cast<double>(ticks) / t.smpteTicksPerSecond;
    double seconds = 0.0;
    std::int64_t tick = 0;
    int tempo = 500000;
    for (const TempoChange& c : t.tempos) {
        if (c.tick >= ticks)
            break;
        seconds += static_cast<double>(c.tick - tick) * tempo / (1e6 * t.ticksPerQuarter);
        tick = c.tick;
        tempo = c.microsPerQuarter;
    }
    return seconds + static_cast<double>(ticks - tick) * tempo / (1e6 * t.ticksPerQuarter);
}

std::int64_t MidiSecondsToTicks(const MidiTiming& t, double seconds)
{
    if (t.smpteTicksPerSecond > 0.0)
        return static_cast<std::int64_t>(seconds * t.smpteTicksPerSecond);
    double at = 0.0;
    std::int64_t tick = 0;
    int tempo = 500000;
    for (const TempoChange& c : t.tempos) {
        const double next = at + static_cast<double>(c.tick - tick) * tempo / (1e6 * t.ticksPerQuarter);
        if (next > seconds)
            break;
        at = next;
        tick = c.tick;
        tempo = c.microsPerQuarter;
    }
    if (tempo <= 0)
        return tick;
    return tick + static_cast<std::int64_t>((seconds - at) * 1e6 * t.ticksPerQuarter / tempo);
}

}  // namespace audio
