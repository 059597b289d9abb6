#include "win32/ModelessDialogs.h"

#include <algorithm>

namespace velmo {

namespace {

// The property that marks a dialog of ModelessDialogs for the hook, which has
// no other way to know it: an atom made once, so setting it adds none.
const wchar_t* ModelessMark() {
    static const ATOM atom = GlobalAddAtomW(L"VelmoToolModeless");
    return reinterpret_cast<const wchar_t*>(static_cast<ULONG_PTR>(atom));
}

bool Marked(HWND window) {
    return GetPropW(window, ModelessMark()) != nullptr;
}

// The loop that reads the thread's messages is the main window's (or a modal
// window's) and hands keys only to its own dialog: a key for one of these
// goes through the dialog manager here (Enter, Esc, Tab), and the loop gets
// nothing to pass on.
LRESULT CALLBACK KeysToModelessDialog(int code, WPARAM removed, LPARAM lParam) {
    auto* message = reinterpret_cast<MSG*>(lParam);
    if (code == HC_ACTION && removed == PM_REMOVE && message->message >= WM_KEYFIRST &&
        message->message <= WM_KEYLAST && message->hwnd != nullptr) {
        HWND dialog = GetAncestor(message->hwnd, GA_ROOT);
        if (dialog != nullptr && Marked(dialog) && IsDialogMessageW(dialog, message)) {
            message->message = WM_NULL;
        }
    }
    return CallNextHookEx(nullptr, code, removed, lParam);
}

}  // namespace

ModelessDialogs::~ModelessDialogs() {
    DestroyAll();
    if (hook_ != nullptr) {
        UnhookWindowsHookEx(hook_);
    }
}

void ModelessDialogs::Add(HWND dialog) {
    if (dialog == nullptr) {
        return;
    }
    // Those that closed themselves go from the list.
    dialogs_.erase(std::remove_if(dialogs_.begin(), dialogs_.end(), [](HWND open) { return !Marked(open); }),
                   dialogs_.end());
    SetPropW(dialog, ModelessMark(), dialog);
    dialogs_.push_back(dialog);
    if (hook_ == nullptr) {
        hook_ = SetWindowsHookExW(WH_GETMESSAGE, KeysToModelessDialog, nullptr, GetCurrentThreadId());
    }
}

void ModelessDialogs::DestroyAll() {
    for (HWND dialog : dialogs_) {
        if (Marked(dialog)) {
            RemovePropW(dialog, ModelessMark());
            DestroyWindow(dialog);
        }
    }
    dialogs_.clear();
}

}  // namespace velmo
