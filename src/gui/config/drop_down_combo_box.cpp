#include "gui/config/drop_down_combo_box.h"

namespace pelmora {

void DropDownComboBox::showPopup()
{
    if (onDropDown_) {
        onDropDown_();
    }
    QComboBox::showPopup();
}

} // namespace pelmora
