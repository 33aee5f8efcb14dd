/*
 * The converter's template with each field named for screen readers on
 * Windows, nothing drawn changed.
 */
#ifndef RGBHSV_APP_FIELD_NAMES_H
#define RGBHSV_APP_FIELD_NAMES_H

#include <windows.h>

/* A copy of a classic dialog template (with or without a font) in which
 * each edit field that ControlNamesTable names is preceded by a hidden
 * static holding that name, in a buffer that lives as long as the program;
 * the template itself if it is an extended one or the copy does not fit. */
LPCDLGTEMPLATEW WithFieldNames(LPCDLGTEMPLATEW dialogTemplate);

#endif
