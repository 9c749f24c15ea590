#pragma once
// One recording file written by libsndfile from float frames. The file grows
// under a hidden temporary name in the same folder and gets its real name
// only when it is complete, so nothing half-written looks finished.
#include <string>

struct SoundFileWriter {
    void* file = nullptr;        // SNDFILE*
    std::string tempPath;
    std::string finalPath;
    int channels = 0;
};

// `format` as RecordingFormat, `bitrate` in kbps (compressed formats only).
// False when the encoder cannot start; nothing is left on disk then.
bool OpenSoundFile(SoundFileWriter* writer, const std::string& finalPath, int format, int bitrate, int rate,
                   int channels);
bool WriteSoundFrames(SoundFileWriter* writer, const float* frames, long long count);
// Flushes to disk and gives the file its final name, never replacing another
// file: a taken name becomes "name (2).ext" and so on. Returns the name used,
// empty on failure (the temporary file is then kept, not deleted).
std::string FinishSoundFile(SoundFileWriter* writer);
// Closes and deletes an unfinished file.
void AbandonSoundFile(SoundFileWriter* writer);
// The path "name (n).ext" for n >= 2.
std::string NumberedPath(const std::string& path, int n);
