#include "log/Log.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <regex>
#include <sstream>
#include <thread>
#include <vector>

namespace {

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    EXPECT_EQ(start, text.size()) << "text after the last line end";
    return lines;
}

// The message part of a line, after "[date time] [category] ".
std::string MessageOf(const std::string& line, const std::string& category)
{
    const std::string tag = "[" + category + "] ";
    const auto pos = line.find(tag);
    return pos == std::string::npos ? "<no " + tag + ">" : line.substr(pos + tag.size());
}

class LogFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        char tmpl[] = "/tmp/corvane-log-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir_ = tmpl;
        path_ = dir_ + "/corvane.log";
    }
    void TearDown() override
    {
        LogStop();
        std::filesystem::remove_all(dir_);
    }
    std::string dir_;
    std::string path_;
};

}  // namespace

TEST_F(LogFile, StartAndStopLinesFramePlainLines)
{
    LogStart(path_);
    EXPECT_EQ(LogFilePath(), path_);
    Log("MPV", "loaded libmpv.so.2");
    LogFormat("MPV", "api %d.%d, %s", 2, 1, "ok");
    LogWide("MPV", u"caf\u00e9 \U0001F3B5 \xD800!");   // an unpaired surrogate too
    LogWide("MPV", u"");
    LogStop();
    EXPECT_EQ(LogFilePath(), "");

    const auto lines = Lines(ReadFile(path_));
    ASSERT_EQ(lines.size(), 6u);
    const std::regex shape(R"(\[\d{4}-\d{2}-\d{2} \d{2}:\d{2}:\d{2}\] \[[A-Z]+\] .*)");
    for (const std::string& line : lines)
        EXPECT_TRUE(std::regex_match(line, shape)) << line;
    EXPECT_EQ(MessageOf(lines[0], "INIT"), "Corvane logger started");
    EXPECT_EQ(MessageOf(lines[1], "MPV"), "loaded libmpv.so.2");
    EXPECT_EQ(MessageOf(lines[2], "MPV"), "api 2.1, ok");
    EXPECT_EQ(MessageOf(lines[3], "MPV"), "caf\xC3\xA9 \xF0\x9F\x8E\xB5 \xEF\xBF\xBD!");
    EXPECT_EQ(lines[4].substr(lines[4].size() - 6), "[MPV] ");
    EXPECT_EQ(MessageOf(lines[5], "EXIT"), "Corvane logger stopped");
}

TEST_F(LogFile, NothingIsWrittenBeforeStartOrAfterStop)
{
    Log("MPV", "too early");
    LogFormat("MPV", "too early %d", 1);
    LogWide("MPV", u"too early");
    EXPECT_FALSE(std::filesystem::exists(path_));

    LogStart(path_);
    LogStop();
    const std::string closed = ReadFile(path_);
    Log("MPV", "too late");
    LogFormat("MPV", "too late %d", 1);
    LogWide("MPV", u"too late");
    LogStop();   // a second stop writes no second stop line
    EXPECT_EQ(ReadFile(path_), closed);
    EXPECT_EQ(Lines(closed).size(), 2u);
}

TEST_F(LogFile, RotatesOnlyAboveTheLimitAndReplacesTheOldGeneration)
{
    struct Case { std::size_t size; bool rotates; };
    for (const Case c : {Case{1048575, false}, Case{1048576, true}}) {
        std::filesystem::remove(path_);
        std::ofstream(path_ + ".old", std::ios::binary) << "generation before";
        std::ofstream(path_, std::ios::binary) << std::string(c.size, 'x');
        LogStart(path_);

        const std::string current = ReadFile(path_);
        if (c.rotates) {
            EXPECT_EQ(ReadFile(path_ + ".old"), std::string(c.size, 'x'));
            ASSERT_EQ(Lines(current).size(), 1u);
            EXPECT_EQ(MessageOf(Lines(current)[0], "INIT"), "Corvane logger started");
        } else {
            EXPECT_EQ(ReadFile(path_ + ".old"), "generation before");
            EXPECT_EQ(current.substr(0, c.size), std::string(c.size, 'x'));
            EXPECT_EQ(MessageOf(current.substr(c.size, current.size() - c.size - 2), "INIT"),
                      "Corvane logger started");
        }
        LogStop();
    }
}

TEST_F(LogFile, FormatIsCutAt2047BytesButLogWritesWhole)
{
    const std::string longText(5000, 'm');
    LogStart(path_);
    LogFormat("MPV", "%s", longText.c_str());
    LogFormat("MPV", "%s", longText.substr(0, 2047).c_str());
    Log("MPV", longText);
    LogStop();
    const auto lines = Lines(ReadFile(path_));
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(MessageOf(lines[1], "MPV"), longText.substr(0, 2047));
    EXPECT_EQ(MessageOf(lines[2], "MPV"), longText.substr(0, 2047));
    EXPECT_EQ(MessageOf(lines[3], "MPV"), longText);
}

TEST_F(LogFile, LinesFromManyThreadsStayWhole)
{
    LogStart(path_);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([t] {
            for (int i = 0; i < 200; ++i)
                LogFormat("T", "thread %d line %d %s", t, i, std::string(300, 'a' + t).c_str());
        });
    for (auto& th : threads)
        th.join();
    LogStop();
    const auto lines = Lines(ReadFile(path_));
    ASSERT_EQ(lines.size(), 802u);
    const std::regex whole(R"(\[[^\]]+\] \[T\] thread (\d) line \d+ ([a-d])\2{299})");
    for (std::size_t i = 1; i + 1 < lines.size(); ++i)
        ASSERT_TRUE(std::regex_match(lines[i], whole)) << lines[i];
}

TEST_F(LogFile, DefaultPathIsInTheStateFolderWhichIsCreated)
{
    const char* saved = std::getenv("XDG_STATE_HOME");
    const std::string previous = saved ? saved : "";
    setenv("XDG_STATE_HOME", (dir_ + "/state").c_str(), 1);
    EXPECT_EQ(DefaultLogPath(), dir_ + "/state/Corvane/corvane.log");
    LogStart();
    LogStop();
    EXPECT_EQ(Lines(ReadFile(dir_ + "/state/Corvane/corvane.log")).size(), 2u);
    if (saved)
        setenv("XDG_STATE_HOME", previous.c_str(), 1);
    else
        unsetenv("XDG_STATE_HOME");
}

TEST_F(LogFile, UnwritableLogIsSkippedQuietly)
{
    LogStart(dir_ + "/no/such/folder/corvane.log");
    Log("MPV", "goes nowhere");
    LogStop();
    EXPECT_FALSE(std::filesystem::exists(dir_ + "/no"));
}
