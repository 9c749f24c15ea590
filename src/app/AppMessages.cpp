#include "app/AppMessages.h"

#include <atomic>

namespace {
std::atomic<MessageSink> g_messageSink{nullptr};
std::atomic<CommandSink> g_commandSink{nullptr};
}  // namespace

void SetMessageSinks(MessageSink messages, CommandSink commands)
{
    g_messageSink.store(messages);
    g_commandSink.store(commands);
}

bool HasMainWindow()
{
    return g_messageSink.load() != nullptr;
}

void PostCommand(int id, long lParam)
{
    if (CommandSink sink = g_commandSink.load())
        sink(PostedCommand{id, lParam});
}

void PostAppMessage(unsigned message, std::uintptr_t wParam, std::unique_ptr<MessagePayload> payload)
{
    if (MessageSink sink = g_messageSink.load())
        sink(PostedMessage{message, wParam, std::move(payload)});
}
