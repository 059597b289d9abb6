// A notification area that records the icon's changes.
#pragma once

#include <string>
#include <vector>

#include "app/TrayHost.h"

namespace velmo::testing {

class FakeTrayHost final : public TrayHost {
  public:
    struct BalloonCall {
        std::uint32_t iconId = 0;
        BalloonIcon icon = BalloonIcon::Info;
        std::string title;
        std::string text;
    };

    void Add(std::uint32_t iconId, int pictureId, const std::string& tip) override {
        calls.push_back("add " + std::to_string(iconId) + " " + std::to_string(pictureId));
        picture = pictureId;
        tooltip = tip;
    }
    void Modify(std::uint32_t iconId, int pictureId, const std::string& tip) override {
        calls.push_back("modify " + std::to_string(iconId) + " " + std::to_string(pictureId));
        picture = pictureId;
        tooltip = tip;
    }
    void Delete(std::uint32_t iconId) override { calls.push_back("delete " + std::to_string(iconId)); }
    // Balloons are kept apart from `calls`, so the icon's own calls read as before.
    void ShowBalloon(std::uint32_t iconId, BalloonIcon icon, const std::string& title,
                     const std::string& text) override {
        balloons.push_back({iconId, icon, title, text});
    }

    TaskbarTheme CurrentTaskbarTheme() override { return theme; }

    TaskbarTheme theme = TaskbarTheme::Unknown;
    int picture = 0;
    std::string tooltip;
    std::vector<std::string> calls;
    std::vector<BalloonCall> balloons;
};

}  // namespace velmo::testing
