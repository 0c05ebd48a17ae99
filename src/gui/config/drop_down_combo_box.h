#pragma once

#include <QComboBox>

#include <functional>
#include <utility>

namespace pelmora {

// A combo box that lets its owner fill the list each time it is about to
// open.
class DropDownComboBox final : public QComboBox {
    Q_OBJECT
public:
    explicit DropDownComboBox(QWidget* parent) : QComboBox(parent) {}

    void SetOnDropDown(std::function<void()> onDropDown) { onDropDown_ = std::move(onDropDown); }

    void showPopup() override;

private:
    std::function<void()> onDropDown_;
};

} // namespace pelmora
