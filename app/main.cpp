/*
 * The program's entry point: shows the converter dialog modally and ends
 * with its result.
 */
#include <windows.h>

#include "dialog/controller.h"
#include "resources/resource.h"
#ifdef _WIN32
#include "app/dialog_font.h"
#endif

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show)
{
    HRSRC resource = FindResourceW(instance, MAKEINTRESOURCEW(IDD_CONVERTER), RT_DIALOG);
    HGLOBAL dialogTemplate = LoadResource(instance, resource);
#ifdef _WIN32
    /* A desktop's system font is wider than the handheld's: see dialog_font. */
    dialogTemplate = (HGLOBAL)WithShellDialogFont((LPCDLGTEMPLATEW)dialogTemplate, SizeofResource(instance, resource));
#endif

    (void)previous;
    (void)commandLine;
    (void)show;
    return (int)DialogBoxIndirectParamW(instance, (LPCDLGTEMPLATEW)dialogTemplate, NULL, ConverterDialogProc, 0);
}
