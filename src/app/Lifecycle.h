#pragma once
// The start-up and shutdown steps that run inside the main window's life,
// and the hand-over of files between the queue and playback.
#include "app/InstanceBatch.h"

#include <string>
#include <vector>

class MainFrame;

// Subsystem start-up inside window creation; false makes creation fail.
bool CreationSteps(MainFrame& frame);
// Plays what the command line queued (after the start tick is taken).
void PlayCommandLineQueue(MainFrame& frame);
void StartBackgroundChecks(MainFrame& frame);
void ShutdownSteps(MainFrame& frame);

// Starts the queue at an index: the one way queue entries are opened.
void StartQueueAt(MainFrame& frame, int index, bool play);

// Brings back the remembered queue when the command line gave none.
void RestoreQueueFromSettings(MainFrame& frame);

ReceiveResult ReceiveFileFromQueueOwner(const std::string& path);
void PlayPendingBatch(MainFrame& frame);

// Playlist files give their entries; every other path stands for itself.
std::vector<std::string> ExpandLaunchPath(const std::string& path);
