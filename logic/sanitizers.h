// Which sanitizers this build runs under, for the few places that must behave otherwise there:
// the object pool steps aside so that a use after free is still caught, and a front end frees
// what it would otherwise leave to the process's end, for the leak check. g++ names the
// sanitizers by macros, clang by features.
#pragma once

#if defined(__has_feature)
#define VELMORAN_HAS_FEATURE(name) __has_feature(name)
#else
#define VELMORAN_HAS_FEATURE(name) 0
#endif

namespace velmoran {

#if defined(__SANITIZE_ADDRESS__) || VELMORAN_HAS_FEATURE(address_sanitizer)
inline constexpr bool kAddressSanitizer = true;
#else
inline constexpr bool kAddressSanitizer = false;
#endif

#if defined(__SANITIZE_THREAD__) || VELMORAN_HAS_FEATURE(thread_sanitizer)
inline constexpr bool kThreadSanitizer = true;
#else
inline constexpr bool kThreadSanitizer = false;
#endif

// AddressSanitizer brings the leak check with it; clang also says when it is built alone.
#if VELMORAN_HAS_FEATURE(leak_sanitizer)
inline constexpr bool kLeakSanitizer = true;
#else
inline constexpr bool kLeakSanitizer = kAddressSanitizer;
#endif

}  // namespace velmoran
