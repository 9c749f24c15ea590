#pragma once
// Output devices by name, the shared volume and the mute switch.
#include <string>
#include <vector>

// -1 (the system default) for an empty or unknown name.
int DeviceIndexByName(const std::string& name);
std::string DeviceName(int index);

// Moves playback to another output device, keeping the item, its place and
// whether it was playing. False when the device would not start (the
// engine is then back on the default device, silent).
bool SwitchDevice(int index);
// The same for a chosen device (index > 0), with the spoken result.
void SwitchDeviceAndAnnounce(int index);

struct DeviceChoice {
    int index = 0;
    std::string name;
    bool checked = false;
};
// Enabled devices from 1 up, the current one checked.
std::vector<DeviceChoice> DeviceChoices();

// Clamps, stores, applies and announces the new gain.
void SetVolume(float gain);
void ToggleMute();
float MaxVolume();
