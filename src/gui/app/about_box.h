#pragma once

#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;

namespace pelmora {

class LinkLabel;

// The About box: the product's name and version, the maker's lines, a legal
// notice that only the language file gives, and the maker's logo. Fixed in
// size, closed by its OK button; it changes nothing in the program.
class TfrmAbout final : public QDialog {
public:
    explicit TfrmAbout(QWidget* owner);

    // The two links: the support address and the maker's web site, opened by
    // whatever the desktop has for them; the outcome is not examined.
    void Label6Click();
    void Label9Click();
    void btnOKClick();

private:
    int Scaled(int units) const;
    QRect Place(int left, int top, int width, int height) const;
    void BuildControls();
    void FitTexts();
    void ShowSettingsFile();

    double scale_;
    QFrame* plLogo_;
    QLabel* Image1_;
    QLabel* lbProgName_;
    QLabel* lbVer_;
    QLabel* lbCopyright_;
    QLabel* lbInfo1_;
    QLabel* lbInfo2_;
    QLabel* lbFeedback_;
    LinkLabel* Label6_;
    QLabel* lbSupport1_;
    QLabel* lbSupport2_;
    LinkLabel* Label9_;
    QFrame* Bevel1_;
    QLabel* lbLaws_;
    QLabel* lbSettingsFile_;
    QPushButton* btnOK_;
};

} // namespace pelmora
