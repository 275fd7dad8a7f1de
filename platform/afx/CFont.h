// CFont: a dialog's font, as a pango font description it owns.
#pragma once

#include "platform/win/WinTypes.h"

struct DialogFont;
typedef struct _PangoFontDescription PangoFontDescription;

class CFont {
public:
    CFont() = default;
    CFont(const CFont&) = delete;
    CFont& operator=(const CFont&) = delete;
    ~CFont();

    // The font of a dialog template. "MS Shell Dlg" is the desktop's sans-serif font here, with
    // fallback fonts for the Chinese texts; the point size is reckoned at 96 dots per inch, as
    // the dialog manager does, so 8 points are 11 pixels.
    BOOL CreateDialogFont(const DialogFont& font);

    const PangoFontDescription* GetDescription() const { return m_pDescription; }
    // The dialog base units of the font: the average width of a Latin letter and the line height,
    // in pixels. A dialog unit is a quarter of the first horizontally, an eighth of the second
    // vertically.
    void GetBaseUnits(int& width, int& height) const;

private:
    PangoFontDescription* m_pDescription = nullptr;
};
