#pragma once

/// What the processor running the program offers beyond the build's baseline,
/// so a hot loop can take a wider path where it may.
namespace CpuFeatures {

#if defined(__GNUC__) && defined(__x86_64__)
/// Functions marked target("avx2") may be called.
inline bool hasAvx2()
{
    static const bool has = __builtin_cpu_supports("avx2");
    return has;
}
#endif

}  // namespace CpuFeatures
