// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

/** What the program entry sets on the application object before it makes the first window.
 *  The tests that look at the windows as the desktop shows them start the same way. */
void initialiseApplication();
