// A language file written to break the windows: every component and every
// property named, with values far outside what a window can hold. What the
// file may not set is refused, what it may is set, and the windows still
// show, move and take text afterwards.
#include <QApplication>
#include <QListWidget>
#include <QPlainTextEdit>

#include <QScreen>
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/base/app_paths.h"
#include "core/config/settings.h"
#include "core/i18n/languages.h"
#include "gui/config/settings_dialog.h"
#include "gui/i18n/form_translation.h"
#include "gui/shell/log_window.h"
#include "gui/shell/main_form.h"
#include "support/gui/popup_font_stub.h"
#include "support/scripted_prober.h"
#include "support/temp_dir.h"

namespace pelmora {
namespace {

namespace fs = std::filesystem;
using namespace Qt::StringLiterals;

const std::vector<std::string> kProperties{
    "Caption", "Hint",    "Visible", "Enabled",   "Left",         "Top",  "Width",
    "Height",  "Opacity", "Text",    "Alignment", "PasswordChar", "Items"};

std::string ManyItems()
{
    std::string items;
    for (int i = 0; i < 10'000; ++i) {
        items += (i == 0 ? "" : ",");
        items += "item" + std::to_string(i);
    }
    return items;
}

// One value per property; the window itself is named by the bare property.
using Values = std::map<std::string, std::string>;

std::string Section(const QWidget& window, const Values& values)
{
    std::string text = "[" + window.objectName().toStdString() + "]\n";
    std::vector<std::string> names{""};
    for (const QObject* child : window.findChildren<QObject*>()) {
        if (!child->objectName().isEmpty()) {
            names.push_back(child->objectName().toStdString());
        }
    }
    for (const std::string& name : names) {
        const std::string prefix = name.empty() ? "" : name + ".";
        for (const std::string& property : kProperties) {
            text += prefix + property + "=" + values.at(property) + "\n";
        }
        if (!name.empty()) {
            text += name + "=" + values.at("Caption") + "\n";
            text += name + "(9999)=" + values.at("Caption") + "\n";
            text += name + "(2147483647)=x\n";
        }
    }
    return text;
}

struct Geometry {
    std::map<const QWidget*, QRect> rects;
    explicit Geometry(const QWidget& window)
    {
        rects[&window] = window.geometry();
        for (const QWidget* child : window.findChildren<QWidget*>()) {
            rects[child] = child->geometry();
        }
    }
    bool operator==(const Geometry&) const = default;
};

class HostileLanguage : public ::testing::Test {
protected:
    void SetUp() override
    {
        fs::create_directory(dir_ / "Languages");
        SetExecutableDirForTesting(dir_.Path());
        SetCurrentLanguage("Hostile");
    }
    void TearDown() override
    {
        SetExecutableDirForTesting({});
        SetCurrentLanguage({});
    }
    void Write(const std::vector<const QWidget*>& windows, const Values& values)
    {
        std::string text;
        for (const QWidget* window : windows) {
            text += Section(*window, values);
        }
        test::WriteFile(dir_ / "Languages" / "Hostile.lng", text);
    }

