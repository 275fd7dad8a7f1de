#include "platform/win/MessageRecords.h"

#include <map>
#include <mutex>

namespace {

std::mutex g_deletersMutex;
std::map<UINT, MessageRecordDeleter> g_deleters;

}  // namespace

void SetMessageRecordDeleter(UINT message, MessageRecordDeleter deleter)
{
    std::lock_guard lock(g_deletersMutex);
    g_deleters[message] = deleter;
}

void FreeMessageRecord(UINT message, WPARAM wParam, LPARAM lParam)
{
    MessageRecordDeleter deleter = nullptr;
    {
        std::lock_guard lock(g_deletersMutex);
        auto found = g_deleters.find(message);
        if (found != g_deleters.end())
            deleter = found->second;
    }
    if (deleter && lParam)
        deleter(wParam, lParam);
}
