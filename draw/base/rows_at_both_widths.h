// Makes a family's vector rows, written once against a vector type V in the header named by
// MORNA_ROWS_IMPL, for 16-byte vectors (namespace sse2) and, for processors that have them,
// 32-byte vectors (namespace avx2). Included inside the family's namespace, once per family;
// no include guard, by design.
#ifndef MORNA_ROWS_IMPL
#error "define MORNA_ROWS_IMPL as the rows' header before including this"
#endif

namespace sse2 {

using V = simd::sse2::V;

#include MORNA_ROWS_IMPL

}  // namespace sse2

MORNA_AVX2_BEGIN

namespace avx2 {

using V = simd::avx2::V;

#include MORNA_ROWS_IMPL

}  // namespace avx2

MORNA_AVX2_END

#undef MORNA_ROWS_IMPL
