#include "sim/LogPages.h"

#include "base/CodePage.h"

namespace velmo {
namespace {

std::string HiddenInput(const HiddenField& field) {
    if (field.valueFirst) {
        return "<INPUT TYPE=HIDDEN VALUE=\"" + field.value + "\" NAME=" + field.name + ">\n";
    }
    return "<INPUT TYPE=HIDDEN NAME=" + field.name + " VALUE=" + field.value + ">\n";
}

std::string LoginForm(const RouterSimulatorOptions& options, bool get, bool markMethod) {
    std::string form = get ? "<FORM ACTION=/cgi-bin/logi METHOD=GET NAME=LOGIN>\n"
                           : "<FORM ACTION=/cgi-bin/logi METHOD=POST NAME=LOGIN>\n";
    for (const HiddenField& field : options.hiddenFields) {
        if (!field.afterPassword) {
            form += HiddenInput(field);
        }
    }
    form +=
        Utf8ToSjis("管理者パスワード ") + "<INPUT TYPE=PASSWORD NAME=" + options.passwordFieldName + ">\n";
    for (const HiddenField& field : options.hiddenFields) {
        if (field.afterPassword) {
            form += HiddenInput(field);
        }
    }
    if (markMethod) {
        form += HiddenInput(HiddenField{"FORM", get ? "GET" : "POST"});
    }
    return form + Utf8ToSjis("<INPUT TYPE=SUBMIT VALUE=\"ログイン\">\n") + "</FORM>\n";
}

std::string Page(const char* titleUtf8, const std::string& body) {
    return "<HTML><HEAD><TITLE>" + Utf8ToSjis(titleUtf8) + "</TITLE></HEAD><BODY>\n" + body +
           "</BODY></HTML>\n";
}

}  // namespace

std::string MenuPageBody(const RouterSimulatorOptions& options) {
    std::string forms;
    switch (options.loginForm) {
        case LoginFormVariant::Get:
            forms = LoginForm(options, true, false);
            break;
        case LoginFormVariant::Post:
            forms = LoginForm(options, false, false);
            break;
        case LoginFormVariant::BothGetFirst:
            forms = LoginForm(options, true, true) + LoginForm(options, false, true);
            break;
        case LoginFormVariant::BothPostFirst:
            forms = LoginForm(options, false, true) + LoginForm(options, true, true);
            break;
    }
    return Page("メニュー", Utf8ToSjis("<P>設定の変更とログの表示には管理者パスワードが必要です。</P>\n") +
                                forms + "<A HREF=/status.htm>STATUS</A>\n");
}

std::string LoginAnswerBody(bool loggedIn) {
    return Page("ログイン",
                Utf8ToSjis(loggedIn ? "<P>ログインしました。</P>\n<A HREF=/syslog.htm>LOG</A>\n"
                                    : "<P>パスワードが違います。</P>\n<A HREF=/menu.htm>MENU</A>\n"));
}

std::string LogoutAnswerBody() {
    return Page("ログアウト", Utf8ToSjis("<P>ログアウトしました。</P>\n"));
}

// L1 is defined before L2: the tool reads only what follows "function L2(w,x)",
// and L2's body names neither function, so the first call it finds is the
// first entry.
std::string SystemLogPageBody(const std::string& scriptCalls) {
    const std::string script =
        "<SCRIPT LANGUAGE=\"JavaScript\">\n<!--\n"
        "function L1(x){document.write(\"<TR><TD></TD><TD>\"+x+\"</TD></TR>\");}\n"
        "function L2(w,x){var d=new Date(new Date().getTime()-w);"
        "document.write(\"<TR><TD>\"+d.toLocaleString()+\"</TD><TD>\"+x+\"</TD></TR>\");}\n"
        "//-->\n</SCRIPT>\n";
    return Page("システムログ", "<TABLE BORDER=1>\n" + script + "<SCRIPT LANGUAGE=\"JavaScript\">\n" +
                                    scriptCalls + "</SCRIPT>\n</TABLE>\n");
}

std::string LoginRequiredPageBody() {
    return Page("システムログ", Utf8ToSjis("<P>ログインしてください。</P>\n<A HREF=/menu.htm>MENU</A>\n"));
}

}  // namespace velmo
