#pragma once
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

// A scratch folder for one test, removed afterwards (links inside are
// removed, not followed).
class TempTree {
public:
    TempTree()
    {
        char pattern[] = "/tmp/corvane-playlist-XXXXXX";
        if (mkdtemp(pattern))
            root_ = pattern;
    }
    ~TempTree()
    {
        std::error_code ec;
        if (!root_.empty())
            std::filesystem::remove_all(root_, ec);
    }
    TempTree(const TempTree&) = delete;
    TempTree& operator=(const TempTree&) = delete;

    const std::string& Root() const { return root_; }
    std::string Path(const std::string& relative) const { return root_ + "/" + relative; }

    // Creates the file and its folders; returns its full path.
    std::string File(const std::string& relative, std::string_view content = {}) const
    {
        const std::string path = Path(relative);
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        std::ofstream(path, std::ios::binary) << content;
        return path;
    }

    std::string Dir(const std::string& relative) const
    {
        const std::string path = Path(relative);
        std::filesystem::create_directories(path);
        return path;
    }

private:
    std::string root_;
};

inline std::string ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
