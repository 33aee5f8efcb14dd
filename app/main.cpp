/*
 * The program's entry point: shows the converter dialog modally and ends
 * with its result.
 */
#include <windows.h>

#include "dialog/controller.h"
#include "resources/resource.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show)
{
    HRSRC resource = FindResourceW(instance, MAKEINTRESOURCEW(IDD_CONVERTER), RT_DIALOG);
    HGLOBAL dialogTemplate = LoadResource(instance, resource);

    (void)previous;
    (void)commandLine;
    (void)show;
    return (int)DialogBoxIndirectParamW(instance, (LPCDLGTEMPLATEW)dialogTemplate, NULL, ConverterDialogProc, 0);
}
