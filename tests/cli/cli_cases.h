#pragma once
// The folders and step sequences on which the command and the file window
// must agree, and the step-by-step check: after every step the same shown
// rows, filter, messages and exit status, and at the end the same files.

#include "cli_window_driver.h"

namespace zorv::test {

// Columns tree, steps and exits, and one row per case, for a _data() slot.
void addEquivalenceCases();
// Runs the current case through window and through the command; QCOMPARE inside.
void checkEquivalence(WindowDriver &window);

} // namespace zorv::test
