// One line of the client file list and the local file it names.
#pragma once

#include "platform/afx/CString.h"

// The folder below the game folder that holds the listed files, and below each patch folder.
constexpr const wchar_t* kClientDataFolder = L"Zorv_Data";

struct FileListEntry {
    CString strPath;     // as listed: relative, "\" between folders, "$" for a space
    int nVersion = 0;    // the patch folder the file is fetched from
    CString strMD5;      // 32 lowercase hexadecimal digits
    LONGLONG nSize = 0;  // bytes, summed for the progress figures; a negative listed size is 0

    // Fields separated by TAB: path, version, MD5, size; the size is read from all text behind
    // the last TAB found.
    static FileListEntry Parse(const CString& line);

    // kClientDataFolder, "\", the path with every "$" a space and every "..\DataSource" "..\Data".
    CString LocalPath() const;
    // The local path stays inside the game folder: not absolute, no drive, no NUL, and its folded
    // text (FoldedPath, as the file functions see it) does not climb above the current directory.
    static bool IsInsideGameFolder(const CString& localPath);
    // The file system can take the path: its text and its folded UTF-8 form at most PATH_MAX - 1
    // long, each name at most NAME_MAX bytes. A longer one could be neither made nor opened.
    static bool FitsFileSystem(const CString& localPath);
};

// The C library's _wtoi over 64 bits: leading white space, an optional sign, decimal digits up
// to the first other character; no digits give 0; out of range gives the nearest limit.
LONGLONG ParseListedNumber(const wchar_t* text);
