// MIDI decode streams rendered by FluidSynth, and the SoundFont handles.
#include <fluidsynth.h>
#include <sys/stat.h>

#include <cstdio>
#include <fstream>
#include <iterator>

#include "audio/EngineState.h"
#include "audio/MidiTiming.h"

namespace audio {
namespace {

constexpr const char* kSystemFont = "/usr/share/sounds/sf2/default-GM.sf2";

class MidiSource : public StreamSource {
public:
    ~MidiSource() override
    {
        if (player_)
            delete_fluid_player(player_);
        if (synth_)
            delete_fluid_synth(synth_);
        if (settings_)
            delete_fluid_settings(settings_);
    }

    bool Open(std::string fileData, int rate, bool sinc)
    {
        data_ = std::move(fileData);
        auto [smf, size] = FindSmfData(reinterpret_cast<const unsigned char*>(data_.data()), data_.size());
        if (!smf)
            return false;
        smfOffset_ = static_cast<std::size_t>(reinterpret_cast<const char*>(smf) - data_.data());
        smfSize_ = size;
        sampleRate = rate;
        channels = 2;
        settings_ = new_fluid_settings();
        if (!settings_)
            return false;
        fluid_settings_setnum(settings_, "synth.sample-rate", rate);
        fluid_settings_setint(settings_, "synth.polyphony", g_audio.midiVoices.load());
        fluid_settings_setint(settings_, "synth.threadsafe-api", 0);  // the channel lock serialises us
        // Follow the rendered audio, not the wall clock.
        fluid_settings_setstr(settings_, "player.timing-source", "sample");
        synth_ = new_fluid_synth(settings_);
        if (!synth_)
            return false;
        if (sinc)
            fluid_synth_set_interp_method(synth_, -1, FLUID_INTERP_HIGHEST);
        lengthFrames_ = static_cast<std::int64_t>(MidiTicksToSeconds(timing, timing.totalTicks) * rate);
        return StartPlayer(0);
    }

    bool SetSoundFont(const std::string& path) override
    {
        if (fontId_ >= 0)
            fluid_synth_sfunload(synth_, static_cast<unsigned>(fontId_), 1);
        fontId_ = fluid_synth_sfload(synth_, path.c_str(), 1);
        return fontId_ >= 0;
    }

    int Read(float* out, int frames) override
    {
        if (ended_)
            return -1;
        fluid_synth_write_float(synth_, frames, out, 0, 2, out, 1, 2);
        position_ += frames;
        // The player reports done seconds after the last note; the end is the
        // last tick reached with every voice released.
        const bool allTicks = fluid_player_get_current_tick(player_) >= timing.totalTicks ||
                              fluid_player_get_status(player_) == FLUID_PLAYER_DONE;
        if ((allTicks && fluid_synth_get_active_voice_count(synth_) == 0) ||
            position_ > lengthFrames_ + 10LL * sampleRate)
            ended_ = true;
        return frames;
    }

    bool Seek(std::int64_t frame, bool) override
    {
        fluid_synth_all_sounds_off(synth_, -1);
        if (!StartPlayer(MidiSecondsToTicks(timing, static_cast<double>(frame) / sampleRate))) {
            SetError(kErrPosition);
            return false;
        }
        position_ = frame;
        ended_ = false;
        return true;
    }

    std::int64_t LengthFrames() const override { return lengthFrames_; }
    std::int64_t PositionFrames() const override { return position_; }

    MidiTiming timing;

private:
    // A fresh player seeks reliably, also after it has finished.
    bool StartPlayer(std::int64_t tick)
    {
        if (player_)
            delete_fluid_player(player_);
        player_ = new_fluid_player(synth_);
        if (!player_ || fluid_player_add_mem(player_, data_.data() + smfOffset_, smfSize_) != FLUID_OK ||
            fluid_player_play(player_) != FLUID_OK)
            return false;
        if (tick > 0)
            fluid_player_seek(player_, static_cast<int>(std::min<std::int64_t>(tick, 0x7FFFFFFF)));
        return true;
    }

