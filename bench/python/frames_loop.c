/* The baseline of frames_bench.py: the loop of the Python benchmark written in C. Every frame of
 * a movie, PASSES times: fetch, copy the digits out, map them to the 8-bit picture.
 * Prints "frames cpu_seconds wall_seconds". */
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>
#include <wchar.h>
#include <zelir/zelir.h>

static double Seconds(clockid_t clock) {
    struct timespec t;
    clock_gettime(clock, &t);
    return (double)t.tv_sec + (double)t.tv_nsec * 1e-9;
}

int main(int argc, char** argv) {
    if (argc != 3) {
        fprintf(stderr, "usage: frames_loop_c MOVIE PASSES\n");
        return 2;
    }
    wchar_t path[1024];
    if (mbstowcs(path, argv[1], 1024) >= 1024) return 2;
    const int passes = atoi(argv[2]);
    ZelIr_Init();
    ZelIrHandle h = ZelIr_MovieFileOpen(path);
    if (h == NULL) return 1;
    uint32_t w = 0, ht = 0;
    ZelIr_GetDigitArrayPara(h, &w, &ht);
    const uint32_t total = ZelIr_MovieGetTotalFrm(h);
    uint16_t* digits = malloc((size_t)w * ht * 2);
    uint8_t* image = malloc((size_t)w * ht);
    long frames = 0;
    const double cpu = Seconds(CLOCK_PROCESS_CPUTIME_ID), wall = Seconds(CLOCK_MONOTONIC);
    for (int pass = 0; pass < passes; ++pass) {
        /* Frame 0 by moving to it, then one step per new-frame request, as zelir does. */
        const uint32_t position = ZelIr_MovieGetPosi(h);
        int fetched = position > 0 ? ZelIr_MovieBackward(h, position) : ZelIr_MovieForward(h, 0);
        for (uint32_t i = 0; i < total && fetched == 1; ++i, ++frames) {
            ZelIr_GetDigitArray(h, digits, NULL);
            ZelIr_DigitArrayToBmp(h, digits, image, 0, 1, NULL);
            fetched = i + 1 < total ? ZelIr_GetNewArray(h) : 1;
        }
    }
    printf("%ld %.6f %.6f\n", frames, Seconds(CLOCK_PROCESS_CPUTIME_ID) - cpu,
           Seconds(CLOCK_MONOTONIC) - wall);
    free(digits);
    free(image);
    ZelIr_Close(h);
    return 0;
}
