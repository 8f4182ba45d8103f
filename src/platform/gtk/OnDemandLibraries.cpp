#include "platform/gtk/OnDemandLibraries.h"

#include <gmodule.h>

#include <cstdio>
#include <initializer_list>

namespace tg {

namespace {

// One function of a library, found by name and stored in the member that holds it.
struct Symbol {
    const char* name;
    void* member;
    void (*assign)(void* member, gpointer found);
};

template <typename F>
Symbol Bind(const char* name, F& member) {
    return {name, &member, [](void* to, gpointer found) { *static_cast<F*>(to) = reinterpret_cast<F>(found); }};
}

bool Load(const char* soname, std::initializer_list<Symbol> symbols) {
    GModule* module = g_module_open(soname, static_cast<GModuleFlags>(G_MODULE_BIND_LAZY | G_MODULE_BIND_LOCAL));
    bool found = module != nullptr;
    for (const Symbol& s : symbols) {
        gpointer address = nullptr;
        found = found && g_module_symbol(module, s.name, &address);
        if (found) s.assign(s.member, address);
    }
    if (!found) {
        (void)std::fprintf(stderr, "tidegauge: cannot use %s: %s\n", soname, g_module_error());
        if (module) g_module_close(module);
        return false;
    }
    g_module_make_resident(module);
    return true;
}

}  // namespace

const IndicatorLibrary* LoadIndicatorLibrary() {
    static IndicatorLibrary lib{};
    static const bool loaded = Load(TG_INDICATOR_SONAME, {Bind("app_indicator_new_with_path", lib.newWithPath),
                                                          Bind("app_indicator_set_title", lib.setTitle),
                                                          Bind("app_indicator_set_label", lib.setLabel),
                                                          Bind("app_indicator_set_menu", lib.setMenu),
                                                          Bind("app_indicator_set_status", lib.setStatus)});
    return loaded ? &lib : nullptr;
}

const NotifyLibrary* LoadNotifyLibrary() {
    static NotifyLibrary lib{};
    static const bool loaded = Load(TG_NOTIFY_SONAME, {Bind("notify_is_initted", lib.isInitted),
                                                       Bind("notify_init", lib.init),
                                                       Bind("notify_notification_new", lib.notificationNew),
                                                       Bind("notify_notification_set_image_from_pixbuf", lib.setImage),
                                                       Bind("notify_notification_set_hint_string", lib.setHintString),
                                                       Bind("notify_notification_show", lib.show)});
    return loaded ? &lib : nullptr;
}

}  // namespace tg
