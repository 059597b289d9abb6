#include "res/StringTable.h"

#include <map>

#include "base/CodePage.h"
#include "base/DateTime.h"
#include "res/Version.h"
#include "res/resource.h"

namespace velmo {

namespace {

struct Entry {
    int id;
    const char* utf8;
};

constexpr Entry kStrings[] = {
    {IDS_ABOUTBOX, "About Velmo tool"},
    {IDS_APPNAME, "Velmo tool"},
    {IDS_VERSION, VELMO_VERSION_TEXT},
    {IDS_MAKER, "Velmo tool team"},
    {IDS_NOTICE, "(C) 2026"},
    {IDS_BAD_ADDRESS,
     "指定されたアドレスに接続できません.\nアドレスは無効化されました.\n再度指定してください."},
    {IDS_CHOOSE_LOGFILE, "ログファイルの選択"},
    {IDS_LOG_STAMP, "[%04d/%02d/%02d %02d:%02d:%02d]  "},
    {IDS_LOG_UPDATE_MARKER, "Last Log Update"},
    {IDS_DATETIME_FORMAT, kDateTimeFormat},
    {IDS_LOG_FAILURE, "ログの取得に失敗しました"},
    {IDS_UNKNOWN, "不明"},
    {IDS_NOT_CONNECTED, "未接続"},
    {IDS_NOT_SET, "未設定"},
    {IDS_SETTINGS_CAPTION, "設定"},
    {IDS_LOG_FILE_FILTER, "テキストファイル (*.txt)|*.txt|全ファイル (*.*)|*.*||"},
    {IDS_SETTINGS_SAVE_FAILED, "設定を保存できませんでした。\n%s\n%s"},
    {IDS_BALLOON_ACCESS, "不正アクセスを %d 件記録しました"},
    {IDS_BALLOON_LINE_DOWN, "回線が切断されました（接続時間 %s）"},
    {IDS_BALLOON_LINE_UP, "回線が接続されました"},
    {IDS_BALLOON_NO_ANSWER, "ルーターに接続できません"},
    {IDS_BALLOON_LOG_NOT_OPENED, "ログファイル「%s」を開けません"},
    {IDS_BALLOON_LOG_NOT_READ, "ログファイル「%s」を読み込めません"},
    {IDS_BALLOON_LOG_NOT_WRITTEN, "ログファイル「%s」に書き込めません"},
    {IDS_TOOLTIP_LOG_FAILING, "（ログを書き込めません）"},
    {ID_MENU_CONNECT, "ダイアルアップして接続します"},
    {ID_MENU_DISCONNECT, "ダイアルアップの接続を切断します"},
    {ID_MENU_EXIT, "このアプリケーションを終了します"},
    {ID_MENU_SETTINGS, "設定ダイアログを表示する"},
    {ID_MENU_CAPTURE_LOG, "ログを記録します"},
    {ID_MENU_REFRESH, "表示情報を更新する"},
    {ID_MENU_HISTORY, "接続履歴を表示します"},
    {IDS_HISTORY_TITLE, "接続履歴"},
    {IDS_HISTORY_OPEN, "記録を開く"},
    {IDS_HISTORY_COPY, "報告をコピー"},
    {IDS_HISTORY_NOT_WRITTEN, "接続履歴「%s」に書き込めません"},
    {IDS_TOOLTIP_HISTORY_FAILING, "（接続履歴を書き込めません）"},
    {ID_MENU_LOG_VIEW, "記録したログを表示します"},
    {IDS_LOGVIEW_TITLE, "ログを見る"},
    {IDS_STARTUP_CREATE_FAILED, "スタートアップフォルダーにショートカットを作成できませんでした。"},
    {IDS_STARTUP_REMOVE_FAILED, "スタートアップフォルダーのショートカットを削除できませんでした。"},
    {IDS_BALLOON_ANSWERS_AGAIN, "ルーターが応答しました（応答がなかった時間 %s）"},
    {IDS_TOOLTIP_MUTED, "（通知停止中 %s まで）"},
    {IDS_STARTUP_TURNED_OFF, "タスク マネージャーのスタートアップで無効にされています。"},
    {IDS_BALLOON_REDIALLED, "回線を再接続しました"},
    {IDS_BALLOON_REDIAL_FAILED, "回線を再接続できませんでした"},
    {IDS_BALLOON_LINE_UP_AFTER, "回線が接続されました（切断されていた時間 %s）"},
    {IDS_PARSE_REAL, "数字を入力してください。"},
};

// Built once, on first use, from the UTF-8 texts above.
const std::map<int, std::string>& SjisTable() {
    static const std::map<int, std::string> table = [] {
        std::map<int, std::string> converted;
        for (const Entry& entry : kStrings) {
            converted.emplace(entry.id, Utf8ToSjis(entry.utf8));
        }
        return converted;
    }();
    return table;
}

}  // namespace

const std::string& TableString(int id) {
    static const std::string empty;
    const auto& table = SjisTable();
    auto it = table.find(id);
    return it == table.end() ? empty : it->second;
}

const char* StringTableUtf8(int id) {
    for (const Entry& entry : kStrings) {
        if (entry.id == id) {
            return entry.utf8;
        }
    }
    return nullptr;
}

}  // namespace velmo
