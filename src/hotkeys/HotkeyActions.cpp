#include "hotkeys/HotkeyActions.h"

#include "app/Commands.h"

const HotkeyAction HotkeyActions[kHotkeyActionCount] = {
    {cmd::PlayPause, "Play/Pause"},
    {cmd::Play, "Play"},
    {cmd::Pause, "Pause"},
    {cmd::Stop, "Stop"},
    {cmd::Previous, "Previous Track"},
    {cmd::Next, "Next Track"},
    {cmd::SeekBackward, "Seek Backward"},
    {cmd::SeekForward, "Seek Forward"},
    {cmd::PreviousSeekUnit, "Previous Seek Unit"},
    {cmd::NextSeekUnit, "Next Seek Unit"},
    {cmd::SpeakSeekUnit, "Speak Seek Unit"},
    {cmd::VolumeUp, "Volume Up"},
    {cmd::VolumeDown, "Volume Down"},
    {cmd::SpeakElapsed, "Speak Elapsed"},
    {cmd::SpeakRemaining, "Speak Remaining"},
    {cmd::SpeakTotal, "Speak Total"},
    {cmd::SpeakNowPlaying, "Speak Now Playing"},
    {cmd::PreviousEffect, "Previous Effect"},
    {cmd::NextEffect, "Next Effect"},
    {cmd::IncreaseEffect, "Increase Effect"},
    {cmd::DecreaseEffect, "Decrease Effect"},
    {cmd::ToggleVolume, "Toggle Volume"},
    {cmd::ToggleVolume + 1, "Toggle Pitch"},
    {cmd::ToggleVolume + 2, "Toggle Tempo"},
    {cmd::ToggleVolume + 3, "Toggle Rate"},
    {cmd::ToggleEffect0, "Toggle Reverb"},
    {cmd::ToggleEffect0 + 1, "Toggle Echo"},
    {cmd::ToggleEffect0 + 2, "Toggle EQ"},
    {cmd::ToggleEffect0 + 3, "Toggle Compressor"},
    {cmd::ToggleEffect0 + 4, "Toggle Stereo Width"},
    {cmd::ToggleEffect0 + 5, "Toggle Center Cancel"},
    {cmd::ToggleConvolution, "Toggle Convolution Reverb"},
    {cmd::Toggle3DAudio, "Toggle 3D Audio"},
    {cmd::ToggleWindow, "Toggle Window"},
    {cmd::YouTube, "YouTube Search"},
    {cmd::ToggleRecording, "Toggle Recording"},
    {cmd::Shuffle, "Toggle Shuffle"},
    {cmd::AudioDeviceMenu, "Audio Device Menu"},
    {cmd::ToggleMute, "Toggle Mute"},
};

int HotkeyActionCommand(int index)
{
    return index >= 0 && index < kHotkeyActionCount ? HotkeyActions[index].command : 0;
}

const char* HotkeyActionName(int index)
{
    return index >= 0 && index < kHotkeyActionCount ? HotkeyActions[index].name : "";
}
