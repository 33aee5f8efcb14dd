/*
 * The converter's template in the desktop's dialog font, its labels as
 * wide as their rows allow.
 */
#ifndef RGBHSV_APP_DIALOG_FONT_H
#define RGBHSV_APP_DIALOG_FONT_H

#include <windows.h>

/* A copy of a classic dialog template that names the shell dialog font,
 * 8 points, with each SS_LEFT label widened to the room beside it, in a
 * buffer that lives as long as the program; the template
 * itself if it already names a font, is an extended template, or does not
 * fit the buffer. */
LPCDLGTEMPLATEW WithShellDialogFont(LPCDLGTEMPLATEW dialogTemplate, DWORD size);

#endif
