/* A serial library with six of the seven functions: sio_iqueue is missing. The others pretend
 * that every port opens and takes every byte. When STUB_PCOMM_CALLS names a file, each call
 * appends the function's name to it, so a test can see which calls reached the library. */
#include <stdio.h>
#include <stdlib.h>

static void Record(const char* name) {
    const char* path = getenv("STUB_PCOMM_CALLS");
    if (path == NULL) {
        return;
    }
    FILE* calls = fopen(path, "a");
    if (calls != NULL) {
        fprintf(calls, "%s\n", name);
        fclose(calls);
    }
}

int sio_open(int port) {
    (void)port;
    Record("sio_open");
    return 0;
}

int sio_ioctl(int port, int baud, int mode) {
    (void)port;
    (void)baud;
    (void)mode;
    Record("sio_ioctl");
    return 0;
}

int sio_SetReadTimeouts(int port, int total_ms, int interval_ms) {
    (void)port;
    (void)total_ms;
    (void)interval_ms;
    Record("sio_SetReadTimeouts");
    return 0;
}

int sio_read(int port, char* buf, int len) {
    (void)port;
    (void)buf;
    (void)len;
    Record("sio_read");
    return 0;
}

int sio_write(int port, char* buf, int len) {
    (void)port;
    (void)buf;
    Record("sio_write");
    return len;
}

int sio_close(int port) {
    (void)port;
    Record("sio_close");
    return 0;
}
