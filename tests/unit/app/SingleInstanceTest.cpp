#include "app/SingleInstance.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

std::string MakeRuntimeDir()
{
    char tmpl[] = "/tmp/corvane-inst-XXXXXX";
    if (!mkdtemp(tmpl))
        return {};
    setenv("XDG_RUNTIME_DIR", tmpl, 1);
    return tmpl;
}

bool ReadLine(int fd, std::string& line)
{
    line.clear();
    char c;
    while (read(fd, &c, 1) == 1) {
        if (c == '\n')
            return true;
        line += c;
    }
    return false;
}

}  // namespace

TEST(SingleInstance, RecordsOfALaunch)
{
    const auto none = RecordsForLaunch({});
    ASSERT_EQ(none.size(), 1u);
    EXPECT_EQ(none[0].kind, InstanceKind::BringForward);
    const auto two = RecordsForLaunch({"/a", "/b"});
    ASSERT_EQ(two.size(), 2u);
    EXPECT_EQ(two[0].kind, InstanceKind::FirstFile);
    EXPECT_EQ(two[1].kind, InstanceKind::FurtherFile);
    EXPECT_EQ(two[1].path, "/b");
}

// A second real process finds the first by its lock, hands over its records
// one at a time and gets a reply for each.
TEST(SingleInstance, SecondProcessHandsItsFilesToTheFirst)
{
    const std::string dir = MakeRuntimeDir();
    ASSERT_FALSE(dir.empty());
    EXPECT_FALSE(SendToRunningInstance(RecordsForLaunch({"/x"}))) << "nothing listens yet";

    int toParent[2], ready[2];
    ASSERT_EQ(pipe(toParent), 0);
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        close(toParent[0]);
        close(ready[0]);
        if (!AcquireInstanceLock())
            _exit(2);
        StartInstanceServer([&](const InstanceRecord& r) {
            const std::string line = std::to_string(static_cast<unsigned>(r.kind)) + " " + r.path + "\n";
            [[maybe_unused]] ssize_t n = write(toParent[1], line.data(), line.size());
            return 1;
        });
        [[maybe_unused]] ssize_t n = write(ready[1], "r", 1);
        sleep(30);
        _exit(0);
    }
    close(toParent[1]);
    close(ready[1]);
    char r;
    ASSERT_EQ(read(ready[0], &r, 1), 1);

    EXPECT_FALSE(AcquireInstanceLock()) << "the first process holds the lock";
    const std::string path = "/music/Élan vital.flac";
    EXPECT_TRUE(SendToRunningInstance(RecordsForLaunch({path, "/music/b.mp3"})));
    EXPECT_TRUE(SendToRunningInstance(RecordsForLaunch({})));

    std::string line;
    ASSERT_TRUE(ReadLine(toParent[0], line));
    EXPECT_EQ(line, "1 " + path);
    ASSERT_TRUE(ReadLine(toParent[0], line));
    EXPECT_EQ(line, "2 /music/b.mp3");
    ASSERT_TRUE(ReadLine(toParent[0], line));
    EXPECT_EQ(line, "3 ");

    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);

    // The lock dies with its process; a new launch becomes the first instance.
    EXPECT_TRUE(AcquireInstanceLock());
    ReleaseInstanceLock();
    std::system(("rm -rf " + dir).c_str());
}
