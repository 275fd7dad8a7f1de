// What both update windows do with the bars and labels of their template: the layout of a
// control, and showing a new value (a bar repaints only when its position changes, a label on
// every change of its text).
#pragma once

#include "app/controls/CImageProgressCtrl.h"
#include "app/controls/CTransparentStatic.h"

constexpr int kUpdateWindowWidth = 461;
constexpr int kUpdateWindowHeight = 210;
constexpr COLORREF kUpdateTextColour = RGB(84, 159, 199);

// Its two bitmaps, 317 x 19 pixels at x, y, range 0 to 100.
void LayOutBar(CImageProgressCtrl& bar, UINT nIDTrack, UINT nIDFill, int x, int y);
// Its background bitmap (replacing one it holds), the text colour, width x 16 pixels at x, y and
// its first text, without a repaint request.
void LayOutLabel(CTransparentStatic& label, UINT nIDBackground, int x, int y, int width, LPCWSTR text);

void ShowBarPosition(CImageProgressCtrl& bar, int position);
void ShowLabelText(CTransparentStatic& label, const CString& text);
// "37%"
CString PercentText(int percent);
