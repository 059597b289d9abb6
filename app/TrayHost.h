// The notification-area icon's port to the platform.
#pragma once

#include <cstdint>
#include <string>

namespace velmo {

// The picture beside a balloon's title.
enum class BalloonIcon { Info, Warning, Error };

// The taskbar the icon sits on, as the system says: Unknown where it does
// not say (older Windows, Wine), and the icon keeps its first set.
enum class TaskbarTheme { Unknown, Light, Dark };

class TrayHost {
  public:
    virtual ~TrayHost() = default;
    // Adds the icon `iconId` with picture `pictureId` (an icon resource) and
    // `tooltip`; its mouse events come back as the window's callback message.
    virtual void Add(std::uint32_t iconId, int pictureId, const std::string& tooltip) = 0;
    virtual void Modify(std::uint32_t iconId, int pictureId, const std::string& tooltip) = 0;
    virtual void Delete(std::uint32_t iconId) = 0;
    // Shows the notification area's own balloon at the icon `iconId`, with
    // `title` and `text` (CP932, lines separated by "\n"). Returns at once:
    // the balloon neither blocks nor takes the focus, and goes by itself.
    virtual void ShowBalloon(std::uint32_t iconId, BalloonIcon icon, const std::string& title,
                             const std::string& text) = 0;
    // The taskbar's colours now (read again at each call).
    virtual TaskbarTheme CurrentTaskbarTheme() = 0;
};

}  // namespace velmo
