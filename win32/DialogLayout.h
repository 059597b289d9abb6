// Gives an open dialog the layout of its template in another language, in
// place: the language can change while the main window is open.
#pragma once

#include <windows.h>

#include "win32/DialogTemplate.h"

namespace velmo {

// `dialog` takes the font, the client size and the controls' places of
// `layout`, its own template in another language (the same controls in the
// same order; the pairing stops at the first control whose id differs). The
// static texts and buttons take the template's texts; edit controls keep
// what the window logic wrote into them. `font` is the font made for a
// template whose font is not the dialog's own: it is replaced (and the old
// one deleted once no control uses it), set to nullptr when the dialog's own
// font fits again; the caller deletes the last one after the dialog is gone.
void TakeDialogLayout(HWND dialog, const DialogTemplateInfo& layout, HFONT& font);

}  // namespace velmo
