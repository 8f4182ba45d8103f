#include "platform/gtk/GtkNotifier.h"

#include <memory>
#include <string>

#include "common/AppTitle.h"
#include "platform/gtk/AppIcon.h"
#include "platform/gtk/GObjectPtr.h"
#include "platform/gtk/OnDemandLibraries.h"

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
    const NotifyLibrary* notify = LoadNotifyLibrary();
    if (!notify || (!notify->isInitted() && !notify->init(kAppTitle))) return;
    const GObjectPtr<NotifyNotification> shown(
        notify->notificationNew(notice->title.c_str(), notice->text.c_str(), nullptr));
    notify->setImage(shown.get(), notice->image.get());
    notify->setHintString(shown.get(), "desktop-entry", kAppIconName);
    notify->show(shown.get(), nullptr);
}

}  // namespace tg
