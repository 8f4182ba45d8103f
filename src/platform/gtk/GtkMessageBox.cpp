#include "platform/gtk/GtkMessageBox.h"

#include <string>

#include "platform/gtk/AppIcon.h"
#include "platform/gtk/PlainTheme.h"

namespace tg {

namespace {

// GTK 3 message dialogs no longer draw their type's icon; the information icon goes back beside
// the text, in the row where the dialog used to keep its image.
void AddInformationIcon(GtkWidget* dialog) {
    GtkWidget* text = gtk_message_dialog_get_message_area(GTK_MESSAGE_DIALOG(dialog));
    GtkWidget* row = gtk_widget_get_parent(text);
    if (!GTK_IS_BOX(row)) return;
    GtkWidget* image = gtk_image_new_from_icon_name("dialog-information", GTK_ICON_SIZE_DIALOG);
    gtk_widget_set_valign(image, GTK_ALIGN_START);
    gtk_box_pack_start(GTK_BOX(row), image, FALSE, FALSE, 0);
    gtk_box_reorder_child(GTK_BOX(row), image, 0);
    gtk_widget_show(image);
}

}  // namespace

OwnedWidget GtkMessageBox::Build(std::string_view text, std::string_view caption, MessageIcon icon) const {
    const std::string message(text);
    const std::string title(caption);
    const GtkMessageType type = icon == MessageIcon::Information ? GTK_MESSAGE_INFO : GTK_MESSAGE_OTHER;
    OwnedWidget dialog = OwnWidget(gtk_message_dialog_new(
        m_parent, static_cast<GtkDialogFlags>(GTK_DIALOG_MODAL | GTK_DIALOG_DESTROY_WITH_PARENT), type,
        GTK_BUTTONS_OK, "%s", message.c_str()));
    gtk_window_set_title(GTK_WINDOW(dialog.get()), title.c_str());
    if (icon == MessageIcon::Information) AddInformationIcon(dialog.get());
    return dialog;
}

void GtkMessageBox::Show(std::string_view text, std::string_view caption, MessageIcon icon) {
    UseDesktopTheme();
    InstallAppIcon();
    const OwnedWidget dialog = Build(text, caption, icon);
    gtk_dialog_run(GTK_DIALOG(dialog.get()));
}

}  // namespace tg
