#include "net/BodyText.h"

namespace {

constexpr char kReplacement[] = "\xEF\xBF\xBD";

// Length of the valid sequence starting at s[i], or 0 when it is invalid; in
// that case `bad` is how many bytes form the maximal invalid subpart.
std::size_t ValidSequenceLength(std::string_view s, std::size_t i, std::size_t& bad)
{
    const auto b = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char lead = b(i);
    bad = 1;
    std::size_t need = 0;
    unsigned char lo = 0x80, hi = 0xBF;   // allowed range of the second byte
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF) {
        need = 1;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        need = 2;
        if (lead == 0xE0) lo = 0xA0;       // overlong
        if (lead == 0xED) hi = 0x9F;       // surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        need = 3;
        if (lead == 0xF0) lo = 0x90;       // overlong
        if (lead == 0xF4) hi = 0x8F;       // above U+10FFFF
    } else {
        return 0;
    }
    for (std::size_t k = 1; k <= need; ++k) {
        if (i + k >= s.size())
            return 0;
        const unsigned char c = b(i + k);
        const bool ok = k == 1 ? (c >= lo && c <= hi) : (c >= 0x80 && c <= 0xBF);
        if (!ok)
            return 0;
        bad = k + 1;
    }
    return need + 1;
}

}  // namespace

std::string DecodeBodyText(std::string_view body)
{
    const std::size_t zero = body.find('\0');
    if (zero != std::string_view::npos)
        body = body.substr(0, zero);
    std::string out;
    out.reserve(body.size());
    std::size_t i = 0;
    while (i < body.size()) {
        std::size_t bad = 1;
        const std::size_t len = ValidSequenceLength(body, i, bad);
        if (len) {
            out.append(body.substr(i, len));
            i += len;
        } else {
            out += kReplacement;
            i += bad;
        }
    }
    return out;
}
