#include "tempo/TempoProcessor.h"

#include <memory>
#include <new>

#include "tempo/SignalsmithProcessor.h"
#include "tempo/SoundTouchProcessor.h"
#include "tempo/SpeedyProcessor.h"

namespace {

struct TempoProcessorState {
    int selectedType = kTempoSoundTouch;
    std::unique_ptr<TempoProcessor> current;
};

TempoProcessorState g_tempoProcessor;

}  // namespace

void SelectTempoAlgorithm(int type) {
    g_tempoProcessor.selectedType =
        (type == kTempoSpeedy || type == kTempoSignalsmith) ? type : kTempoSoundTouch;
}

int SelectedTempoAlgorithm() { return g_tempoProcessor.selectedType; }

TempoProcessor* CurrentTempoProcessor() {
    if (!g_tempoProcessor.current) {
        switch (g_tempoProcessor.selectedType) {
        case kTempoSpeedy:
            g_tempoProcessor.current.reset(new (std::nothrow) SpeedyProcessor());
            break;
        case kTempoSignalsmith:
            g_tempoProcessor.current.reset(new (std::nothrow) SignalsmithProcessor());
            break;
        default:
            g_tempoProcessor.current.reset(new (std::nothrow) SoundTouchProcessor());
            break;
        }
    }
    return g_tempoProcessor.current.get();
}

void DestroyTempoProcessor() {
    if (!g_tempoProcessor.current) return;
    g_tempoProcessor.current->release();
    g_tempoProcessor.current.reset();
}

audio::Handle BuildTempoOutput(audio::Handle source, float sampleRate, int algorithm,
                               float tempoPercent, float pitchSemitones) {
    auto attempt = [&](int type) -> audio::Handle {
        SelectTempoAlgorithm(type);
        DestroyTempoProcessor();
        TempoProcessor* processor = CurrentTempoProcessor();
        if (!processor) return 0;
        processor->setTempo(tempoPercent);
        processor->setPitch(pitchSemitones);
        return processor->create(source, sampleRate);
    };
    audio::Handle output = attempt(algorithm);
    if (output == 0 && SelectedTempoAlgorithm() != kTempoSoundTouch)
        output = attempt(kTempoSoundTouch);
    return output;
}
