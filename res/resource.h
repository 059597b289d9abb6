/* Resource, control, command and timer ids. Plain #defines so that both the
   resource compiler and the C++ code read the one list. */
#ifndef VELMO_RES_RESOURCE_H
#define VELMO_RES_RESOURCE_H

/* Dialog templates */
#define IDD_ABOUTBOX 100
#define IDD_ROUTERSTATUS 102
#define IDD_GENERAL_SETTING 138
#define IDD_LOG_SETTING 140
#define IDD_AUTODISCONNECT_SETTING 141
#define IDD_AUTODISCONNECT_CONFIRM 142
#define IDD_NOTIFY_SETTING 143

/* Icons */
#define IDI_APP 128
#define IDI_NOT_REACHABLE 132
#define IDI_LINE_DOWN 135
#define IDI_LINE_UP 136
#define IDI_ACCESS_WARNING 139
/* The tray pictures drawn for a light and for a dark taskbar, in the order
   not reachable, line down, line up, access warning */
#define IDI_NOT_REACHABLE_LIGHT 160
#define IDI_LINE_DOWN_LIGHT 161
#define IDI_LINE_UP_LIGHT 162
#define IDI_ACCESS_WARNING_LIGHT 163
#define IDI_NOT_REACHABLE_DARK 164
#define IDI_LINE_DOWN_DARK 165
#define IDI_LINE_UP_DARK 166
#define IDI_ACCESS_WARNING_DARK 167

/* Menu */
#define IDR_TRAYMENU 129

/* Strings */
#define IDS_ABOUTBOX 103
#define IDS_APPNAME 104
#define IDS_VERSION 105
#define IDS_MAKER 106
#define IDS_NOTICE 107
#define IDS_BAD_ADDRESS 108
#define IDS_CHOOSE_LOGFILE 109
#define IDS_LOG_STAMP 110
#define IDS_LOG_UPDATE_MARKER 111
#define IDS_DATETIME_FORMAT 112
#define IDS_LOG_FAILURE 113
#define IDS_UNKNOWN 115
#define IDS_NOT_CONNECTED 116
#define IDS_NOT_SET 117
/* The settings sheet's caption; the log file dialog's filter, its parts
   separated by "|" where the dialog wants NULs */
#define IDS_SETTINGS_CAPTION 118
#define IDS_LOG_FILE_FILTER 119
/* The message when the settings accepted with OK cannot be written: the
   file's path and the system's reason go into its two "%s" */
#define IDS_SETTINGS_SAVE_FAILED 120
/* Balloon notifications and the tooltip while the log file cannot be written */
#define IDS_BALLOON_ACCESS 200
#define IDS_BALLOON_LINE_DOWN 201
#define IDS_BALLOON_LINE_UP 202
#define IDS_BALLOON_NO_ANSWER 203
#define IDS_BALLOON_LOG_NOT_OPENED 204
#define IDS_BALLOON_LOG_NOT_READ 205
#define IDS_BALLOON_LOG_NOT_WRITTEN 206
#define IDS_TOOLTIP_LOG_FAILING 207
/* The settings sheet's messages when the Startup shortcut cannot be made or removed */
#define IDS_STARTUP_CREATE_FAILED 210
#define IDS_STARTUP_REMOVE_FAILED 211
/* The balloon when a silent router answers again (its silence's length in
   "%s"), the tooltip's note while balloons are muted (the end in "%s"), and
   the 通知 page's note when Task Manager has turned the start-up off */
#define IDS_BALLOON_ANSWERS_AGAIN 230
#define IDS_TOOLTIP_MUTED 231
#define IDS_STARTUP_TURNED_OFF 232
/* The balloons of a redial after a drop: it worked, or the last try failed */
#define IDS_BALLOON_REDIALLED 240
#define IDS_BALLOON_REDIAL_FAILED 241
/* The line back after a drop, with how long it was down in "%s" */
#define IDS_BALLOON_LINE_UP_AFTER 242
/* The 接続履歴 window: its title (also the menu items), its two buttons, and
   the balloon when the record cannot be written */
