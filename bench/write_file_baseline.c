/* The yardstick for the shortcut maker's direct mode: a minimal C program
 * that writes a file of a given size and ends. */
#include <stdio.h>
#include <stdlib.h>

int main(int argc, char** argv) {
    if (argc != 3) {
        fprintf(stderr, "usage: write_file_baseline FILE SIZE\n");
        return 2;
    }
    long size = strtol(argv[2], NULL, 10);
    FILE* f = fopen(argv[1], "wb");
    if (!f) return 1;
    for (long i = 0; i < size; ++i) fputc(i & 0x7F, f);
    return fclose(f) == 0 ? 0 : 1;
}
