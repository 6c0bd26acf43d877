#include "gui/app/app_exit.h"

#include <QCoreApplication>

namespace zorv::gui {
namespace {

std::function<void()> &action() {
    static std::function<void()> a;
    return a;
}

} // namespace

void endProgram() {
    if (action())
        action()();
    else
        QCoreApplication::exit(0);
}

void setEndProgramAction(std::function<void()> a) {
    action() = std::move(a);
}

} // namespace zorv::gui
