#pragma once
// The process-wide table of named mutexes. Windows mutexes are found by name and may be taken
// again by the thread that holds them; here they live inside one process (every name the system
// gives a mutex carries its process number, so no other process ever asks for it).
//
// namedMutex returns the mutex of that name, creating it on first use; it lives while anyone
// holds the returned pointer. Names are compared exactly. Safe from any thread; never fails.

#include <memory>
#include <mutex>
#include <string_view>

namespace win {

std::shared_ptr<std::recursive_mutex> namedMutex(std::string_view name);

}  // namespace win
