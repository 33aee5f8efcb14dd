/*
 * The converter's template names no font, so a desktop Windows would draw
 * it in its bold system font, far wider than the handheld's, and cut labels
 * short. The dialog is made from a copy of the
 * template that names the shell dialog font instead: every dialog unit then
 * follows that font, so the layout keeps its proportions, and the font
 * follows the monitor's DPI. In
 * the copy each label also reaches as far right as its row leaves room for,
 * since a font's text need not fit the handheld's widths ("HSV color:" is
 * 52 pixels of Tahoma at 96 DPI, its 34 dialog units 51; 10 cells of a
 * terminal, its 34 dialog units 9). Every screen gets the copy: the
 * platform lays out whatever font a template names in its own dialog font.
 * Resource 101 itself is left as it is.
 */
#include "app/dialog_font.h"

#include <string.h>

static const WCHAR ShellDialogFace[] = {'M', 'S', ' ', 'S', 'h', 'e', 'l', 'l', ' ', 'D', 'l', 'g', 0};
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

/* One item of a classic template: its fixed part, where it starts. */
typedef struct {
    DWORD style, exStyle;
    short x, y, cx, cy;
} ItemGeometry;

/* The start of each of `count` items from `start`, DWORD-aligned, into
 * `items` (at most `most`); the number found whole before `end`. */
static int FindItems(BYTE *copy, DWORD start, DWORD end, int count, BYTE **items, int most)
{
    DWORD at = start;
    int found = 0;
    while (found < count && found < most && at + 18 <= end) {
        items[found++] = copy + at;
        const WORD *stop = (const WORD *)(copy + end);
        const WORD *p = SkipNameOrOrdinal((const WORD *)(copy + at + 18), stop); /* class */
        p = SkipNameOrOrdinal(p, stop);                                          /* title */
        if (p >= stop) break;
        const DWORD extra = *p++;
        at = ((DWORD)((const BYTE *)p - copy) + extra + 3) & ~3u;
    }
    return found;
}

static ItemGeometry GeometryOf(const BYTE *item)
{
    ItemGeometry g;
    memcpy(&g, item, sizeof g);
    return g;
}

/* A left-aligned static text: class ordinal 0x0082 with SS_LEFT. */
static int IsLabel(const BYTE *item)
{
    WORD kind[2];
    memcpy(kind, item + 18, sizeof kind);
    return kind[0] == 0xFFFF && kind[1] == 0x0082 && (GeometryOf(item).style & SS_TYPEMASK) == SS_LEFT;
}

/* Each label reaches right to the first control beside it on its rows, or
 * to the dialog's right margin, as wide as the left one. */
static void WidenLabels(BYTE *copy, DWORD start, DWORD end, int count, short dialogWidth)
{
    BYTE *items[32];
    const int n = FindItems(copy, start, end, count, items, 32);
    short margin = dialogWidth;
    for (int i = 0; i < n; i++)
        if (GeometryOf(items[i]).x < margin) margin = GeometryOf(items[i]).x;
    for (int i = 0; i < n; i++) {
        if (!IsLabel(items[i])) continue;
        ItemGeometry label = GeometryOf(items[i]);
        short right = (short)(dialogWidth - margin);
        for (int j = 0; j < n; j++) {
            const ItemGeometry other = GeometryOf(items[j]);
            const int beside = j != i && other.y < label.y + label.cy && label.y < other.y + other.cy &&
                               other.x >= label.x + label.cx;
            if (beside && other.x < right) right = other.x;
        }
        if (right > label.x + label.cx) {
            label.cx = (short)(right - label.x);
            memcpy(items[i], &label, sizeof label);
        }
    }
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
    memset(copy, 0, sizeof TemplateCopy);
    memcpy(copy, source, headerSize);
    ((DLGTEMPLATE *)copy)->style |= DS_SETFONT;
    memcpy(copy + headerSize, &ShellDialogPoints, sizeof ShellDialogPoints);
    memcpy(copy + headerSize + sizeof ShellDialogPoints, ShellDialogFace, sizeof ShellDialogFace);
    /* Items begin on a DWORD boundary; moving them by a whole number of
     * DWORDs keeps each one's own alignment. */
    memcpy(copy + newItemsStart, source + itemsStart, size - itemsStart);
    WidenLabels(copy, newItemsStart, newItemsStart + (size - itemsStart), dialogTemplate->cdit,
                dialogTemplate->cx);
    return (LPCDLGTEMPLATEW)copy;
}
