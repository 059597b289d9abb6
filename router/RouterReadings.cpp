#include "router/RouterReadings.h"

namespace velmo {

StatusReading ReadStatusPage(const RouterClient& client) {
    StatusReading reading;
    reading.dialCommandIndex = client.dialCommandIndex;
    std::string page;
    reading.fetched = client.FetchPage(page, RouterClient::statusPage);
    if (reading.fetched) {
        RouterClient learner = client;
        learner.LearnDialCommandIndex(page);
        reading.dialCommandIndex = learner.dialCommandIndex;
        reading.status = ParseStatusPage(page);
    }
    return reading;
}

RefreshReading ReadAllPages(const RouterClient& client, Clock& clock) {
    RefreshReading reading;
    std::string topPage;  // its content is not used
    const std::uint64_t started = clock.UnbiasedMilliseconds();
    reading.topPageAnswered = client.FetchPage(topPage, "");
    reading.slowAddress = clock.UnbiasedMilliseconds() - started > kSlowAddressMs;
    std::string banner;
    const bool bannerFetched = client.FetchPage(banner, RouterClient::bannerPage);
    reading.modelLine = ModelLine(bannerFetched, banner, reading.topPageAnswered);
    reading.status = ReadStatusPage(client);
    return reading;
}

CommandReading ConnectCommand(const RouterClient& client, Clock& clock, bool dial) {
    CommandReading reading;
    reading.refresh = ReadAllPages(client, clock);
    RouterClient learned = client;
    learned.dialCommandIndex = reading.refresh.status.dialCommandIndex;
    reading.sent = dial ? learned.SendDialCommand() : learned.SendHangUpCommand();
    return reading;
}

CommandReading AutomaticHangUp(const RouterClient& client, Clock& clock) {
    CommandReading reading;
    const bool known = client.CommandKnown();
    for (int attempt = 0; known && attempt < kHangUpAttempts && !client.Cancelled(); ++attempt) {
        reading.sent = client.SendHangUpCommand();
        if (reading.sent) {
            break;
        }
        clock.Sleep(kHangUpRetryPause);
    }
    reading.refresh = ReadAllPages(client, clock);
    if (!known) {
        RouterClient learned = client;
        learned.dialCommandIndex = reading.refresh.status.dialCommandIndex;
        reading.sent = learned.SendHangUpCommand();
    }
    return reading;
}

}  // namespace velmo
