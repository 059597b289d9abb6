#include "sim/AdminPage.h"

#include "base/CodePage.h"

namespace velmo {

std::string AdminPage(const char* titleUtf8, const std::string& body) {
    return "<HTML><HEAD><TITLE>" + Utf8ToSjis(titleUtf8) + "</TITLE></HEAD><BODY>\n" + body +
           "</BODY></HTML>\n";
}

}  // namespace velmo
