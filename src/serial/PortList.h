// The port list: the process-wide table of open dispatchers, through which UI-thread work finds its port.
#pragma once

#include <cstdint>
#include <mutex>

namespace vexa::serial {

class TApdBaseDispatcher;

// Work queued for the UI thread carries a dispatcher id rather than a pointer: by the time it runs
// the port may have been closed and its dispatcher destroyed. Ids are never reused.
class PortList {
  public:
    // Held while a lookup result is used; re-entrant, so a handler may close its own port.
    static std::unique_lock<std::recursive_mutex> Lock();
    static std::uint64_t Add(TApdBaseDispatcher* dispatcher);
    static void Remove(std::uint64_t id);
    // Null when the dispatcher is gone. Call with Lock() held.
    static TApdBaseDispatcher* Find(std::uint64_t id);
};

} // namespace vexa::serial
