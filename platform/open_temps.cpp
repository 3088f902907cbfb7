#include "open_temps.hpp"

#include "file_system.hpp"

namespace scene::platform {

void OpenTemps::Note(const void* key, std::function<void()> remove) {
    std::lock_guard hold(listLock_);
    removals_[key] = std::move(remove);
}

void OpenTemps::Forget(const void* key) {
    std::lock_guard hold(listLock_);
    removals_.erase(key);
}

void OpenTemps::RemoveAll() {
    gate_.lock();  // never unlocked: the program ends
    std::lock_guard hold(listLock_);
    for (auto& [key, remove] : removals_) remove();
}

OpenTemps& TheOpenTemps() {
    static OpenTemps temps;
    return temps;
}

void RemoveOpenTempFiles() {
    TheOpenTemps().RemoveAll();
}

}  // namespace scene::platform
