#pragma once
// One running instance per user: a lock file marks it, and a Unix-domain
// socket beside the lock carries the files of later launches to it.
#include <functional>
#include <string>
#include <vector>

enum class InstanceKind : unsigned {
    FirstFile = 1,    // first file of a launch
    FurtherFile = 2,  // each later file of the same launch
    BringForward = 3, // no files: show the running window
};

struct InstanceRecord {
    InstanceKind kind = InstanceKind::BringForward;
    std::string path;  // UTF-8; empty for BringForward
};

// Folder of the lock and the socket (under $XDG_RUNTIME_DIR).
std::string InstanceDir();

// Takes the instance lock for the life of the process. False when another
// process holds it (the "already exists" case).
bool AcquireInstanceLock();
void ReleaseInstanceLock();

// Builds the records of a launch: kind 1 for the first file, 2 for the rest,
// one kind 3 record when there are none.
std::vector<InstanceRecord> RecordsForLaunch(const std::vector<std::string>& files);

// Sends each record and waits for its reply, like a synchronous message.
// False when no instance listens (it may still be starting); then nothing was sent.
bool SendToRunningInstance(const std::vector<InstanceRecord>& records, int replyTimeoutMs = 5000);

// The receiving side. The handler runs on the listener thread and must return
// the reply; the window layer makes it wait for the UI thread.
using InstanceHandler = std::function<int(const InstanceRecord&)>;
bool StartInstanceServer(InstanceHandler handler);
void StopInstanceServer();

// Wire format, exposed for tests: kind (u32), length (u32), UTF-8 bytes.
std::string EncodeInstanceRecord(const InstanceRecord& record);
// Paths longer than this are refused by the receiver.
constexpr unsigned kMaxInstancePathBytes = 64 * 1024;
