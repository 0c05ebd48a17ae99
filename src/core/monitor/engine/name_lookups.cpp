#include "core/monitor/engine/name_lookups.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>

#include "core/base/unique_fd.h"
#include "core/monitor/net/probe_errors.h"
#include "core/monitor/net/resolve_host.h"

namespace pelmora {

struct NameLookups::Mailbox {
    std::mutex mutex;
    // Raised by AbandonAll; a lookup started under an older one is dropped.
    std::uint64_t generation = 0;
    std::vector<LookupAnswer> answers;
    UniqueFd event{::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)};

    bool Wants(std::uint64_t asked)
    {
        const std::lock_guard lock(mutex);
        return asked == generation;
    }

    void Post(std::uint64_t asked, LookupAnswer answer)
    {
        const std::lock_guard lock(mutex);
        if (asked != generation) {
            return;
        }
        answers.push_back(answer);
        const std::uint64_t one = 1;
        // A full counter means it is readable already.
        [[maybe_unused]] const auto written = ::write(event.Get(), &one, sizeof one);
    }
};

namespace {

// Enough that a few lookups hanging on a silent name server leave the others
// going; few enough to be no burden on any machine.
constexpr int kResolverThreads = 8;

struct Lookup {
    std::shared_ptr<NameLookups::Mailbox> mailbox;
    std::uint64_t generation = 0;
    std::size_t entry = 0;
    std::uint64_t ticket = 0;
    std::string name;
};

class ResolverPool {
public:
    // Made on first use and never destroyed: a thread may still sit in the
    // resolver when the process ends.
    static ResolverPool& Shared()
    {
        static auto* const pool = new ResolverPool;
        return *pool;
    }

    void Submit(Lookup lookup)
    {
        {
            const std::lock_guard lock(mutex_);
            queue_.push_back(std::move(lookup));
        }
        ready_.notify_one();
    }

private:
    ResolverPool()
    {
        for (int i = 0; i < kResolverThreads; ++i) {
            std::thread([this] { Serve(); }).detach();
        }
    }

    void Serve()
    {
        while (true) {
            Lookup lookup;
            {
                std::unique_lock lock(mutex_);
                ready_.wait(lock, [this] { return !queue_.empty(); });
                lookup = std::move(queue_.front());
                queue_.pop_front();
            }
            if (!lookup.mailbox->Wants(lookup.generation)) {
                continue;
            }
            LookupAnswer answer{lookup.entry, lookup.ticket, std::nullopt};
            try {
                answer.address = ResolveHost(lookup.name);
            } catch (const EIdException&) {
                // Not found: the answer stays empty.
            }
            lookup.mailbox->Post(lookup.generation, answer);
        }
    }

    std::mutex mutex_;
    std::condition_variable ready_;
    std::deque<Lookup> queue_;
};

} // namespace

NameLookups::NameLookups() : mailbox_(std::make_shared<Mailbox>())
{
    if (!mailbox_->event.Valid()) {
        throw std::system_error(errno, std::generic_category(), "eventfd");
    }
}

NameLookups::~NameLookups()
{
    AbandonAll();
}

int NameLookups::Fd() const
{
    return mailbox_->event.Get();
}

void NameLookups::Start(std::size_t entry, std::uint64_t ticket, const std::string& name)
{
    std::uint64_t generation = 0;
    {
        const std::lock_guard lock(mailbox_->mutex);
        generation = mailbox_->generation;
    }
    ResolverPool::Shared().Submit(Lookup{mailbox_, generation, entry, ticket, name});
}

std::vector<LookupAnswer> NameLookups::Take()
{
    const std::lock_guard lock(mailbox_->mutex);
    std::uint64_t count = 0;
    [[maybe_unused]] const auto read = ::read(mailbox_->event.Get(), &count, sizeof count);
    return std::exchange(mailbox_->answers, {});
}

void NameLookups::AbandonAll()
{
    const std::lock_guard lock(mailbox_->mutex);
    ++mailbox_->generation;
    mailbox_->answers.clear();
    std::uint64_t count = 0;
    [[maybe_unused]] const auto read = ::read(mailbox_->event.Get(), &count, sizeof count);
}

} // namespace pelmora
