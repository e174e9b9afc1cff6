// Which sanitizers this build runs under, for the few places that must behave otherwise there:
// the object pool steps aside so that a use after free is still caught, and a front end frees
// what it would otherwise leave to the process's end, for the leak check. g++ names the
// sanitizers by macros, clang by features.
#pragma once

namespace velmoran {

#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool kAddressSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
inline constexpr bool kAddressSanitizer = true;
#else
inline constexpr bool kAddressSanitizer = false;
#endif
#else
inline constexpr bool kAddressSanitizer = false;
#endif

#if defined(__SANITIZE_THREAD__)
inline constexpr bool kThreadSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
inline constexpr bool kThreadSanitizer = true;
#else
inline constexpr bool kThreadSanitizer = false;
#endif
#else
inline constexpr bool kThreadSanitizer = false;
#endif

// AddressSanitizer brings the leak check with it; clang can build it alone.
#if defined(__has_feature)
#if __has_feature(leak_sanitizer)
inline constexpr bool kLeakSanitizer = true;
#else
inline constexpr bool kLeakSanitizer = kAddressSanitizer;
#endif
#else
inline constexpr bool kLeakSanitizer = kAddressSanitizer;
#endif

}  // namespace velmoran
