#pragma once

namespace quarvel::test {

// Whether this build runs under the address sanitizer, which brings its own
// allocator and reserves more address space than a tight limit leaves.
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

}  // namespace quarvel::test
