// Where the tool's dialogs open: centred on the main window, or on the screen
// while the main window sits in the notification area, and always wholly on
// the screen.
#pragma once

#include <windows.h>

namespace velmo {

// Moves `dialog` centred onto its owner (onto the owner's screen when the
// owner is hidden or minimised), inside that screen's work area. Called while
// the dialog initialises, before it is first shown.
void CentreOnOwner(HWND dialog);

// Sizes `window` (a window of its own, not a dialog) to `width` x `height`
// pixels, cut to the work area of the screen under the pointer, and centres
// it there: where the user just chose it from the tray menu.
void CentreUnderPointer(HWND window, int width, int height);

// A property sheet callback (PSH_USECALLBACK): the sheet is centred as above
// when it is first shown, after it has sized itself to its pages.
int CALLBACK CentreSheetOnOwner(HWND sheet, UINT message, LPARAM lParam);

}  // namespace velmo
