#pragma once
// Splits a Shoutcast/ICY body into audio bytes and the metadata blocks that
// the server inserts every `metaInt` bytes (a length byte × 16, then text).
#include <cstddef>
#include <string>
#include <vector>

namespace audio {

class IcyDemuxer {
public:
    explicit IcyDemuxer(std::size_t metaInt = 0) : metaInt_(metaInt), untilMeta_(metaInt) {}

    // Appends audio bytes to `audio` and each complete, non-empty metadata
    // text (trailing zero bytes removed) to `metadata`.
    void Feed(const char* data, std::size_t size, std::string* audio, std::vector<std::string>* metadata);

private:
    std::size_t metaInt_;
    std::size_t untilMeta_;
    std::size_t metaLeft_ = 0;
    bool inLengthByte_ = false;
    std::string meta_;
};

// The value of `key` in a metadata text such as StreamTitle='a';StreamUrl='b';
// (key='value' up to "';", else to the end less a closing quote; or key="value").
std::string IcyMetadataValue(const std::string& text, const std::string& key);

}  // namespace audio
