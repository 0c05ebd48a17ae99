#include "core/shell/report_channels.h"

#include <gtest/gtest.h>

namespace pelmora {
namespace {

TEST(ReportChannels, TheAutomaticStyleFollowsTheTray)
{
    EXPECT_EQ(ChooseReportChannels(ReportStyle::Automatic, true), (ReportChannels{true, false}));
    EXPECT_EQ(ChooseReportChannels(ReportStyle::Automatic, false), (ReportChannels{false, true}));
    for (const bool byTray : {true, false}) {
        EXPECT_EQ(ChooseReportChannels(ReportStyle::Balloon, byTray),
                  (ReportChannels{true, false}));
        EXPECT_EQ(ChooseReportChannels(ReportStyle::Notification, byTray),
                  (ReportChannels{false, true}));
        EXPECT_EQ(ChooseReportChannels(ReportStyle::Both, byTray), (ReportChannels{true, true}));
    }
}

} // namespace
} // namespace pelmora
