#include "sim/LogPages.h"

#include "base/CodePage.h"
#include "sim/AdminPage.h"

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
    return AdminPage("メニュー",
                     Utf8ToSjis("<P>設定の変更とログの表示には管理者パスワードが必要です。</P>\n") + forms +
                         "<A HREF=/status.htm>STATUS</A>\n");
}

std::string LoginAnswerBody(bool loggedIn) {
    return AdminPage("ログイン",
                     Utf8ToSjis(loggedIn ? "<P>ログインしました。</P>\n<A HREF=/syslog.htm>LOG</A>\n"
                                         : "<P>パスワードが違います。</P>\n<A HREF=/menu.htm>MENU</A>\n"));
}

std::string LogoutAnswerBody() {
    return AdminPage("ログアウト", Utf8ToSjis("<P>ログアウトしました。</P>\n"));
}

std::string LoginRequiredPageBody() {
    return AdminPage("システムログ",
                     Utf8ToSjis("<P>ログインしてください。</P>\n<A HREF=/menu.htm>MENU</A>\n"));
}

}  // namespace velmo
