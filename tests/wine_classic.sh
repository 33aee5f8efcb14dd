# Sourced by the tests that hold a screen to the Windows build's pixels:
# makes $WINEPREFIX a Windows machine of the classic look (Wine's fonts in
# C:\windows\Fonts, the classic colours, no theme, a caret that does not
# blink) and gives `reg` for the settings each test changes. Needs $wine.
[ -d "$WINEPREFIX" ] || "$wine" wineboot -i > /dev/null 2>&1
for font in /usr/share/wine/fonts/*.ttf; do
  cmp -s "$font" "$WINEPREFIX/drive_c/windows/Fonts/$(basename "$font")" || cp "$font" "$WINEPREFIX/drive_c/windows/Fonts/"
done
reg() { "$wine" reg add "$1" /v "$2" /t "$3" /d "$4" /f > /dev/null 2>&1; }
while read -r name colour; do
  reg 'HKCU\Control Panel\Colors' "$name" REG_SZ "$colour"
done << 'EOF'
ActiveTitle 0 0 128
TitleText 255 255 255
ButtonFace 192 192 192
ButtonHilight 255 255 255
ButtonLight 192 192 192
ButtonShadow 128 128 128
ButtonDkShadow 0 0 0
ButtonText 0 0 0
GrayText 128 128 128
Hilight 0 0 128
HilightText 255 255 255
Window 255 255 255
WindowText 0 0 0
WindowFrame 0 0 0
EOF
reg 'HKCU\Software\Microsoft\Windows\CurrentVersion\ThemeManager' ThemeActive REG_SZ 0
"$wine" reg delete 'HKCU\Software\Microsoft\Windows\CurrentVersion\ThemeManager' /v DllName /f > /dev/null 2>&1
reg 'HKCU\Control Panel\Desktop' CursorBlinkRate REG_SZ -1
# A new prefix applies its default theme at its first start unless the
# settings above are saved first, as the server does when it ends.
/usr/lib/wine/wineserver -w

