// The vector row of the add and subtract operators over one vector width. add_sub_rows.h
// includes this file once per width, inside a namespace of its own that first names V, the
// width's operations. No include guard: each inclusion makes that namespace's kernel.

// Of n 4-byte pixels of s onto d, both in one byte order, those from `first` (which puts d on a
// vector boundary where the pixels' addresses allow) to the answer: each of the three low bytes
// min(255, d + s) (Sub: max(0, d - s)); the fourth (d + s) mod 256 (Sub: (d - s) mod 256), or
// 255 where Opaque. Four vectors a round, then one at a time; the source read in 16-byte
// halves where Halves (a source off the vector boundary that d is on).
template <bool Sub, bool Opaque, bool Halves>
int SaturateRow4(const uint8_t* s, uint8_t* d, int n, int first) {
    using T = V::T;
    constexpr int kStep = V::kBytes / 4;
    const T fourth = V::Set32(0xFF000000u);
    const auto pixels = [fourth](const uint8_t* sp, uint8_t* dp) {
        const T sv = Halves ? V::LoadHalves(sp) : V::Load(sp), dv = V::Load(dp);
        if constexpr (Opaque) {
            V::Store(dp, V::Or(Sub ? V::SubSat8(dv, sv) : V::AddSat8(dv, sv), fourth));
        } else {
            // The fourth byte kept out of the saturating step, then added (or subtracted) as the
            // top byte of the 32-bit lane: its carry or borrow falls off the lane.
            const T top = V::And(sv, fourth), low = V::Xor(sv, top);
            V::Store(dp, Sub ? V::Sub32(V::SubSat8(dv, low), top) : V::Add32(V::AddSat8(dv, low), top));
        }
    };
    int i = first;
    for (; i + 4 * kStep <= n; i += 4 * kStep) {
        pixels(s + 4 * i, d + 4 * i);
        pixels(s + 4 * (i + kStep), d + 4 * (i + kStep));
        pixels(s + 4 * (i + 2 * kStep), d + 4 * (i + 2 * kStep));
        pixels(s + 4 * (i + 3 * kStep), d + 4 * (i + 3 * kStep));
    }
    for (; i + kStep <= n; i += kStep) pixels(s + 4 * i, d + 4 * i);
    return i;
}
