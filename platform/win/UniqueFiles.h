// A file of a name that no other file has, made exclusively, for a run's own temporary file, and
// the removal of those that no run needs any more.
#pragma once

#include <string>

#include "platform/win/WinTypes.h"

// Makes a new, empty file named stem, ".", six random letters and digits, then extension
// ("_filelist" and ".txt" give "_filelist.k3Xq9Z.txt"); no other run or program can have made or
// opened a file of that name before. The name made (a launcher path like stem), or an empty text
// when no file could be made.
std::wstring CreateUniqueFile(LPCWSTR stem, LPCWSTR extension);

// Removes every file that CreateUniqueFile(stem, extension) may have made: in stem's folder, the
// regular files named stem's last part, ".", six letters or digits, then extension. Only for a
// caller that knows no other run still uses one of them.
void RemoveUniqueFiles(LPCWSTR stem, LPCWSTR extension);
