/* A host library named libXinerama.so.1 that tells Wine's X11 driver of two monitors: when the
 * X server offers no RandR, the driver loads this library at run time and makes the first
 * head the primary monitor at (0, 0), the others relative to it. On a 3200 x 1080 root this
 * gives a 1920 x 1080 primary monitor and a 1280 x 1024 one left of it, at negative x. Only
 * the three entry points the driver calls are here; the types are declared to match the
 * Xinerama protocol library, so no X development headers are needed to build it. */
#include <stdlib.h>

typedef struct {
    int screen_number;
    short x_org;
    short y_org;
    short width;
    short height;
} XineramaScreenInfo;

static const XineramaScreenInfo kHeads[] = {
    {0, 1280, 0, 1920, 1080},
    {1, 0, 0, 1280, 1024},
};

int XineramaQueryExtension(void* display, int* eventBase, int* errorBase) {
    (void)display;
    if (eventBase != NULL) {
        *eventBase = 0;
    }
    if (errorBase != NULL) {
        *errorBase = 0;
    }
    return 1;
}

int XineramaIsActive(void* display) {
    (void)display;
    return 1;
}

/* The caller frees the array with XFree, which is free(). */
XineramaScreenInfo* XineramaQueryScreens(void* display, int* count) {
    const int heads = (int)(sizeof(kHeads) / sizeof(kHeads[0]));
    XineramaScreenInfo* screens = malloc(sizeof(kHeads));
    (void)display;
    if (screens == NULL) {
        if (count != NULL) {
            *count = 0;
        }
        return NULL;
    }
    for (int i = 0; i < heads; ++i) {
        screens[i] = kHeads[i];
    }
    if (count != NULL) {
        *count = heads;
    }
    return screens;
}
