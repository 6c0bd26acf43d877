#pragma once
// The walk of a source folder at the byte level, for writers that want the
// rows as UTF-8 text rather than as QString: the same files, in the same
// order, with the same ypath, filey and zml texts as walkSource gives
// (folder_list.h), but without a QString per entry. Names that are valid
// UTF-8 pass through as their bytes; others are given as the UTF-8 of their
// decoded text (U+FFFD where the bytes were not UTF-8), as walkSource does.
//
// On larger trees a helper thread reads folders and does the stats of the
// read-only test (one per file unless read-only files are listed) beside the
// calling thread, which writes the runs in order.

#include <QString>
#include <functional>
#include <string_view>
#include <vector>

namespace zorv::files {

// A run of files that follow each other in walk order inside one folder.
struct TextFileRun {
    std::string_view ypath; // the folder, ending in "/"
    std::string_view zml;   // the folder relative to the walked folder ("" at the top)
    const std::vector<std::string_view> *names;
};

// Walks path1 (normalised, "" for the root) like walkSource; onRun gets
// every run of files in order (the views live until it returns). *skipped,
// when given, gets the number of folders that could not be read (path1
// included) and files whose path is too long to reach, the ones walkSource
// tells onSkipped of; *masked, when given, the read-only or hidden files the
// mask left out (walkSource's onMaskedOut). False when path1 itself cannot be
// read.
bool walkSourceText(const QString &path1, bool recursive, bool hidden,
                    const std::function<void(const TextFileRun &)> &onRun,
                    qint64 *skipped = nullptr, qint64 *masked = nullptr);

} // namespace zorv::files
