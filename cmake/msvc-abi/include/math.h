// Wraps MinGW-w64's <math.h>, whose classification macros are C's, with the Universal CRT's C++
// functions of the same names, which <cmath> brings into std (on clang's builtins).
#pragma once

#include_next <math.h>

#ifdef __cplusplus
#undef fpclassify
#undef signbit
#undef isfinite
#undef isinf
#undef isnan
#undef isnormal
#undef isgreater
#undef isgreaterequal
#undef isless
#undef islessequal
#undef islessgreater
#undef isunordered

extern "C++" {
namespace __qv_math {
template <class _Ty>
struct _Float {
    using type = double; // integers classify as double, as the C++ standard says
};
template <>
struct _Float<float> {
    using type = float;
};
template <>
struct _Float<long double> {
    using type = long double;
};
} // namespace __qv_math

template <class _Ty>
inline int fpclassify(_Ty _X) noexcept
{
    const typename __qv_math::_Float<_Ty>::type _V = _X;
    return __builtin_fpclassify(FP_NAN, FP_INFINITE, FP_NORMAL, FP_SUBNORMAL, FP_ZERO, _V);
}

#define __QV_CLASSIFICATION(_Name)                                                                                     \
    template <class _Ty>                                                                                               \
    inline bool _Name(_Ty _X) noexcept                                                                                 \
    {                                                                                                                  \
        return __builtin_##_Name(static_cast<typename __qv_math::_Float<_Ty>::type>(_X));                              \
    }
__QV_CLASSIFICATION(signbit)
__QV_CLASSIFICATION(isfinite)
__QV_CLASSIFICATION(isinf)
__QV_CLASSIFICATION(isnan)
__QV_CLASSIFICATION(isnormal)
#undef __QV_CLASSIFICATION

#define __QV_COMPARISON(_Name)                                                                                         \
    template <class _Ty1, class _Ty2>                                                                                  \
    inline bool _Name(_Ty1 _X, _Ty2 _Y) noexcept                                                                       \
    {                                                                                                                  \
        return __builtin_##_Name(_X, _Y);                                                                              \
    }
__QV_COMPARISON(isgreater)
__QV_COMPARISON(isgreaterequal)
__QV_COMPARISON(isless)
__QV_COMPARISON(islessequal)
__QV_COMPARISON(islessgreater)
__QV_COMPARISON(isunordered)
#undef __QV_COMPARISON
}
#endif
