#pragma once
// Creating a window's controls: every control carries its objectName, by which
// the window's code and tests find it.

#include <QString>
#include <utility>

namespace zorv::gui {

// new T(args...) with its objectName set to name.
template <typename T, typename... Args> T *named(const QString &name, Args &&...args) {
    auto *w = new T(std::forward<Args>(args)...);
    w->setObjectName(name);
    return w;
}

} // namespace zorv::gui
