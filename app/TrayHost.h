// The notification-area icon's port to the platform.
#pragma once

#include <cstdint>
#include <string>

namespace velmo {

class TrayHost {
  public:
    virtual ~TrayHost() = default;
    // Adds the icon `iconId` with picture `pictureId` (an icon resource) and
    // `tooltip`; its mouse events come back as the window's callback message.
    virtual void Add(std::uint32_t iconId, int pictureId, const std::string& tooltip) = 0;
    virtual void Modify(std::uint32_t iconId, int pictureId, const std::string& tooltip) = 0;
    virtual void Delete(std::uint32_t iconId) = 0;
};

}  // namespace velmo
