#include "platform/windows/ProgramPath.h"

#include <windows.h>

#include "platform/windows/Win32Registry.h"

namespace tg {

namespace {

std::string_view FileName(std::string_view path) {
    const std::size_t slash = path.find_last_of("\\/");
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::wstring ModulePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        // A path that filled the buffer may have been cut short.
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

}  // namespace

std::string ProgramPathForRun(std::string_view folder, std::string_view stem) {
    std::string path(folder);
    path += '\\';
    path += stem;
    path += ".exe";
    return path;
}

std::string ProgramFolder(std::string_view modulePath) {
    const std::size_t slash = modulePath.find_last_of("\\/");
    if (slash == std::string_view::npos) return {};
    std::string folder(modulePath.substr(0, slash));
    if (folder.size() == 2 && folder[1] == ':') folder += '\\';
    return folder;
}

std::string ProgramStem(std::string_view modulePath) {
    const std::string_view name = FileName(modulePath);
    return std::string(name.substr(0, name.rfind('.')));
}

std::string RunningProgramPathForRun() {
    const std::string module = Utf8Text(ModulePath());
    return ProgramPathForRun(ProgramFolder(module), ProgramStem(module));
}

}  // namespace tg
