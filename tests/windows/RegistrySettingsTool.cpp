// Reads or writes one setting of the program's section through RegistrySettings, so a script can
// check the store from outside the test process (and against Wine's own reg tool).
//
//   tidegauge_registry_settings_tool set APP KEY TEXT   stores TEXT
//   tidegauge_registry_settings_tool get APP KEY        prints the text; exit status 1 when absent
//
// The arguments arrive in the ANSI code page: keep them ASCII.
#include <cstdio>
#include <string>
#include <string_view>

#include "platform/windows/RegistrySettings.h"
#include "settings/SettingsKeys.h"

int main(int argc, char** argv) {
    tg::RegistrySettings settings;
    const std::string_view command = argc > 1 ? argv[1] : "";
    if (command == "set" && argc == 5) {
        settings.Set(argv[2], tg::kSettingsSection, argv[3], argv[4]);
        return 0;
    }
    if (command == "get" && argc == 4) {
        const auto text = settings.Get(argv[2], tg::kSettingsSection, argv[3]);
        if (!text) return 1;
        std::printf("%s\n", text->c_str());
        return 0;
    }
    std::fprintf(stderr, "usage: %s set APP KEY TEXT | get APP KEY\n", argc > 0 ? argv[0] : "tool");
    return 2;
}
