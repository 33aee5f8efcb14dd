/* A program of a library user's: librgbhsv found through pkg-config or
 * CMake, a few colours converted both ways, packed and as an image in blue
 * first order. */
#include <rgbhsv.h>
#include <stdio.h>

int main(void)
{
    const uint8_t rgb[6] = {255, 200, 0, 12, 34, 56};
    const uint8_t bgr[6] = {0, 200, 255, 56, 34, 12};
    uint8_t hsv[6], back[6], from_image[6];
    rgbhsv_rgb_to_hsv(rgb, hsv, 2);
    rgbhsv_hsv_to_rgb(hsv, back, 2);
    rgbhsv_rgb_to_hsv_image(bgr, 6, from_image, 6, 2, 1, RGBHSV_BGR, 0);
    for (int i = 0; i < 6; i += 3)
        printf("%d %d %d -> %d %d %d -> %d %d %d; from BGR %d %d %d\n", rgb[i], rgb[i + 1], rgb[i + 2], hsv[i],
               hsv[i + 1], hsv[i + 2], back[i], back[i + 1], back[i + 2], from_image[i], from_image[i + 1],
               from_image[i + 2]);
    return 0;
}
