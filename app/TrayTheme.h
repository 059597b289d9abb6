// Which set of tray pictures fits the taskbar: the light set on a light
// taskbar, the dark set on a dark one, the first set where the system does
// not say.
#pragma once

#include "app/TrayHost.h"

namespace velmo {

// The picture of the set for `theme` that shows the same state as
// `picture` (one of the first set's tray pictures); other ids are returned as
// they are.
int ThemedTrayPicture(int picture, TaskbarTheme theme);

}  // namespace velmo
