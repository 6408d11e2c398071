// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

class QWidget;

namespace wf {

/** Runs `work` once, on the user-interface thread, as soon as `window` has been painted for the
 *  first time: the whole window is drawn in the one pass that starts with its own paint event,
 *  and `work` runs after that pass. For what the program must do at start but the user need not
 *  wait for to see the window. Works given for the same window run in the order they were given;
 *  nothing runs if the window goes away first. */
void afterFirstPaint(QWidget *window, std::function<void()> work);

/** The environment variable that turns the start-up probe on; its value is how many
 *  milliseconds the program goes on running after the mark before it quits. */
inline constexpr char kStartupProbeVariable[] = "WRITEFREQ_STARTUP_PROBE";

/** For the start-up benchmark: when WRITEFREQ_STARTUP_PROBE is set, writes "shown WxH" and a
 *  line break to standard output once `window` has been painted for the first time (W and H its
 *  size), then quits the application after the variable's number of milliseconds, so that the
 *  benchmark can take the process's peak memory. Does nothing when the variable is not set. */
void markWhenShown(QWidget *window);

} // namespace wf
