// Guarded counters keep a rotated, salted copy of their value and compare on every read.
#include "core/guarded_counter.h"

#include <bit>

namespace tundrix {

bool tamperFlag = false;

GuardedCounter::GuardedCounter()
    // Each counter gets its own salt, so equal values do not look alike in memory.
    : salt_(static_cast<uint32_t>(reinterpret_cast<uintptr_t>(this) >> 3) * 2654435761u ^ 0x5A17C3E9u) {
    set(0);
}

uint32_t GuardedCounter::disguise(int32_t value) const {
    return std::rotl(static_cast<uint32_t>(value) ^ salt_, 13) + 0x9E3779B9u;
}

void GuardedCounter::verify() const {
    if (disguise(value_) != check_) tamperFlag = true;
}

void GuardedCounter::set(int32_t value) {
    value_ = value;
    check_ = disguise(value);
}

int32_t GuardedCounter::get() const {
    verify();
    return value_;
}

void GuardedCounter::add(int32_t delta) {
    verify();
    int32_t v = static_cast<int32_t>(static_cast<uint32_t>(value_) + static_cast<uint32_t>(delta));
    set(v);
}

} // namespace tundrix
