#include "app/InstanceBatch.h"

#include "platform/Paths.h"

InstanceBatch g_instanceBatch;

ReceiveResult ReceiveFileFromInstance(InstanceBatch& batch, std::vector<std::string>& queue,
                                      const std::string& path, std::uint32_t now,
                                      bool disableBatchDelay, const PathExpander& expand)
{
    ReceiveResult result;
    if (path.empty() || !PathExists(path))
        return result;
    result.accepted = true;

    const std::vector<std::string> items = expand ? expand(path) : std::vector<std::string>{path};
    const bool withinStart = static_cast<std::uint32_t>(now - batch.startTick) < kBatchDelayMs;
    if (!disableBatchDelay && withinStart && !queue.empty()) {
        queue.insert(queue.end(), items.begin(), items.end());
        result.joinedQueue = true;
        return result;
    }
    batch.pending.insert(batch.pending.end(), items.begin(), items.end());
    result.restartTimer = true;
    result.timerMs = disableBatchDelay ? 0 : kBatchDelayMs;
    return result;
}

BatchPlan TakePendingBatch(InstanceBatch& batch, bool loadFolder, const FolderLoader& loadFolderOf)
{
    BatchPlan plan;
    if (batch.pending.empty())
        return plan;
    if (loadFolder && batch.pending.size() == 1 && loadFolderOf &&
        loadFolderOf(batch.pending.front(), plan.queue, plan.index)) {
        plan.play = true;
    } else {
        plan.queue = std::move(batch.pending);
        plan.index = 0;
        plan.play = true;
    }
    batch.pending.clear();
    return plan;
}
