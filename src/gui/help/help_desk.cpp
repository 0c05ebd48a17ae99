#include "gui/help/help_desk.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMenu>

#include <optional>

#include "core/help/help_file.h"
#include "gui/help/help_context.h"
#include "gui/help/help_viewer.h"

namespace pelmora {
namespace {

HelpDesk* theDesk = nullptr;

// The context of the control a key went to. In a menu the highlighted item
// speaks first, so F1 on the tray menu's Help item gives its own context.
HelpContext ContextOfReceiver(QWidget* receiver)
{
    if (const auto* menu = qobject_cast<QMenu*>(receiver); menu && menu->activeAction()) {
        if (const HelpContext context = HelpContextOf(menu->activeAction());
            context != HelpContext::None) {
            return context;
        }
    }
    return HelpContextFor(receiver);
}

// The window the viewer must belong to once `closing` has gone: the nearest
// modal dialog still open beneath it, or none.
QWidget* NextOwner(const QWidget* closing)
{
    for (QWidget* at = closing->parentWidget(); at != nullptr; at = at->parentWidget()) {
        if (at->isWindow() && at->isModal() && at->isVisible()) {
            return at;
        }
    }
    return nullptr;
}

} // namespace

HelpDesk::HelpDesk()
{
    Q_ASSERT(theDesk == nullptr);
    theDesk = this;
    qApp->installEventFilter(this);
}

HelpDesk::~HelpDesk()
{
    qApp->removeEventFilter(this);
    delete viewer_.data();
    theDesk = nullptr;
}

void HelpDesk::ShowHelp(HelpContext context)
{
    const int topic = static_cast<int>(context);
    if (topic <= 0) {
        return;
    }
    std::optional<HelpFile> file = LoadHelpFile(HelpFilePath());
    if (!file || file->Find(topic) == nullptr) {
        return;
    }
    if (viewer_.isNull()) {
        viewer_ = new TfrmHelp;
    }
    // A window outside an open modal dialog takes no input; the viewer
    // therefore belongs to the dialog for as long as that is open.
    MoveViewerTo(QApplication::activeModalWidget());
    viewer_->Open(std::move(*file), topic);
}

TfrmHelp* HelpDesk::Viewer() const
{
    return viewer_.data();
}

bool HelpDesk::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress: return HelpKey(watched, event);
    case QEvent::Hide:
        // The dialog the viewer belongs to is closing and will soon be
        // freed with its children: the viewer moves on and stays open.
        if (viewer_ && watched == viewer_->parentWidget()) {
            MoveViewerTo(NextOwner(viewer_->parentWidget()));
        }
        return false;
    default: return false;
    }
}

bool HelpDesk::HelpKey(QObject* receiver, QEvent* event)
{
    auto* key = static_cast<QKeyEvent*>(event);
    auto* widget = qobject_cast<QWidget*>(receiver);
    if (widget == nullptr || key->key() != Qt::Key_F1 || key->modifiers() != Qt::NoModifier) {
        return false;
    }
    const HelpContext context = ContextOfReceiver(widget);
    if (context == HelpContext::None) {
        return false;
    }
    key->accept();
    if (!key->isAutoRepeat()) {
        ShowHelp(context);
    }
    return true;
}

void HelpDesk::MoveViewerTo(QWidget* owner)
{
    if (owner == viewer_->parentWidget()) {
        return;
    }
    const bool shown = viewer_->isVisible();
    const QRect place = viewer_->geometry();
    viewer_->setParent(owner, viewer_->windowFlags());
    if (shown) {
        viewer_->setGeometry(place);
        viewer_->show();
    }
}

void ShowHelp(HelpContext context)
{
    if (theDesk != nullptr) {
        theDesk->ShowHelp(context);
    }
}

void ShowHelpFor(const QWidget* widget)
{
    ShowHelp(HelpContextFor(widget));
}

} // namespace pelmora
