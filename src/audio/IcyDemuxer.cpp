#include "audio/IcyDemuxer.h"

#include <algorithm>

namespace audio {

void IcyDemuxer::Feed(const char* data, std::size_t size, std::string* audio, std::vector<std::string>* metadata)
{
    if (metaInt_ == 0) {
        audio->append(data, size);
        return;
    }
    std::size_t at = 0;
    while (at < size) {
        if (untilMeta_ > 0) {
            const std::size_t n = std::min(untilMeta_, size - at);
            audio->append(data + at, n);
            at += n;
            untilMeta_ -= n;
            if (untilMeta_ == 0)
                inLengthByte_ = true;
            continue;
        }
        if (inLengthByte_) {
            metaLeft_ = static_cast<unsigned char>(data[at++]) * 16u;
            inLengthByte_ = false;
            meta_.clear();
        } else {
            const std::size_t n = std::min(metaLeft_, size - at);
            meta_.append(data + at, n);
            at += n;
            metaLeft_ -= n;
        }
        if (!inLengthByte_ && metaLeft_ == 0) {
            while (!meta_.empty() && meta_.back() == '\0')
                meta_.pop_back();
            if (!meta_.empty())
                metadata->push_back(meta_);
            meta_.clear();
            untilMeta_ = metaInt_;
        }
    }
}

std::string IcyMetadataValue(const std::string& text, const std::string& key)
{
    std::size_t at = text.find(key + "='");
    if (at != std::string::npos) {
        at += key.size() + 2;
        const std::size_t end = text.find("';", at);
        if (end != std::string::npos)
            return text.substr(at, end - at);
        std::string rest = text.substr(at);
        if (!rest.empty() && rest.back() == '\'')
            rest.pop_back();
        return rest;
    }
    at = text.find(key + "=\"");
    if (at != std::string::npos) {
        at += key.size() + 2;
        const std::size_t end = text.find('"', at);
        return text.substr(at, end == std::string::npos ? std::string::npos : end - at);
    }
    return {};
}

}  // namespace audio
