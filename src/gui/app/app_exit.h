#pragma once
// Ending the whole program at once (second instance, no configuration,
// failed registration retry, fourth failed login, cancel in the login window,
// closing the frame). Tests put their own action in place to observe it.

#include <functional>

namespace zorv::gui {

void endProgram();
// An empty function restores the default, which leaves the event loop.
void setEndProgramAction(std::function<void()> action);

} // namespace zorv::gui
