// Times the playlist file reader and writer on a 100,000-entry M3U and the
// folder scans on a generated tree of 20,000 files.
// Usage: bench_playlist [scratch folder, default /tmp] [rounds, default 5]
#include "playlist/FolderScan.h"
#include "playlist/PlaylistFiles.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kEntries = 100000;
constexpr int kTopFolders = 20;
constexpr int kSubFolders = 10;
constexpr int kFilesPerFolder = 100;  // 20 x 10 x 100 = 20,000 files

const char* const kNames[] = {".mp3", ".flac", ".ogg", ".m4a", ".jpg"};  // one in five is not audio

void Report(const char* what, int rounds, const std::function<size_t()>& work)
{
    std::vector<double> ms;
    size_t count = 0;
    for (int i = 0; i < rounds; ++i) {
        const auto start = std::chrono::steady_clock::now();
        count = work();
        const auto stop = std::chrono::steady_clock::now();
        ms.push_back(std::chrono::duration<double, std::milli>(stop - start).count());
    }
    std::sort(ms.begin(), ms.end());
    std::printf("%-44s %8zu items  median %8.1f ms  best %8.1f ms\n", what, count,
                ms[ms.size() / 2], ms.front());
}

size_t MakeTree(const std::string& root)
{
    size_t files = 0;
    for (int t = 0; t < kTopFolders; ++t) {
        for (int s = 0; s < kSubFolders; ++s) {
            const std::string folder =
                root + "/Artist " + std::to_string(t) + "/Album " + std::to_string(s);
            std::filesystem::create_directories(folder);
            for (int f = 0; f < kFilesPerFolder; ++f) {
                const std::string path = folder + "/" + std::to_string(f) + " Track" +
                                         kNames[f % 5];
                const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
                if (fd >= 0) {
                    close(fd);
                    ++files;
                }
            }
        }
    }
    return files;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string scratchParent = argc > 1 ? argv[1] : "/tmp";
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    std::string pattern = scratchParent + "/corvane-bench-XXXXXX";
    if (!mkdtemp(pattern.data())) {
        std::perror("mkdtemp");
        return 1;
    }
    const std::string root = pattern;
    const std::string tree = root + "/tree";

    std::printf("generated %zu files under %s\n", MakeTree(tree), tree.c_str());
    Report("ScanFolder (enumeration order by name)", rounds, [&] {
        std::vector<std::string> out;
        ScanFolder(tree, 0, out);
        return out.size();
    });
    Report("ScanFolderSorted (Add Folder)", rounds, [&] { return ScanFolderSorted(tree).size(); });
    Report("LoadFolderOf (folder of 100 files)", rounds, [&] {
        std::vector<std::string> out;
        LoadFolderOf(tree + "/Artist 7/Album 3/50 Track.mp3", out);
        return out.size();
    });

    // Half local paths (real files, so each is checked for being a folder),
    // half URLs, as a mixed queue would hold.
    std::vector<std::string> entries;
    std::vector<std::string> files = ScanFolderSorted(tree);
    for (int i = 0; i < kEntries; ++i) {
        if (i % 2 == 0)
            entries.push_back(files[static_cast<size_t>(i / 2) % files.size()]);
        else
            entries.push_back("http://radio.test:8000/stream/" + std::to_string(i));
    }
    const std::string m3u = root + "/big.m3u";
    Report("WriteM3u 100,000 entries (fsync, rename)", rounds, [&] {
        return WriteM3u(m3u, entries) ? entries.size() : 0;
    });
    std::printf("%-44s %8zu bytes\n", "file size", static_cast<size_t>(std::filesystem::file_size(m3u)));
    Report("ReadM3u 100,000 entries", rounds, [&] { return ReadM3u(m3u).size(); });

    std::error_code ec;
    std::filesystem::remove_all(root, ec);
    return 0;
}
