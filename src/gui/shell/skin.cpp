#include "gui/shell/skin.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QWidget>

#include <optional>

#include "core/base/app_paths.h"

namespace pelmora {
namespace {

std::optional<QString> ReadSkinText(const std::filesystem::path& file)
{
    QFile skin(QString::fromStdString(file.string()));
    if (!skin.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    const QByteArray bytes = skin.readAll();
    if (skin.error() != QFileDevice::NoError) {
        return std::nullopt;
    }
    return QString::fromUtf8(bytes);
}

// Qt reads the application's style sheet when it first styles a widget and
// only warns when the sheet does not parse. The warning is taken here, as
// the sign of a bad skin; any other message goes on as usual.
bool sheetParsed = true;
QtMessageHandler passOn = nullptr;

void WatchForParseFailure(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (type == QtWarningMsg &&
        text.startsWith(QLatin1String("Could not parse application stylesheet"))) {
        sheetParsed = false;
    } else if (passOn != nullptr) {
        passOn(type, context, text);
    }
}

bool ApplyIfValid(const QString& sheet)
{
    sheetParsed = true;
    passOn = qInstallMessageHandler(WatchForParseFailure);
    qApp->setStyleSheet(sheet);
    QWidget probe;
    probe.ensurePolished();
    qInstallMessageHandler(passOn);
    if (!sheetParsed) {
        qApp->setStyleSheet(QString());
    }
    return sheetParsed;
}

} // namespace

std::filesystem::path SkinFilePath()
{
    return DataDir() / "Skins" / "Tamsel.skn";
}

bool LoadSkin(const std::filesystem::path& file)
{
    const std::optional<QString> sheet = ReadSkinText(file);
    if (!sheet) {
        qApp->setStyleSheet(QString());
        return false;
    }
    // The pictures a skin names as url(skin:<file>) lie beside it.
    QDir::setSearchPaths(QStringLiteral("skin"),
                         {QString::fromStdString(file.parent_path().string())});
    return ApplyIfValid(*sheet);
}

} // namespace pelmora
