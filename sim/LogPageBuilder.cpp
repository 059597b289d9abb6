#include "sim/LogPageBuilder.h"

#include "sim/AdminPage.h"

namespace velmo {

std::vector<std::size_t> ListingOrder(const std::vector<LogPageEntry>& entries, LogListing listing) {
    std::vector<std::size_t> order;
    if (listing == LogListing::OldestFirst) {
        for (std::size_t i = 0; i < entries.size(); ++i) {
            order.push_back(i);
        }
        return order;
    }
    // Runs of a timed entry and its sub-info lines, the newest run first.
    std::size_t end = entries.size();
    for (std::size_t i = entries.size(); i-- > 0;) {
        if (entries[i].ageMs || i == 0) {
            for (std::size_t j = i; j < end; ++j) {
                order.push_back(j);
            }
            end = i;
        }
    }
    return order;
}

std::string SystemLogPageBody(const std::vector<LogPageEntry>& entries, LogListing listing) {
    std::string calls;
    for (const std::size_t i : ListingOrder(entries, listing)) {
        const LogPageEntry& entry = entries[i];
        calls += entry.ageMs ? "L2(" + std::to_string(*entry.ageMs) + ",'" + entry.text + "');\n"
                             : "L1('" + entry.text + "');\n";
    }
    return SystemLogPageAround(calls);
}

// L1 is defined before L2: the tool reads only what follows "function L2(w,x)",
// and L2's body names neither function, so the first call it finds is the
// first entry.
std::string SystemLogPageAround(const std::string& scriptCalls) {
    const std::string script =
        "<SCRIPT LANGUAGE=\"JavaScript\">\n<!--\n"
        "function L1(x){document.write(\"<TR><TD></TD><TD>\"+x+\"</TD></TR>\");}\n"
        "function L2(w,x){var d=new Date(new Date().getTime()-w);"
        "document.write(\"<TR><TD>\"+d.toLocaleString()+\"</TD><TD>\"+x+\"</TD></TR>\");}\n"
        "//-->\n</SCRIPT>\n";
    return AdminPage("システムログ", "<TABLE BORDER=1>\n" + script + "<SCRIPT LANGUAGE=\"JavaScript\">\n" +
                                         scriptCalls + "</SCRIPT>\n</TABLE>\n");
}

}  // namespace velmo