#define IDS_HISTORY_TITLE 220
#define IDS_HISTORY_OPEN 221
#define IDS_HISTORY_COPY 222
#define IDS_HISTORY_NOT_WRITTEN 223
/* The tooltip's note while the connection record cannot be written */
#define IDS_TOOLTIP_HISTORY_FAILING 224
/* The ログを見る window: its title (also the menu items) */
#define IDS_LOGVIEW_TITLE 225
/* The number-field message of the settings pages */
#define IDS_PARSE_REAL 61715
/* The language drop-down's items */
#define IDS_LANGUAGE_AUTO 250
#define IDS_LANGUAGE_JA 251
#define IDS_LANGUAGE_EN 252
/* The auto-disconnect page's date and time pickers (the pickers' own format) */
#define IDS_DATE_PICKER_FORMAT 253
#define IDS_TIME_PICKER_FORMAT 254
/* The ログを見る window: the kinds of entry (check boxes, the list's 種類
   column, the chart's legend), the list's column titles, the buttons and the
   search box's cue, the status line's parts (each begins with its own
   separator), the chart's legend and headings, the notes an export or an
   ignored source leaves and the CSV dialog's file type */
#define IDS_KIND_ACCESS 300
#define IDS_KIND_LOGIN 301
#define IDS_KIND_LINE 302
#define IDS_KIND_OTHER 303
#define IDS_COLUMN_TIME 304
#define IDS_COLUMN_KIND 305
#define IDS_COLUMN_SOURCE 306
#define IDS_COLUMN_PORT 307
#define IDS_COLUMN_TEXT 308
#define IDS_LOGVIEW_CANCEL 310
#define IDS_LOGVIEW_JUMP 311
#define IDS_LOGVIEW_IGNORE 312
#define IDS_LOGVIEW_COPY 313
#define IDS_LOGVIEW_CSV 314
#define IDS_LOGVIEW_DAYS 315
#define IDS_LOGVIEW_SEARCH_CUE 316
#define IDS_LOGVIEW_ALL_SOURCES 317
#define IDS_LOGVIEW_ROWS 320
#define IDS_LOGVIEW_INDEXING 321
#define IDS_LOGVIEW_SEARCHING 322
#define IDS_LOGVIEW_MISSING 323
#define IDS_LOGVIEW_LOCKED 324
#define IDS_LOGVIEW_READ_FAILED 325
#define IDS_LOGVIEW_LONG_LINES 326
#define IDS_LOGVIEW_PARTLY_INDEXED 327
#define IDS_LOGVIEW_UNREAD_ROWS 328
#define IDS_LOGVIEW_LEGEND_DROPS 330
#define IDS_LOGVIEW_DAY_MOST 331
#define IDS_LOGVIEW_TOP_SOURCES 332
#define IDS_LOGVIEW_COPY_CUT 335
#define IDS_LOGVIEW_CSV_FILES 336
#define IDS_LOGVIEW_CSV_SAVED 337
#define IDS_LOGVIEW_CSV_NOT_SAVED 338
#define IDS_LOGVIEW_CHOOSE_SOURCE 339
#define IDS_LOGVIEW_SOURCE_IGNORED 340
#define IDS_LOGVIEW_CSV_SAVING 341
#define IDS_LOGVIEW_COPY_FAILED 342
#define IDS_LOGVIEW_NOT_AN_ADDRESS 343
/* The 接続履歴 window: the legend of the bars, the sums under them, and the
   report's heading and column titles; the ends' causes as the screen and
   the report show them (the record file keeps its own words) */
#define IDS_HISTORY_LEGEND_UP 350
#define IDS_HISTORY_LEGEND_DOWN 351
#define IDS_HISTORY_LEGEND_NOT_SEEN 352
#define IDS_HISTORY_MONTH_TIME 353
#define IDS_HISTORY_DROPS 354
#define IDS_HISTORY_AVAILABILITY 355
#define IDS_HISTORY_UNSEEN 356
#define IDS_HISTORY_REPORT_TITLE 357
#define IDS_HISTORY_REPORT_COLUMNS 358
#define IDS_CAUSE_USER 360
#define IDS_CAUSE_AUTO 361
#define IDS_CAUSE_DROP 362
#define IDS_CAUSE_UNSEEN 363
/* The main window's readings: the model field of an unreachable router, the
   modem words shown for the router's own, and the day mark of a running time */
#define IDS_ROUTER_NOT_REACHABLE 370
#define IDS_MODEM_READY 371
#define IDS_MODEM_NOT_READY 372
#define IDS_MODEM_DIALING 373
#define IDS_MODEM_HANGING 374
#define IDS_MODEM_DIAL_FAILED 375
#define IDS_RUNNING_TIME_DAY 376
/* The auto-disconnect confirmation's countdown, the seconds in "%s" */
#define IDS_AUTODISCONNECT_COUNTDOWN 380

