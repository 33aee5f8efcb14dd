/*
 * Windows's screen readers (and Wine's oleacc) name an edit field after the
 * static text just before it in window order, which is the template's. The
 * template puts the row labels after the fields they name, so red, green
 * and blue would have no name and hue, saturation and value the licence
 * line's. The dialog is made from a copy in which each field has, just
 * before it, a static of its own holding its name, never shown: the
 * dialog's pixels, its tab order and its procedure are as they were, and
 * resource 101 is left as it is.
 */
#include "app/field_names.h"

#include <string.h>

#include "app/control_names.h"

/* Room for the template with six more items: DWORDs, so items stay
 * aligned. */
static DWORD NamedCopy[1024];

/* Past a menu, class or title field: 0xFFFF and an ordinal, or a string. */
static const WORD *SkipField(const WORD *p)
{
    if (*p == 0xFFFF) return p + 2;
    while (*p != 0) p++;
    return p + 1;
}

static const BYTE *Aligned(const BYTE *base, const BYTE *p)
{
    return base + (((DWORD)(p - base) + 3) & ~3u);
}

/* The name the table gives an edit field's item, or none. */
static const char *NameOfField(const BYTE *item)
{
    WORD id, kind[2];
    memcpy(&id, item + 16, sizeof id);
    memcpy(kind, item + 18, sizeof kind);
    if (kind[0] != 0xFFFF || kind[1] != 0x0081) return NULL;
    for (size_t i = 0; i < sizeof ControlNamesTable / sizeof ControlNamesTable[0]; i++)
        if (ControlNamesTable[i].id == (short)id) return ControlNamesTable[i].name;
    return NULL;
}

/* A hidden static at the field's place, holding `name`, at `out`; where
 * it ends. */
static BYTE *PutNameItem(BYTE *out, const BYTE *field, const char *name)
{
    const DWORD style = WS_CHILD | SS_LEFT | SS_NOPREFIX, exStyle = 0;
    const WORD id = 0xFFFF, kind[2] = {0xFFFF, 0x0082};
    memcpy(out, &style, 4);
    memcpy(out + 4, &exStyle, 4);
    memcpy(out + 8, field + 8, 8); /* x, y, cx, cy */
    memcpy(out + 16, &id, 2);
    memcpy(out + 18, kind, 4);
    WORD *text = (WORD *)(out + 22);
    while (*name) *text++ = (WORD)(unsigned char)*name++;
    *text++ = 0;
    *text++ = 0; /* no creation data */
    return (BYTE *)text;
}

LPCDLGTEMPLATEW WithFieldNames(LPCDLGTEMPLATEW dialogTemplate)
{
    const BYTE *source = (const BYTE *)dialogTemplate;
    const WORD *words = (const WORD *)source;
    if (words[0] == 1 && words[1] == 0xFFFF) return dialogTemplate; /* DLGTEMPLATEEX */

    /* The header: style, extended style, count, position and size; menu,
     * class and title; the font where DS_SETFONT names one. */
    const WORD *p = SkipField(SkipField(SkipField((const WORD *)(source + 18))));
    if (dialogTemplate->style & DS_SETFONT) p = SkipField(p + 1);
    const BYTE *item = Aligned(source, (const BYTE *)p);

    BYTE *copy = (BYTE *)NamedCopy;
    const BYTE *limit = copy + sizeof NamedCopy - 256; /* room for one item more */
    memset(copy, 0, sizeof NamedCopy);
    memcpy(copy, source, (size_t)(item - source));
    BYTE *out = copy + (item - source);
    WORD added = 0;
    for (WORD i = 0; i < dialogTemplate->cdit; i++) {
        const WORD *q = SkipField(SkipField((const WORD *)(item + 18))); /* class, title */
        const BYTE *end = (const BYTE *)(q + 1) + *q;                     /* creation data */
        if (out + (end - item) > limit) return dialogTemplate;
        const char *name = NameOfField(item);
        if (name) {
            out = (BYTE *)Aligned(copy, PutNameItem(out, item, name));
            added++;
        }
        memcpy(out, item, (size_t)(end - item));
        out = (BYTE *)Aligned(copy, out + (end - item));
        item = Aligned(source, end);
    }
    ((DLGTEMPLATE *)copy)->cdit = (WORD)(dialogTemplate->cdit + added);
    return (LPCDLGTEMPLATEW)copy;
}
