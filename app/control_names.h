/*
 * What a screen reader calls the controls that have no text of their own:
 * each field by its column and its row's label, and the swatch, to whose
 * name a screen adds its colour. One table for every screen.
 */
#ifndef RGBHSV_APP_CONTROL_NAMES_H
#define RGBHSV_APP_CONTROL_NAMES_H

#include "resources/resource.h"

typedef struct {
    int id;
    const char *name;
} ControlNameEntry;

static const ControlNameEntry ControlNamesTable[] = {
    {IDC_RED, "Red, RGB color"},
    {IDC_GREEN, "Green, RGB color"},
    {IDC_BLUE, "Blue, RGB color"},
    {IDC_HUE, "Hue, HSV color"},
    {IDC_SAT, "Saturation, HSV color"},
    {IDC_VAL, "Value, HSV color"},
    {IDC_SWATCH, "Colour swatch"},
};

#endif
