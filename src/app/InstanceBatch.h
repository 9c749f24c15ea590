#pragma once
// Files handed over by later launches: either joined to the queue a fresh
// instance is building, or collected into a batch that replaces the queue.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct InstanceBatch {
    std::uint32_t startTick = 0;  // when the main window was created
    std::vector<std::string> pending;
};

extern InstanceBatch g_instanceBatch;

constexpr std::uint32_t kBatchDelayMs = 300;

// Expands a playlist file into its entries; other paths come back alone.
using PathExpander = std::function<std::vector<std::string>(const std::string&)>;

struct ReceiveResult {
    bool accepted = false;        // false: the path does not exist
    bool joinedQueue = false;     // appended straight to the play queue
    bool restartTimer = false;    // (re)start the batch timer...
    std::uint32_t timerMs = 0;    // ...with this period
};

// Decides where one received path goes and puts it there.
ReceiveResult ReceiveFileFromInstance(InstanceBatch& batch, std::vector<std::string>& queue,
                                      const std::string& path, std::uint32_t now,
                                      bool disableBatchDelay, const PathExpander& expand);

struct BatchPlan {
    bool play = false;
    std::vector<std::string> queue;
    int index = 0;
};

// Finds a path's folder and its index in it (replaces the queue by the folder).
using FolderLoader = std::function<bool(const std::string& path, std::vector<std::string>& queue, int& index)>;

// What the batch timer does: the batch becomes the queue (or, for a single
// file with LoadFolder on, the file's folder). Empties the batch.
BatchPlan TakePendingBatch(InstanceBatch& batch, bool loadFolder, const FolderLoader& loadFolderOf);
