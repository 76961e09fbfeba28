/* The least any program that keeps its settings in a SQLite store does
 * before writing its file: open the store, read one value, close it. Set
 * beside the plain file-writing floor, it shows what the store itself costs
 * a short run. The store is opened as the programs open it: no memory
 * statistics, no page cache laid out ahead of use. */
#include <sqlite3.h>
#include <stdio.h>
#include <stdlib.h>

int main(int argc, char** argv) {
    if (argc != 4) {
        fprintf(stderr, "usage: store_read_baseline STORE FILE SIZE\n");
        return 2;
    }
    sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
    sqlite3_config(SQLITE_CONFIG_PAGECACHE, NULL, 0, 0);
    sqlite3* db = NULL;
    if (sqlite3_open_v2(argv[1], &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, NULL) !=
        SQLITE_OK)
        return 1;
    sqlite3_stmt* read = NULL;
    if (sqlite3_prepare_v2(db, "SELECT data FROM vals WHERE name = 'TwoPane'", -1, &read, NULL) !=
        SQLITE_OK)
        return 1;
    const int stepped = sqlite3_step(read);
    sqlite3_finalize(read);
    sqlite3_close(db);
    if (stepped != SQLITE_ROW) return 1;

    long size = strtol(argv[3], NULL, 10);
    FILE* f = fopen(argv[2], "wb");
    if (!f) return 1;
    for (long i = 0; i < size; ++i) fputc(i & 0x7F, f);
    return fclose(f) == 0 ? 0 : 1;
}
