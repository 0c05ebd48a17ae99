#include "core/shell/report_channels.h"

namespace pelmora {

ReportChannels ChooseReportChannels(ReportStyle style, bool balloonByTray)
{
    switch (style) {
    case ReportStyle::Balloon: return {true, false};
    case ReportStyle::Notification: return {false, true};
    case ReportStyle::Both: return {true, true};
    case ReportStyle::Automatic: break;
    }
    return {balloonByTray, !balloonByTray};
}

} // namespace pelmora
