// velmo-driver.exe: the e2e driver as a command for scripts and the demo.
//   velmo-driver wait-window CAPTION [MS]     waits until a window with CAPTION exists
//   velmo-driver text CAPTION ID              prints the text of control ID (UTF-8)
//   velmo-driver click CAPTION ID             presses button ID
//   velmo-driver command CAPTION ID           sends menu command ID (as WM_COMMAND)
//   velmo-driver post CAPTION MSG [WP [LP]]   posts a message
//
// ID is a number or a name of res/resource.h (IDC_CONNECT, ID_MENU_CAPTURE_LOG),
// so scripts keep working when the ids are renumbered; an unknown name fails.
//   velmo-driver close CAPTION [MS]           posts WM_CLOSE and waits until the window is gone
//   velmo-driver screenshot FILE.bmp          saves the screen
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "base/CodePage.h"
#include "base/Wide_win32.h"
#include "res/resource.h"
#include "tests/e2e/Driver.h"

namespace {

HWND FindByCaption(const std::wstring& caption, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    do {
        if (HWND window = FindWindowW(nullptr, caption.c_str())) {
            return window;
        }
        Sleep(100);
    } while (GetTickCount() - start < timeoutMs);
    return nullptr;
}

long Number(const wchar_t* text) {
    return std::wcstol(text, nullptr, 0);
}

// The main window's buttons and the menu's commands by their names.
#define VELMO_NAMED_ID(name) \
    { L"" #name, name }
constexpr struct {
    const wchar_t* name;
    int id;
} kNamedIds[] = {
    VELMO_NAMED_ID(IDC_CONNECT),     VELMO_NAMED_ID(IDC_DISCONNECT),   VELMO_NAMED_ID(IDC_SETTINGS),
    VELMO_NAMED_ID(IDC_EXIT),        VELMO_NAMED_ID(ID_MENU_CONNECT),  VELMO_NAMED_ID(ID_MENU_DISCONNECT),
    VELMO_NAMED_ID(ID_MENU_EXIT),    VELMO_NAMED_ID(ID_MENU_SETTINGS), VELMO_NAMED_ID(ID_MENU_CAPTURE_LOG),
    VELMO_NAMED_ID(ID_MENU_REFRESH),
};
#undef VELMO_NAMED_ID

// A control or command id given by number or by name; false for an unknown name.
bool Id(const wchar_t* text, int& id) {
    for (const auto& named : kNamedIds) {
        if (std::wcscmp(text, named.name) == 0) {
            id = named.id;
            return true;
        }
    }
    wchar_t* end = nullptr;
    id = static_cast<int>(std::wcstol(text, &end, 0));
    return end != text && *end == L'\0';
}

int Usage() {
    std::fputs("usage: velmo-driver wait-window|text|click|command|post|close|screenshot ...\n", stderr);
    return 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    using namespace velmo::e2e;
    if (argc < 3) {
        return Usage();
    }
    std::wstring command = argv[1];
    if (command == L"screenshot") {
        return SaveScreenshot(argv[2]) ? 0 : 1;
    }
    DWORD timeout = (command == L"wait-window" || command == L"close") && argc > 3 ? Number(argv[3]) : 5000;
    HWND window = FindByCaption(argv[2], timeout);
    if (window == nullptr) {
        std::fputs("no such window\n", stderr);
        return 1;
    }
    if (command == L"wait-window") {
        return 0;
    }
    if (command == L"text" && argc > 3) {
        std::wstring text = ControlText(window, static_cast<int>(Number(argv[3])));
        std::printf("%s\n", velmo::SjisToUtf8(velmo::WideToSjis(text)).c_str());
        return 0;
    }
    int id = 0;
    if ((command == L"click" || command == L"command") && argc > 3 && !Id(argv[3], id)) {
        std::fputs("no such id\n", stderr);
        return 2;
    }
    if (command == L"click" && argc > 3) {
        ClickButton(window, id);
        return 0;
    }
    if (command == L"command" && argc > 3) {
        Post(window, WM_COMMAND, static_cast<WPARAM>(id));
        return 0;
    }
    if (command == L"post" && argc > 3) {
        Post(window, static_cast<UINT>(Number(argv[3])), argc > 4 ? Number(argv[4]) : 0,
             argc > 5 ? Number(argv[5]) : 0);
        return 0;
    }
    if (command == L"close") {
        Post(window, WM_CLOSE);
        DWORD start = GetTickCount();
        while (IsWindow(window) && GetTickCount() - start < 30000) {
            Sleep(100);
        }
        return IsWindow(window) ? 1 : 0;
    }
    return Usage();
}
