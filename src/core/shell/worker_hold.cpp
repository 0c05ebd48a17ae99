#include "core/shell/worker_hold.h"

#include "core/monitor/worker/check_hosts.h"

namespace pelmora {

WorkerHold::WorkerHold(TCheckHosts* worker) : worker_(worker)
{
    if (worker_ != nullptr) {
        worker_->Hold();
    }
}

WorkerHold::~WorkerHold()
{
    if (worker_ != nullptr) {
        worker_->Release();
    }
}

} // namespace pelmora
