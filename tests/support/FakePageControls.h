// A settings page's controls as maps by id, counting every call.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "settings/SettingsPages.h"

namespace velmo::testing {

class FakePageControls final : public PageControls {
  public:
    std::string Text(int id) override { return ++calls, texts[id]; }
    void SetText(int id, const std::string& text) override { ++calls, texts[id] = text; }
    bool Checked(int id) override { return ++calls, checks[id]; }
    void SetChecked(int id, bool checked) override { ++calls, checks[id] = checked; }
    void SetChoices(int id, std::span<const Choice> list) override {
        ++calls, choices[id].assign(list.begin(), list.end());
    }
    void Enable(int id, bool enabled) override { ++calls, enabled_[id] = enabled; }
    DateTime PickerTime(int id) override { return ++calls, pickers[id]; }
    void SetPickerTime(int id, const DateTime& time) override { ++calls, pickers[id] = time; }
    void SetPickerFormat(int id, const std::string& format) override { ++calls, formats[id] = format; }
    void NumberFieldFailed(int id) override { ++calls, failedFields.push_back(id); }

    bool IsEnabled(int id) const { return enabled_.at(id); }
    bool WasEnabledOrDisabled(int id) const { return enabled_.count(id) != 0; }

    std::map<int, std::string> texts, formats;
    std::map<int, bool> checks;
    std::map<int, DateTime> pickers;
    std::map<int, std::vector<Choice>> choices;
    std::vector<int> failedFields;
    int calls = 0;  // every call of the port, of any kind

  private:
    std::map<int, bool> enabled_;
};

}  // namespace velmo::testing
