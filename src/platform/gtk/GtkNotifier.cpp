#include "platform/gtk/GtkNotifier.h"

#include <libnotify/notify.h>

#include <memory>
#include <string>

#include "common/AppTitle.h"
#include "platform/gtk/AppIcon.h"
#include "platform/gtk/GObjectPtr.h"

namespace tg {

namespace {

constexpr int kImageSize = 48;

}  // namespace

struct GtkNotifier::Notice {
    std::string title, text;
    GObjectPtr<GdkPixbuf> image;
};

// The pool's one thread makes every libnotify call, one notice after the other, so libnotify's
// state is never touched from two threads. Notices still waiting when the program ends are dropped;
// one being sent finishes on its own.
GtkNotifier::~GtkNotifier() {
    if (m_pool) g_thread_pool_free(m_pool, TRUE, FALSE);
}

// The window's icon goes with the text as an image, drawn here on the caller's thread.
void GtkNotifier::Notify(std::string_view title, std::string_view text) {
    if (!m_pool)
        m_pool = g_thread_pool_new_full(Send, this, DeleteGiven<Notice>, 1, FALSE, nullptr);
    if (!m_pool) return;
    g_thread_pool_push(
        m_pool, Give(std::make_unique<Notice>(Notice{std::string(title), std::string(text), DrawAppIcon(kImageSize)})),
        nullptr);
}

void GtkNotifier::Send(gpointer data, gpointer /*self*/) {
    const std::unique_ptr<Notice> notice = TakeGiven<Notice>(data);
    if (!notify_is_initted() && !notify_init(kAppTitle)) return;
    const GObjectPtr<NotifyNotification> shown(
        notify_notification_new(notice->title.c_str(), notice->text.c_str(), nullptr));
    notify_notification_set_image_from_pixbuf(shown.get(), notice->image.get());
    notify_notification_set_hint_string(shown.get(), "desktop-entry", kAppIconName);
    notify_notification_show(shown.get(), nullptr);
}

}  // namespace tg
