/* Plays a recorded movie (or ten frames of a camera) through the ironbow palette and saves the
 * last picture as a BMP. Build: cc zelir_example.c $(pkg-config --cflags --libs zelir) */
#include <locale.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <wchar.h>
#include <zelir/zelir.h>

int main(int argc, char** argv) {
    const char* source = argc > 1 ? argv[1] : "build/samples/sample.irm"; /* or "cam://0" */
    const char* picture = argc > 2 ? argv[2] : "last_frame.bmp";
    wchar_t path[1024], out[1024];
    setlocale(LC_ALL, "");
    if (mbstowcs(path, source, 1024) >= 1024 || mbstowcs(out, picture, 1024) >= 1024) return 2;

    ZelIr_Init();
    ZelIrHandle h =
        strstr(source, "://") ? ZelIr_OpenDevice(path, NULL) : ZelIr_MovieFileOpen(path);
    if (h == NULL) {
        fprintf(stderr, "cannot open %s (ZELIR_DEBUG=1 tells why)\n", source);
        return 1;
    }
    uint32_t w = 0, ht = 0;
    ZelIr_GetDigitArrayPara(h, &w, &ht);
    uint32_t frames = ZelIr_GetHandleType(h) == 2 ? ZelIr_MovieGetTotalFrm(h) : 10;
    uint16_t* digits = malloc((size_t)w * ht * 2);
    uint8_t* image = malloc((size_t)w * ht);
    uint8_t table[1024];           /* 256 x blue, green, red, 0 */
    ZelIr_SetPalette(h, 1, table); /* ironbow */

    /* A movie: ZelIr_MovieForward(h, 0) fetches frame 0, each ZelIr_GetNewArray the next one.
     * A camera: each ZelIr_GetNewArray fetches the newest frame. */
    int fetched = ZelIr_GetHandleType(h) == 2 ? ZelIr_MovieForward(h, 0) : ZelIr_GetNewArray(h);
    uint32_t shown = 0;
    while (fetched && shown < frames) {
        ZelIr_GetDigitArray(h, digits, NULL);                /* raw 16-bit values */
        ZelIr_DigitArrayToBmp(h, digits, image, 0, 0, NULL); /* 8-bit, rows bottom-up */
        ++shown; /* ... show `image` through `table` ... */
        fetched = shown < frames && ZelIr_GetNewArray(h);
    }
    size_t coloured = 0;
    for (size_t i = 0; i < (size_t)w * ht; ++i) {
        const uint8_t* c = table + 4 * image[i];
        coloured += c[0] != c[1] || c[1] != c[2];
    }
    printf("%u frames of %u x %u, %zu%% of the last picture in colour\n", shown, w, ht,
           coloured * 100 / ((size_t)w * ht));
    int saved = ZelIr_SaveCurrImageAsBmp(h, out);
    free(digits);
    free(image);
    ZelIr_Close(h); /* stores the display settings (para.ini) */
    return saved ? 0 : 1;
}
