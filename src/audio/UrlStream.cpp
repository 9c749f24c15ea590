// URL streams: a download thread (libcurl) fills a network buffer, stripping
// ICY metadata on the way; a decode thread turns the bytes into float frames
// ahead of time. The mixing thread only copies decoded frames and never waits
// for the network.
#include <curl/curl.h>

extern "C" {
#include <libavformat/avformat.h>
}

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>

#include "audio/EngineState.h"
#include "audio/FfmpegDecoder.h"
#include "audio/FileTags.h"
#include "audio/IcyDemuxer.h"
#include "audio/NetworkBuffer.h"
#include "audio/Syncs.h"

namespace audio {
namespace {

constexpr int kDecodeChunkFrames = 4096;
constexpr std::size_t kLiveWindowBytes = 256 * 1024;
constexpr int kAvioBufferBytes = 32 * 1024;

bool StartsWithNoCase(const std::string& text, const char* prefix)
{
    const std::size_t n = std::strlen(prefix);
    return text.size() >= n && strncasecmp(text.c_str(), prefix, n) == 0;
}

class UrlSource : public StreamSource {
public:
    UrlSource(std::string address, std::uint32_t creationFlags) : url(std::move(address)), flags(creationFlags)
    {
        timeoutMs = g_audio.netTimeoutMs.load();
        prebufferPercent = g_audio.netPrebufferPercent.load();
        bufferMs = g_audio.netBufferMs.load();
        maxRedirects = g_audio.netMaxRedirects.load();
        std::lock_guard<std::mutex> lock(g_audio.mutex);
        agent = g_audio.userAgent;
    }

    ~UrlSource() override
    {
        Shutdown();
        decoder.reset();  // before the byte stream it reads
        if (avio) {
            av_freep(&avio->buffer);
            avio_context_free(&avio);
        }
    }

    // Connects and reads the reply's headers. Returns 0 or an error code.
    int Connect()
    {
        download = std::thread([this] { DownloadLoop(); });
        std::unique_lock<std::mutex> lock(infoMutex);
        const bool ready = infoChanged.wait_for(lock, std::chrono::milliseconds(timeoutMs + 500),
                                                [&] { return bodyStarted || downloadEnded; });
        if (!ready)
            return kErrTimeout;
        if (!bodyStarted)
            return downloadError != 0 ? downloadError : kErrFileOpen;
        return 0;
    }

    int OpenDecoder()
    {
        const bool seekable = Seekable();
        avio = avio_alloc_context(static_cast<unsigned char*>(av_malloc(kAvioBufferBytes)), kAvioBufferBytes, 0, this,
                                  &UrlSource::AvioRead, nullptr, seekable ? &UrlSource::AvioSeek : nullptr);
        if (!avio)
            return kErrMemory;
        avio->seekable = seekable ? AVIO_SEEKABLE_NORMAL : 0;
        decoder = std::make_unique<FfmpegDecoder>();
        decoder->SetQuickProbe(true);
        int error = decoder->Open(url, avio);
        if (error != 0 && readTimedOut)
            error = kErrTimeout;
        if (error != 0) {
            std::lock_guard<std::mutex> lock(infoMutex);
            if (downloadError != 0)
                error = downloadError;  // the connection broke: say so, not "bad format"
        }
        if (error != 0)
            return error;
        sampleRate = decoder->sampleRate();
        channels = decoder->channels();
        capacityFrames = static_cast<std::size_t>(std::max(500, bufferMs)) * static_cast<std::size_t>(sampleRate) / 1000;
        pcm.assign(capacityFrames * static_cast<std::size_t>(channels), 0.0f);
        return 0;
    }

    void StartDecoding() { decodeThread = std::thread([this] { DecodeLoop(); }); }

