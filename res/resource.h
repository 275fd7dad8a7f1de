// Resource numbers of the launcher's dialogs, controls, bitmaps and icon.
#pragma once

constexpr int IDI_LAUNCHER = 128;

constexpr int IDD_LAUNCHER_DIALOG = 102;
constexpr int IDD_UPDATE_DIALOG = 145;

constexpr int IDB_CLOSE_HOVER = 130;
constexpr int IDB_CLOSE_NORMAL = 131;
constexpr int IDB_CLOSE_PRESSED = 132;
constexpr int IDB_MINIMIZE_HOVER = 133;
constexpr int IDB_MINIMIZE_NORMAL = 134;
constexpr int IDB_MINIMIZE_PRESSED = 135;
constexpr int IDB_PROGRESS_TOTAL_FILL = 136;
constexpr int IDB_PROGRESS_FILE_FILL = 137;
constexpr int IDB_PROGRESS_TOTAL_TRACK = 138;
constexpr int IDB_PROGRESS_FILE_TRACK = 139;
constexpr int IDB_LAUNCHER_BACKGROUND = 140;
constexpr int IDB_UPDATE_BACKGROUND = 141;
constexpr int IDB_TEXT_TOTAL_BACKGROUND = 142;
constexpr int IDB_TEXT_FILE_BACKGROUND = 143;
constexpr int IDB_TEXT_STATUS_BACKGROUND = 144;

constexpr int IDC_PROGRESS_TOTAL = 1000;
constexpr int IDC_TEXT_TOTAL = 1001;
constexpr int IDC_PROGRESS_FILE = 1002;
constexpr int IDC_TEXT_FILE = 1003;
constexpr int IDC_TEXT_STATUS = 1004;
constexpr int IDC_BTN_MINIMIZE = 1005;
constexpr int IDC_BTN_CLOSE = 1006;
