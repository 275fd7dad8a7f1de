#include "update/UpdateNotify.h"

#include "platform/win/MessageRecords.h"

namespace {

// The record of a notification that reached no window is taken and dropped.
void DeleteRecord(WPARAM code, LPARAM record)
{
    TakeUpdateNotifyRecord(code, record);
}

}  // namespace

UpdateNotifyRecord TakeUpdateNotifyRecord(WPARAM code, LPARAM record)
{
    UpdateNotifyRecord taken;
    switch (static_cast<UpdateNotifyCode>(code)) {
    case UN_FILE_SUMMARY:
        taken.summary.reset(reinterpret_cast<UpdateSummaryInfo*>(record));
        break;
    case UN_PROGRESS:
        taken.progress.reset(reinterpret_cast<UpdateProgressInfo*>(record));
        break;
    case UN_LAUNCHER_UPDATING:
    case UN_LAUNCHER_DOWNLOADED:
    case UN_FILES_DONE:
    case UN_LAUNCHER_CURRENT:
    case UN_FAILED:
        break;
    }
    return taken;
}

void RegisterUpdateNotifyRecords()
{
    SetMessageRecordDeleter(WM_UPDATE_NOTIFY, DeleteRecord);
}
