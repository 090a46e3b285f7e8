#include "common/stop_request.h"

#include <atomic>
#include <utility>

namespace common {

namespace {

std::atomic<const StopRequest*> first_request{nullptr};
std::atomic<int> request_count{0};
std::atomic<bool> screen_lost_flag{false};
std::vector<RunError> late_failures;

static_assert(std::atomic<const StopRequest*>::is_always_lock_free && std::atomic<int>::is_always_lock_free &&
                  std::atomic<bool>::is_always_lock_free,
              "a signal handler may only change lock-free atomics");

}  // namespace

int note_signal(const StopRequest& request) {
    const StopRequest* none = nullptr;
    first_request.compare_exchange_strong(none, &request);
    // Counted up to a thousand: a handler must never overflow it.
    int count = request_count.load();
    while (count < 1000 && !request_count.compare_exchange_weak(count, count + 1)) {
    }
    return count < 1000 ? count + 1 : count;
}

int pending_signal() {
    const StopRequest* request = first_request.load();
    return request == nullptr ? 0 : request->number;
}

void check_interrupted() {
    if (const StopRequest* request = first_request.load()) {
        throw RunError(128 + request->number, std::string("stopped by ") + request->name);
    }
}

void note_late_failure(const RunError& error) {
    late_failures.push_back(error);
}

std::vector<RunError> take_late_failures() {
    return std::exchange(late_failures, {});
}

void note_screen_lost() {
    screen_lost_flag = true;
}

bool screen_lost() {
    return screen_lost_flag;
}

bool take_screen_lost() {
    return screen_lost_flag.exchange(false);
}

}  // namespace common
