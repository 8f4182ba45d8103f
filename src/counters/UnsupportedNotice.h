#pragma once
// Tells the user, once per run, that the system has no interface table. The readers of a run share
// one notice, so a sampler made anew by a re-run start-up does not show it again.
#include "common/AppTitle.h"
#include "common/Texts.h"
#include "ports/MessageDialog.h"

namespace tg {

class UnsupportedNotice {
 public:
    explicit UnsupportedNotice(MessageDialog& dialog) : m_dialog(dialog) {}
    void Show() {
        if (m_shown) return;
        m_shown = true;
        m_dialog.Show(Text(TextId::NotSupported), kAppTitle, MessageIcon::None);
    }

 private:
    MessageDialog& m_dialog;
    bool m_shown = false;
};

}  // namespace tg
