#include "win32/StartupShortcut_win32.h"

#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <vector>

#include "settings/StartupShortcut.h"
#include "win32/SingleInstance.h"
#include "win32/WideText.h"

namespace velmo {

namespace {

// GetModuleFileNameW does not say how long the name is: it fills the buffer.
std::wstring ProgramPath() {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) {
            return std::wstring();
        }
        if (length < buffer.size()) {
            return std::wstring(buffer.data(), length);
        }
        buffer.resize(buffer.size() * 2);
    }
}

// One spelling of a path: full, long, upper-cased as the file system compares names.
std::wstring ComparablePath(const std::wstring& path) {
    std::wstring full = GrowingBuffer(
        [&](wchar_t* buffer, DWORD size) { return GetFullPathNameW(path.c_str(), size, buffer, nullptr); });
    if (full.empty()) {
        full = path;
    }
    std::wstring longForm = GrowingBuffer(
        [&](wchar_t* buffer, DWORD size) { return GetLongPathNameW(full.c_str(), buffer, size); });
    if (!longForm.empty()) {
        full = longForm;
    }
    while (full.size() > 3 && (full.back() == L'\\' || full.back() == L'/')) {
        full.pop_back();
    }
    if (!full.empty()) {
        CharUpperBuffW(full.data(), static_cast<DWORD>(full.size()));
    }
    return full;
}

std::wstring StartupFolder() {
    wchar_t folder[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_STARTUP | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT,
                                folder))) {
        return std::wstring();
    }
    return folder;
}

// Task Manager keeps its on and off marks for the Startup folder's items here.
constexpr const wchar_t* kStartupApprovedKey =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\StartupFolder";

// Holds one COM interface and releases it.
template <typename Interface>
class ComRef {
  public:
    ComRef() = default;
    ~ComRef() {
        if (pointer_ != nullptr) {
            pointer_->Release();
        }
    }
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;

    Interface* operator->() const { return pointer_; }
    Interface* get() const { return pointer_; }
    void** out() { return reinterpret_cast<void**>(&pointer_); }

  private:
    Interface* pointer_ = nullptr;
};

bool NewShellLink(ComRef<IShellLinkW>& link, ComRef<IPersistFile>& file) {
    return SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                      link.out())) &&
           SUCCEEDED(link->QueryInterface(IID_IPersistFile, file.out()));
}

}  // namespace

Win32StartupShortcut::Win32StartupShortcut() {
    // S_FALSE (already initialised here) must be balanced as well; a thread
    // in the other apartment model can still use the shell link object.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    uninitialize_ = SUCCEEDED(com);
    program_ = ProgramPath();
    folder_ = GrowingBuffer([](wchar_t* buffer, DWORD size) { return GetCurrentDirectoryW(size, buffer); });
    const std::wstring startup = StartupFolder();
    if (!startup.empty() && !program_.empty() && !folder_.empty()) {
        linkName_ = Utf8ToWide(StartupShortcutFileName(WideToUtf8(folder_), CurrentFolderInstanceKey()));
        link_ = startup + L"\\" + linkName_;
    }
}

Win32StartupShortcut::~Win32StartupShortcut() {
    if (uninitialize_) {
        CoUninitialize();
    }
}

bool Win32StartupShortcut::Exists() {
    if (link_.empty() || GetFileAttributesW(link_.c_str()) == INVALID_FILE_ATTRIBUTES) {
        return false;
    }
    ComRef<IShellLinkW> link;
    ComRef<IPersistFile> file;
    if (!NewShellLink(link, file) || FAILED(file->Load(link_.c_str(), STGM_READ))) {
        return false;
    }
    // A shortcut of that name that starts another program, or in another
    // folder, is not this tool's way of starting with Windows.
    wchar_t target[MAX_PATH] = {};
    wchar_t workingFolder[MAX_PATH] = {};
    if (FAILED(link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH)) ||
        FAILED(link->GetWorkingDirectory(workingFolder, MAX_PATH))) {
        return false;
    }
    return ComparablePath(target) == ComparablePath(program_) &&
           ComparablePath(workingFolder) == ComparablePath(folder_);
}

bool Win32StartupShortcut::Create() {
    ComRef<IShellLinkW> link;
    ComRef<IPersistFile> file;
    if (link_.empty() || !NewShellLink(link, file) || FAILED(link->SetPath(program_.c_str())) ||
        FAILED(link->SetWorkingDirectory(folder_.c_str())) || FAILED(link->SetDescription(L"Velmo tool")) ||
        FAILED(file->Save(link_.c_str(), TRUE))) {
        return false;
    }
    // The user asked for it here: a mark of Task Manager's that turned it off
    // goes (without a mark the item is on). A mark that stays is not a failure
    // of the shortcut; the next sheet says it is off.
    RegDeleteKeyValueW(HKEY_CURRENT_USER, kStartupApprovedKey, linkName_.c_str());
    return true;
}

bool Win32StartupShortcut::TurnedOff() {
    if (linkName_.empty()) {
        return false;
    }
    unsigned char mark[64] = {};
    DWORD size = sizeof mark;
    if (RegGetValueW(HKEY_CURRENT_USER, kStartupApprovedKey, linkName_.c_str(), RRF_RT_REG_BINARY, nullptr,
                     mark, &size) != ERROR_SUCCESS) {
        return false;  // no mark (or none that reads): the item is on
    }
    return StartupApprovedTurnedOff(mark, size);
}

bool Win32StartupShortcut::Remove() {
    if (link_.empty()) {
        return false;
    }
    if (DeleteFileW(link_.c_str())) {
        return true;
    }
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

}  // namespace velmo
