#include "app/StatusText.h"

#include "i18n/Translations.h"
#include "platform/Paths.h"

#include <algorithm>
#include <cstdio>

std::string FormatTime(double seconds)
{
    // Negative and absurd values (a corrupt length) must not overflow the cast.
    long total = seconds > 0 ? static_cast<long>(std::min(seconds, 1e12)) : 0;
    const long h = total / 3600, m = (total / 60) % 60, s = total % 60;
    char buf[32];
    if (h > 0)
        std::snprintf(buf, sizeof buf, "%ld:%02ld:%02ld", h, m, s);
    else
        std::snprintf(buf, sizeof buf, "%ld:%02ld", m, s);
    return buf;
}

StatusTexts ComposeStatus(const StatusInputs& in)
{
    StatusTexts out;
    out.time = in.length > 0 ? FormatTime(in.position) + " / " + FormatTime(in.length) : "--:-- / --:--";

    char buf[128];
    const int percent = static_cast<int>(in.volume * 100.0f + 0.5f);
    std::snprintf(buf, sizeof buf, "%s: %d%%", Translate("Vol"), percent);
    out.volume = buf;

    switch (in.state) {
    case ChannelState::None:
    case ChannelState::Stopped: out.state = TranslateUtf8("Stopped"); break;
    case ChannelState::Playing: out.state = TranslateUtf8("Playing"); break;
    case ChannelState::Paused: out.state = TranslateUtf8("Paused"); break;
    case ChannelState::Stalled: break;
    }
    if (in.video) {
        out.state += " | " + TranslateUtf8("Video");
    } else if (in.bitrateKbps > 0) {
        if (!out.state.empty())
            out.state += " | ";
        std::snprintf(buf, sizeof buf, in.vbr ? "~%d kbps VBR" : "%d kbps", in.bitrateKbps);
        out.state += buf;
    }
    if (in.recording) {
        if (!out.state.empty())
            out.state += " | ";
        out.state += TranslateUtf8("REC");
    }
    return out;
}

namespace {
// A URL has no file-name part of its own: it is shown whole.
std::string ItemNamePart(const std::string& item)
{
    return item.find("://") != std::string::npos ? item : FileNamePart(item);
}
}  // namespace

std::string ComposeWindowTitle(const TitleInputs& in)
{
    std::string title = "Corvane";
    if (!in.showTitleInWindow)
        return title;
    if (in.video) {
        std::string name = in.videoTitle;
        if (name.empty() && in.hasCurrentItem)
            name = ItemNamePart(in.currentItem);
        if (!name.empty())
            title += " - " + name;
        return title;
    }
    if (!in.hasCurrentItem)
        return title;
    std::string name = in.titleText;
    if (name.empty() || name == Translate("No title") || name == Translate("Nothing playing"))
        name = ItemNamePart(in.currentItem);
    title += " - " + name;
    return title;
}