    test::TempDir dir_;
};

// Sizes and positions past any screen, values that are no numbers.
Values Absurd()
{
    const std::string megabyte(1 << 20, 'W');
    return {{"Caption", megabyte},   {"Hint", megabyte},      {"Visible", "2147483647"},
            {"Enabled", "-1"},       {"Left", "-2147483648"}, {"Top", "99999999999999999999"},
            {"Width", "2147483647"}, {"Height", "-5"},        {"Opacity", "1e308"},
            {"Text", megabyte},      {"Alignment", "7"},      {"PasswordChar", "-1"},
            {"Items", ManyItems()}};
}

// The largest values the properties take.
Values AtTheEdge()
{
    return {{"Caption", "edge"},   {"Hint", "edge"},  {"Visible", "1"},   {"Enabled", "1"},
            {"Left", "-32767"},    {"Top", "-32767"}, {"Width", "32767"}, {"Height", "32767"},
            {"Opacity", "0"},      {"Text", "edge"},  {"Alignment", "2"}, {"PasswordChar", "65535"},
            {"Items", ManyItems()}};
}

Values Sane()
{
    return {{"Caption", "sane"}, {"Hint", "sane"}, {"Visible", "1"},   {"Enabled", "1"},
            {"Left", "10"},      {"Top", "20"},    {"Width", "300"},   {"Height", "200"},
            {"Opacity", "1"},    {"Text", "sane"}, {"Alignment", "0"}, {"PasswordChar", "42"},
            {"Items", "a,b"}};
}

void ShowAndSettle(QWidget& window)
{
    window.show();
    QApplication::processEvents();
    window.repaint();
    QApplication::processEvents();
}

TEST_F(HostileLanguage, MainAndLogWindowsRefuseAbsurdGeometryAndStayUsable)
{
    test::ScriptedProber prober(test::NobodyAnswers);
    TfrmMain frmMain(prober);
    TfrmLog frmLog;
    const std::vector<const QWidget*> windows{&frmMain, &frmLog};

    const Geometry mainBefore(frmMain);
    const Geometry logBefore(frmLog);
    Write(windows, Absurd());
    TranslateForm(&frmMain);
    TranslateForm(&frmLog);
    EXPECT_EQ(Geometry(frmMain), mainBefore);
    EXPECT_EQ(Geometry(frmLog), logBefore);
    // The file gives no value longer than 2047 characters.
    EXPECT_EQ(frmLog.windowTitle().size(), 2047);
    ShowAndSettle(frmLog);

    // The largest values the file may set reach a window on show no further
    // than the screens go; a later file brings the designed size back.
    Write(windows, AtTheEdge());
    TranslateForm(&frmMain);
    TranslateForm(&frmLog);
    const QSize screens = frmLog.screen()->virtualSize();
    EXPECT_EQ(frmLog.size(), screens);
    ShowAndSettle(frmLog);
    TranslateForm(&frmLog);
    EXPECT_EQ(frmLog.size(), screens);
    EXPECT_EQ(frmLog.pos(), QPoint(-32767, -32767));

    Write(windows, Sane());
    TranslateForm(&frmMain);
    TranslateForm(&frmLog);
    ShowAndSettle(frmLog);
    EXPECT_EQ(frmLog.windowTitle(), u"sane"_s);
    EXPECT_EQ(frmLog.size(), QSize(300, 200));
    frmLog.AppendLine(u"9:05:07. still here"_s);
    EXPECT_TRUE(frmLog.Memo()->toPlainText().contains(u"still here"_s));
    Settings balloon;
    balloon.reportStyle = ReportStyle::Balloon;
    frmMain.ApplySettings(balloon);
    frmMain.Tray().ShowReport("Lost hosts:\r\n  10.0.0.1");
    QApplication::processEvents();
    EXPECT_TRUE(frmMain.ReportMemo()->toPlainText().contains(u"10.0.0.1"_s));
    frmLog.hide();
    frmMain.hide();
}

// The settings dialog translates itself when made, list items and all. A
// value of 10,000 items is cut at 2047 characters like any other, and an
// item number past the list's end reaches nothing.
TEST_F(HostileLanguage, TenThousandListItemsAreCutToWhatAValueHolds)
{
    test::PopUpFontStub popUp;
    const auto probe = std::make_unique<TfrmSettings>(nullptr, popUp);
    Write({probe.get()}, AtTheEdge());

    TfrmSettings frmSettings(nullptr, popUp);
    const QList<QListWidget*> lists = frmSettings.findChildren<QListWidget*>();
    ASSERT_FALSE(lists.isEmpty());
    for (const QListWidget* list : lists) {
        EXPECT_GT(list->count(), 100) << list->objectName().toStdString();
        EXPECT_LT(list->count(), 1024) << list->objectName().toStdString();
        EXPECT_EQ(list->item(0)->text(), u"item0"_s);
    }
    ShowAndSettle(frmSettings);
    frmSettings.hide();
}

} // namespace
} // namespace pelmora
