#include "res/StringTable.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <regex>
#include <sstream>

#include "base/CodePage.h"
#include "res/Version.h"
#include "res/resource.h"

namespace velmo {
namespace {

// The STRINGTABLE block of the resource script: symbolic id -> UTF-8 text.
std::map<std::string, std::string> ResourceScriptStrings() {
    std::ifstream file(std::string(VELMO_SOURCE_DIR) + "/res/VelmoTool.rc", std::ios::binary);
    std::stringstream content;
    content << file.rdbuf();
    // The version is the generated header's, by name.
    std::string text = std::regex_replace(content.str(), std::regex(R"(\bVELMO_VERSION_TEXT\b)"),
                                          "\"" VELMO_VERSION_TEXT "\"");
    std::size_t begin = text.find("STRINGTABLE");
    std::size_t end = text.find("\nEND", begin);
    std::map<std::string, std::string> strings;
    std::regex line(R"re(^\s*(\w+)\s+"(.*)"\s*$)re");
    std::istringstream block(text.substr(begin, end - begin));
    for (std::string row; std::getline(block, row);) {
        std::smatch match;
        if (std::regex_match(row, match, line)) {
            strings[match[1]] = match[2];
        }
    }
    return strings;
}

// The resource script writes a line feed as \n; the table holds the byte.
std::string Unescape(const std::string& text) {
    return std::regex_replace(text, std::regex(R"(\\n)"), "\n");
}

TEST(StringTable, ResourceScriptCarriesTheSameTexts) {
    const std::map<std::string, int> ids = {{"IDS_ABOUTBOX", IDS_ABOUTBOX},
                                            {"IDS_APPNAME", IDS_APPNAME},
                                            {"IDS_VERSION", IDS_VERSION},
                                            {"IDS_MAKER", IDS_MAKER},
                                            {"IDS_NOTICE", IDS_NOTICE},
                                            {"IDS_BAD_ADDRESS", IDS_BAD_ADDRESS},
                                            {"IDS_CHOOSE_LOGFILE", IDS_CHOOSE_LOGFILE},
                                            {"IDS_LOG_STAMP", IDS_LOG_STAMP},
                                            {"IDS_LOG_UPDATE_MARKER", IDS_LOG_UPDATE_MARKER},
                                            {"IDS_DATETIME_FORMAT", IDS_DATETIME_FORMAT},
                                            {"IDS_LOG_FAILURE", IDS_LOG_FAILURE},
                                            {"IDS_UNKNOWN", IDS_UNKNOWN},
                                            {"IDS_NOT_CONNECTED", IDS_NOT_CONNECTED},
                                            {"IDS_NOT_SET", IDS_NOT_SET},
                                            {"IDS_SETTINGS_CAPTION", IDS_SETTINGS_CAPTION},
                                            {"IDS_LOG_FILE_FILTER", IDS_LOG_FILE_FILTER},
                                            {"IDS_SETTINGS_SAVE_FAILED", IDS_SETTINGS_SAVE_FAILED},
                                            {"IDS_BALLOON_ACCESS", IDS_BALLOON_ACCESS},
                                            {"IDS_BALLOON_LINE_DOWN", IDS_BALLOON_LINE_DOWN},
                                            {"IDS_BALLOON_LINE_UP", IDS_BALLOON_LINE_UP},
                                            {"IDS_BALLOON_NO_ANSWER", IDS_BALLOON_NO_ANSWER},
                                            {"IDS_BALLOON_LOG_NOT_OPENED", IDS_BALLOON_LOG_NOT_OPENED},
                                            {"IDS_BALLOON_LOG_NOT_READ", IDS_BALLOON_LOG_NOT_READ},
                                            {"IDS_BALLOON_LOG_NOT_WRITTEN", IDS_BALLOON_LOG_NOT_WRITTEN},
                                            {"IDS_TOOLTIP_LOG_FAILING", IDS_TOOLTIP_LOG_FAILING},
                                            {"ID_MENU_CONNECT", ID_MENU_CONNECT},
                                            {"ID_MENU_DISCONNECT", ID_MENU_DISCONNECT},
                                            {"ID_MENU_EXIT", ID_MENU_EXIT},
                                            {"ID_MENU_SETTINGS", ID_MENU_SETTINGS},
                                            {"ID_MENU_CAPTURE_LOG", ID_MENU_CAPTURE_LOG},
                                            {"ID_MENU_REFRESH", ID_MENU_REFRESH},
                                            {"ID_MENU_HISTORY", ID_MENU_HISTORY},
                                            {"IDS_HISTORY_TITLE", IDS_HISTORY_TITLE},
                                            {"IDS_HISTORY_OPEN", IDS_HISTORY_OPEN},
                                            {"IDS_HISTORY_COPY", IDS_HISTORY_COPY},
                                            {"IDS_HISTORY_NOT_WRITTEN", IDS_HISTORY_NOT_WRITTEN},
                                            {"IDS_TOOLTIP_HISTORY_FAILING", IDS_TOOLTIP_HISTORY_FAILING},
                                            {"ID_MENU_LOG_VIEW", ID_MENU_LOG_VIEW},
                                            {"IDS_LOGVIEW_TITLE", IDS_LOGVIEW_TITLE},
                                            {"IDS_STARTUP_CREATE_FAILED", IDS_STARTUP_CREATE_FAILED},
                                            {"IDS_STARTUP_REMOVE_FAILED", IDS_STARTUP_REMOVE_FAILED},
                                            {"IDS_BALLOON_ANSWERS_AGAIN", IDS_BALLOON_ANSWERS_AGAIN},
                                            {"IDS_TOOLTIP_MUTED", IDS_TOOLTIP_MUTED},
                                            {"IDS_STARTUP_TURNED_OFF", IDS_STARTUP_TURNED_OFF},
                                            {"IDS_BALLOON_REDIALLED", IDS_BALLOON_REDIALLED},
                                            {"IDS_BALLOON_REDIAL_FAILED", IDS_BALLOON_REDIAL_FAILED},
                                            {"IDS_BALLOON_LINE_UP_AFTER", IDS_BALLOON_LINE_UP_AFTER},
                                            {"IDS_PARSE_REAL", IDS_PARSE_REAL}};
    auto script = ResourceScriptStrings();
    ASSERT_EQ(script.size(), ids.size());
    for (const auto& [name, id] : ids) {
        ASSERT_TRUE(script.count(name)) << name;
        ASSERT_NE(StringTableUtf8(id), nullptr) << name;
        EXPECT_EQ(Unescape(script[name]), StringTableUtf8(id)) << name;
        EXPECT_EQ(TableString(id), Utf8ToSjis(StringTableUtf8(id))) << name;
    }
}

TEST(StringTable, TextsTheToolWritesAreExact) {
    EXPECT_EQ(TableString(IDS_LOG_STAMP), "[%04d/%02d/%02d %02d:%02d:%02d]  ");
    EXPECT_EQ(TableString(IDS_DATETIME_FORMAT), "%Y/%m/%d %H:%M:%S");
    EXPECT_EQ(TableString(IDS_APPNAME) + " ver. " + TableString(IDS_VERSION), "Velmo tool ver. 1.10");
    EXPECT_EQ(TableString(9999), "");
}

}  // namespace
}  // namespace velmo
