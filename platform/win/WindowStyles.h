// The window, dialog, static and button style bits that the dialog templates are made of, with
// their Windows values.
#pragma once

#include <cstdint>

constexpr std::uint32_t WS_POPUP = 0x80000000;
constexpr std::uint32_t WS_CHILD = 0x40000000;
constexpr std::uint32_t WS_VISIBLE = 0x10000000;
constexpr std::uint32_t WS_BORDER = 0x00800000;
constexpr std::uint32_t WS_GROUP = 0x00020000;
constexpr std::uint32_t WS_TABSTOP = 0x00010000;
constexpr std::uint32_t WS_CLIPSIBLINGS = 0x04000000;
constexpr std::uint32_t WS_CLIPCHILDREN = 0x02000000;

constexpr std::uint32_t WS_EX_TRANSPARENT = 0x00000020;
constexpr std::uint32_t WS_EX_APPWINDOW = 0x00040000;

constexpr std::uint32_t DS_FIXEDSYS = 0x0008;
constexpr std::uint32_t DS_SETFONT = 0x0040;
constexpr std::uint32_t DS_MODALFRAME = 0x0080;

constexpr std::uint32_t SS_LEFT = 0x0000;

constexpr std::uint32_t BS_PUSHBUTTON = 0x0000;
