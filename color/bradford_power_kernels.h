// The Bradford adaptations over groups of BP_LANES triples, written once over a vector of
// BP_LANES floats and included by the source of each instruction-set level, inside an
// anonymous namespace. It includes nothing (see linalg/include/cpu/cpu_features.h).
//
// The linear steps are those of the one-triple loop, in the same order, lane by lane, so they
// give its bits. The blue power law, float(pow(double(|b|), p) * F) with its sign restored, is
// computed with a logarithm and an exponential in double that are accurate to a known bound;
// where that bound does not settle the rounding to float, the element is recomputed with pow.
//
// Error bound. u = 2^-53; t = |b|^p * F exactly, for a normal float b, 0 < p <= 4, F > 0.
//  1. |b| = m * 2^e from the float's bits, m in [sqrt(1/2), sqrt(2)), e in [-126, 128]: exact.
//  2. ln m = 2 atanh(s), s = (m - 1) / (m + 1), |s| < 0.1716. m - 1 and m + 1 are exact; s
//     is rounded once (relative u), which moves ln m by at most 2|s| u / (1 - s^2) < 0.354u.
//     The odd series to 2 s^21 / 21 leaves less than 2^-61; its terms past 2s are below 0.0035
//     and carry less than 0.015u of rounding (however they are grouped).
//  3. ln|b| = e ln2 + ln m is kept as hi + lo: e * ln2Hi is exact (ln2Hi has 32 bits), hi is
//     its sum with 2s, whose rounding error is recovered exactly (|e ln2Hi| >= 0.69 > |2s|
//     unless e = 0); lo gathers that error, the odd terms and e * ln2Lo with roundings below
//     2^-61 each. In all |hi + lo - ln|b|| < 0.38u.
//  4. y = p ln|b| as yHi + yLo: yHi = p * hi rounded, its error recovered exactly by a fused
//     multiply-add, plus p * lo: |yHi + yLo - y| < (0.38p + 0.02)u.
//  5. k = the integer nearest yHi / ln2 (|k| <= 516), r = (yHi - k ln2Hi) - k ln2Lo + yLo,
//     |r| < 0.347: at most three roundings of values below 0.35 (the first difference is exact
//     but at the edge of its range), 0.75u. So r is within (0.38p + 0.77)u of y - k ln2.
//  6. e^r by its Taylor polynomial of degree 13, the last four steps in Horner's form with
//     fused multiply-adds: the truncation is below 0.08u of e^r; each step's rounding is
//     damped by the powers of r that follow it, in all below 1.8u of e^r (coefficients rounded
//     to double and the terms from r^4 on, whatever their grouping, included).
//  7. Times 2^k (exact: a power of two in range), times F: one rounding, u.
// To first order |v - t| <= (3.65 + 0.38p)u t <= 5.2u t. The C library's pow is within one
// unit in the last place (2u relative) and the reference's product with F rounds once more,
// so the reference lies within 3u t of t, and |v - reference| < 8.2u t. With v in
// [2^E, 2^(E+1)), u v < 2^(E-52), the spacing of doubles there: the two lie less than 8.3
// doubles apart.
//
// Narrowing rounds to the nearest float, so float(v) and float(reference) can differ only if
// a point halfway between two floats lies between them, hence within 8.3 doubles of v. The 29
// bits that narrowing drops from a double in the normal float range count the doubles from
// the float below; the halfway point is at 2^28. Within kMargin (32) of it, or outside the
// normal float range, or for a response that is not a normal float, the element is
// recomputed with pow. Zero responses take the results precomputed for +0 and -0.
//
// Expects: BP_KERNEL_NAMESPACE, BP_LANES (8 or 16); <cstdint>, <utility>, <immintrin.h> and
// bradford_power_levels.h included.

