#pragma once

#include <QWidget>

#include <vector>

#include "core/help/help_file.h"

class QPushButton;
class QTextBrowser;

namespace pelmora {

// The help viewer: one topic of the help file at a time, with its title,
// its text and links to other topics. Not modal; closing only hides it.
class TfrmHelp final : public QWidget {
public:
    explicit TfrmHelp(QWidget* parent = nullptr);

    // Shows topic `number` of `file`, which must hold it, and brings the
    // window up. The topic shown before stays reachable with Back.
    void Open(HelpFile file, int number);

    int CurrentTopic() const { return current_; }
    QTextBrowser* Browser() const { return brwTopic_; }
    QPushButton* ContentsButton() const { return btnContents_; }
    QPushButton* BackButton() const { return btnBack_; }

private:
    void GoTo(int number);
    void Back();
    void Render();

    HelpFile file_;
    int current_ = 0;
    std::vector<int> history_;
    QPushButton* btnContents_;
    QPushButton* btnBack_;
    QTextBrowser* brwTopic_;
};

} // namespace pelmora