    int Read(float* out, int frames) override
    {
        std::lock_guard<std::mutex> lock(pcmMutex);
        if (buffering) {
            const auto needed = capacityFrames * static_cast<std::size_t>(prebufferPercent) / 100;
            if (pcmFrames < std::max<std::size_t>(needed, 1) && !decodeDone)
                return 0;
            buffering = false;
        }
        const std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(frames), pcmFrames);
        if (n == 0) {
            if (decodeDone)
                return -1;
            buffering = true;  // ran dry: fill up again before going on
            return 0;
        }
        const auto c = static_cast<std::size_t>(channels);
        for (std::size_t done = 0; done < n;) {
            const std::size_t run = std::min(n - done, capacityFrames - pcmStart);
            std::memcpy(out + done * c, &pcm[pcmStart * c], run * c * sizeof(float));
            pcmStart = (pcmStart + run) % capacityFrames;
            done += run;
        }
        pcmFrames -= n;
        position += static_cast<std::int64_t>(n);
        pcmChanged.notify_all();
        return static_cast<int>(n);
    }

    bool Seek(std::int64_t frame, bool) override
    {
        if (!Seekable()) {
            SetError(kErrNotFile);
            return false;
        }
        std::lock_guard<std::mutex> lock(pcmMutex);
        ++seekGeneration;
        seekTarget = frame;
        pcmStart = 0;
        pcmFrames = 0;
        position = frame;
        decodeDone = false;
        buffering = true;
        pcmChanged.notify_all();
        return true;
    }

    std::int64_t LengthFrames() const override { return Live() ? 0 : decoder->LengthFrames(); }

    std::int64_t PositionFrames() const override
    {
        std::lock_guard<std::mutex> lock(pcmMutex);
        return position;
    }

    std::string Tags(int type) const override
    {
        std::lock_guard<std::mutex> lock(infoMutex);
        switch (type) {
        case kTagHttp:
        case kTagIcy: {
            if ((type == kTagIcy) != icyReply || headerLines.empty())
                return {};
            std::string block;
            for (const auto& line : headerLines)
                block += line + '\0';
            return block + '\0';
        }
        case kTagMeta: return metadata;
        case kTagId3v2: {
            const std::string head = network->Bytes(0, 10);
            const std::size_t size = head.size() == 10 ? Id3v2TagSize(reinterpret_cast<const unsigned char*>(head.data()), 10) : 0;
            return size ? network->Bytes(0, size) : std::string();
        }
        case kTagId3: {
            const std::int64_t total = network->TotalBytes();
            const std::string block = total >= 128 ? network->Bytes(total - 128, 128) : std::string();
            return block.compare(0, 3, "TAG") == 0 ? block : std::string();
        }
        default: return {};
        }
    }

    bool DownloadComplete() const override
    {
        return network && network->Finished() && network->TotalBytes() >= 0;
    }

    float BitrateKbps() const override
    {
        {
            std::lock_guard<std::mutex> lock(infoMutex);
            if (headerBitrate > 0)
                return static_cast<float>(headerBitrate);
        }
        return decoder ? decoder->BitrateKbps() : 0.0f;
    }

    void Shutdown() override
    {
        shuttingDown = true;
        {
            std::lock_guard<std::mutex> lock(pcmMutex);
            stopping = true;
            pcmChanged.notify_all();
        }
        {
            // Under infoMutex: a body that starts now sees shuttingDown instead.
            std::lock_guard<std::mutex> lock(infoMutex);
            if (network)
                network->Abort();
        }
        if (decodeThread.joinable())
            decodeThread.join();
        if (download.joinable())
            download.join();
    }

    std::string url;
    std::uint32_t flags;
    std::atomic<Handle> owner{0};
    std::unique_ptr<NetworkBuffer> network;

private:
    bool Live() const
    {
        std::lock_guard<std::mutex> lock(infoMutex);
        return icyReply || contentLength < 0;
    }
    bool Seekable() const { return !(flags & kStreamBlock) && !Live(); }

    // ---- download thread ----

