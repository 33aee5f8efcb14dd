/*
 * HSV to RGB: the pure colour of the hue, blended toward white by the
 * saturation, then scaled by the value into the RGB bytes.
 */
#include "conversion.h"
#include "numeric.h"

/* The fully saturated colour of the hue. Within each component's group the
 * ranges do not overlap and cover the wheel; falling slopes round up and
 * rising slopes round down. The border is subtracted first, then the slope
 * applied, then (when falling) the result taken from 255. */
static void PureColourOfHue(void)
{
    CONVERSIONRECORD *st = &ConversionState;
    const double h = (double)st->H;
    double r, g, b;

    if (h <= Border1 || h > Border5)
        r = FullScale;
    else if (h > Border2 && h <= Border4)
        r = 0.0;
    else if (h > Border1 && h <= Border2)
        r = Ceil(FullScale - (h - Border1) * SectorSlope);
    else
        r = Floor((h - Border4) * SectorSlope);

    if (h > Border1 && h <= Border3)
        g = FullScale;
    else if (h > Border4)
        g = 0.0;
    else if (h > Border3)
        g = Ceil(FullScale - (h - Border3) * SectorSlope);
    else
        g = Floor(h * SectorSlope);

    if (h > Border3 && h <= Border5)
        b = FullScale;
    else if (h <= Border2)
        b = 0.0;
    else if (h > Border5)
        b = Ceil(FullScale - (h - Border5) * SectorSlope);
    else
        b = Floor((h - Border2) * SectorSlope);

    /* Only blue at hue 128 overshoots: floor((128 - 512/6) * 6) is 256. */
    st->WorkingTriple[0] = FullScale < r ? FullScale : r;
    st->WorkingTriple[1] = FullScale < g ? FullScale : g;
    st->WorkingTriple[2] = FullScale < b ? FullScale : b;
}

/* Blend toward white: c becomes S/255 * c + (255 - S), multiply then add,
 * each rounded on its own. */
static void ApplySaturation(void)
{
    CONVERSIONRECORD *st = &ConversionState;
    const double u = (double)st->S * Reciprocal255;
    const double w = (double)(int)(255 - st->S);
    for (int i = 0; i < 3; i++) {
        const double product = u * st->WorkingTriple[i];
        st->WorkingTriple[i] = product + w;
    }
}

/* Scale by the value; 1/255 is a stored reciprocal, so some greys land one
 * step short (value 33 gives 32). */
static void ApplyValue(void)
{
    CONVERSIONRECORD *st = &ConversionState;
    const double f = (double)st->V * Reciprocal255;
    st->R = FloorToByte(f * st->WorkingTriple[0]);
    st->G = FloorToByte(f * st->WorkingTriple[1]);
    st->B = FloorToByte(f * st->WorkingTriple[2]);
}

void HsvToRgb(int hue, int saturation, int value, int *red, int *green, int *blue)
{
    if (red == 0 || green == 0 || blue == 0)
        return;

    ConversionState.H = (unsigned char)(hue & 0xFF);
    ConversionState.S = (unsigned char)(saturation & 0xFF);
    ConversionState.V = (unsigned char)(value & 0xFF);
    PureColourOfHue();
    ApplySaturation();
    ApplyValue();
    *red = ConversionState.R;
    *green = ConversionState.G;
    *blue = ConversionState.B;
}
