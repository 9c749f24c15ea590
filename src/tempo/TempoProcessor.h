#pragma once
// The tempo processor: takes an item's decode stream and builds the output
// stream that plays, changing tempo without pitch and pitch without tempo.
// Position, length and seeking stay in the item's own time whatever the
// tempo. One processor exists at a time; the engine behind it is chosen at
// run time, hence the virtual interface.
#include "audio/AudioEngine.h"

class TempoProcessor {
public:
    virtual ~TempoProcessor() = default;

    // Attaches to a decode stream and builds the output; 0 on failure.
    virtual audio::Handle create(audio::Handle source, float sampleRate) = 0;
    // Frees the output and forgets the source.
    virtual void release() = 0;
    virtual void setTempo(float percent) = 0;     // added to normal speed
    virtual void setPitch(float semitones) = 0;
    virtual void setRate(float factor) = 0;
    virtual float getTempo() = 0;
    virtual float getPitch() = 0;
    virtual float getRate() = 0;
    virtual bool isActive() = 0;
    virtual int typeId() = 0;                      // kTempoSoundTouch ...
    virtual double lengthSeconds() = 0;            // item time
    virtual double positionSeconds() = 0;          // item time
    virtual void seek(double seconds) = 0;         // item time
    virtual audio::Handle sourceHandle() = 0;
};

constexpr int kTempoSoundTouch = 0;
constexpr int kTempoSpeedy = 1;
constexpr int kTempoSignalsmith = 2;

// Stores the type the next processor is built as (anything unknown is
// SoundTouch).
void SelectTempoAlgorithm(int type);
int SelectedTempoAlgorithm();
// The current processor, built as the selected type on first demand; null
// only when it cannot be built.
TempoProcessor* CurrentTempoProcessor();
// Releases and deletes the current processor.
void DestroyTempoProcessor();

// The processor of an item being opened: a fresh processor of `algorithm`
// with the given tempo and pitch, its output built on `source`. When that
// engine cannot take the source, SoundTouch is tried once, silently.
// Returns the output (0 when even SoundTouch fails); the processor stays
// current either way.
audio::Handle BuildTempoOutput(audio::Handle source, float sampleRate, int algorithm,
                               float tempoPercent, float pitchSemitones);
