#pragma once

#include <QLabel>

#include <functional>

namespace pelmora {

// A label that reads as a link: underlined, blue, a hand cursor, its text as
// its tip; a left click on it runs the click handler.
class LinkLabel final : public QLabel {
public:
    LinkLabel(const QString& text, QWidget* parent, std::function<void()> onClick);

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    std::function<void()> onClick_;
};

} // namespace pelmora
