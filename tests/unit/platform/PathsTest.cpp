#include "platform/Paths.h"

#include <cstdlib>
#include <gtest/gtest.h>

TEST(Paths, FileNameAndParent)
{
    struct Case { const char* path; const char* name; const char* parent; };
    const Case cases[] = {
        {"/music/a.mp3", "a.mp3", "/music"},
        {"a.mp3", "a.mp3", ""},
        {"/a.mp3", "a.mp3", "/"},
        {"http://host/x/y.mp3", "y.mp3", "http://host/x"},
        {"C:\\Music\\b.flac", "b.flac", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FileNamePart(c.path), c.name) << c.path;
        EXPECT_EQ(ParentDir(c.path), c.parent) << c.path;
    }
}

TEST(Paths, XdgFoldersFollowEnvironmentAndFallBackToHome)
{
    setenv("HOME", "/home/tester", 1);
    setenv("XDG_CONFIG_HOME", "/cfg/", 1);
    unsetenv("XDG_STATE_HOME");
    setenv("XDG_CACHE_HOME", "relative/ignored", 1);
    EXPECT_EQ(XdgConfigHome(), "/cfg");
    EXPECT_EQ(XdgStateHome(), "/home/tester/.local/state");
    EXPECT_EQ(XdgCacheHome(), "/home/tester/.cache");
}

TEST(Paths, MakeDirectoriesCreatesParents)
{
    char tmpl[] = "/tmp/corvane-paths-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    const std::string deep = std::string(tmpl) + "/a/b/c";
    EXPECT_TRUE(MakeDirectories(deep));
    EXPECT_TRUE(IsDirectory(deep));
    EXPECT_TRUE(MakeDirectories(deep));
    std::system(("rm -rf " + std::string(tmpl)).c_str());
}
