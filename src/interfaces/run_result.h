#pragma once

namespace velmora {

// How a piece of the work ends: a render, a sound conversion, an outside
// program, a build stage, a command of velmora-cli (whose exit status it
// is). Any other value is the failing library's or program's own error
// code, handed on as it is.
inline constexpr int kDone = 0;
inline constexpr int kFailed = 1;
inline constexpr int kCancelled = 2;

}  // namespace velmora
