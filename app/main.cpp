/*
 * The program's entry point: shows the converter dialog modally and ends
 * with its result.
 */
#include <windows.h>

#include "app/dialog_font.h"
#include "app/field_names.h"
#include "dialog/controller.h"
#include "resources/resource.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show)
{
    HRSRC resource = FindResourceW(instance, MAKEINTRESOURCEW(IDD_CONVERTER), RT_DIALOG);
    HGLOBAL dialogTemplate = LoadResource(instance, resource);
    /* A desktop's system font is wider than the handheld's: see dialog_font. */
    dialogTemplate = (HGLOBAL)WithShellDialogFont((LPCDLGTEMPLATEW)dialogTemplate, SizeofResource(instance, resource));
    /* Each field named for screen readers: see field_names. */
    dialogTemplate = (HGLOBAL)WithFieldNames((LPCDLGTEMPLATEW)dialogTemplate);

    (void)previous;
    (void)commandLine;
    (void)show;
    return (int)DialogBoxIndirectParamW(instance, (LPCDLGTEMPLATEW)dialogTemplate, NULL, ConverterDialogProc, 0);
}
