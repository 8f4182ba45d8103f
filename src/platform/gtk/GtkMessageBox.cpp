#include "platform/gtk/GtkMessageBox.h"

#include <string>

#include "platform/gtk/GObjectPtr.h"

namespace tg {

void GtkMessageBox::Show(std::string_view text, std::string_view caption, MessageIcon icon) {
    const std::string message(text), title(caption);
    const GtkMessageType type = icon == MessageIcon::Information ? GTK_MESSAGE_INFO : GTK_MESSAGE_OTHER;
    const OwnedWidget dialog = OwnWidget(gtk_message_dialog_new(
        m_parent, static_cast<GtkDialogFlags>(GTK_DIALOG_MODAL | GTK_DIALOG_DESTROY_WITH_PARENT), type,
        GTK_BUTTONS_OK, "%s", message.c_str()));
    gtk_window_set_title(GTK_WINDOW(dialog.get()), title.c_str());
    gtk_dialog_run(GTK_DIALOG(dialog.get()));
}

}  // namespace tg
