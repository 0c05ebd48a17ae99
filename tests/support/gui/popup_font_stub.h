#pragma once

#include "gui/config/settings_dialog.h"

namespace pelmora::test {

// A pop-up that only keeps the font the settings dialog gives it.
class PopUpFontStub final : public PopUpFontTarget {
public:
    PopUpFont Font() const override { return font_; }
    void SetFont(const PopUpFont& font) override { font_ = font; }

private:
    PopUpFont font_;
};

} // namespace pelmora::test
