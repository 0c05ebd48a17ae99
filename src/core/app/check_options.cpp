#include "core/app/check_options.h"

#include <charconv>
#include <string_view>

#include "core/config/setting_keys.h"

namespace pelmora {
namespace {

std::optional<int> NonNegative(const std::string& text)
{
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc{} || end != text.data() + text.size() || value < 0) {
        return std::nullopt;
    }
    return value;
}

// The settings key that a check option overrides, or none.
const SettingKey* OverriddenKey(std::string_view option)
{
    for (const SettingKey& row : SettingKeys()) {
        if (!row.checkOption.empty() && row.checkOption == option) {
            return &row;
        }
    }
    return nullptr;
}

} // namespace

CheckOptionsResult ParseCheckOptions(const std::vector<std::string>& arguments)
{
    CheckOptionsResult result;
    CheckOptions& options = result.options;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        std::string name = arguments[i];
        std::optional<std::string> inlineValue;
        const std::size_t equals = name.find('=');
        if (name.starts_with("--") && equals != std::string::npos) {
            inlineValue = name.substr(equals + 1);
            name.resize(equals);
        }
        const auto value = [&]() -> std::optional<std::string> {
            if (inlineValue) {
                return inlineValue;
            }
            if (i + 1 < arguments.size()) {
                return arguments[++i];
            }
            result.error = "option " + name + " needs a value";
            return std::nullopt;
        };
        const SettingKey* overridden = OverriddenKey(name);
        const bool takesValue = name == "--config" || name == "--language" || name == "--cycles" ||
                                name == "--interval" || name == "--format" || name == "--output" ||
                                overridden != nullptr;
        if (!takesValue && inlineValue) {
            result.error = "option " + name + " takes no value";
            return result;
        }
        if (name == "--help" || name == "-h") {
            options.help = true;
        } else if (name == "--quiet" || name == "-q") {
            options.quiet = true;
        } else if (name == "--verbose" || name == "-v") {
            options.verbose = true;
        } else if (name == "--list") {
            options.list = true;
        } else if (takesValue) {
            const auto text = value();
            if (!text) {
                return result;
            }
            if (name == "--config") {
                options.config = *text;
            } else if (name == "--language") {
                options.language = *text;
            } else if (name == "--format") {
                if (*text == "text") {
                    options.format = CheckFormat::Text;
                } else if (*text == "json") {
                    options.format = CheckFormat::Json;
                } else if (*text == "openmetrics") {
                    options.format = CheckFormat::OpenMetrics;
                } else {
                    result.error =
                        "option --format needs text, json or openmetrics, not '" + *text + "'";
                    return result;
                }
            } else if (name == "--output") {
                if (text->empty()) {
                    result.error = "option --output needs a file name";
                    return result;
                }
                options.output = *text;
            } else if (overridden != nullptr) {
                const auto number = NonNegative(*text);
                const SettingBounds bounds = overridden->bounds.value_or(SettingBounds{});
                if (!number || !bounds.Contains(*number)) {
                    result.error = "option " + name + " needs a whole number from " +
                                   std::to_string(bounds.min) + " to " +
                                   std::to_string(bounds.max) + ", not '" + *text + "'";
                    return result;
                }
                options.overrides.push_back({overridden, *number});
            } else {
                const auto number = NonNegative(*text);
                if (!number || (name == "--cycles" && *number == 0)) {
                    result.error = "option " + name + " needs a whole number" +
                                   (name == "--cycles" ? " from 1" : " from 0") + ", not '" +
                                   *text + "'";
                    return result;
                }
                if (name == "--cycles") {
                    options.cycles = *number;
                } else {
                    options.intervalMs = *number;
                }
            }
        } else {
            result.error = "unknown option '" + arguments[i] + "'";
            return result;
        }
    }
    if (options.quiet && options.verbose) {
        result.error = "--quiet and --verbose exclude each other";
    } else if (!options.output.empty() && options.format == CheckFormat::Text) {
        // The log lines tell changes as they happen; a file replaced per
        // cycle is for a reader that wants the whole state.
        result.error = "--output needs --format json or openmetrics";
    }
    return result;
}

void ApplyOverrides(const CheckOptions& options, Settings& settings)
{
    for (const SettingOverride& change : options.overrides) {
        SetNumber(*change.key, settings, change.value);
    }
}

std::string CheckUsage()
{
    return R"(Usage: pelmora-check [OPTIONS]

Checks the hosts of Pelmora's settings file the way the tray program does and
prints what changed: every event log line as it happens, and every end-of-cycle
report followed by an empty line.

Options:
  --config FILE     read this settings file instead of the tray program's
                    (man pelmora-check tells which file that is)
  --language NAME   use Languages/NAME.lng of the program instead of the
                    settings file's language
  --cycles N        run N check cycles (default 1)
  --interval MS     wait MS milliseconds between cycles (default: the
                    settings file's CheckPeriod; 0 runs them back to back)
  --parallel N      check up to N hosts at the same time, 1 to 100000
                    (default: the settings file's ParallelChecks, else 1000;
                    1 checks one host after another)
  --attempts N      count a host as down after N failed checks in a row,
                    1 to 10; a host that was up is checked again at once
                    (default: the settings file's Attempts, else 1)
  --format FORMAT   text (default): the log lines and reports;
                    json: one JSON object per cycle on a line of its own;
                    openmetrics: the Prometheus text format per cycle
                    (pelmora_host_up, pelmora_host_rtt_seconds,
                    pelmora_last_check_timestamp_seconds)
  --output FILE     with json or openmetrics: after each cycle, replace FILE
                    atomically with that cycle instead of printing it (for
                    node_exporter's textfile collector); when FILE cannot be
                    written, say why and exit 2
  --list            print the host list as it is read (kind, target, what is
                    probed, proxy) and exit
  -v, --verbose     also print on standard error how many hosts are checked
                    at the same time, and one line per probe with the
                    outcome and the probe's error text
  -q, --quiet       print nothing; only the exit status tells
  -h, --help        print this text and exit

Exit status: 0 when every host was up after the last cycle, 1 when any was
down, 2 for bad options or a settings file that cannot be read.
ICMP checks need root, the capability cap_net_raw, or a group allowed by
net.ipv4.ping_group_range. Ctrl+C stops at once.
)";
}

} // namespace pelmora
