#pragma once

#include <QColor>
#include <QFont>

#include <cstdint>

#include "core/config/settings.h"

namespace pelmora {

// The pop-up font in the windows' terms. The colour is 0x00BBGGRR.
QFont ToQFont(const PopUpFont& font);
QColor ToQColor(std::int32_t color);
std::int32_t FromQColor(const QColor& color);

} // namespace pelmora
