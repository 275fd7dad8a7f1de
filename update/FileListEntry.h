// One line of the client file list and the local file it names.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "platform/afx/CString.h"

// The folder below the game folder that holds the listed files, and below each patch folder.
constexpr const wchar_t* kClientDataFolder = L"Zorv_Data";

// A client file list of more lines is unreadable: over twice the 200,000 files of a large game.
// With its size limit this bounds what its entries hold.
constexpr size_t kMaxFileListLines = size_t{1} << 19;

// Held lean, as a list may name hundreds of thousands of files: the path as its bytes (each byte
// of the list is one character) and the digest as its 16 bytes.
struct FileListEntry {
    using Digest = std::array<std::uint8_t, 16>;

    std::string strPath;  // as listed, a byte a character: relative, "\" between folders, "$" for a space
    int nVersion = 0;     // the patch folder the file is fetched from
    // The listed 32 lowercase hexadecimal digits; none for any other text, which no digest equals.
    std::optional<Digest> strMD5;
    LONGLONG nSize = 0;  // bytes, summed for the progress figures; a negative listed size is 0

    // Fields separated by TAB: path, version, MD5, size; the size is read from all text behind
    // the last TAB found.
    static FileListEntry Parse(const CString& line);

    // The listed path as text.
    CString Path() const;
    // The listed digest as its 32 lowercase hexadecimal digits; empty when there is none.
    CString MD5() const;
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
