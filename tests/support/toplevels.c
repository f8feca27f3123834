// The compositor's toplevel windows, seen and closed as the phone shell's overview does, through
// the wlr foreign toplevel protocol; and activation tokens, handed out as a launcher gets them.
//   toplevels list                                  one line per window: app id, activated, title
//   toplevels close APP_ID                          closes that app's windows; 1 when there is none
//   toplevels wait APP_ID gone|present|activated    1 when it does not come within 20 s;
//                                                   prints each window's changes meanwhile,
//                                                   "APP_ID<tab>closed" when one goes
//   toplevels token                                 prints a fresh xdg-activation token
#define _POSIX_C_SOURCE 200809L

#include "wlr-foreign-toplevel-management-unstable-v1-client-protocol.h"
#include "xdg-activation-v1-client-protocol.h"

#include <errno.h>
#include <poll.h>
#include <stdbool.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <wayland-client.h>

enum
{
    waitSeconds = 20
};

struct client;

struct details
{
    char *appId;
    char *title;
    bool activated;
};

struct toplevel
{
    struct client *client;
    struct wl_list link;
    struct zwlr_foreign_toplevel_handle_v1 *handle;
    struct details pending;
    // What the last done event made whole; only a toplevel that had one counts.
    struct details current;
    bool announced;
};

struct client
{
    struct wl_display *display;
    struct wl_registry *registry;
    struct zwlr_foreign_toplevel_manager_v1 *manager;
    struct xdg_activation_v1 *activation;
    struct wl_list toplevels;
    // Whether each change is printed as it comes.
    bool tracing;
};

enum condition
{
    gone,
    present,
    activated,
};

static const char *const conditionNames[] = {"gone", "present", "activated"};

static void replace(char **text, const char *value)
{
    free(*text);
    *text = value ? strdup(value) : NULL;
}

static void printDetails(const struct details *details)
{
    printf("%s\t%d\t%s\n", details->appId ? details->appId : "", details->activated,
           details->title ? details->title : "");
    fflush(stdout);
}

static void freeToplevel(struct toplevel *toplevel)
{
    wl_list_remove(&toplevel->link);
    zwlr_foreign_toplevel_handle_v1_destroy(toplevel->handle);
    replace(&toplevel->pending.appId, NULL);
    replace(&toplevel->pending.title, NULL);
    replace(&toplevel->current.appId, NULL);
    replace(&toplevel->current.title, NULL);
    free(toplevel);
}

static void handleTitle(void *data, struct zwlr_foreign_toplevel_handle_v1 *handle,
                        const char *title)
{
    (void)handle;
    replace(&((struct toplevel *)data)->pending.title, title);
}

static void handleAppId(void *data, struct zwlr_foreign_toplevel_handle_v1 *handle,
                        const char *appId)
{
    (void)handle;
    replace(&((struct toplevel *)data)->pending.appId, appId);
}

static void handleOutput(void *data, struct zwlr_foreign_toplevel_handle_v1 *handle,
                         struct wl_output *output)
{
    (void)data, (void)handle, (void)output;
}

static void handleState(void *data, struct zwlr_foreign_toplevel_handle_v1 *handle,
                        struct wl_array *states)
{
    (void)handle;
    struct toplevel *toplevel = data;
    toplevel->pending.activated = false;
    const uint32_t *state;
    wl_array_for_each(state, states)
    {
        if (*state == ZWLR_FOREIGN_TOPLEVEL_HANDLE_V1_STATE_ACTIVATED)
            toplevel->pending.activated = true;
    }
}

static void handleDone(void *data, struct zwlr_foreign_toplevel_handle_v1 *handle)
{
    (void)handle;
    struct toplevel *toplevel = data;
    replace(&toplevel->current.appId, toplevel->pending.appId);
    replace(&toplevel->current.title, toplevel->pending.title);
    toplevel->current.activated = toplevel->pending.activated;
    toplevel->announced = true;
    if (toplevel->client->tracing)
        printDetails(&toplevel->current);
}

static void handleClosed(void *data, struct zwlr_foreign_toplevel_handle_v1 *handle)
{
    (void)handle;
    struct toplevel *toplevel = data;
    if (toplevel->client->tracing && toplevel->announced)
        printf("%s\tclosed\n", toplevel->current.appId ? toplevel->current.appId : "");
    freeToplevel(toplevel);
}

static void handleParent(void *data, struct zwlr_foreign_toplevel_handle_v1 *handle,
                         struct zwlr_foreign_toplevel_handle_v1 *parent)
{
    (void)data, (void)handle, (void)parent;
}

