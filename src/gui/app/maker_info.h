#pragma once

#include <QPixmap>

namespace pelmora {

// Who makes the program: the lines the About box shows and the addresses its
// links open. The domain is a reserved example one until the project has a
// real address of its own.
inline constexpr char kMakerAuthor[] = "Tamsel Software";
inline constexpr char kMakerCopyright[] = "Copyright (c) 2026 Tamsel Software";
inline constexpr char kMakerSupportMail[] = "support@tamsel.example";
inline constexpr char kMakerWebSite[] = "https://www.tamsel.example/";

// The maker's logo, a tall narrow picture of 34 x 193 units drawn `scale`
// times as large, sharp on a screen of the given device pixel ratio.
QPixmap MakerLogo(double scale, double devicePixelRatio);

} // namespace pelmora
