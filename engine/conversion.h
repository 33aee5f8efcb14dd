/*
 * The colour conversion engine: one shared working record and the two entry
 * operations that convert between RGB and the byte-wide HSV model through it.
 * Every result is fixed to the last bit of IEEE double arithmetic; nothing here
 * knows about windows, terminals or files.
 */
#ifndef RGBHSV_ENGINE_CONVERSION_H
#define RGBHSV_ENGINE_CONVERSION_H

/* The working record both directions share. Bytes hold the components on
 * 0..255 (hue on a wheel of 256 steps); WorkingTriple holds the intermediate
 * red, green and blue on a 0..255 scale. */
typedef struct CONVERSIONRECORD {
    unsigned char R;
    unsigned char G;
    unsigned char B;
    unsigned char H;
    unsigned char S;
    unsigned char V;
    double WorkingTriple[3];
} CONVERSIONRECORD;

/* The one instance, zero at start and never reset: H in particular carries
 * over from one conversion to the next, in either direction. */
extern CONVERSIONRECORD ConversionState;

/* Inputs are stored as their low 8 bits. If any output pointer is null the
 * call does nothing at all: no input is stored and no stage runs. */
void RgbToHsv(int red, int green, int blue, int *hue, int *saturation, int *value);
void HsvToRgb(int hue, int saturation, int value, int *red, int *green, int *blue);

#endif
