#include <gtest/gtest.h>

#include <string>

#include "base/CodePage.h"
#include "routerlog/LoginRequest.h"

namespace velmo {
namespace {

const std::string kGetForm = "<FORM ACTION=/cgi-bin/logi METHOD=GET NAME=LOGIN>";
const std::string kPostForm = "<FORM ACTION=/cgi-bin/logi METHOD=POST NAME=LOGIN>";

std::string Page(const std::string& formStart, const std::string& body) {
    return "<HTML><BODY>\n" + formStart + "\n" + body + "\n</FORM></BODY></HTML>";
}

std::string Build(const std::string& page, const std::string& password = "secret1") {
    std::string request = "untouched";
    EXPECT_TRUE(BuildLoginRequest(page, password, request)) << page;
    return request;
}

TEST(BuildLoginRequest, FormWithoutHiddenFieldsSendsThePasswordAlone) {
    EXPECT_EQ(Build(Page(kGetForm, "<INPUT TYPE=PASSWORD NAME=PWD SIZE=16>")), "cgi-bin/logi?PWD=secret1");
}

TEST(BuildLoginRequest, GetFormIsUsedEvenWhenThePostFormStandsFirst) {
    const std::string page =
        Page(kPostForm, "<INPUT TYPE=PASSWORD NAME=PST>") + Page(kGetForm, "<INPUT TYPE=PASSWORD NAME=GET>");
    EXPECT_EQ(Build(page), "cgi-bin/logi?GET=secret1");
    EXPECT_EQ(Build(Page(kPostForm, "<INPUT TYPE=PASSWORD NAME=PST>")), "cgi-bin/logi?PST=secret1");
}

TEST(BuildLoginRequest, PasswordPairLandsBeforeTheFirstHiddenFieldAfterThePasswordInput) {
    const std::string page = Page(kGetForm,
                                  "<INPUT TYPE=HIDDEN NAME=A VALUE=1>\n"
                                  "<INPUT TYPE=PASSWORD NAME=PWD>\n"
                                  "<INPUT TYPE=HIDDEN NAME=B VALUE=2>");
    EXPECT_EQ(Build(page), "cgi-bin/logi?A=1&PWD=secret1&B=2");
}

TEST(BuildLoginRequest, PasswordBeforeEveryHiddenFieldIsTheFirstPair) {
    const std::string page = Page(kGetForm,
                                  "<INPUT TYPE=PASSWORD NAME=PWD>\n"
                                  "<INPUT TYPE=HIDDEN VALUE=\"1\" NAME=A>\n"
                                  "<INPUT TYPE=HIDDEN VALUE=\"2\" NAME=B>");
    EXPECT_EQ(Build(page), "cgi-bin/logi?PWD=secret1&A=1&B=2");
}

TEST(BuildLoginRequest, ValueFirstFieldsAreSoughtBeforeNameFirstFields) {
    // Each field is looked for value-first first, from the current position,
    // so a name-first field that stands before a value-first one is passed over.
    const std::string page = Page(kGetForm,
                                  "<INPUT TYPE=HIDDEN NAME=A VALUE=1>\n"
                                  "<INPUT TYPE=HIDDEN VALUE=\"2\" NAME=B>\n"
                                  "<INPUT TYPE=HIDDEN NAME=C VALUE=3>\n"
                                  "<INPUT TYPE=PASSWORD NAME=PWD>");
    EXPECT_EQ(Build(page), "cgi-bin/logi?B=2&C=3&PWD=secret1");
}

TEST(BuildLoginRequest, PasswordAfterEveryHiddenFieldIsTheLastPair) {
    const std::string page = Page(kGetForm,
                                  "<INPUT TYPE=HIDDEN NAME=A VALUE=1>\n"
                                  "<INPUT TYPE=HIDDEN NAME=B VALUE=2>\n"
                                  "<INPUT TYPE=PASSWORD NAME=PWD>");
    EXPECT_EQ(Build(page), "cgi-bin/logi?A=1&B=2&PWD=secret1");
}

TEST(BuildLoginRequest, EmptyPasswordGivesTheBareFieldName) {
    EXPECT_EQ(Build(Page(kGetForm, "<INPUT TYPE=PASSWORD NAME=PWD>"), ""), "cgi-bin/logi?PWD=");
}

TEST(BuildLoginRequest, NameFirstFieldKeepsQuotesAroundItsValue) {
    // The name runs to the first blank, the value from "VALUE=" to ">", trimmed.
    const std::string page = Page(kGetForm,
                                  "<INPUT TYPE=HIDDEN NAME=RC VALUE=  \"@\" >\n"
                                  "<INPUT TYPE=PASSWORD NAME=PWD>");
    EXPECT_EQ(Build(page), "cgi-bin/logi?RC=%22%40%22&PWD=secret1");
}

TEST(BuildLoginRequest, ValueFirstFieldNameRunsToTheNextAngleBracket) {
    const std::string page = Page(kGetForm,
                                  "<INPUT TYPE=HIDDEN VALUE=\"x1\" NAME=SID>\n"
                                  "<INPUT TYPE=HIDDEN VALUE=\"x2\" NAME=ID SIZE=3>\n"
                                  "<INPUT TYPE=PASSWORD NAME=PWD>");
    // Further attributes after NAME= become part of the name.
    EXPECT_EQ(Build(page), "cgi-bin/logi?SID=x1&ID+SIZE%3D3=x2&PWD=secret1");
}

TEST(BuildLoginRequest, EmptyQuotedValueWritesABarePair) {
    const std::string page = Page(kGetForm,
                                  "<INPUT TYPE=HIDDEN VALUE=\"\" NAME=X>\n"
                                  "<INPUT TYPE=PASSWORD NAME=PWD>");
    EXPECT_EQ(Build(page), "cgi-bin/logi?=&PWD=secret1");
}

TEST(BuildLoginRequest, PasswordNameIsExactlyThreeBytesEvenPastItsEnd) {
    EXPECT_EQ(Build(Page(kGetForm, "<INPUT TYPE=PASSWORD NAME=PW>")), "cgi-bin/logi?PW%3E=secret1");
    EXPECT_EQ(Build(Page(kGetForm, "<INPUT TYPE=PASSWORD NAME=PASSWD>")), "cgi-bin/logi?PAS=secret1");
    // The form (trimmed) ends right after the marker: fewer than 3 bytes.
    EXPECT_EQ(Build(kGetForm + "<INPUT TYPE=PASSWORD NAME=P  \n</FORM>"), "cgi-bin/logi?P=secret1");
}

TEST(BuildLoginRequest, MissingFormPasswordOrAttributeFails) {
    std::string request;
    EXPECT_FALSE(BuildLoginRequest("<INPUT TYPE=PASSWORD NAME=PWD>", "pw", request));
    EXPECT_FALSE(
        BuildLoginRequest(kGetForm + "<INPUT TYPE=PASSWORD NAME=PWD>", "pw", request));  // no </FORM>
    EXPECT_FALSE(BuildLoginRequest(Page(kGetForm, "<INPUT TYPE=HIDDEN NAME=A VALUE=1>"), "pw", request));
    EXPECT_FALSE(BuildLoginRequest(
        Page(kGetForm, "<INPUT TYPE=PASSWORD NAME=PWD><INPUT TYPE=HIDDEN VALUE=\"1\" NAME=A"), "pw",
        request));
    EXPECT_FALSE(BuildLoginRequest(
        Page(kGetForm, "<INPUT TYPE=PASSWORD NAME=PWD><INPUT TYPE=HIDDEN NAME=A VALUE=1"), "pw", request));
}

TEST(BuildLoginRequest, PasswordIsFormEncodedLikeABrowserSubmitsIt) {
    const std::string page =
        Page(kGetForm, "<INPUT TYPE=HIDDEN NAME=A VALUE=1><INPUT TYPE=PASSWORD NAME=PWD>");
    EXPECT_EQ(Build(page, "Abc123"), "cgi-bin/logi?A=1&PWD=Abc123");
    EXPECT_EQ(Build(page, "a b&c=d\r\n%+"), "cgi-bin/logi?A=1&PWD=a+b%26c%3Dd%0D%0A%25%2B");
    EXPECT_EQ(Build(page, "*-._~/"), "cgi-bin/logi?A=1&PWD=*-._%7E%2F");
    EXPECT_EQ(Build(page, Utf8ToSjis("パス")), "cgi-bin/logi?A=1&PWD=%83p%83X");
}

TEST(FormEncode, LeavesOnlyLettersDigitsAndFourMarksAsTheyAre) {
    EXPECT_EQ(FormEncode("AZaz09*-._"), "AZaz09*-._");
    EXPECT_EQ(FormEncode(" "), "+");
    EXPECT_EQ(FormEncode(std::string("\x00\x7F\xFF", 3)), "%00%7F%FF");
}

}  // namespace
}  // namespace velmo
