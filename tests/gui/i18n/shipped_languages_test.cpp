// The language files we ship: complete, in UTF-8, and without a key that
// reaches nothing.
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QStringDecoder>
#include <QSystemTrayIcon>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "core/base/app_paths.h"
#include "core/config/ini_document.h"
#include "core/config/ini_file.h"
#include "core/i18n/languages.h"
#include "gui/app/about_box.h"
#include "gui/config/add_host_dialog.h"
#include "gui/config/settings_dialog.h"
#include "gui/i18n/form_translation.h"
#include "gui/shell/log_window.h"
#include "gui/shell/main_form.h"
#include "support/gui/popup_font_stub.h"
#include "support/scripted_prober.h"
#include "support/source_dir.h"
#include "support/temp_dir.h"

namespace pelmora {
namespace {

namespace fs = std::filesystem;
using namespace Qt::StringLiterals;

fs::path ShippedLanguages()
{
    return test::kSourceDir / "Languages";
}

std::vector<fs::path> ShippedFiles()
{
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(ShippedLanguages())) {
        if (entry.path().extension() == ".lng") {
            files.push_back(entry.path());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](char c) {
        return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    });
    return text;
}

// Section names in file order, from the header lines.
std::vector<std::string> SectionNames(const std::string& text)
{
    std::vector<std::string> names;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        const std::string line = text.substr(start, end - start);
        if (line.starts_with('[') && line.find(']') != std::string::npos) {
            names.push_back(line.substr(1, line.find(']') - 1));
        }
        start = end + 1;
    }
    return names;
}

// Lower-cased section name -> lower-cased key names.
using KeyMap = std::map<std::string, std::set<std::string>>;

KeyMap Keys(const fs::path& file)
{
    const IniDocument document = ReadIniFile(file);
    KeyMap keys;
    for (const std::string& section : SectionNames(test::ReadFile(file))) {
        for (const std::string& key : document.KeyNames(section)) {
            keys[Lower(section)].insert(Lower(key));
        }
    }
    return keys;
}

TEST(ShippedLanguages, EnglishNamesEveryMessageKeyAndOnlyTheProgramsWindows)
{
    const KeyMap english = Keys(ShippedLanguages() / "English.lng");
    const std::set<std::string> messages{"start",
                                         "stop",
                                         "appearhost",
                                         "losehost",
                                         "losehosts",
                                         "appearhosts",
                                         "newip",
                                         "newhttp",
                                         "newlan",
                                         "editip",
                                         "edithttp",
                                         "editlan",
                                         "inputip",
                                         "inputhost",
                                         "inputlan",
                                         "logdropped",
                                         "logcopy",
                                         "logsave",
                                         "hostsdown",
                                         "autostartelsewhere",
                                         "icmpnotpermitted",
                                         "causenoanswer",
                                         "causeunreachable",
                                         "causettl",
                                         "causerefused",
                                         "causeconnecttimeout",
                                         "causenamenotfound",
                                         "causenotpermitted",
                                         "causeproxy",
                                         "downfor",
                                         "unitdays",
                                         "unithours",
                                         "unitminutes",
                                         "unitseconds"};
    EXPECT_EQ(english.at("messages"), messages);
    const std::set<std::string> sections{"messages",    "frmmain",    "frmlog",
                                         "frmsettings", "frmaddhost", "frmabout"};
    for (const auto& [section, keys] : english) {
        EXPECT_TRUE(sections.contains(section)) << section;
    }
    EXPECT_TRUE(english.at("frmabout").contains("lblaws"));
    EXPECT_TRUE(english.at("frmmain").contains("sptrayicon1.hint"));
}

TEST(ShippedLanguages, EveryFileIsUtf8AndNamesTheSameKeysAsEnglish)
{
    const KeyMap english = Keys(ShippedLanguages() / "English.lng");
    const std::vector<fs::path> files = ShippedFiles();
    EXPECT_GE(files.size(), 3U);
    for (const fs::path& file : files) {
        SCOPED_TRACE(file.filename().string());
        const std::string text = test::ReadFile(file);
        QStringDecoder utf8(QStringDecoder::Utf8);
        const QString decoded =
            utf8.decode(QByteArrayView(text.data(), static_cast<qsizetype>(text.size())));
        EXPECT_FALSE(utf8.hasError());
        EXPECT_FALSE(decoded.isEmpty());
        EXPECT_EQ(Keys(file), english);

        const IniDocument document = ReadIniFile(file);
        for (const std::string& section : SectionNames(text)) {
            const auto entries = document.Entries(section);
            std::set<std::string> seen;
            for (const auto& [key, value] : entries) {
                // A second key of a name is never read, and an empty text
                // would blank the control.
                EXPECT_TRUE(seen.insert(Lower(key)).second) << section << ": " << key;
                EXPECT_FALSE(value.empty()) << section << ": " << key;
            }
        }
    }
}

