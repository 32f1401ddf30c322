#pragma once
// A testing aid of --simulate: MORVANTIDE_SIMULATE_DELAY_MS in the environment
// makes every command to an emulated device take that many milliseconds, so a
// test can act while a download is under way. Runs on real drives never read it.

#include <chrono>
#include <optional>

namespace morv {

/// The environment variable that holds the delay.
inline constexpr char kSimulatedDelayVariable[] = "MORVANTIDE_SIMULATE_DELAY_MS";

/// The delay `text` gives: decimal milliseconds from 0 to 60000; nullopt for none
/// (null) or anything else.
std::optional<std::chrono::milliseconds> SimulatedDelayFrom(const char* text);
/// The delay the environment asks for, as SimulatedDelayFrom reads it.
std::optional<std::chrono::milliseconds> SimulatedDelay();

}  // namespace morv
