/*
 * Windows only: the converter's template names no font, so a desktop
 * Windows would draw it in its bold system font, far wider than the
 * handheld's, and cut labels short. The dialog is made from a copy of the
 * template that names the shell dialog font instead: every dialog unit then
 * follows that font, so the layout keeps its proportions, and the font
 * follows the monitor's DPI. Resource 101 itself is left as it is.
 */
#include "app/dialog_font.h"

static const WCHAR ShellDialogFace[] = L"MS Shell Dlg";
static const WORD ShellDialogPoints = 8;

/* Room for the template with its font: DWORDs, so items stay aligned. */
static DWORD TemplateCopy[512];

/* Past a menu or class field (0xFFFF and an ordinal, or a string) or a
 * title (a string). */
static const WORD *SkipNameOrOrdinal(const WORD *p, const WORD *end)
{
    if (p < end && *p == 0xFFFF) return p + 2;
    while (p < end && *p != 0) p++;
    return p + 1;
}

LPCDLGTEMPLATEW WithShellDialogFont(LPCDLGTEMPLATEW dialogTemplate, DWORD size)
{
    const BYTE *source = (const BYTE *)dialogTemplate;
    const WORD *words = (const WORD *)source;
    const WORD *end = (const WORD *)(source + size);
    if (size < 18 || (words[0] == 1 && words[1] == 0xFFFF)) return dialogTemplate;  /* DLGTEMPLATEEX */
    if (dialogTemplate->style & DS_SETFONT) return dialogTemplate;

    /* The header: style, extended style, count, position and size; then
     * menu, class and title. The font goes right after the title. */
    const WORD *p = (const WORD *)(source + 18);
    p = SkipNameOrOrdinal(p, end);                 /* menu */
    p = SkipNameOrOrdinal(p, end);                 /* class */
    p = SkipNameOrOrdinal(p, end);                 /* title */
    if (p > end) return dialogTemplate;
    const DWORD headerSize = (DWORD)((const BYTE *)p - source);
    const DWORD itemsStart = (headerSize + 3) & ~3u;
    const DWORD fontSize = sizeof ShellDialogPoints + sizeof ShellDialogFace;
    const DWORD newItemsStart = (headerSize + fontSize + 3) & ~3u;
    if (itemsStart > size || newItemsStart + (size - itemsStart) > sizeof TemplateCopy) return dialogTemplate;

    BYTE *copy = (BYTE *)TemplateCopy;
    ZeroMemory(copy, sizeof TemplateCopy);
    CopyMemory(copy, source, headerSize);
    ((DLGTEMPLATE *)copy)->style |= DS_SETFONT;
    CopyMemory(copy + headerSize, &ShellDialogPoints, sizeof ShellDialogPoints);
    CopyMemory(copy + headerSize + sizeof ShellDialogPoints, ShellDialogFace, sizeof ShellDialogFace);
    /* Items begin on a DWORD boundary; moving them by a whole number of
     * DWORDs keeps each one's own alignment. */
    CopyMemory(copy + newItemsStart, source + itemsStart, size - itemsStart);
    return (LPCDLGTEMPLATEW)copy;
}
