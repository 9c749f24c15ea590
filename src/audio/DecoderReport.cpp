// What this engine can decode, in the plug-in report's terms.
extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}
#include <fluidsynth.h>

#include "audio/AudioEngine.h"

namespace audio {
namespace {

struct Family {
    const char* name;
    const char* decoder;   // an FFmpeg decoder, or nullptr for a demuxer test
    const char* demuxer;
};

// One entry per format family of the Open dialog.
constexpr Family kFamilies[] = {
    {"MP3", "mp3float", nullptr},   {"MP2", "mp2float", nullptr},  {"WAV", "pcm_s16le", nullptr},
    {"AIFF", nullptr, "aiff"},      {"OGG Vorbis", "vorbis", nullptr}, {"Opus", "opus", nullptr},
    {"FLAC", "flac", nullptr},      {"AAC", "aac", nullptr},       {"ALAC", "alac", nullptr},
    {"WMA", "wmav2", nullptr},      {"APE", "ape", nullptr},       {"WavPack", "wavpack", nullptr},
    {"DSD", "dsd_lsbf", nullptr},   {"Tracker modules", nullptr, "libopenmpt"},
};

}  // namespace

void DecoderFamilies(std::vector<std::string>* loaded, std::vector<std::string>* failed)
{
    for (const Family& f : kFamilies) {
        const bool ok = f.decoder ? avcodec_find_decoder_by_name(f.decoder) != nullptr
                                  : av_find_input_format(f.demuxer) != nullptr;
        (ok ? loaded : failed)->push_back(f.name);
    }
    // MIDI goes through FluidSynth, linked in: present whenever we run.
    int major = 0, minor = 0, micro = 0;
    fluid_version(&major, &minor, &micro);
    (major >= 2 ? loaded : failed)->push_back("MIDI (FluidSynth)");
}

std::string FormatPluginReport(const std::vector<std::string>& loaded, const std::vector<std::string>& failed)
{
    auto join = [](const std::vector<std::string>& names) {
        if (names.empty())
            return std::string("(none)");
        std::string text;
        for (const auto& n : names) {
            if (!text.empty())
                text += ", ";
            text += n;
        }
        return text;
    };
    return "Loaded: " + join(loaded) + "\nFailed: " + join(failed);
}

}  // namespace audio
