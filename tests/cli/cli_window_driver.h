#pragma once
// Drives the file logic the way the file window's handlers do, from the same
// step descriptions as the command line ("list --recursive src", "run --mode
// move"): the control settings the step names, the dialog answers queued on
// the scripted platform, then the handler's call. The command's grid and
// messages must come out the same.

#include "support/scripted_platform.h"

#include "core/files/frn_grid.h"

#include <QStringList>
#include <memory>
#include <optional>

namespace zorv::test {

class WindowDriver {
public:
    virtual ~WindowDriver() = default;
    // Carries out one step; args are the command's words after "zorv files",
    // relative paths resolved against root.
    virtual void step(const QStringList &args, const QString &root) = 0;
    virtual const Grid &grid() const = 0;
    // The message boxes of the last step, as the tool prints them ("title: text").
    virtual QStringList messages() const = 0;
    // Whether the last step ended the way the tool reports with exit status 0;
    // nullopt when the driver cannot tell.
    virtual std::optional<bool> succeeded() const = 0;
};

// The core logic called as w_frn's handlers call it.
std::unique_ptr<WindowDriver> makeCoreDriver();

// Value of --name in args ("" when absent); has() for flags.
QString optionValue(const QStringList &args, const QString &name);
bool hasFlag(const QStringList &args, const QString &name);
// The first word after the sub-command that is no option nor an option's value.
QString positional(const QStringList &args);

} // namespace zorv::test
