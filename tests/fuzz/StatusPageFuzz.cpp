// The banner and status readings on arbitrary pages.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "router/RouterClient.h"
#include "router/StatusPage.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string page(reinterpret_cast<const char*>(data), size);
    const velmo::RouterStatus status = velmo::ParseStatusPage(page);
    // No connection time means no modem state and no connection.
    if (status.connectionTime.empty() && (status.connected || !status.modemState.empty())) {
        std::abort();
    }
    if (velmo::ModelLine(true, page, true).empty() && page.find("</CENTER>") == std::string::npos) {
        std::abort();
    }
    velmo::ModelLine(true, page, false);
    // Learning the command index never leaves the known values.
    velmo::RouterClient client([](const std::string&, const std::string&, std::string&,
                                  const velmo::CancelToken&) { return false; });
    client.LearnDialCommandIndex(page);
    const int index = client.dialCommandIndex;
    if (index != velmo::RouterClient::kNoDialCommand && (index < 0 || index > 6)) {
        std::abort();
    }
    return 0;
}
