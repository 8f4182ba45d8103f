#pragma once
// The message box: a modal GtkMessageDialog with an OK button over the main window.
#include <gtk/gtk.h>

#include "platform/gtk/GObjectPtr.h"
#include "ports/MessageDialog.h"

namespace tg {

class GtkMessageBox final : public MessageDialog {
 public:
    // `parent` may be null; the dialog then stands on its own.
    explicit GtkMessageBox(GtkWindow* parent) : m_parent(parent) {}
    void Show(std::string_view text, std::string_view caption, MessageIcon icon) override;

    // The dialog Show runs, not yet shown.
    OwnedWidget Build(std::string_view text, std::string_view caption, MessageIcon icon) const;

 private:
    GtkWindow* m_parent;
};

}  // namespace tg