    void DownloadLoop()
    {
        CURL* curl = curl_easy_init();
        if (!curl) {
            EndDownload(kErrMemory, false);
            return;
        }
        curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
        curl_easy_setopt(curl, CURLOPT_USERAGENT, agent.c_str());
        curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
        curl_easy_setopt(curl, CURLOPT_MAXREDIRS, static_cast<long>(maxRedirects));
        curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
        curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
        curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(timeoutMs));
        curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
        // Shoutcast's "ICY 200 OK" reply reaches us as HTTP/0.9: its headers
        // arrive with the body and are parsed here.
        curl_easy_setopt(curl, CURLOPT_HTTP09_ALLOWED, 1L);
        curl_slist* headers = curl_slist_append(nullptr, "Icy-MetaData: 1");
        curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
        curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, &UrlSource::OnHeader);
        curl_easy_setopt(curl, CURLOPT_HEADERDATA, this);
        curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &UrlSource::OnBody);
        curl_easy_setopt(curl, CURLOPT_WRITEDATA, this);
        curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
        curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, &UrlSource::OnProgress);
        curl_easy_setopt(curl, CURLOPT_XFERINFODATA, this);
        lastData = std::chrono::steady_clock::now();
        curlHandle = curl;

        const CURLcode result = curl_easy_perform(curl);
        int error = 0;
        if (stalled)
            error = kErrTimeout;
        else if (notHttp)
            error = kErrFileForm;
        else if (httpFailed)
            error = kErrFileOpen;
        else if (result != CURLE_OK)
            error = MapCurlError(result);
        curl_slist_free_all(headers);
        curl_easy_cleanup(curl);
        EndDownload(error, result == CURLE_OK);
    }

    static int MapCurlError(CURLcode code)
    {
        switch (code) {
        case CURLE_OPERATION_TIMEDOUT: return kErrTimeout;
        case CURLE_SSL_CONNECT_ERROR:
        case CURLE_PEER_FAILED_VERIFICATION:
        case CURLE_SSL_CERTPROBLEM:
        case CURLE_SSL_CIPHER:
        case CURLE_SSL_CACERT_BADFILE:
        case CURLE_SSL_ENGINE_NOTFOUND: return kErrSsl;
        case CURLE_OUT_OF_MEMORY: return kErrMemory;
        case CURLE_WEIRD_SERVER_REPLY:
        case CURLE_UNSUPPORTED_PROTOCOL: return kErrFileForm;
        default: return kErrFileOpen;  // refused, unknown host, endless redirects, cut off
        }
    }

    void EndDownload(int error, bool complete)
    {
        if (network)
            network->Finish(complete && error == 0, contentLength);
        {
            std::lock_guard<std::mutex> lock(infoMutex);
            downloadEnded = true;
            downloadError = error;
        }
        infoChanged.notify_all();
        const Handle h = owner.load();
        if (complete && error == 0 && h != 0)
            FireSyncs(h, kSyncDownload, 0);
    }

    static std::size_t OnHeader(char* data, std::size_t size, std::size_t count, void* user)
    {
        static_cast<UrlSource*>(user)->HeaderLine(std::string(data, size * count));
        return size * count;
    }

    void HeaderLine(std::string line)
    {
        UrlSource* self = this;
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
            line.pop_back();
        std::lock_guard<std::mutex> lock(self->infoMutex);
        if (StartsWithNoCase(line, "HTTP/") || StartsWithNoCase(line, "ICY ")) {
            // A new reply (after a redirect, or the first): start over.
            self->headerLines.clear();
            self->icyReply = StartsWithNoCase(line, "ICY ");
            self->metaInt = 0;
            self->headerBitrate = 0;
        }
        if (line.empty())
            return;
        self->headerLines.push_back(line);
        const std::size_t colon = line.find(':');
        if (colon != std::string::npos) {
            std::size_t v = colon + 1;
            while (v < line.size() && line[v] == ' ')
                ++v;
            if (StartsWithNoCase(line, "icy-metaint:"))
                self->metaInt = std::strtoul(line.c_str() + v, nullptr, 10);
            else if (StartsWithNoCase(line, "icy-br:"))
                self->headerBitrate = std::atoi(line.c_str() + v);
        }
    }

    // HTTP/0.9 replies: collects the ICY header block at the start of the
    // body. Returns the bytes left over for the body, or false for a reply
    // that is neither HTTP nor ICY.
    bool TakeIcyHeaders(const char*& data, std::size_t& bytes)
    {
        icyHead.append(data, bytes);
        const std::size_t end = icyHead.find("\r\n\r\n");
        const std::size_t prefix = std::min<std::size_t>(4, icyHead.size());
        if (icyHead.compare(0, prefix, "ICY ", prefix) != 0 ||
            (end == std::string::npos && icyHead.size() > 16384)) {
            notHttp = true;
            return false;
        }
        if (end == std::string::npos) {
            bytes = 0;
            return true;
        }
        std::size_t at = 0;
        while (at < end + 2) {
            const std::size_t eol = icyHead.find("\r\n", at);
            HeaderLine(icyHead.substr(at, eol - at));
            at = eol + 2;
        }
        icyHeadDone = true;
        const std::size_t bodyAt = end + 4;
        restOfHead = icyHead.substr(bodyAt);
        data = restOfHead.data();
        bytes = restOfHead.size();
        return true;
    }

    static std::size_t OnBody(char* data, std::size_t size, std::size_t count, void* user)
    {
        auto* self = static_cast<UrlSource*>(user);
        const std::size_t received = size * count;
        std::size_t bytes = received;
        self->lastData = std::chrono::steady_clock::now();
        if (!self->bodyStarted) {
            long status = 0;
            curl_easy_getinfo(self->curlHandle, CURLINFO_RESPONSE_CODE, &status);
            if (status == 0 && !self->icyHeadDone) {
                const char* rest = data;
                if (!self->TakeIcyHeaders(rest, bytes))
                    return 0;
                if (!self->icyHeadDone)
                    return received;
                data = const_cast<char*>(rest);
            }
            if (!self->BeginBody())
                return 0;
            if (bytes == 0)
                return received;
        }
        std::vector<std::string> blocks;
        self->audioScratch.clear();
        self->icy.Feed(data, bytes, &self->audioScratch, &blocks);
        for (auto& text : blocks)
            self->OnMetadata(text);
        if (!self->audioScratch.empty() && !self->network->Append(self->audioScratch.data(), self->audioScratch.size()))
            return 0;
        return received;
    }

    // The final reply's body begins: check its status and set up the buffer.
    bool BeginBody()
    {
        long status = 0;
        curl_easy_getinfo(curlHandle, CURLINFO_RESPONSE_CODE, &status);
        curl_off_t length = -1;
        curl_easy_getinfo(curlHandle, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length);
        {
            std::lock_guard<std::mutex> lock(infoMutex);
            if (shuttingDown)
                return false;
            if (status >= 400 || (status == 0 && !icyReply)) {
                httpFailed = true;
                return false;
            }
            contentLength = icyReply || metaInt > 0 ? -1 : static_cast<std::int64_t>(length);
            icy = IcyDemuxer(metaInt);
            const bool keepAll = !(flags & kStreamBlock) && contentLength >= 0;
            network = std::make_unique<NetworkBuffer>(keepAll, kLiveWindowBytes);
            bodyStarted = true;
        }
        infoChanged.notify_all();
        return true;
    }

    void OnMetadata(const std::string& text)
    {
        {
            std::lock_guard<std::mutex> lock(infoMutex);
            if (text == metadata)
                return;
            metadata = text;
        }
        if (const Handle h = owner.load())
            FireSyncs(h, kSyncMeta, 0);
    }

    static int OnProgress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
    {
        auto* self = static_cast<UrlSource*>(user);
        if (self->shuttingDown)
            return 1;
        if (std::chrono::steady_clock::now() - self->lastData > std::chrono::milliseconds(self->timeoutMs)) {
            // Connected but nothing arrives: a stalled server.
            self->stalled = true;
            return 1;
        }
        return 0;
    }

    // ---- decode thread ----

    static int AvioRead(void* opaque, std::uint8_t* buf, int size)
    {
        auto* self = static_cast<UrlSource*>(opaque);
        const int n = self->network->Read(reinterpret_cast<char*>(buf), size, self->timeoutMs);
        if (n > 0)
            return n;
        if (n == 0)
            return AVERROR_EOF;
        if (n == -2) {
            self->readTimedOut = true;
            return AVERROR(ETIMEDOUT);
        }
        return AVERROR_EXIT;
    }

    static std::int64_t AvioSeek(void* opaque, std::int64_t offset, int whence)
    {
        auto* self = static_cast<UrlSource*>(opaque);
        const std::int64_t total = self->contentLength;
        whence &= ~AVSEEK_FORCE;
        if (whence == AVSEEK_SIZE)
            return total >= 0 ? total : -1;
        std::int64_t target = offset;
        if (whence == SEEK_CUR)
            target += self->network->Position();
        else if (whence == SEEK_END)
            target = total >= 0 ? total + offset : -1;
        if (target < 0)
            return -1;
        return self->network->SeekTo(target, self->timeoutMs) ? target : -1;
    }

    void DecodeLoop()
    {
        std::vector<float> chunk(static_cast<std::size_t>(kDecodeChunkFrames * channels));
        const auto c = static_cast<std::size_t>(channels);
        while (true) {
            std::uint64_t generation = 0;
            std::int64_t seekTo = -1;
            {
                std::unique_lock<std::mutex> lock(pcmMutex);
                pcmChanged.wait(lock, [&] {
                    return stopping || seekTarget >= 0 ||
                           (!decodeDone && capacityFrames - pcmFrames >= static_cast<std::size_t>(kDecodeChunkFrames));
                });
                if (stopping)
                    return;
                generation = seekGeneration;
                seekTo = seekTarget;
                seekTarget = -1;
            }
            if (seekTo >= 0 && !decoder->Seek(seekTo)) {
                std::lock_guard<std::mutex> lock(pcmMutex);
                decodeDone = true;
                continue;
            }
            const int n = decoder->Read(chunk.data(), kDecodeChunkFrames);
            std::lock_guard<std::mutex> lock(pcmMutex);
            if (generation != seekGeneration)
                continue;  // a seek came in meanwhile: this audio is stale
            if (n < 0) {
                decodeDone = true;
                continue;
            }
            for (std::size_t done = 0; done < static_cast<std::size_t>(n);) {
                const std::size_t end = (pcmStart + pcmFrames) % capacityFrames;
                const std::size_t run = std::min(static_cast<std::size_t>(n) - done, capacityFrames - end);
                std::memcpy(&pcm[end * c], chunk.data() + done * c, run * c * sizeof(float));
                pcmFrames += run;
                done += run;
            }
        }
    }

    int timeoutMs = 30000;
    int prebufferPercent = 50;
    int bufferMs = 10000;
    int maxRedirects = 10;
    std::string agent;

    std::thread download;
    std::thread decodeThread;
    CURL* curlHandle = nullptr;
    std::chrono::steady_clock::time_point lastData;
    std::atomic<bool> stalled{false};
    std::atomic<bool> shuttingDown{false};
    std::atomic<bool> readTimedOut{false};
    bool httpFailed = false;
    bool notHttp = false;
    bool icyHeadDone = false;
    std::string icyHead;
    std::string restOfHead;
    IcyDemuxer icy;
    std::string audioScratch;

    mutable std::mutex infoMutex;
    std::condition_variable infoChanged;
    std::vector<std::string> headerLines;
    bool icyReply = false;
    std::size_t metaInt = 0;
    int headerBitrate = 0;
    std::int64_t contentLength = -1;
    std::string metadata;
    bool bodyStarted = false;
    bool downloadEnded = false;
    int downloadError = 0;

    std::unique_ptr<FfmpegDecoder> decoder;
    AVIOContext* avio = nullptr;

    mutable std::mutex pcmMutex;
    std::condition_variable pcmChanged;
    std::vector<float> pcm;
    std::size_t capacityFrames = 0;
    std::size_t pcmStart = 0;
    std::size_t pcmFrames = 0;
    std::int64_t position = 0;
    std::uint64_t seekGeneration = 0;
    std::int64_t seekTarget = -1;
    bool decodeDone = false;
    bool buffering = true;
    bool stopping = false;
};

}  // namespace

Handle StreamCreateUrl(const std::string& url, std::uint32_t flags)
{
    if (!AudioIsInitialized()) {
        SetError(kErrInit);
        return 0;
    }
    if (!StartsWithNoCase(url, "http://") && !StartsWithNoCase(url, "https://")) {
        SetError(kErrFileOpen);
        return 0;
    }
    static std::once_flag curlReady;
    std::call_once(curlReady, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });

    auto source = std::make_unique<UrlSource>(url, flags);
    int error = source->Connect();
    if (error == 0)
        error = source->OpenDecoder();
    if (error != 0) {
        source.reset();  // stops the download thread
        SetError(error);
        return 0;
    }
    UrlSource* raw = source.get();
    raw->StartDecoding();
    const Handle h = AddChannel(std::move(source), flags);
    if (h == 0)
        return 0;
    raw->owner = h;
    return h;
}

}  // namespace audio
