#pragma once
// The notification-area item and the desktop's notices come from libraries that a run with both
// off by default never needs. They are loaded the first time one is (for the item, when the program
// first asks whether a tray can show it) rather than with the program: linked in, they cost every
// run their relocated pages and their dependencies' (about 50 KB of private memory) for nothing.
// Their headers still give the types and the functions' signatures.
#include <libayatana-appindicator/app-indicator.h>
#include <libnotify/notify.h>

namespace tg {

struct IndicatorLibrary {
    decltype(&app_indicator_new_with_path) newWithPath;
    decltype(&app_indicator_set_title) setTitle;
    decltype(&app_indicator_set_label) setLabel;
    decltype(&app_indicator_set_menu) setMenu;
    decltype(&app_indicator_set_status) setStatus;
};

struct NotifyLibrary {
    decltype(&notify_is_initted) isInitted;
    decltype(&notify_init) init;
    decltype(&notify_notification_new) notificationNew;
    decltype(&notify_notification_set_image_from_pixbuf) setImage;
    decltype(&notify_notification_set_hint_string) setHintString;
    decltype(&notify_notification_show) show;
};

// Loaded once and kept for the program's life, from any thread; nullptr when the library or one of
// its functions is missing (a broken installation), which is said once on stderr.
const IndicatorLibrary* LoadIndicatorLibrary();
const NotifyLibrary* LoadNotifyLibrary();

}  // namespace tg
