#include "gui/config/font_conversion.h"

#include <algorithm>

#include "gui/config/local_text.h"

namespace pelmora {

QFont ToQFont(const PopUpFont& font)
{
    QFont qfont(FromLocal8Bit(font.name));
    qfont.setPointSize(std::max(font.size, 1));
    qfont.setBold(font.bold);
    qfont.setItalic(font.italic);
    qfont.setUnderline(font.underline);
    qfont.setStrikeOut(font.strikeOut);
    return qfont;
}

QColor ToQColor(std::int32_t color)
{
    const auto bits = static_cast<std::uint32_t>(color);
    return {static_cast<int>(bits & 0xFF), static_cast<int>((bits >> 8) & 0xFF),
            static_cast<int>((bits >> 16) & 0xFF)};
}

std::int32_t FromQColor(const QColor& color)
{
    const auto bits = static_cast<std::uint32_t>(color.red()) |
                      (static_cast<std::uint32_t>(color.green()) << 8) |
                      (static_cast<std::uint32_t>(color.blue()) << 16);
    return static_cast<std::int32_t>(bits);
}

} // namespace pelmora
