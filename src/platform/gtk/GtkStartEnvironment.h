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
    // Call first in main. Some switches of memory use are read only while the process loads,
    // before main: G_SLICE (GLib before 2.76 keeps small blocks in slabs of its own, which hold on
    // to what start-up freed for the life of the process) and glibc's GLIBC_TUNABLES. So the
    // program starts itself again, once, with the ones the user's environment does not name, and
    // the restarted program takes them out of its environment again, where nothing reads them any
    // more and nothing it starts inherits them. Returns when no restart is needed, or when it failed.
    static void RestartWithLeanMemory(char** argv);

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