/* Dialog results, and the buttons that give them (the platform's numbers) */
#ifndef IDOK
#define IDOK 1
#endif
#ifndef IDCANCEL
#define IDCANCEL 2
#endif

/* Labels and frames without an id */
#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

/* Main window controls */
#define IDC_VERSION_TEXT 1000
#define IDC_NOTICE_TEXT 1001
#define IDC_CONNECT 1002
#define IDC_DISCONNECT 1003
#define IDC_SETTINGS 1004
#define IDC_EXIT 1005
#define IDC_MODEL 1006
#define IDC_CONNECTION_TIME 1007
#define IDC_MODEM_STATE 1008
#define IDC_AUTODISCONNECT_TIME 1009

/* Settings pages: "一般" */
#define IDC_ROUTER_ADDRESS 1009
#define IDC_ROOT_PASSWORD 1010
#define IDC_UPDATE_CONNECT 1011
#define IDC_UPDATE_CONNECT_SECONDS 1012
#define IDC_UPDATE_DISCONNECT 1013
#define IDC_UPDATE_DISCONNECT_SECONDS 1014
#define IDC_INIT_MINIMIZE 1027
/* The display language: a drop-down list */
#define IDC_LANGUAGE 1032

/* Settings pages: "ログ" */
#define IDC_UPDATE_LOG 1015
#define IDC_UPDATE_LOG_MINUTES 1016
#define IDC_RECORD_LOGIN 1017
#define IDC_RECORD_LOGOUT 1018
#define IDC_LOG_FILE_NAME 1019
#define IDC_CHOOSE_LOG_FILE 1020
#define IDC_RECORD_SUBINFO 1021

/* Settings pages: "自動切断" */
#define IDC_AUTO_DISCONNECT 1021
#define IDC_TIME_PICKER 1022
#define IDC_DATE_PICKER 1024
#define IDC_SELECT_DAY 1025
#define IDC_SET_NOW 1026
#define IDC_CONFIRM_FIRST 1027

/* Settings pages: "通知" */
#define IDC_NOTIFY_ACCESS 1029
#define IDC_NOTIFY_LINE 1030
#define IDC_START_WITH_WINDOWS 1031
#define IDC_NOTIFY_IGNORE 1040
#define IDC_STARTUP_NOTE 1041
#define IDC_AUTO_REDIAL 1042

/* The 接続履歴 window's buttons: 記録を開く, 報告をコピー */
#define IDC_HISTORY_OPEN 1044
#define IDC_HISTORY_COPY 1045

/* The ログを見る window's controls */
#define IDC_LOGVIEW_LIST 1050
#define IDC_LOGVIEW_KIND_ACCESS 1051
#define IDC_LOGVIEW_KIND_LOGIN 1052
#define IDC_LOGVIEW_KIND_LINE 1053
#define IDC_LOGVIEW_KIND_OTHER 1054
#define IDC_LOGVIEW_SEARCH 1055
#define IDC_LOGVIEW_DATE 1056
#define IDC_LOGVIEW_SOURCE 1057
#define IDC_LOGVIEW_IGNORE 1058
#define IDC_LOGVIEW_COPY 1059
#define IDC_LOGVIEW_CSV 1060
#define IDC_LOGVIEW_DAYS 1061
#define IDC_LOGVIEW_CANCEL 1062
#define IDC_LOGVIEW_STATUS 1063
#define IDC_LOGVIEW_JUMP 1064

/* Auto-disconnect confirmation */
#define IDC_COUNTDOWN 1028

/* Popup menu commands */
#define ID_MENU_CONNECT 32772
#define ID_MENU_DISCONNECT 32773
#define ID_MENU_EXIT 32774
#define ID_MENU_SETTINGS 32775
#define ID_MENU_CAPTURE_LOG 32776
#define ID_MENU_REFRESH 32777
#define ID_MENU_HISTORY 32778
/* Submenu 通知を止める */
#define ID_MENU_MUTE_1H 32779
#define ID_MENU_MUTE_4H 32780
#define ID_MENU_MUTE_MORNING 32781
#define ID_MENU_MUTE_RESUME 32782
#define ID_MENU_LOG_VIEW 32783

/* System menu item of the about box (low four bits are the system's) */
#define IDM_ABOUTBOX 0x0010
/* System menu item of the 接続履歴 window */
#define IDM_HISTORY 0x0020
/* System menu item of the ログを見る window */
#define IDM_LOG_VIEW 0x0030

#endif
