/*
 * Arithmetic rules shared by both directions: the stored constants and the
 * double-to-byte step. Private to the engine.
 *
 * Every result depends on the last bit of an intermediate double, so each
 * operation must be one IEEE double operation rounded on its own: no fused
 * multiply-add, no wider intermediates, no algebraic rewriting. The build puts
 * the matching flags on the engine; the checks below stop a build in which
 * they could not take effect.
 */
#ifndef RGBHSV_ENGINE_NUMERIC_H
#define RGBHSV_ENGINE_NUMERIC_H

#if defined(__clang__)
#pragma STDC FP_CONTRACT OFF
#endif

#if defined(__FLT_EVAL_METHOD__) && __FLT_EVAL_METHOD__ != 0
#error "The conversion engine needs plain double arithmetic (FLT_EVAL_METHOD 0); on 32-bit x86 build it with -msse2 -mfpmath=sse, not the x87 unit."
#endif

#if defined(__FAST_MATH__)
#error "The conversion engine cannot be built with -ffast-math: its results depend on every rounding."
#endif

#if defined(_MSC_VER) && defined(_M_IX86_FP) && _M_IX86_FP < 2
#error "The conversion engine needs SSE2 double arithmetic on 32-bit x86 (/arch:SSE2)."
#endif

/* The doubles nearest to the stated fractions. Each division below is a
 * single correctly rounded operation, done once by the compiler. */
static const double Reciprocal255 = 1.0 / 255.0;   /* 0.00392156862745098 */
static const double Reciprocal6   = 1.0 / 6.0;     /* 0.16666666666666666 */
static const double Border1       = 256.0 / 6.0;   /* 42.666666666666664 */
static const double Border2       = 512.0 / 6.0;   /* 85.33333333333333 */
static const double Border3       = 768.0 / 6.0;   /* 128.0 */
static const double Border4       = 1024.0 / 6.0;  /* 170.66666666666666 */
static const double Border5       = 1280.0 / 6.0;  /* 213.33333333333334 */
static const double WheelTop      = 1536.0 / 6.0;  /* 256.0 */
static const double SectorSlope   = 6.0;
static const double FullScale     = 255.0;

/* Rounding. Every argument the engine rounds lies within 0..256 (no formula
 * can go below zero), and there truncation toward zero is floor. Truncation
 * is a single instruction, where the library's floor must also deal with
 * negative and huge values and, inlined, doubles the length of the engine's
 * longest chain of dependent operations. The tables of every input, checked
 * against digests recorded with the library functions, pin the results. */
static inline double Floor(double x)
{
    return (double)(int)x;
}

static inline double Ceil(double x)
{
    const double whole = (double)(int)x;
    return whole < x ? whole + 1.0 : whole;
}

/* A result becomes a byte by floor or ceil, truncation to an unsigned
 * integer, then its low 8 bits: 256 stores as 0. */
static inline unsigned char FloorToByte(double x)
{
    return (unsigned char)((unsigned int)x & 0xFFu);
}

static inline unsigned char CeilToByte(double x)
{
    return (unsigned char)((unsigned int)Ceil(x) & 0xFFu);
}

#endif