static const struct zwlr_foreign_toplevel_handle_v1_listener toplevelListener = {
    .title = handleTitle,
    .app_id = handleAppId,
    .output_enter = handleOutput,
    .output_leave = handleOutput,
    .state = handleState,
    .done = handleDone,
    .closed = handleClosed,
    .parent = handleParent,
};

static void handleToplevel(void *data, struct zwlr_foreign_toplevel_manager_v1 *manager,
                           struct zwlr_foreign_toplevel_handle_v1 *handle)
{
    (void)manager;
    struct client *client = data;
    struct toplevel *toplevel = calloc(1, sizeof *toplevel);
    toplevel->client = client;
    toplevel->handle = handle;
    wl_list_insert(client->toplevels.prev, &toplevel->link);
    zwlr_foreign_toplevel_handle_v1_add_listener(handle, &toplevelListener, toplevel);
}

static void handleFinished(void *data, struct zwlr_foreign_toplevel_manager_v1 *manager)
{
    (void)data, (void)manager;
}

static const struct zwlr_foreign_toplevel_manager_v1_listener managerListener = {
    .toplevel = handleToplevel,
    .finished = handleFinished,
};

static void handleGlobal(void *data, struct wl_registry *registry, uint32_t name,
                         const char *interface, uint32_t version)
{
    struct client *client = data;
    if (strcmp(interface, zwlr_foreign_toplevel_manager_v1_interface.name) == 0) {
        client->manager = wl_registry_bind(
            registry, name, &zwlr_foreign_toplevel_manager_v1_interface, version < 3 ? version : 3);
        zwlr_foreign_toplevel_manager_v1_add_listener(client->manager, &managerListener, client);
    } else if (strcmp(interface, xdg_activation_v1_interface.name) == 0) {
        client->activation = wl_registry_bind(registry, name, &xdg_activation_v1_interface, 1);
    }
}

static void handleGlobalRemove(void *data, struct wl_registry *registry, uint32_t name)
{
    (void)data, (void)registry, (void)name;
}

static const struct wl_registry_listener registryListener = {
    .global = handleGlobal,
    .global_remove = handleGlobalRemove,
};

// Connected, with every toplevel there is announced: the first round trip binds the
// manager, the second brings what it sends on binding.
static bool connectClient(struct client *client)
{
    wl_list_init(&client->toplevels);
    client->display = wl_display_connect(NULL);
    if (!client->display) {
        fprintf(stderr, "toplevels: no Wayland display: %s\n", strerror(errno));
        return false;
    }
    client->registry = wl_display_get_registry(client->display);
    wl_registry_add_listener(client->registry, &registryListener, client);
    if (wl_display_roundtrip(client->display) < 0 || wl_display_roundtrip(client->display) < 0)
        return false;
    if (!client->manager)
        fprintf(stderr, "toplevels: the compositor has no %s\n",
                zwlr_foreign_toplevel_manager_v1_interface.name);
    return client->manager;
}

static void disconnectClient(struct client *client)
{
    struct toplevel *toplevel, *next;
    wl_list_for_each_safe(toplevel, next, &client->toplevels, link)
    {
        freeToplevel(toplevel);
    }
    if (client->manager)
        zwlr_foreign_toplevel_manager_v1_destroy(client->manager);
    if (client->activation)
        xdg_activation_v1_destroy(client->activation);
    if (client->registry)
        wl_registry_destroy(client->registry);
    if (client->display)
        wl_display_disconnect(client->display);
}

static bool isApp(const struct toplevel *toplevel, const char *appId)
{
    return toplevel->announced && toplevel->current.appId &&
           strcmp(toplevel->current.appId, appId) == 0;
}

static bool holds(const struct client *client, const char *appId, enum condition condition)
{
    int windows = 0;
    int active = 0;
    const struct toplevel *toplevel;
    wl_list_for_each(toplevel, &client->toplevels, link)
    {
        if (isApp(toplevel, appId)) {
            ++windows;
            active += toplevel->current.activated;
        }
    }
    return condition == gone ? windows == 0 : condition == present ? windows > 0 : active > 0;
}

static int list(struct client *client)
{
    const struct toplevel *toplevel;
    wl_list_for_each(toplevel, &client->toplevels, link)
    {
        if (toplevel->announced)
            printDetails(&toplevel->current);
    }
    return 0;
}

