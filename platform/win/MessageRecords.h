// The records that messages carry in lParam, and how the layer frees one that cannot be
// delivered.
#pragma once

#include "platform/win/WinTypes.h"

// A message that carries an owned record in lParam registers how to free it; the layer frees
// the record of such a message when it cannot be delivered (window gone before or while queued).
using MessageRecordDeleter = void (*)(WPARAM wParam, LPARAM lParam);
void SetMessageRecordDeleter(UINT message, MessageRecordDeleter deleter);
// Frees the record with the deleter registered for the message, if any.
void FreeMessageRecord(UINT message, WPARAM wParam, LPARAM lParam);
