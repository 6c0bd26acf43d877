#pragma once
// The folding of the comparison's option "比较时忽略空格、全角/半角和繁简差异":
// blanks (ASCII, full-width, no-break) trimmed from both ends, full-width
// letters, digits, punctuation and the ideographic space turned into their
// half-width forms, traditional Chinese characters into simplified ones
// (OpenCC, traditional-to-simplified configuration). Letter case is kept.
//
// A name of ASCII only is folded by trimming alone, with no copy; other names
// are folded once each and remembered, the OpenCC part for all names of a
// list in one call.

#include <QString>
#include <memory>
#include <string_view>
#include <vector>

namespace zorv::lists {

class NameFolder {
public:
    NameFolder();
    ~NameFolder();
    NameFolder(const NameFolder &) = delete;
    NameFolder &operator=(const NameFolder &) = delete;

    // False when the OpenCC configuration could not be loaded; error() says why.
    bool ok() const;
    QString error() const;

    // The folded keys of names, in order. A key views either into the name
    // itself (ASCII names) or into memory of this folder, which lives as
    // long as the folder.
    std::vector<std::string_view> fold(const std::vector<std::string_view> &names);
    // One name; a name folded before is answered from memory.
    std::string_view foldOne(std::string_view name);

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

// The full-width and blank part of the folding, for one name (UTF-8 in and out).
std::string foldWidthAndBlanks(std::string_view name);

} // namespace zorv::lists
