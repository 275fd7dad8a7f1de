// The notification an update worker sends its window, with its codes and records.
#pragma once

#include <memory>

#include "platform/win/WinTypes.h"

constexpr UINT WM_UPDATE_NOTIFY = WM_USER + 100;

enum UpdateNotifyCode : WPARAM {
    UN_LAUNCHER_UPDATING = 1,    // sent: the listed launcher differs and is being fetched
    UN_LAUNCHER_DOWNLOADED = 2,  // sent: the new launcher is stored beside the running one
    UN_FILE_SUMMARY = 3,         // sent, UpdateSummaryInfo: what remains to be fetched
    UN_FILES_DONE = 4,           // posted: every listed client file is current
    UN_PROGRESS = 5,             // sent, UpdateProgressInfo: byte progress
    UN_LAUNCHER_CURRENT = 6,     // posted: the launcher is the current version
    UN_FAILED = 7,               // sent: the worker's task did not succeed
};

// The worker allocates a record for each message that carries one; the window that receives it
// takes it with TakeUpdateNotifyRecord. Byte counts are 64-bit.
struct UpdateSummaryInfo {
    ULONGLONG nFileCount = 0;
    ULONGLONG nTotalSize = 0;
};

struct UpdateProgressInfo {
    ULONGLONG nTotalSize = 0;
    ULONGLONG nTotalDone = 0;
    ULONGLONG nFileSize = 0;
    ULONGLONG nFileDone = 0;
};

// The record of one notification, owned by whoever took it from the message: the summary with
// UN_FILE_SUMMARY, the progress with UN_PROGRESS, neither with any other code.
struct UpdateNotifyRecord {
    std::unique_ptr<UpdateSummaryInfo> summary;
    std::unique_ptr<UpdateProgressInfo> progress;
};

UpdateNotifyRecord TakeUpdateNotifyRecord(WPARAM code, LPARAM record);

// Makes the window layer free the record of a notification that reaches no window.
void RegisterUpdateNotifyRecords();
