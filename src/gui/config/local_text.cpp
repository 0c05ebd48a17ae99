#include "gui/config/local_text.h"

#include <QByteArray>

namespace pelmora {

QString FromLocal8Bit(std::string_view text)
{
    return QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size()));
}

std::string ToLocal8Bit(const QString& text)
{
    const QByteArray bytes = text.toLocal8Bit();
    return {bytes.constData(), static_cast<std::size_t>(bytes.size())};
}

} // namespace pelmora
