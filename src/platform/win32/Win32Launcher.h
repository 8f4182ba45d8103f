#pragma once
// The launcher port: a web address handed to the shell, which opens it in the browser.
#include <string>

#include "ports/OptionsPorts.h"

namespace tg {

class Win32Launcher final : public Launcher {
 public:
    // `program` runs with the quoted address as its argument; tests pass a stand-in.
    explicit Win32Launcher(std::wstring program = L"explorer.exe") : m_program(std::move(program)) {}
    // Starts `program "address"` minimised and returns at once; a failure is not reported.
    void OpenAddress(std::string_view address) override;

 private:
    std::wstring m_program;
};

}  // namespace tg
