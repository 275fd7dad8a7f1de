#include "platform/afx/CFont.h"

#include <pango/pangocairo.h>

#include <string>

#include "platform/win/GObjectPtr.h"
#include "platform/win/Text.h"
#include "platform/afx/DialogTemplates.h"

namespace {

constexpr int kDotsPerInch = 96;
constexpr int kPointsPerInch = 72;

}  // namespace

CFont::~CFont()
{
    if (m_pDescription)
        pango_font_description_free(m_pDescription);
}

BOOL CFont::CreateDialogFont(const DialogFont& font)
{
    if (m_pDescription)
        pango_font_description_free(m_pDescription);
    m_pDescription = pango_font_description_new();
    const std::wstring typeface = font.typeface ? font.typeface : L"";
    const bool shellFont = typeface.empty() || typeface == L"MS Shell Dlg" || typeface == L"MS Shell Dlg 2";
    pango_font_description_set_family(m_pDescription, shellFont ? "Sans" : WideToUtf8(typeface).c_str());
    const int pixels = (font.pointSize * kDotsPerInch + kPointsPerInch / 2) / kPointsPerInch;
    pango_font_description_set_absolute_size(m_pDescription, pixels * PANGO_SCALE);
    pango_font_description_set_weight(m_pDescription,
                                      font.weight > 0 ? static_cast<PangoWeight>(font.weight) : PANGO_WEIGHT_NORMAL);
    pango_font_description_set_style(m_pDescription, font.italic ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);
    return TRUE;
}

void CFont::GetBaseUnits(int& width, int& height) const
{
    static const char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    GObjectPtr<PangoContext> context(pango_font_map_create_context(pango_cairo_font_map_get_default()));
    GObjectPtr<PangoLayout> layout(pango_layout_new(context.get()));
    pango_layout_set_font_description(layout.get(), m_pDescription);
    pango_layout_set_text(layout.get(), kLetters, -1);
    int textWidth = 0;
    int textHeight = 0;
    pango_layout_get_pixel_size(layout.get(), &textWidth, &textHeight);
    // As the dialog manager averages the 52 letters: rounded to the nearest pixel.
    width = (textWidth / 26 + 1) / 2;
    height = textHeight;
}
