#pragma once
#include <memory>
#include <vector>

#include "tempo/FractionalResampler.h"
#include "tempo/SpeechSpeedProfile.h"

struct sonicStreamStruct;

// Speech speed-up stream on interleaved float frames: Sonic does the
// time-scaling, a speed profile of our own makes it nonlinear, and a
// resampler after Sonic does the pitch (Sonic's own pitch is wrong on more
// than one channel). Output keeps the channel count and the sample rate.
// Not thread-safe: the owner serialises calls.
class SpeechSpeedEngine {
public:
    static constexpr double kMinSpeed = 0.1;
    static constexpr double kMaxSpeed = 6.0;

    // Null when the arguments are unusable or a library refuses.
    static std::unique_ptr<SpeechSpeedEngine> create(int sampleRate, int channels);
    ~SpeechSpeedEngine();  // destroys the stream
    SpeechSpeedEngine(const SpeechSpeedEngine&) = delete;
    SpeechSpeedEngine& operator=(const SpeechSpeedEngine&) = delete;

    // 0 = plain time-scaling, 1 = full nonlinear speed-up.
    void setNonlinearAmount(double amount);
    // Speed factor, held within kMinSpeed..kMaxSpeed.
    void setSpeed(double speed);
    // Pitch factor (2 = an octave up), held within 0.25..4.
    void setPitch(double pitch);

    // False only when Sonic runs out of memory.
    bool write(const float* frames, int frameCount);
    // End of input: everything held comes out.
    void flush();
    // Up to maxFrames frames; 0 when none are ready.
    int read(float* frames, int maxFrames);

    int sampleRate() const { return sampleRate_; }
    int channels() const { return channels_; }
    double speed() const { return speed_; }
    double pitch() const { return pitch_; }

private:
    SpeechSpeedEngine() = default;
    bool writeToSonic(const float* frames, int frameCount, double speed);
    void drainSonic();
    bool passPending(bool atEnd);

    sonicStreamStruct* sonic_ = nullptr;
    int sampleRate_ = 0;
    int channels_ = 0;
    double speed_ = 1.0;
    double pitch_ = 1.0;
    double amount_ = 0.0;
    double previousHopSpeed_ = 1.0;
    long long hopSpeedsApplied_ = 0;
    bool pitchStageUsed_ = false;

    SpeechSpeedProfile profile_;
    FractionalResampler pitchStage_;
    std::vector<float> pending_;       // input held until its hop's speed is known
    std::vector<double> hopSpeeds_;    // decided, not yet applied
    std::vector<float> mono_;
    std::vector<float> sonicOut_;
    std::vector<float> output_;        // ready for read()
    size_t outputStart_ = 0;
};
