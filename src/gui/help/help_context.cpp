#include "gui/help/help_context.h"

#include <QAction>
#include <QVariant>
#include <QWidget>

namespace pelmora {
namespace {

constexpr const char* kProperty = "helpContext";

HelpContext ContextIn(const QObject* object)
{
    return HelpContext{object == nullptr ? 0 : object->property(kProperty).toInt()};
}

} // namespace

void SetHelpContext(QWidget* widget, HelpContext context)
{
    widget->setProperty(kProperty, static_cast<int>(context));
}

void SetHelpContext(QAction* action, HelpContext context)
{
    action->setProperty(kProperty, static_cast<int>(context));
}

HelpContext HelpContextOf(const QWidget* widget)
{
    return ContextIn(widget);
}

HelpContext HelpContextOf(const QAction* action)
{
    return ContextIn(action);
}

HelpContext HelpContextFor(const QWidget* widget)
{
    for (const QWidget* at = widget; at != nullptr; at = at->parentWidget()) {
        if (const HelpContext context = HelpContextOf(at); context != HelpContext::None) {
            return context;
        }
        if (at->isWindow()) {
            break;
        }
    }
    return HelpContext::None;
}

} // namespace pelmora
