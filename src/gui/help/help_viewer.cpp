#include "gui/help/help_viewer.h"

#include <QHBoxLayout>
#include <QKeySequence>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace pelmora {
namespace {

// Topic 1 is the table of contents: the Help menu item opens it.
constexpr int kContentsTopic = 1;
constexpr auto kTopicScheme = "topic";

QString Html(const std::string& utf8)
{
    return QString::fromStdString(utf8).toHtmlEscaped();
}

QString SpansHtml(const std::vector<HelpSpan>& spans)
{
    QString html;
    for (const HelpSpan& span : spans) {
        if (span.link == 0) {
            html += Html(span.text);
        } else {
            html += QStringLiteral("<a href=\"%1:%2\">%3</a>")
                        .arg(QLatin1StringView(kTopicScheme))
                        .arg(span.link)
                        .arg(Html(span.text));
        }
    }
    return html;
}

QString TopicHtml(const HelpTopic& topic)
{
    QString html = QStringLiteral("<h2>%1</h2>").arg(Html(topic.title));
    bool inList = false;
    for (const HelpBlock& block : topic.blocks) {
        const bool bullet = block.kind == HelpBlockKind::Bullet;
        if (bullet != inList) {
            html += bullet ? QStringLiteral("<ul>") : QStringLiteral("</ul>");
            inList = bullet;
        }
        switch (block.kind) {
        case HelpBlockKind::Paragraph:
            html += QStringLiteral("<p>%1</p>").arg(SpansHtml(block.spans));
            break;
        case HelpBlockKind::Bullet:
            html += QStringLiteral("<li>%1</li>").arg(SpansHtml(block.spans));
            break;
        case HelpBlockKind::Literal:
            html += QStringLiteral("<pre>%1</pre>").arg(SpansHtml(block.spans));
            break;
        }
    }
    if (inList) {
        html += QStringLiteral("</ul>");
    }
    return html;
}

} // namespace

TfrmHelp::TfrmHelp(QWidget* parent)
    : QWidget(parent, Qt::Window), btnContents_(new QPushButton(QStringLiteral("Contents"), this)),
      btnBack_(new QPushButton(QStringLiteral("Back"), this)), brwTopic_(new QTextBrowser(this))
{
    setObjectName(QStringLiteral("frmHelp"));
    // Help is read beside whatever it explains, modal dialogs included.
    setWindowModality(Qt::NonModal);
    resize(520, 600);

    btnContents_->setObjectName(QStringLiteral("btnContents"));
    btnBack_->setObjectName(QStringLiteral("btnBack"));
    btnBack_->setShortcut(QKeySequence::Back);
    brwTopic_->setObjectName(QStringLiteral("brwTopic"));
    brwTopic_->setOpenLinks(false);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(btnContents_);
    buttons->addWidget(btnBack_);
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(brwTopic_, 1);

    connect(btnContents_, &QPushButton::clicked, this, [this] { GoTo(kContentsTopic); });
    connect(btnBack_, &QPushButton::clicked, this, &TfrmHelp::Back);
    connect(brwTopic_, &QTextBrowser::anchorClicked, this, [this](const QUrl& url) {
        if (url.scheme() == QLatin1StringView(kTopicScheme)) {
            GoTo(url.path().toInt());
        }
    });
}

void TfrmHelp::Open(HelpFile file, int number)
{
    file_ = std::move(file);
    if (!isVisible()) {
        history_.clear();
    } else if (number != current_) {
        history_.push_back(current_);
    }
    current_ = number;
    Render();
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

void TfrmHelp::GoTo(int number)
{
    if (number == current_ || file_.Find(number) == nullptr) {
        return;
    }
    history_.push_back(current_);
    current_ = number;
    Render();
}

void TfrmHelp::Back()
{
    // The file may have changed since a topic was visited.
    while (!history_.empty()) {
        const int number = history_.back();
        history_.pop_back();
        if (file_.Find(number) != nullptr) {
            current_ = number;
            break;
        }
    }
    Render();
}

void TfrmHelp::Render()
{
    const HelpTopic* topic = file_.Find(current_);
    if (topic == nullptr) {
        return;
    }
    setWindowTitle(
        QStringLiteral("%1 - Tamsel Vexmon Help").arg(QString::fromStdString(topic->title)));
    brwTopic_->setHtml(TopicHtml(*topic));
    btnContents_->setEnabled(file_.Find(kContentsTopic) != nullptr && current_ != kContentsTopic);
    btnBack_->setEnabled(!history_.empty());
}

} // namespace pelmora
