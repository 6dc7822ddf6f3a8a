#pragma once

// The few places where the shell's rules differ between desktops (where the
// settings file lives, what a COM port number names). Functions that depend on
// it take the platform as a parameter, so both sides are testable anywhere.

namespace zarnmon {

enum class HostPlatform { Posix, Windows };

#ifdef _WIN32
inline constexpr HostPlatform kHostPlatform = HostPlatform::Windows;
#else
inline constexpr HostPlatform kHostPlatform = HostPlatform::Posix;
#endif

}  // namespace zarnmon
