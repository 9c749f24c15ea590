// Benchmark, not a test. On one core:
//  1. decode-only throughput of the engine against `ffmpeg -f null` on the
//     same files (CPU seconds per file, and the ratio);
//  2. CPU used while playing a 60-second MP3 in real time on the "No sound"
//     device against `mpv --no-video --ao=null` playing the same file.
// Usage: audio_bench [decode|play|all] [work folder]
#include <fcntl.h>
#include <sched.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "audio/AudioEngine.h"

extern char** environ;

namespace {

double CpuSeconds(const rusage& r)
{
    return static_cast<double>(r.ru_utime.tv_sec + r.ru_stime.tv_sec) +
           (r.ru_utime.tv_usec + r.ru_stime.tv_usec) / 1e6;
}

double SelfCpu()
{
    rusage r{};
    getrusage(RUSAGE_SELF, &r);
    return CpuSeconds(r);
}

// Runs a program (no shell) and returns the CPU seconds it used, -1 on failure.
double ChildCpu(const std::vector<std::string>& args)
{
    std::vector<char*> argv;
    for (const auto& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int rc = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0)
        return -1.0;
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return -1.0;
    return CpuSeconds(usage);
}

bool Make(const std::string& path, double seconds, const std::string& codecArgs)
{
    const std::string cmd = "ffmpeg -nostdin -v error -y -f lavfi -i 'sine=frequency=440:duration=" +
                            std::to_string(seconds) + "' -f lavfi -i 'anoisesrc=d=" + std::to_string(seconds) +
                            ":a=0.05' -filter_complex amix=inputs=2 -ac 2 -ar 44100 " + codecArgs + " '" + path + "'";
    return std::system(cmd.c_str()) == 0;
}

// Decodes a whole file with the engine; CPU seconds of this process, or -1.
double EngineDecode(const std::string& path, double* audioSeconds)
{
    const double before = SelfCpu();
    const audio::Handle h = audio::StreamCreateFile(path, audio::kStreamDecode | audio::kSampleFloat);
    if (!h)
        return -1.0;
    std::vector<float> buf(16384);
    std::int64_t bytes = 0;
    while (true) {
        const int got = audio::ChannelGetData(h, buf.data(), static_cast<std::uint32_t>(buf.size() * 4));
        if (got <= 0)
            break;
        bytes += got;
    }
    audio::ChannelInfo info;
    audio::ChannelGetInfo(h, &info);
    *audioSeconds = static_cast<double>(bytes) / (info.channels * 4.0 * info.freq);
    audio::StreamFree(h);
    return SelfCpu() - before;
}

void DecodeBench(const std::string& dir)
{
    const struct {
        const char* name;
        const char* args;
    } files[] = {
        {"bench.mp3", "-c:a libmp3lame -b:a 192k"}, {"bench.flac", "-c:a flac"},
        {"bench.ogg", "-c:a libvorbis"},            {"bench.m4a", "-c:a aac -b:a 160k"},
        {"bench.opus", "-c:a libopus -ar 48000"},             {"bench.wav", "-c:a pcm_s16le"},
    };
    std::printf("Decode only, one core, 600 s files (CPU seconds, best of 3; ffmpeg's start-up,\n"
                "measured on a 0.5 s file of the same format, taken off its figure)\n");
    std::printf("%-12s %10s %10s %10s %8s %12s\n", "file", "engine", "ffmpeg", "ff start", "ratio", "engine x RT");
    double sumEngine = 0.0, sumFfmpeg = 0.0;
    for (const auto& f : files) {
        const std::string path = dir + "/" + f.name;
        const std::string tiny = dir + "/tiny-" + f.name;
        if (!Make(path, 600.0, f.args) || !Make(tiny, 0.5, f.args)) {
            std::printf("%-12s could not be made\n", f.name);
            continue;
        }
        double engine = 1e9, ffmpeg = 1e9, startup = 1e9, seconds = 0.0;
        for (int run = 0; run < 3; ++run) {
            const double s = ChildCpu({"ffmpeg", "-nostdin", "-v", "error", "-threads", "1", "-i", tiny, "-f", "null", "-"});
            if (s >= 0.0 && s < startup)
                startup = s;
            const double e = EngineDecode(path, &seconds);
            // ffmpeg to null: decode plus its own conversion to the null muxer's format.
            const double x = ChildCpu({"ffmpeg", "-nostdin", "-v", "error", "-threads", "1", "-i", path, "-f", "null", "-"});
            if (e >= 0.0 && e < engine)
                engine = e;
            if (x >= 0.0 && x < ffmpeg)
                ffmpeg = x;
        }
        ffmpeg -= startup;
        sumEngine += engine;
        sumFfmpeg += ffmpeg;
        std::printf("%-12s %10.3f %10.3f %10.3f %8.2f %12.0f\n", f.name, engine, ffmpeg, startup, engine / ffmpeg,
                    seconds / engine);
    }
    std::printf("%-12s %10.3f %10.3f %10s %8.2f\n\n", "all", sumEngine, sumFfmpeg, "", sumEngine / sumFfmpeg);
}

void PlayBench(const std::string& dir)
{
    const std::string path = dir + "/play60.mp3";
    if (!Make(path, 60.0, "-c:a libmp3lame -b:a 192k")) {
        std::printf("play: could not make the file\n");
        return;
    }
    std::printf("Playing a 60 s MP3 in real time on one core (CPU seconds per second of audio)\n");
    const double before = SelfCpu();
    const auto start = std::chrono::steady_clock::now();
    const audio::Handle h = audio::StreamCreateFile(path, 0);
    const std::uint64_t underrunsBefore = audio::AudioUnderrunCount();
    audio::ChannelPlay(h, false);
    while (audio::ChannelIsActive(h) != audio::kStateStopped)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double engine = SelfCpu() - before;
    audio::StreamFree(h);
    std::printf("engine: %.3f s CPU over %.2f s wall = %.5f per audio second, underruns %llu\n", engine, wall,
                engine / 60.0, static_cast<unsigned long long>(audio::AudioUnderrunCount() - underrunsBefore));
    const double mpv = ChildCpu({"mpv", "--no-config", "--no-video", "--ao=null", "--really-quiet", path});
    if (mpv < 0.0)
        std::printf("mpv: not available\n");
    else
        std::printf("mpv:    %.3f s CPU = %.5f per audio second; engine/mpv = %.2f\n", mpv, mpv / 60.0, engine / mpv);
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string mode = argc > 1 ? argv[1] : "all";
    std::string dir = argc > 2 ? argv[2] : "/tmp/corvane-audio-bench";
    std::system(("mkdir -p '" + dir + "'").c_str());
    // One core for us and for the programs we compare with (children inherit it).
    cpu_set_t set;
    CPU_ZERO(&set);
    CPU_SET(0, &set);
    sched_setaffinity(0, sizeof set, &set);
    if (!audio::AudioInit(audio::kDeviceNoSound, 44100)) {
        std::printf("engine did not start: %d\n", audio::AudioErrorCode());
        return 1;
    }
    if (mode == "decode" || mode == "all")
        DecodeBench(dir);
    if (mode == "play" || mode == "all")
        PlayBench(dir);
    audio::AudioFree();
    return 0;
}
