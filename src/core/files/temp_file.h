#pragma once
// Temporary files of copies. A copy is written under a hidden name in its
// target folder and given its final name only once complete, so a final name
// never holds half a file, whenever the process is killed. The hidden name
// carries the id of the writing process: a run removes the ones left behind
// by processes that no longer run from the folders it writes into, and never
// touches any other file.

#include <QByteArray>

#include <fcntl.h>
#include <set>
#include <sys/types.h>
#include <utility>

namespace zorv::files {

// A file named relative to an open folder (AT_FDCWD: relative to the working
// folder, or an absolute name).
struct At {
    int dir = AT_FDCWD;
    const char *name = nullptr;
};

// The temporary names: ".zorv-tmp-<pid>-<n>". True when name is one of them,
// with the writer's process id in *pid.
bool parseTemporaryName(const char *name, pid_t *pid);

struct TempFile {
    int fd = -1;
    int dir = AT_FDCWD;
    QByteArray name; // relative to dir, in the target's folder
};

// Creates a temporary file beside tgt (in the folder part of tgt.name, relative
// to tgt.dir) with the permission bits mode less the umask. 0 or errno.
int createTemp(At tgt, mode_t mode, TempFile *temp);
// Closes temp's descriptor (when still open) and gives the file tgt's name in
// one rename: replacing an existing tgt, or failing with EEXIST (the temporary
// file removed) when replace is false. Any failure removes the temporary file.
// 0 or errno.
int publishTemp(TempFile &temp, At tgt, bool replace);
// Closes and removes temp.
void discardTemp(TempFile &temp);

// Removes the temporary files of processes that no longer run, once per
// folder (by device and inode) over the life of the object.
class StaleSweep {
public:
    // The folder tgt would be created in.
    void sweepFolderOf(At tgt);

private:
    std::set<std::pair<dev_t, ino_t>> m_done;
};

// Removes from the folder open as dirfd every temporary file whose writing
// process no longer runs; returns how many went.
int removeStaleTemporaries(int dirfd);

} // namespace zorv::files
