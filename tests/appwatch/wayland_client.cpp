// tavrik-appwatch-wayland-client APP_ID: shows one xdg-shell window with that app_id (a plain
// shared-memory buffer) and stays until the compositor closes it or the process is ended.
// Prints "mapped" once the window has its first buffer.
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>

#include <cstdio>
#include <cstring>

#include "xdg-shell-client-protocol.h"

namespace {

struct Client {
    wl_compositor* compositor = nullptr;
    wl_shm* shm = nullptr;
    xdg_wm_base* wmBase = nullptr;
    wl_surface* surface = nullptr;
    wl_buffer* buffer = nullptr;
    bool configured = false;
    bool closed = false;
};

void onPing(void*, xdg_wm_base* base, uint32_t serial) {
    xdg_wm_base_pong(base, serial);
}
const xdg_wm_base_listener kWmBaseListener = {onPing};

void onGlobal(void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t) {
    auto* c = static_cast<Client*>(data);
    if (std::strcmp(interface, wl_compositor_interface.name) == 0) {
        c->compositor = static_cast<wl_compositor*>(
            wl_registry_bind(registry, name, &wl_compositor_interface, 1));
    } else if (std::strcmp(interface, wl_shm_interface.name) == 0) {
        c->shm = static_cast<wl_shm*>(wl_registry_bind(registry, name, &wl_shm_interface, 1));
    } else if (std::strcmp(interface, xdg_wm_base_interface.name) == 0) {
        c->wmBase =
            static_cast<xdg_wm_base*>(wl_registry_bind(registry, name, &xdg_wm_base_interface, 1));
        xdg_wm_base_add_listener(c->wmBase, &kWmBaseListener, c);
    }
}
void onGlobalRemove(void*, wl_registry*, uint32_t) {}
const wl_registry_listener kRegistryListener = {onGlobal, onGlobalRemove};

void onSurfaceConfigure(void* data, xdg_surface* surface, uint32_t serial) {
    auto* c = static_cast<Client*>(data);
    xdg_surface_ack_configure(surface, serial);
    if (c->buffer) {
        wl_surface_attach(c->surface, c->buffer, 0, 0);
        wl_surface_commit(c->surface);
    }
    c->configured = true;
}
const xdg_surface_listener kSurfaceListener = {onSurfaceConfigure};

void onToplevelConfigure(void*, xdg_toplevel*, int32_t, int32_t, wl_array*) {}
void onToplevelClose(void* data, xdg_toplevel*) {
    static_cast<Client*>(data)->closed = true;
}
// Newer versions of the protocol add events that a version 1 binding never gets: left empty.
xdg_toplevel_listener toplevelListener() {
    xdg_toplevel_listener listener{};
    listener.configure = onToplevelConfigure;
    listener.close = onToplevelClose;
    return listener;
}
const xdg_toplevel_listener kToplevelListener = toplevelListener();

wl_buffer* makeBuffer(wl_shm* shm, int width, int height) {
    const int stride = width * 4;
    const int size = stride * height;
    const int fd = memfd_create("tavrik-appwatch-client", MFD_CLOEXEC);
    if (fd < 0 || ftruncate(fd, size) != 0) return nullptr;
    void* pixels = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (pixels == MAP_FAILED) return nullptr;
    std::memset(pixels, 0x80, size);
    munmap(pixels, size);
    wl_shm_pool* pool = wl_shm_create_pool(shm, fd, size);
    wl_buffer* buffer =
        wl_shm_pool_create_buffer(pool, 0, width, height, stride, WL_SHM_FORMAT_XRGB8888);
    wl_shm_pool_destroy(pool);
    close(fd);
    return buffer;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s APP_ID\n", argv[0]);
        return 2;
    }
    wl_display* display = wl_display_connect(nullptr);
    if (!display) {
        std::perror("wl_display_connect");
        return 1;
    }
    Client c;
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &kRegistryListener, &c);
    wl_display_roundtrip(display);
    if (!c.compositor || !c.shm || !c.wmBase) {
        std::fprintf(stderr, "the compositor lacks wl_compositor, wl_shm or xdg_wm_base\n");
        return 1;
    }
    c.surface = wl_compositor_create_surface(c.compositor);
    xdg_surface* xdgSurface = xdg_wm_base_get_xdg_surface(c.wmBase, c.surface);
    xdg_surface_add_listener(xdgSurface, &kSurfaceListener, &c);
    xdg_toplevel* toplevel = xdg_surface_get_toplevel(xdgSurface);
    xdg_toplevel_add_listener(toplevel, &kToplevelListener, &c);
    xdg_toplevel_set_app_id(toplevel, argv[1]);
    xdg_toplevel_set_title(toplevel, argv[1]);
    wl_surface_commit(c.surface);
    while (!c.configured && wl_display_dispatch(display) >= 0) {
    }
    c.buffer = makeBuffer(c.shm, 64, 64);
    if (!c.buffer) {
        std::perror("shared memory");
        return 1;
    }
    wl_surface_attach(c.surface, c.buffer, 0, 0);
    wl_surface_damage(c.surface, 0, 0, 64, 64);
    wl_surface_commit(c.surface);
    wl_display_roundtrip(display);
    std::printf("mapped\n");
    std::fflush(stdout);
    while (!c.closed && wl_display_dispatch(display) >= 0) {
    }
    wl_display_disconnect(display);
    return 0;
}
