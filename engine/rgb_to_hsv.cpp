/*
 * RGB to HSV: value and normalisation, saturation and stretch, then the hue
 * read off the stretched colour by a chain of exact-equality rules.
 */
#include "conversion.h"
#include "numeric.h"

/* Value is the largest byte; the colour is scaled so that component becomes
 * exactly 255.0. Multiplying before dividing keeps every result a whole
 * number equal to (c * 255) div V. */
static void FindValue(void)
{
    CONVERSIONRECORD *st = &ConversionState;
    unsigned char v = st->R;
    if (st->G > v) v = st->G;
    if (st->B > v) v = st->B;
    st->V = v;

    if (v == 0) {
        st->WorkingTriple[0] = 0.0;
        st->WorkingTriple[1] = 0.0;
        st->WorkingTriple[2] = 0.0;
        return;
    }
    const double scale = (double)v;
    st->WorkingTriple[0] = Floor((double)st->R * FullScale / scale);
    st->WorkingTriple[1] = Floor((double)st->G * FullScale / scale);
    st->WorkingTriple[2] = Floor((double)st->B * FullScale / scale);
}

/* Saturation is 255 less the smallest working value; the colour is then
 * stretched so that its smallest component is 0.0 and its largest 255.0.
 *
 * The stretch multiplies by 255 before dividing by S. Multiplying by a
 * precomputed 255/S instead leaves the largest component one unit in the
 * last place off 255.0 for 67 saturations, and those colours would then
 * reach no hue rule at all and show a stale hue. Wherever both forms reach
 * a rule they give the same hue. */
static inline double Stretch(double c, double s)
{
    const double shifted = (s + c) - FullScale;
    return shifted * FullScale / s;
}

static void FindSaturation(void)
{
    CONVERSIONRECORD *st = &ConversionState;
    const double r = st->WorkingTriple[0];
    const double g = st->WorkingTriple[1];
    const double b = st->WorkingTriple[2];

    if (r <= g && r <= b) st->S = FloorToByte(FullScale - r);
    if (g <= r && g <= b) st->S = FloorToByte(FullScale - g);
    if (b <= r && b <= g) st->S = FloorToByte(FullScale - b);
    if (r == 0.0 && g == 0.0 && b == 0.0) st->S = 0;

    if (st->S == 0)
        return;
    const double s = (double)st->S;
    st->WorkingTriple[0] = Stretch(r, s);
    st->WorkingTriple[1] = Stretch(g, s);
    st->WorkingTriple[2] = Stretch(b, s);
}

/* Every rule that holds overwrites H, so a later rule wins; when none holds
 * H keeps what the last conversion left. Rising hues round up, falling hues
 * round down, and the product with 1/6 is always formed before the border
 * is added or subtracted. */
static void FindHue(void)
{
    CONVERSIONRECORD *st = &ConversionState;
    const double r = st->WorkingTriple[0];
    const double g = st->WorkingTriple[1];
    const double b = st->WorkingTriple[2];
    const double t = Reciprocal6;

    if (r == 255.0 && b == 0.0)                     /* red to yellow */
        st->H = CeilToByte(g * t);
    if (g == 255.0 && b == 0.0)                     /* yellow to green */
        st->H = FloorToByte(Border2 - r * t);
    if (r == 0.0) {
        if (g == 255.0)                             /* green to cyan */
            st->H = CeilToByte(b * t + Border2);
        if (b == 255.0)                             /* cyan to blue */
            st->H = FloorToByte(Border4 - g * t);
    }
    if (g == 0.0 && b == 255.0)                     /* blue to magenta */
        st->H = CeilToByte(r * t + Border4);
    if (r == 255.0) {
        if (g == 0.0)                               /* magenta to red */
            st->H = FloorToByte(WheelTop - b * t);
        if (g == 0.0 && b == 0.0)                   /* pure red */
            st->H = 0;
        if (g == 255.0 && b == 0.0)                 /* pure yellow */
            st->H = FloorToByte(Border1);
    }
    if (r == 0.0) {
        if (g == 255.0 && b == 0.0)                 /* pure green */
            st->H = FloorToByte(Border2);
        if (g == 255.0 && b == 255.0)               /* pure cyan */
            st->H = FloorToByte(Border3);
        if (g == 0.0 && b == 255.0)                 /* pure blue */
            st->H = FloorToByte(Border4);
    }
    if (r == 255.0 && g == 0.0 && b == 255.0)       /* pure magenta */
        st->H = FloorToByte(Border5);
    if (r == g && g == b)                           /* black, white, greys */
        st->H = 0;
}

void RgbToHsv(int red, int green, int blue, int *hue, int *saturation, int *value)
{
    if (hue == 0 || saturation == 0 || value == 0)
        return;

    ConversionState.R = (unsigned char)(red & 0xFF);
    ConversionState.G = (unsigned char)(green & 0xFF);
    ConversionState.B = (unsigned char)(blue & 0xFF);
    FindValue();
    FindSaturation();
    FindHue();
    *hue = ConversionState.H;
    *saturation = ConversionState.S;
    *value = ConversionState.V;
}
