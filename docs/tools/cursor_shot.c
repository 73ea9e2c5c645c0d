/* cursor_shot: a screenshot of part of the X screen with the pointer drawn in,
 * as the user sees it. `import` and `xwd` read the frame buffer, which never
 * holds the pointer; XFixes hands out the pointer's current image.
 *
 *   cursor_shot OUT.ppm X Y WIDTH HEIGHT
 *
 * Writes a binary PPM of the rectangle (clipped to the screen); the display
 * comes from $DISPLAY. docs/finder-drag.png was taken with it mid-drag (xdotool
 * mousedown, moves, then this, then `convert OUT.ppm OUT.png`).
 * Build: cc -O2 -o cursor_shot cursor_shot.c -lXfixes -lX11 (libxfixes-dev). */
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xfixes.h>

#include <stdio.h>
#include <stdlib.h>

int main(int argc, char **argv) {
    if (argc != 6) {
        fprintf(stderr, "usage: cursor_shot OUT.ppm X Y WIDTH HEIGHT\n");
        return 2;
    }
    Display *display = XOpenDisplay(NULL);
    if (!display) {
        fprintf(stderr, "cursor_shot: cannot open the display\n");
        return 1;
    }
    Window root = DefaultRootWindow(display);
    XWindowAttributes screen;
    XGetWindowAttributes(display, root, &screen);
    int x = atoi(argv[2]), y = atoi(argv[3]), w = atoi(argv[4]), h = atoi(argv[5]);
    if (x < 0) w += x, x = 0;
    if (y < 0) h += y, y = 0;
    if (x + w > screen.width) w = screen.width - x;
    if (y + h > screen.height) h = screen.height - y;
    if (w <= 0 || h <= 0) {
        fprintf(stderr, "cursor_shot: the rectangle lies off the screen\n");
        return 1;
    }
    XImage *image = XGetImage(display, root, x, y, (unsigned)w, (unsigned)h, AllPlanes, ZPixmap);
    if (!image) {
        fprintf(stderr, "cursor_shot: XGetImage failed\n");
        return 1;
    }
    unsigned char *rgb = malloc((size_t)w * (size_t)h * 3);
    for (int row = 0; row < h; ++row) {
        for (int col = 0; col < w; ++col) {
            unsigned long p = XGetPixel(image, col, row);
            unsigned char *out = rgb + ((size_t)row * (size_t)w + (size_t)col) * 3;
            out[0] = (unsigned char)((p & image->red_mask) >> 16);
            out[1] = (unsigned char)((p & image->green_mask) >> 8);
            out[2] = (unsigned char)(p & image->blue_mask);
        }
    }

    int eventBase, errorBase;
    XFixesCursorImage *cursor = NULL;
    if (XFixesQueryExtension(display, &eventBase, &errorBase))
        cursor = XFixesGetCursorImage(display);
    if (cursor) {
        /* ARGB with premultiplied alpha, one pixel per unsigned long. */
        int left = cursor->x - cursor->xhot - x, top = cursor->y - cursor->yhot - y;
        for (int row = 0; row < cursor->height; ++row) {
            for (int col = 0; col < cursor->width; ++col) {
                int px = left + col, py = top + row;
                if (px < 0 || py < 0 || px >= w || py >= h) continue;
                unsigned long argb = cursor->pixels[row * cursor->width + col];
                unsigned alpha = (argb >> 24) & 0xff;
                unsigned char *out = rgb + ((size_t)py * (size_t)w + (size_t)px) * 3;
                for (int c = 0; c < 3; ++c) {
                    unsigned src = (argb >> (16 - 8 * c)) & 0xff;
                    out[c] = (unsigned char)(src + out[c] * (255 - alpha) / 255);
                }
            }
        }
        XFree(cursor);
    } else {
        fprintf(stderr, "cursor_shot: no XFixes cursor image; the picture has no pointer\n");
    }

    FILE *file = fopen(argv[1], "wb");
    if (!file) {
        perror(argv[1]);
        return 1;
    }
    fprintf(file, "P6\n%d %d\n255\n", w, h);
    fwrite(rgb, 3, (size_t)w * (size_t)h, file);
    fclose(file);
    free(rgb);
    XDestroyImage(image);
    XCloseDisplay(display);
    return cursor ? 0 : 3;
}
