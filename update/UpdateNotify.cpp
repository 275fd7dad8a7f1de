#include "update/UpdateNotify.h"

#include "platform/win/WindowHandles.h"

namespace {

void DeleteRecord(WPARAM code, LPARAM record)
{
    switch (code) {
    case UN_FILE_SUMMARY:
        delete reinterpret_cast<UpdateSummaryInfo*>(record);
        break;
    case UN_PROGRESS:
        delete reinterpret_cast<UpdateProgressInfo*>(record);
        break;
    default:
        break;
    }
}

}  // namespace

void RegisterUpdateNotifyRecords()
{
    SetMessageRecordDeleter(WM_UPDATE_NOTIFY, DeleteRecord);
}
