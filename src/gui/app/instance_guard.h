#pragma once

#include <QLockFile>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>

#include "core/base/unique_fd.h"

class QSocketNotifier;

namespace pelmora {

// One copy of the program per user: the first copy holds the lock
// "PREVINST:" + title in the user's runtime folder and listens on a local
// socket of the same name; a later copy finds the lock taken, asks the first
// one through the socket to come to the front, and ends.
class InstanceGuard final : public QObject {
public:
    explicit InstanceGuard(const QString& applicationTitle);
    ~InstanceGuard() override;
    InstanceGuard(const InstanceGuard&) = delete;
    InstanceGuard& operator=(const InstanceGuard&) = delete;

    bool IsFirstInstance() const { return first_; }
    // Second copy: asks the running copy to come to the front.
    void ActivatePreviousInstance() const;
    // First copy: what to do when a later copy asks.
    void OnActivationRequest(std::function<void()> activate);

private:
    void Accept();

    QString socketPath_;
    std::unique_ptr<QLockFile> lock_;
    UniqueFd listener_;
    QSocketNotifier* notifier_ = nullptr;
    std::function<void()> activate_;
    bool first_ = false;
};

} // namespace pelmora