namespace BP_KERNEL_NAMESPACE {

constexpr int kLanes = BP_LANES;
constexpr int kHalf = BP_LANES / 2;

typedef float VecF __attribute__((vector_size(4 * BP_LANES)));
typedef std::int32_t VecI __attribute__((vector_size(4 * BP_LANES)));
typedef float UnalignedVecF __attribute__((vector_size(4 * BP_LANES), aligned(4), may_alias));
typedef float HalfF __attribute__((vector_size(2 * BP_LANES)));
typedef std::int32_t HalfI __attribute__((vector_size(2 * BP_LANES)));
typedef double VecD __attribute__((vector_size(4 * BP_LANES)));
typedef std::int64_t VecL __attribute__((vector_size(4 * BP_LANES)));

#if BP_LANES == 8
inline VecD Fma(VecD a, VecD b, VecD c) {
    return _mm256_fmadd_pd(a, b, c);
}
inline bool AnyLane(VecI mask) {
    return _mm256_movemask_ps(reinterpret_cast<__m256>(mask)) != 0;
}
#elif BP_LANES == 16
inline VecD Fma(VecD a, VecD b, VecD c) {
    return _mm512_fmadd_pd(a, b, c);
}
inline bool AnyLane(VecI mask) {
    const __m512i m = reinterpret_cast<__m512i>(mask);
    return _mm512_test_epi32_mask(m, m) != 0;
}
#endif

// Every lane x (adding x to a vector of zeros would turn -0 into +0).
inline VecF Splat(float x) {
    return x - VecF{};
}

inline VecF Load(const float* p) {
    return *reinterpret_cast<const UnalignedVecF*>(p);
}
inline void Store(float* p, VecF v) {
    *reinterpret_cast<UnalignedVecF*>(p) = v;
}

// --- Halves: the power law runs in double, on half as many lanes --------------------------

// The lanes from Offset on of v, half of them.
template <int Offset, typename Half, typename Vec, int... L>
Half HalfOf(Vec v, std::integer_sequence<int, L...>) {
    return __builtin_shufflevector(v, v, (Offset + L)...);
}
template <typename Vec, typename Half, int... L>
Vec Joined(Half low, Half high, std::integer_sequence<int, L...>) {
    return __builtin_shufflevector(low, high, L...);
}
constexpr std::make_integer_sequence<int, kHalf> kHalfLanes{};
constexpr std::make_integer_sequence<int, kLanes> kAllLanes{};

template <int Offset>
VecD WidenHalf(VecF v) {
    return __builtin_convertvector(HalfOf<Offset, HalfF>(v, kHalfLanes), VecD);
}
template <int Offset>
VecD WidenHalf(VecI v) {
    return __builtin_convertvector(HalfOf<Offset, HalfI>(v, kHalfLanes), VecD);
}

// --- The power law ---------------------------------------------------------------------------

constexpr double kLn2Hi = 0x1.62e42feep-1;        // ln 2 to 32 bits: its products with k are exact
constexpr double kLn2Lo = 0x1.a39ef35793c76p-33;  // ln 2 - kLn2Hi
constexpr double kInvLn2 = 0x1.71547652b82fep+0;
constexpr double kRoundingShifter = 0x1.8p52;  // adding it rounds to an integer
constexpr std::int64_t kMargin = 32;

// |b|^p * F for the magnitudes whose exponent e and mantissa m (|b| = m 2^e) are given, and
// for each lane whether narrowing it to float surely gives the reference's float.
inline VecD PowerTimesFactor(VecD m, VecD e, VecD p, VecD factor, VecL& sure) {
    // ln m = 2 atanh(s) = 2s + s z (2/3 + 2z/5 + ... + 2z^9/21), z = s^2: the last two steps
    // in Horner's form, the terms from z^2 on (which z^2 < 0.001 damps) as pairs for speed.
    const VecD s = (m - 1.0) / (m + 1.0);
    const VecD z = s * s;
    const VecD z2 = z * z;
    const VecD z4 = z2 * z2;
    const VecD c01 = Fma(VecD{} + 2.0 / 9.0, z, VecD{} + 2.0 / 7.0);
    const VecD c23 = Fma(VecD{} + 2.0 / 13.0, z, VecD{} + 2.0 / 11.0);
    const VecD c45 = Fma(VecD{} + 2.0 / 17.0, z, VecD{} + 2.0 / 15.0);
    const VecD c67 = Fma(VecD{} + 2.0 / 21.0, z, VecD{} + 2.0 / 19.0);
    const VecD fromZ2 = Fma(Fma(c67, z2, c45), z4, Fma(c23, z2, c01));
    const VecD odd = (s * z) * Fma(Fma(fromZ2, z, VecD{} + 2.0 / 5.0), z, VecD{} + 2.0 / 3.0);

    // ln|b| = hi + lo.
    const VecD twoS = s + s;
    const VecD eLn2 = e * kLn2Hi;
    const VecD hi = eLn2 + twoS;
    const VecD lo = ((twoS - (hi - eLn2)) + odd) + e * kLn2Lo;

    // y = p ln|b| = yHi + yLo.
    const VecD yHi = p * hi;
    const VecD yLo = Fma(p, hi, -yHi) + p * lo;

    // e^y = 2^k e^r.
    const VecD shifted = yHi * kInvLn2 + kRoundingShifter;
    const VecD k = shifted - kRoundingShifter;
    const VecD r = Fma(-k, VecD{} + kLn2Lo, yHi - k * kLn2Hi) + yLo;
    // The Taylor polynomial: the last four steps in Horner's form, the terms from r^4 on
    // (which r^4 < 0.015 damps) as pairs for speed.
    const VecD r2 = r * r;
    const VecD r4 = r2 * r2;
    const VecD r8 = r4 * r4;
    const VecD t45 = Fma(VecD{} + 1.0 / 120.0, r, VecD{} + 1.0 / 24.0);
    const VecD t67 = Fma(VecD{} + 1.0 / 5040.0, r, VecD{} + 1.0 / 720.0);
    const VecD t89 = Fma(VecD{} + 1.0 / 362880.0, r, VecD{} + 1.0 / 40320.0);
    const VecD t1011 = Fma(VecD{} + 1.0 / 39916800.0, r, VecD{} + 1.0 / 3628800.0);
    const VecD t1213 = Fma(VecD{} + 1.0 / 6227020800.0, r, VecD{} + 1.0 / 479001600.0);
    const VecD fromR4 = Fma(t1213, r8, Fma(Fma(t1011, r2, t89), r4, Fma(t67, r2, t45)));
    VecD exp = Fma(fromR4, r, VecD{} + 1.0 / 6.0);
    exp = Fma(exp, r, VecD{} + 0.5);
    exp = Fma(exp, r, VecD{} + 1.0);
    exp = Fma(exp, r, VecD{} + 1.0);
    const VecL kBits =
        reinterpret_cast<VecL>(shifted) - reinterpret_cast<VecL>(VecD{} + kRoundingShifter);
    const VecD twoToK = reinterpret_cast<VecD>((kBits + 1023) << 52);
    const VecD v = (exp * twoToK) * factor;

    // In the normal float range (NaN is not), and not within kMargin doubles of a point
    // halfway between two floats.
    const VecL fromHalfway = (reinterpret_cast<VecL>(v) & 0x1FFFFFFF) - 0x10000000;
    const VecL nearHalfway = (fromHalfway >= -kMargin) & (fromHalfway <= kMargin);
    sure = (v >= 0x1p-126) & (v < 0x1p128) & ~nearHalfway;
    return v;
}

// The powers for a vector of responses; `unsure` marks the lanes still to be recomputed.
struct BluePowers {
    VecF value;
    VecI unsure;
};

inline BluePowers BluePowersOf(VecF b, const BluePowerLaw& law) {
    // |b| = m 2^e with m in [sqrt(1/2), sqrt(2)): the bits of |b| less those of
    // float(sqrt(1/2)) hold e above the 23 bits of the mantissa's offset from it. (Finite
    // garbage where b is not a normal float.)
    const VecI bits = reinterpret_cast<VecI>(b) & 0x7FFFFFFF;
    const VecI offset = bits - 0x3F3504F3;
    const VecI e = offset >> 23;
    const VecF m = reinterpret_cast<VecF>(0x3F3504F3 + (offset & 0x7FFFFF));
    const VecI normal = (bits >= 0x00800000) & (bits < 0x7F800000);

    const VecD p = VecD{} + law.exponent, factor = VecD{} + law.factor;
    VecL sureLow, sureHigh;
    const VecD low = PowerTimesFactor(WidenHalf<0>(m), WidenHalf<0>(e), p, factor, sureLow);
    const VecD high =
        PowerTimesFactor(WidenHalf<kHalf>(m), WidenHalf<kHalf>(e), p, factor, sureHigh);
    const VecF magnitude = Joined<VecF>(__builtin_convertvector(low, HalfF),
                                        __builtin_convertvector(high, HalfF), kAllLanes);
    const VecI sure = Joined<VecI>(__builtin_convertvector(sureLow, HalfI),
                                   __builtin_convertvector(sureHigh, HalfI), kAllLanes);

    // The sign of a negative response restored; zeros from the precomputed results.
    const VecI sign = reinterpret_cast<VecI>(b) & static_cast<std::int32_t>(0x80000000u);
    const VecF withSign = reinterpret_cast<VecF>(reinterpret_cast<VecI>(magnitude) | sign);
    const VecI zero = bits == 0;
    const VecF zeros = sign != 0 ? Splat(law.ofNegativeZero) : Splat(law.ofZero);
    return {zero ? zeros : withSign, ~((sure & normal) | zero)};
}

// Replaces the unsure lanes of `powers` with the reference; returns how many there were.
inline int Settle(VecF b, BluePowers& powers, const BluePowerLaw& law) {
    if (!AnyLane(powers.unsure)) return 0;
    int settled = 0;
    for (int l = 0; l < kLanes; ++l)
        if (powers.unsure[l]) {
            powers.value[l] = BradfordBluePowerOf(b[l], law.exponent, law.factor);
            ++settled;
        }
    return settled;
}

std::size_t BluePowersOfArray(const float* b, float* out, std::size_t count,
                              const BluePowerLaw& law) {
    std::size_t settled = 0;
    for (std::size_t i = 0; i + kLanes <= count; i += kLanes) {
        const VecF v = Load(b + i);
        BluePowers powers = BluePowersOf(v, law);
        settled += Settle(v, powers, law);
        Store(out + i, powers.value);
    }
    return settled;
}

// --- Whole triples ---------------------------------------------------------------------------

// Component C of the kLanes triples in v0, v1, v2 (3 kLanes consecutive floats): first the
// elements that lie in v0 and v1, then those in v2.
template <int C, int... L>
VecF Component(VecF v0, VecF v1, VecF v2, std::integer_sequence<int, L...>) {
    const VecF first = __builtin_shufflevector(v0, v1, (3 * L + C < 2 * kLanes ? 3 * L + C : 0)...);
    return __builtin_shufflevector(first, v2, (3 * L + C < 2 * kLanes ? L : 3 * L + C - kLanes)...);
}

// Vector K of the interleaved triples (X, Y, Z): first the X and Y elements, then the Z ones.
template <int K, int... L>
VecF Interleaved(VecF X, VecF Y, VecF Z, std::integer_sequence<int, L...>) {
    const VecF xy =
        __builtin_shufflevector(X, Y,
                                ((K * kLanes + L) % 3 == 0   ? (K * kLanes + L) / 3
                                 : (K * kLanes + L) % 3 == 1 ? kLanes + (K * kLanes + L) / 3
                                                             : 0)...);
    return __builtin_shufflevector(
        xy, Z, ((K * kLanes + L) % 3 == 2 ? kLanes + (K * kLanes + L) / 3 : L)...);
}

// Adapts the whole groups of triples, the blue responses by blue(B); returns how many
// triples that was.
template <typename Blue>
std::uint32_t AdaptGroupsWith(float luminance, float red, float green, Blue blue, float* colours,
                              std::uint32_t count) {
    const std::uint32_t groups = count / kLanes;
    const VecF zero = {};
    for (std::uint32_t g = 0; g < groups; ++g, colours += 3 * kLanes) {
        const VecF v0 = Load(colours), v1 = Load(colours + kLanes), v2 = Load(colours + 2 * kLanes);
        const VecF X = Component<0>(v0, v1, v2, kAllLanes);
        const VecF Y = Component<1>(v0, v1, v2, kAllLanes);
        const VecF Z = Component<2>(v0, v1, v2, kAllLanes);

        // Bradford responses of (X/Y, 1, Z/Y); zero below the luminance floor.
        const VecF x = X / Y;
        const VecF z = Z / Y;
        const VecI dark = Y < 0.0001f;
        const VecF R = dark ? zero : (0.8951f * x + 0.2664f) - 0.1614f * z;
        const VecF G = dark ? zero : (1.7135f - 0.7502f * x) + 0.0367f * z;
        const VecF B = dark ? zero : (0.0389f * x - 0.0685f) + 1.0296f * z;

        const VecF Rc = red * R;
        const VecF Gc = green * G;
        const VecF Bc = blue(B);

        const VecF scale = luminance * Y;
        const VecF Xo = ((0.9869929f * Rc - 0.14705426f * Gc) + 0.15996265f * Bc) * scale;
        const VecF Yo = ((0.43230528f * Rc + 0.51836026f * Gc) + 0.049291227f * Bc) * scale;
        const VecF Zo = ((0.04004282f * Gc - 0.008528665f * Rc) + 0.96848667f * Bc) * scale;
        Store(colours, Interleaved<0>(Xo, Yo, Zo, kAllLanes));
        Store(colours + kLanes, Interleaved<1>(Xo, Yo, Zo, kAllLanes));
        Store(colours + 2 * kLanes, Interleaved<2>(Xo, Yo, Zo, kAllLanes));
    }
    return groups * kLanes;
}

std::uint32_t AdaptGroups(const BradfordFactors& f, const BluePowerLaw& law, float* colours,
                          std::uint32_t count) {
    return AdaptGroupsWith(
        f.luminance, f.red, f.green,
        [&law](VecF B) {
            BluePowers blue = BluePowersOf(B, law);
            Settle(B, blue, law);
            return blue.value;
        },
        colours, count);
}

std::uint32_t AdaptLinearGroups(const LinearBradfordFactors& f, float* colours,
                                std::uint32_t count) {
    return AdaptGroupsWith(
        f.luminance, f.red, f.green, [&f](VecF B) { return f.blue * B; }, colours, count);
}

}  // namespace BP_KERNEL_NAMESPACE