// The windows the program has, by section: every key of their sections must
// reach something. Sections of other windows are compared with English.lng
// only.
using WindowFactory = std::function<std::unique_ptr<QWidget>()>;

std::map<std::string, WindowFactory> BuiltWindows()
{
    return {
        {"frmMain",
         [] {
             static test::ScriptedProber prober(test::NobodyAnswers);
             return std::unique_ptr<QWidget>(std::make_unique<TfrmMain>(prober));
         }},
        {"frmLog", [] { return std::unique_ptr<QWidget>(std::make_unique<TfrmLog>()); }},
        {"frmSettings",
         [] {
             static test::PopUpFontStub popUp;
             return std::unique_ptr<QWidget>(std::make_unique<TfrmSettings>(nullptr, popUp));
         }},
        {"frmAddHost",
         [] { return std::unique_ptr<QWidget>(std::make_unique<TfrmAddHost>(nullptr)); }},
        {"frmAbout", [] { return std::unique_ptr<QWidget>(std::make_unique<TfrmAbout>(nullptr)); }},
    };
}

TEST(ShippedLanguages, EveryKeyOfABuiltWindowReachesAComponentOrProperty)
{
    for (const fs::path& file : ShippedFiles()) {
        const IniDocument document = ReadIniFile(file);
        for (const auto& [section, makeWindow] : BuiltWindows()) {
            const std::unique_ptr<QWidget> window = makeWindow();
            ASSERT_EQ(window->objectName().toStdString(), section);
            for (const auto& [key, value] : document.Entries(section)) {
                EXPECT_TRUE(ApplyTranslation(*window, key, value))
                    << file.filename().string() << " [" << section << "] " << key;
            }
        }
    }
}

// A control added to the settings dialog without a text in a shipped
// language would stay English there.
TEST(ShippedLanguages, EveryCaptionOfTheSettingsDialogIsTranslated)
{
    test::PopUpFontStub popUp;
    const TfrmSettings dialog(nullptr, popUp);
    std::vector<std::string> captioned;
    for (const QWidget* control : dialog.findChildren<QWidget*>()) {
        const bool hasCaption = qobject_cast<const QLabel*>(control) != nullptr ||
                                qobject_cast<const QGroupBox*>(control) != nullptr ||
                                qobject_cast<const QAbstractButton*>(control) != nullptr;
        // The font chooser is a window of its own, with the platform's texts.
        if (hasCaption && control->window() == &dialog && !control->objectName().isEmpty()) {
            captioned.push_back(Lower(control->objectName().toStdString()));
        }
    }
    EXPECT_TRUE(std::find(captioned.begin(), captioned.end(), "lbparallelchecks") !=
                captioned.end());
    for (const fs::path& file : ShippedFiles()) {
        const std::set<std::string> keys = Keys(file)["frmsettings"];
        for (const std::string& name : captioned) {
            EXPECT_TRUE(keys.contains(name)) << file.filename().string() << ": " << name;
        }
    }
}

TEST(ShippedLanguages, GermanChosenInTheSettingsTranslatesTheTrayMenuAtStart)
{
    const test::TempDir dir;
    fs::copy(ShippedLanguages(), dir / "Languages", fs::copy_options::recursive);
    test::WriteFile(dir / "Pelmora.ini", "[General]\nLanguage=Deutsch\n");
    SetExecutableDirForTesting(dir.Path());

    test::ScriptedProber prober(test::NobodyAnswers);
    TfrmMain frmMain(prober);
    TfrmLog frmLog;
    LoadLanguageNameAndRetranslate();

    EXPECT_EQ(frmMain.StartStopAction()->text(), u"Überwachung anhalten"_s);
    EXPECT_EQ(frmMain.HostStateMenu()->title(), u"Status der Hosts"_s);
    EXPECT_EQ(frmMain.findChild<QAction*>(u"miQuit"_s)->text(), u"Beenden"_s);
    EXPECT_EQ(frmMain.findChild<QSystemTrayIcon*>()->toolTip(),
              u"Tamsel Vexmon - Überwachung von Netzwerk-Hosts"_s);
    EXPECT_EQ(frmLog.windowTitle(), u"Ereignisprotokoll"_s);
    SetExecutableDirForTesting({});
    SetCurrentLanguage({});
}

} // namespace
} // namespace pelmora
