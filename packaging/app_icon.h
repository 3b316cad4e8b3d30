#pragma once

#include <QIcon>

// Brinmoor's icon at every rendered size, for the window and the task bar. Built from PNGs
// embedded in the executable, so it needs no icon theme and no SVG plugin.
QIcon appIcon();
