#pragma once

namespace pelmora {

class TCheckHosts;

// Keeps the worker out of a cycle for as long as it lives: waits for a
// running cycle to end (its hand-overs still served) and lets none start
// until it goes. Without a worker it holds nothing.
class WorkerHold {
public:
    explicit WorkerHold(TCheckHosts* worker);
    ~WorkerHold();
    WorkerHold(const WorkerHold&) = delete;
    WorkerHold& operator=(const WorkerHold&) = delete;

private:
    TCheckHosts* worker_;
};

} // namespace pelmora
