// The controls of one property page, reached by id through the core's
// PageControls port, and the save-file dialog through LogFileChooser.
#pragma once

#include <windows.h>

#include "settings/SettingsPages.h"

namespace velmo {

class Win32PageControls final : public PageControls {
  public:
    explicit Win32PageControls(HWND page) : page_(page) {}

    std::string Text(int controlId) override;
    void SetText(int controlId, const std::string& text) override;
    bool Checked(int controlId) override;
    void SetChecked(int controlId, bool checked) override;
    void SetChoices(int controlId, std::span<const Choice> choices) override;
    void Enable(int controlId, bool enabled) override;
    DateTime PickerTime(int controlId) override;
    void SetPickerTime(int controlId, const DateTime& time) override;
    void SetPickerFormat(int controlId, const std::string& format) override;
    void NumberFieldFailed(int controlId) override;

  private:
    HWND page_;
};

class Win32LogFileChooser final : public LogFileChooser {
  public:
    explicit Win32LogFileChooser(HWND owner) : owner_(owner) {}
    bool ChooseSaveFile(const std::string& initialDirectory, std::string& fileName) override;

  private:
    HWND owner_;
};

}  // namespace velmo