static int closeApp(struct client *client, const char *appId)
{
    int closed = 0;
    struct toplevel *toplevel;
    wl_list_for_each(toplevel, &client->toplevels, link)
    {
        if (isApp(toplevel, appId)) {
            zwlr_foreign_toplevel_handle_v1_close(toplevel->handle);
            ++closed;
        }
    }
    if (wl_display_roundtrip(client->display) < 0)
        return 1;
    if (!closed)
        fprintf(stderr, "toplevels: no window of %s\n", appId);
    return closed ? 0 : 1;
}

static long long nowMilliseconds(void)
{
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1000LL + now.tv_nsec / 1000000;
}

// Dispatches what arrives within the time given; false once the connection has failed.
static bool dispatchWithin(struct wl_display *display, long long milliseconds)
{
    while (wl_display_prepare_read(display) != 0)
        wl_display_dispatch_pending(display);
    wl_display_flush(display);
    struct pollfd connection = {.fd = wl_display_get_fd(display), .events = POLLIN};
    const int ready = poll(&connection, 1, (int)milliseconds);
    const bool interrupted = ready < 0 && errno == EINTR;
    if (ready <= 0) {
        wl_display_cancel_read(display);
        return ready == 0 || interrupted;
    }
    return wl_display_read_events(display) == 0 && wl_display_dispatch_pending(display) >= 0;
}

static int waitFor(struct client *client, const char *appId, enum condition condition)
{
    client->tracing = true;
    list(client);
    const long long deadline = nowMilliseconds() + waitSeconds * 1000LL;
    while (!holds(client, appId, condition)) {
        const long long left = deadline - nowMilliseconds();
        if (left <= 0 || !dispatchWithin(client->display, left)) {
            fprintf(stderr, "toplevels: %s did not become %s\n", appId, conditionNames[condition]);
            return 1;
        }
    }
    return 0;
}

static void handleToken(void *data, struct xdg_activation_token_v1 *token, const char *text)
{
    (void)token;
    replace(data, text);
}

static const struct xdg_activation_token_v1_listener tokenListener = {.done = handleToken};

static int printToken(struct client *client)
{
    if (!client->activation) {
        fprintf(stderr, "toplevels: the compositor has no %s\n", xdg_activation_v1_interface.name);
        return 1;
    }
    char *text = NULL;
    struct xdg_activation_token_v1 *token =
        xdg_activation_v1_get_activation_token(client->activation);
    xdg_activation_token_v1_add_listener(token, &tokenListener, &text);
    xdg_activation_token_v1_commit(token);
    const bool answered = wl_display_roundtrip(client->display) >= 0 && text;
    if (answered)
        printf("%s\n", text);
    xdg_activation_token_v1_destroy(token);
    free(text);
    return answered ? 0 : 1;
}

struct command
{
    enum
    {
        listCommand,
        closeCommand,
        waitCommand,
        tokenCommand,
    } kind;
    const char *appId;
    enum condition condition;
};

static bool parseCondition(const char *name, struct command *command)
{
    command->kind = waitCommand;
    for (int condition = gone; condition <= activated; ++condition) {
        if (strcmp(name, conditionNames[condition]) == 0) {
            command->condition = condition;
            return true;
        }
    }
    return false;
}

static bool parse(int argc, char *argv[], struct command *command)
{
    const char *name = argc > 1 ? argv[1] : "";
    command->appId = argc > 2 ? argv[2] : NULL;
    if (argc == 2 && strcmp(name, "list") == 0)
        command->kind = listCommand;
    else if (argc == 2 && strcmp(name, "token") == 0)
        command->kind = tokenCommand;
    else if (argc == 3 && strcmp(name, "close") == 0)
        command->kind = closeCommand;
    else if (argc == 4 && strcmp(name, "wait") == 0)
        return parseCondition(argv[3], command);
    else
        return false;
    return true;
}

static int run(struct client *client, const struct command *command)
{
    switch (command->kind) {
    case listCommand:
        return list(client);
    case closeCommand:
        return closeApp(client, command->appId);
    case waitCommand:
        return waitFor(client, command->appId, command->condition);
    case tokenCommand:
        return printToken(client);
    }
    return 1;
}

int main(int argc, char *argv[])
{
    struct command command = {0};
    if (!parse(argc, argv, &command)) {
        fprintf(stderr, "usage: toplevels list | close APP_ID | token\n"
                        "       toplevels wait APP_ID gone|present|activated\n");
        return 2;
    }
    struct client client = {0};
    const int status = connectClient(&client) ? run(&client, &command) : 1;
    disconnectClient(&client);
    return status;
}
