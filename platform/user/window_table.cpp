// The window handle table: slots with generations, so that handles of destroyed
// windows and made-up values are recognised as not being windows.
#include <new>

#include "platform/user/user_internal.h"

UserState userState;

namespace {

constexpr uint32_t kMaxSlots = 0xFFFF;

HWND MakeHandle(uint32_t slot, uint16_t generation) {
    return reinterpret_cast<HWND>(static_cast<uintptr_t>((static_cast<uint32_t>(generation) << 16) | slot));
}

}  // namespace

UsrWindow* UsrFind(HWND hwnd) {
    const uintptr_t value = reinterpret_cast<uintptr_t>(hwnd);
    if (value > 0xFFFFFFFFu) return nullptr;
    const uint32_t slot = static_cast<uint32_t>(value & 0xFFFF);
    const uint16_t generation = static_cast<uint16_t>(value >> 16);
    if (slot == 0 || slot >= userState.slots.size()) return nullptr;
    UsrWindow* window = userState.slots[slot];
    if (window == nullptr || userState.generations[slot] != generation) return nullptr;
    return window;
}

UsrWindow* UsrAllocWindow() {
    if (userState.slots.empty()) {
        userState.slots.push_back(nullptr);
        userState.generations.push_back(0);
    }
    uint32_t slot;
    if (!userState.freeSlots.empty()) {
        slot = userState.freeSlots.back();
        userState.freeSlots.pop_back();
    } else {
        if (userState.slots.size() > kMaxSlots) return nullptr;
        slot = static_cast<uint32_t>(userState.slots.size());
        userState.slots.push_back(nullptr);
        userState.generations.push_back(0);
    }
    UsrWindow* window = new (std::nothrow) UsrWindow{};
    if (window == nullptr) {
        userState.freeSlots.push_back(slot);
        return nullptr;
    }
    uint16_t generation = static_cast<uint16_t>(userState.generations[slot] + 1);
    if (generation == 0) generation = 1;
    userState.generations[slot] = generation;
    userState.slots[slot] = window;
    window->handle = MakeHandle(slot, generation);
    pixman_region32_init(&window->update);
    return window;
}

void UsrFreeWindow(UsrWindow* window) {
    const uint32_t slot = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(window->handle) & 0xFFFF);
    if (pixman_region32_not_empty(&window->update)) --userState.pendingPaints;
    pixman_region32_fini(&window->update);
    userState.slots[slot] = nullptr;
    // Bump now as well as on reuse, so the old handle is dead at once.
    uint16_t generation = static_cast<uint16_t>(userState.generations[slot] + 1);
    if (generation == 0) generation = 1;
    userState.generations[slot] = generation;
    userState.freeSlots.push_back(slot);
    delete window;
}

void UsrEnsureScratch() {
    if (userState.scratchReady) return;
    pixman_region32_init(&userState.scratchVisible);
    pixman_region32_init(&userState.scratchClip);
    pixman_region32_init(&userState.scratchPaint);
    userState.scratchReady = true;
}
