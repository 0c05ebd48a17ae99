#include "core/shell/main_image.h"

namespace pelmora {

MainImage HostStateImage(HostState state)
{
    return state == HostState::Up ? MainImage::HostUp : MainImage::HostDown;
}

} // namespace pelmora
