#pragma once
// "zorv files list" without --append: the rows of a fresh scan written
// straight from the walk to the stream, byte for byte what writing the
// scanned grid gives (rows numbered 1..N in walk order), without building
// the grid.

#include <QString>
#include <cstdio>

namespace zorv {
class ProgressSink;
}

namespace zorv::cli {

// Writes the header and the rows of the files of path1 (normalised) to out.
// False when out could not take the data. *skipped gets the folders and paths
// the walk had to leave out, *masked the read-only or hidden files the mask
// left out (walkSourceText).
bool streamFreshList(const QString &path1, bool recursive, bool hidden, std::FILE *out,
                     ProgressSink &progress, qint64 *skipped = nullptr, qint64 *masked = nullptr);

} // namespace zorv::cli
