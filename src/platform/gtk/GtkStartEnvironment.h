#pragma once
// GTK reads some of its switches from the environment, and only while it starts. The monitor sets
// the ones it wants there before gtk_init, and keeps them from the programs it starts (the browser
// behind the options dialog's link), which get the environment the user gave us.
#include <gio/gio.h>

#include <string>
#include <vector>

namespace tg {

class GtkStartEnvironment {
 public:
    // Call before gtk_init. A switch the user's environment already names, even empty, is theirs.
    void Prepare();

    // What Prepare added, by name.
    const std::vector<std::string>& Added() const { return m_added; }

    // Programs started through this context get the environment without what Prepare added.
    void Scrub(GAppLaunchContext* context) const;

    // The same for a program spawned directly; free it with g_strfreev.
    gchar** ChildEnvironment() const;

 private:
    std::vector<std::string> m_added;
};

}  // namespace tg
