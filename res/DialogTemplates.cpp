#include "platform/afx/DialogTemplates.h"

#include "platform/win/WindowStyles.h"
#include "res/resource.h"

namespace {

constexpr std::uint32_t kLabelStyle = WS_CHILD | WS_VISIBLE | WS_GROUP | SS_LEFT;
constexpr std::uint32_t kBarStyle = WS_CHILD | WS_VISIBLE | WS_BORDER;

constexpr DialogItemTemplate kUpdateItems[] = {
    {.id = IDC_PROGRESS_TOTAL, .windowClass = L"msctls_progress32", .text = L"",
     .style = kBarStyle, .exStyle = 0, .rect = {46, 38, 80, 14}},
    {.id = IDC_TEXT_TOTAL, .windowClass = L"Static", .text = L"Static",
     .style = kLabelStyle, .exStyle = 0, .rect = {165, 43, 19, 8}},
    {.id = IDC_PROGRESS_FILE, .windowClass = L"msctls_progress32", .text = L"",
     .style = kBarStyle, .exStyle = 0, .rect = {46, 77, 80, 14}},
    {.id = IDC_TEXT_FILE, .windowClass = L"Static", .text = L"Static",
     .style = kLabelStyle, .exStyle = 0, .rect = {161, 79, 19, 8}},
    {.id = IDC_TEXT_STATUS, .windowClass = L"Static", .text = L"Static",
     .style = kLabelStyle, .exStyle = 0, .rect = {100, 123, 19, 8}},
};

constexpr std::uint32_t kButtonStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON;

constexpr DialogItemTemplate kLauncherItems[] = {
    {.id = IDC_BTN_MINIMIZE, .windowClass = L"Button", .text = L"",
     .style = kButtonStyle, .exStyle = 0, .rect = {168, 23, 50, 14}},
    {.id = IDC_BTN_CLOSE, .windowClass = L"Button", .text = L"",
     .style = kButtonStyle, .exStyle = 0, .rect = {246, 23, 50, 14}},
};

// Both update windows: created hidden, no caption and no system menu.
constexpr DialogTemplate kUpdateDialog = {
    .id = IDD_UPDATE_DIALOG,
    .style = WS_POPUP | DS_MODALFRAME | DS_SETFONT | DS_FIXEDSYS,
    .exStyle = 0,
    .rect = {0, 0, 309, 177},
    .title = L"",
    .font = {.pointSize = 8, .weight = 400, .italic = false, .charSet = 1,
             .typeface = L"MS Shell Dlg"},
    .items = kUpdateItems,
};

// The main window: visible from its creation, with a taskbar button.
constexpr DialogTemplate kLauncherDialog = {
    .id = IDD_LAUNCHER_DIALOG,
    .style = WS_POPUP | WS_VISIBLE | DS_SETFONT | DS_FIXEDSYS,
    .exStyle = WS_EX_APPWINDOW | WS_EX_TRANSPARENT,
    .rect = {0, 0, 501, 231},
    .title = L"",
    .font = {.pointSize = 9, .weight = 0, .italic = false, .charSet = 1,
             .typeface = L"MS Shell Dlg"},
    .items = kLauncherItems,
};

}  // namespace

const DialogTemplate* FindDialogTemplate(int id)
{
    switch (id) {
    case IDD_UPDATE_DIALOG:
        return &kUpdateDialog;
    case IDD_LAUNCHER_DIALOG:
        return &kLauncherDialog;
    default:
        return nullptr;
    }
}
