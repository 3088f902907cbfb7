// The named temporary files open now, for an interrupt to remove. Writers create, rename and
// remove such files under the gate shared, so that they never wait for one another; an
// interrupt takes it alone and so sees every file that exists and no other.
#pragma once

#include <functional>
#include <mutex>
#include <shared_mutex>
#include <unordered_map>

namespace scene::platform {

class OpenTemps {
  public:
    // Holds the gate shared while a writer creates, renames or removes its file.
    std::shared_lock<std::shared_mutex> Hold() { return std::shared_lock(gate_); }
    // A file to remove if the program is interrupted, under `key` until Forget.
    void Note(const void* key, std::function<void()> remove);
    void Forget(const void* key);
    // Removes every noted file; the gate stays taken, so writers wait until the program ends.
    void RemoveAll();

  private:
    std::shared_mutex gate_;
    std::mutex listLock_;
    std::unordered_map<const void*, std::function<void()>> removals_;
};

// The program's one list.
OpenTemps& TheOpenTemps();

}  // namespace scene::platform
