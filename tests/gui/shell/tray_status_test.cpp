#include "gui/shell/tray_status.h"

#include <QSystemTrayIcon>
#include <QVariant>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "core/base/app_paths.h"
#include "core/i18n/languages.h"
#include "gui/i18n/property_registry.h"
#include "gui/shell/image_list.h"
#include "support/temp_dir.h"

namespace pelmora {
namespace {

class TrayStatusTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::filesystem::create_directory(dir_ / "Languages");
        test::WriteFile(dir_ / "Languages" / "Test.lng", "[Messages]\nHostsDown=%1 down of %2\n");
        SetExecutableDirForTesting(dir_.Path());
        SetCurrentLanguage("Test");
    }
    void TearDown() override
    {
        SetExecutableDirForTesting({});
        SetCurrentLanguage("");
    }

    test::TempDir dir_;
};

TEST_F(TrayStatusTest, PictureAndTooltipFollowTheHostsAndStartStop)
{
    QSystemTrayIcon icon;
    TrayStatus status(&icon);
    const auto key = [&icon] { return icon.icon().cacheKey(); };
    const auto picture = [](TrayState state) { return TrayIconPicture(state).cacheKey(); };
    const struct {
        const char* step;
        std::function<void()> act;
        TrayState state;
        const char* tip;
    } cases[] = {
        {"empty list", [] {}, TrayState::AllUp, ""},
        {"two entries, both down at first",
         [&] {
             status.Appended(HostState::Down);
             status.Appended(HostState::Down);
         },
         TrayState::SomeDown, "2 down of 2"},
        {"one comes up", [&] { status.Changed(0, HostState::Up); }, TrayState::SomeDown,
         "1 down of 2"},
        {"the same change again counts once", [&] { status.Changed(0, HostState::Up); },
         TrayState::SomeDown, "1 down of 2"},
        {"both up", [&] { status.Changed(1, HostState::Up); }, TrayState::AllUp, ""},
        {"an index past the list changes nothing", [&] { status.Changed(7, HostState::Down); },
         TrayState::AllUp, ""},
        {"stopped", [&] { status.SetRunning(false); }, TrayState::Stopped, ""},
        {"started again with one down",
         [&] {
             status.Changed(1, HostState::Down);
             status.SetRunning(true);
         },
         TrayState::SomeDown, "1 down of 2"},
        {"the language's hint comes first",
         [&] { icon.setProperty(kTrayHintProperty, QVariant(QStringLiteral("Pelmora"))); },
         TrayState::SomeDown, "Pelmora\n1 down of 2"},
        {"the list rebuilt empty", [&] { status.Reset(); }, TrayState::AllUp, "Pelmora"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.step);
        c.act();
        EXPECT_EQ(key(), picture(c.state));
        EXPECT_EQ(icon.toolTip(), QString::fromUtf8(c.tip));
    }
    EXPECT_EQ(status.DownCount(), 0U);
}

TEST(TrayPictures, EachStateLooksDifferent)
{
    const auto render = [](TrayState state) {
        return TrayIconPicture(state).pixmap(QSize(32, 32)).toImage();
    };
    EXPECT_NE(render(TrayState::AllUp), render(TrayState::SomeDown));
    EXPECT_NE(render(TrayState::AllUp), render(TrayState::Stopped));
    EXPECT_NE(render(TrayState::SomeDown), render(TrayState::Stopped));
    // The red mark sits in the lower right corner, above its white bar.
    const QColor mark = render(TrayState::SomeDown).pixelColor(22, 17);
    EXPECT_GT(mark.red(), 180);
    EXPECT_LT(mark.green(), 90);
}

} // namespace
} // namespace pelmora
