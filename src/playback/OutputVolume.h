#pragma once
// Output devices by name, the shared volume and the mute switch.
#include <string>

// -1 (the system default) for an empty or unknown name.
int DeviceIndexByName(const std::string& name);
std::string DeviceName(int index);

// Clamps, stores, applies and announces the new gain.
void SetVolume(float gain);
void ToggleMute();
float MaxVolume();
