// The registry-value module over an in-memory registry holding whatever the input says: values of
// any type and bytes must read as text, a number or the default, never crash, and leave no key
// open; a string written must read back as itself up to its first NUL.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "settings/MemoryRegistry.h"
#include "settings/modRegistry.h"

namespace {

constexpr std::uint32_t kCu = tg::RegistryApi::kHkeyCurrentUser;

void Check(bool ok) {
    if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    tg::MemoryRegistry reg;
    const std::uint32_t type = data[0] % 12;
    const std::string bytes(reinterpret_cast<const char*>(data + 2), size - 2);
    reg.Put(kCu, tg::kRunKeyPath, tg::kRunValueName, {type, bytes});
    reg.failDataQuery = (data[1] & 1) ? 1 : 0;

    const tg::RegValue dflt = std::string("default");
    const tg::RegValue read = tg::ReadRegValue(reg, kCu, tg::kRunKeyPath, tg::kRunValueName, dflt);
    Check(reg.OpenHandles() == 0);
    if (reg.failDataQuery || (type != 1 && type != 4) || (type == 4 && bytes.size() > 4)) Check(read == dflt);
    if (type == 1 && !reg.failDataQuery) Check(std::get<std::string>(read).find('\0') == std::string::npos);

    reg.failDataQuery = 0;
    Check(tg::WriteRegString(reg, kCu, tg::kRunKeyPath, tg::kRunValueName, bytes) == 0);
    const tg::RegValue back = tg::ReadRegValue(reg, kCu, tg::kRunKeyPath, tg::kRunValueName, dflt);
    Check(back == tg::RegValue(tg::CutAtNul(bytes)));
    Check(reg.OpenHandles() == 0);
    return 0;
}
