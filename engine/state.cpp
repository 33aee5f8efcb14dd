/*
 * The engine's one working record. Static storage makes it zero at start;
 * nothing ever resets it.
 */
#include "conversion.h"

CONVERSIONRECORD ConversionState;
