// Process-wide list of open dispatchers.
#include "serial/PortList.h"

#include <unordered_map>

namespace vexa::serial {
namespace {

struct Table {
    std::recursive_mutex mutex;
    std::unordered_map<std::uint64_t, TApdBaseDispatcher*> entries;
    std::uint64_t nextId = 1;
};

Table& TheTable() {
    static Table table;
    return table;
}

} // namespace

std::unique_lock<std::recursive_mutex> PortList::Lock() {
    return std::unique_lock(TheTable().mutex);
}

std::uint64_t PortList::Add(TApdBaseDispatcher* dispatcher) {
    auto lock = Lock();
    const std::uint64_t id = TheTable().nextId++;
    TheTable().entries.emplace(id, dispatcher);
    return id;
}

void PortList::Remove(std::uint64_t id) {
    auto lock = Lock();
    TheTable().entries.erase(id);
}

TApdBaseDispatcher* PortList::Find(std::uint64_t id) {
    auto lock = Lock();
    auto it = TheTable().entries.find(id);
    return it == TheTable().entries.end() ? nullptr : it->second;
}

} // namespace vexa::serial