    std::string data_;
    std::size_t smfOffset_ = 0;
    std::size_t smfSize_ = 0;
    fluid_settings_t* settings_ = nullptr;
    fluid_synth_t* synth_ = nullptr;
    fluid_player_t* player_ = nullptr;
    int fontId_ = -1;
    std::int64_t lengthFrames_ = 0;
    std::int64_t position_ = 0;
    bool ended_ = false;
};

void QuietFluidSynth()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    for (int level : {FLUID_PANIC, FLUID_ERR, FLUID_WARN, FLUID_INFO, FLUID_DBG})
        fluid_set_log_function(level, nullptr, nullptr);
}

std::string FontPath(Handle font)
{
    std::lock_guard<std::mutex> lock(g_audio.mutex);
    auto it = g_audio.fonts.find(font);
    return it == g_audio.fonts.end() ? std::string() : it->second;
}

}  // namespace

Handle MidiStreamCreateFile(const std::string& path, std::uint32_t flags)
{
    if (!AudioIsInitialized()) {
        SetError(kErrInit);
        return 0;
    }
    QuietFluidSynth();
    struct stat st {};
    if (stat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) {
        SetError(kErrFileOpen);
        return 0;
    }
    if (st.st_size > 64 * 1024 * 1024) {
        SetError(kErrFileForm);
        return 0;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        SetError(kErrFileOpen);
        return 0;
    }
    std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    auto source = std::make_unique<MidiSource>();
    if (!ParseMidiTiming(reinterpret_cast<const unsigned char*>(data.data()), data.size(), &source->timing)) {
        SetError(kErrFileForm);
        return 0;
    }
    int rate = 44100;
    Handle defaultFont = 0;
    {
        std::lock_guard<std::mutex> lock(g_audio.mutex);
        rate = g_audio.sampleRate;
        defaultFont = g_audio.defaultFont;
    }
    if (!source->Open(std::move(data), rate, (flags & kMidiSincInterp) != 0)) {
        SetError(kErrFileForm);
        return 0;
    }
    std::string font = defaultFont ? FontPath(defaultFont) : std::string();
    if (font.empty() && fluid_is_soundfont(kSystemFont))
        font = kSystemFont;
    if (!font.empty())
        source->SetSoundFont(font);
    return AddChannel(std::move(source), flags);
}

Handle MidiFontLoad(const std::string& path)
{
    QuietFluidSynth();
    struct stat st {};
    if (stat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) {
        SetError(kErrFileOpen);
        return 0;
    }
    if (!fluid_is_soundfont(path.c_str())) {
        SetError(kErrFileForm);
        return 0;
    }
    std::lock_guard<std::mutex> lock(g_audio.mutex);
    const Handle h = NewHandle();
    g_audio.fonts[h] = path;
    SetError(kOk);
    return h;
}

bool MidiFontFree(Handle font)
{
    std::lock_guard<std::mutex> lock(g_audio.mutex);
    if (g_audio.fonts.erase(font) == 0) {
        SetError(kErrHandle);
        return false;
    }
    if (g_audio.defaultFont == font)
        g_audio.defaultFont = 0;
    SetError(kOk);
    return true;
}

bool MidiStreamSetFont(Handle stream, Handle font)
{
    const std::string path = FontPath(font);
    if (path.empty()) {
        SetError(kErrHandle);
        return false;
    }
    if (stream == 0) {
        std::lock_guard<std::mutex> lock(g_audio.mutex);
        g_audio.defaultFont = font;
        SetError(kOk);
        return true;
    }
    ChannelPtr ch = FindChannel(stream);
    if (!ch)
        return false;
    std::lock_guard<std::mutex> lock(ch->lock);
    if (!ch->source || !ch->source->SetSoundFont(path)) {
        SetError(ch->source ? kErrIllegalType : kErrHandle);
        return false;
    }
    SetError(kOk);
    return true;
}

}  // namespace audio
