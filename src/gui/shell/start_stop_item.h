#pragma once

#include <QIcon>
#include <QWidget>
#include <QWidgetAction>

namespace pelmora {

// The tray menu's first item, drawn by hand: its picture at (7, 3) and its
// caption in bold brown at (22, 2), the same whether highlighted or not.
class StartStopItem final : public QWidget {
public:
    StartStopItem(QWidgetAction* action, QWidget* parent);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QFont CaptionFont() const;

    QWidgetAction* action_;
};

// The action that carries the Start/Stop item; each menu that shows it gets
// a widget of its own.
class StartStopAction final : public QWidgetAction {
public:
    explicit StartStopAction(QObject* parent) : QWidgetAction(parent) {}

protected:
    QWidget* createWidget(QWidget* parent) override;
};

} // namespace pelmora
