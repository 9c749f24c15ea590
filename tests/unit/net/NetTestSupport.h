#pragma once
// Shared pieces of the HTTP client tests: a scratch folder, short time
// limits, and one self-signed certificate for the TLS server.
#include "LocalHttpServer.h"
#include "net/HttpClient.h"
#include "platform/Paths.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>

namespace nettest {

inline std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

inline void WriteFile(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string Pattern(std::size_t size)
{
    std::string s(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        s[i] = static_cast<char>('a' + (i * 7 + i / 26) % 26);
    return s;
}

// Chunked encoding of `body` in pieces of `piece` bytes, with the last chunk.
inline std::string Chunked(const std::string& body, std::size_t piece)
{
    std::string out;
    for (std::size_t i = 0; i < body.size(); i += piece) {
        const std::string part = body.substr(i, piece);
        std::ostringstream size;
        size << std::hex << part.size();
        out += size.str() + "\r\n" + part + "\r\n";
    }
    return out + "0\r\n\r\n";
}

inline const TlsFiles& Certificate()
{
    static const TlsFiles files = [] {
        char tmpl[] = "/tmp/corvane-net-cert-XXXXXX";
        static std::string dir = mkdtemp(tmpl) ? tmpl : "";
        if (dir.empty())
            return TlsFiles{};
        std::atexit([] { std::error_code ec; std::filesystem::remove_all(dir, ec); });
        return MakeSelfSignedCertificate(dir);
    }();
    return files;
}

class NetTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Nothing here may leave the machine, whatever the environment says.
        setenv("no_proxy", "*", 1);
        setenv("NO_PROXY", "*", 1);
        SetHttpTimeouts({3000, 2000, 20000});
        SetHttpTrustedCaFile(Certificate().certificatePem);
        ASSERT_FALSE(Certificate().certificatePem.empty()) << "openssl could not make a certificate";
        char tmpl[] = "/tmp/corvane-net-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir_ = tmpl;
    }
    void TearDown() override
    {
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
        SetHttpTimeouts(HttpTimeouts{});
        SetHttpTrustedCaFile({});
    }
    std::string Path(const std::string& name) const { return dir_ + "/" + name; }
    std::size_t FilesInDir(const std::string& dir) const
    {
        std::size_t n = 0;
        for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir))
            ++n;
        return n;
    }

    std::string dir_;
};

}  // namespace nettest
