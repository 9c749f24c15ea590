#pragma once
#include <vector>

struct fftwf_plan_s;

// Nonlinear speed-up: decides, hop by hop, how fast each stretch of speech
// plays. Pauses and steady sounds get more than the requested speed, the
// transitions between speech sounds less, while the mean over a few
// seconds stays the requested speed. Works on a mono mix, with a lookahead
// of a few hops.
class SpeechSpeedProfile {
public:
    SpeechSpeedProfile();
    ~SpeechSpeedProfile();
    SpeechSpeedProfile(const SpeechSpeedProfile&) = delete;
    SpeechSpeedProfile& operator=(const SpeechSpeedProfile&) = delete;

    bool configure(int sampleRate);
    int hopFrames() const { return hop_; }

    // 0 = every hop at the requested speed, 1 = full nonlinear profile.
    void setAmount(double amount) { amount_ = amount; }

    // Feeds mono samples. Each decided hop appends one speed to `speeds`,
    // in input order, for the next hopFrames() input frames.
    void push(const float* mono, int frames, double requestedSpeed, std::vector<double>& speeds);
    // Decides the hops still waiting at the end of the input (the last one
    // may be partial).
    void finish(double requestedSpeed, std::vector<double>& speeds);
    void clear();

private:
    struct Frame {
        double levelDb = -120.0;
        double flux = 0.0;
    };
    void analyseFrame();
    void decide(double requestedSpeed, std::vector<double>& speeds, bool atEnd);
    double hopWeight(int index) const;

    int sampleRate_ = 0;
    int hop_ = 0;
    int fftSize_ = 0;
    double amount_ = 0.0;
    fftwf_plan_s* plan_ = nullptr;
    float* fftIn_ = nullptr;
    void* fftOut_ = nullptr;
    std::vector<float> window_;
    std::vector<int> bandEdges_;
    std::vector<double> previousBands_;
    std::vector<double> bands_;

    std::vector<float> samples_;       // mono input not yet analysed past
    long long analysedFrames_ = 0;     // analysis frames made
    std::vector<Frame> frames_;        // analysed, not yet decided, plus context
    long long decidedFrames_ = 0;
    int contextFrames_ = 0;            // decided frames kept at the front of frames_
    double loudDb_ = -120.0;
    double meanWeight_ = 0.0;
    long long weightCount_ = 0;
    double outputDebtSeconds_ = 0.0;
};
