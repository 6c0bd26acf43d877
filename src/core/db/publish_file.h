#pragma once
// Publishing a finished file under its final name without ever replacing a
// file that is already there (or appears meanwhile), also on file systems
// without hard links such as FAT and exFAT.

#include <QString>

namespace zorv::db {

// The system calls the publishing uses, replaceable so that tests can play a
// file system that lacks one of them. Each returns 0 or -1 with errno set.
struct PublishCalls {
    int (*link)(const char *from, const char *to);
    int (*renameNoReplace)(const char *from, const char *to);
};

// The real system calls.
const PublishCalls &systemPublishCalls();

// Moves the complete file from to the name to, in the same folder, never
// replacing an existing to: a hard link where the file system has them,
// else a rename that refuses to replace, else a copy into a newly created
// (exclusive) to. from is gone afterwards on success. False with *error
// otherwise; *exists tells that to was already there.
bool publishNoReplace(const QString &from, const QString &to, QString *error,
                      bool *exists = nullptr, const PublishCalls &calls = systemPublishCalls());

} // namespace zorv::db
