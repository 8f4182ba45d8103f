// The registry-value module over an in-memory registry holding whatever the input says: a value of
// any 32-bit type and any bytes, in a store whose text unit is one byte (UTF-8) or two (UTF-16, so
// odd sizes and split units), whose data query may fail, and whose value may be replaced between
// the size query and the data query (as another program may do to the real registry). Every read
// must give text, a number or the default, never crash, and leave no key open; a string written
// must read back as itself up to its first NUL.
//
// Input: [flags][type: 4 bytes, little-endian][split][bytes...]. The bytes before `split` are the
// stored value, the rest are what replaces it between the two queries (when the flag says so).
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "common/Text.h"
#include "MemoryRegistry.h"
#include "settings/modRegistry.h"

namespace {

constexpr std::uint32_t kCu = tg::RegistryApi::kHkeyCurrentUser;

// Stops the run at a broken invariant, naming its line for whoever reads the crash.
void Check(bool ok, int line = __builtin_LINE()) {
    if (ok) return;
    std::fprintf(stderr, "invariant broken at %s:%d\n", __FILE__, line);
    std::abort();
}

// The in-memory registry seen through a store of a given text unit, which can swap the value for
// another after a caller has asked for its size.
class FuzzStore final : public tg::RegistryApi {
 public:
    FuzzStore(tg::MemoryRegistry& reg, bool wide) : m_reg(reg), m_wide(wide) {}

    std::optional<tg::MemoryRegistry::Value> swapAfterSizeQuery;

    std::int32_t OpenKey(std::uint32_t root, std::string_view path, Key* key) override {
        return m_reg.OpenKey(root, path, key);
    }
    std::int32_t QueryValue(Key key, std::string_view name, std::uint32_t* type, std::uint8_t* data,
                            std::uint32_t* size) override {
        const std::int32_t status = m_reg.QueryValue(key, name, type, data, size);
        if (data == nullptr && status == kOk && swapAfterSizeQuery) {
            m_reg.Put(kCu, tg::kRunKeyPath, tg::kRunValueName, *swapAfterSizeQuery);
            swapAfterSizeQuery.reset();
        }
        return status;
    }
    std::int32_t CreateKey(std::uint32_t root, std::string_view path, Key* key) override {
        return m_reg.CreateKey(root, path, key);
    }
    std::int32_t SetStringValue(Key key, std::string_view name, const std::uint8_t* data, std::uint32_t size) override {
        return m_reg.SetStringValue(key, name, data, size);
    }
    void CloseKey(Key key) override { m_reg.CloseKey(key); }

    std::size_t TextUnitSize() const override { return m_wide ? 2 : 1; }
    std::string EncodeText(std::string_view utf8) const override {
        if (!m_wide) return std::string(utf8);
        std::string bytes;
        for (const char16_t unit : tg::Utf8ToUtf16(utf8)) {
            bytes += static_cast<char>(unit & 0xFF);
            bytes += static_cast<char>(unit >> 8);
        }
        return bytes;
    }
    std::string DecodeText(std::string_view bytes) const override {
        if (!m_wide) return std::string(bytes);
        std::u16string units;
        for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
            units += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                           (static_cast<unsigned char>(bytes[i + 1]) << 8));
        return tg::Utf16ToUtf8(units);
    }

 private:
    tg::MemoryRegistry& m_reg;
    bool m_wide;
};

struct Input {
    bool wide = false;
    bool failDataQuery = false;
    bool swap = false;
    std::uint32_t type = 0;
    std::string value;
    std::string replacement;
};

std::optional<Input> Split(const std::uint8_t* data, std::size_t size) {
    if (size < 6) return std::nullopt;
    Input in;
    in.wide = (data[0] & 1) != 0;
    in.failDataQuery = (data[0] & 2) != 0;
    in.swap = (data[0] & 4) != 0;
    // Mostly the types the module knows, sometimes any number at all.
    in.type = (data[0] & 8) != 0 ? data[1] | (data[2] << 8) | (data[3] << 16) | (static_cast<std::uint32_t>(data[4]) << 24)
                                 : data[1] % 6u;
    const std::string rest(reinterpret_cast<const char*>(data + 6), size - 6);
    const std::size_t split = std::min<std::size_t>(data[5], rest.size());
    in.value = rest.substr(0, split);
    in.replacement = rest.substr(split);
    return in;
}

// What a string value of these bytes may read as in a one-byte store: its text up to the first NUL,
// less spaces at the end when the value was stored without its NUL.
void CheckNarrowText(const std::string& read, const std::string& stored) {
    const std::string text = tg::CutAtNul(stored);
    Check(text.compare(0, read.size(), read) == 0);
    Check(text.find_first_not_of(' ', read.size()) == std::string::npos);
    if (stored.find('\0') != std::string::npos) Check(read == text);  // its own end, spaces and all
}

// A well-formed UTF-8 text comes through the UTF-16 round trip unchanged.
bool IsWellFormed(const std::string& text) { return tg::Utf16ToUtf8(tg::Utf8ToUtf16(text)) == text; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::optional<Input> in = Split(data, size);
    if (!in) return 0;
    tg::MemoryRegistry reg;
    FuzzStore store(reg, in->wide);
    const tg::MemoryRegistry::Value first{in->type, in->value};
    const tg::MemoryRegistry::Value second{in->type ^ (in->replacement.size() & 1 ? 5u : 0u), in->replacement};
    reg.Put(kCu, tg::kRunKeyPath, tg::kRunValueName, first);
    if (in->swap) store.swapAfterSizeQuery = second;
    reg.failDataQuery = in->failDataQuery ? 1 : 0;

    const tg::RegValue dflt = std::string("default");
    const tg::RegValue read = tg::ReadRegValue(store, kCu, tg::kRunKeyPath, tg::kRunValueName, dflt);
    Check(reg.OpenHandles() == 0);
    // The data query finds the replacement when there is one; the module sized its buffer for the
    // first value, so a value that grew in between must give the default, not a longer read.
    const tg::MemoryRegistry::Value& queried = in->swap ? second : first;
    const std::size_t unit = store.TextUnitSize();
    const bool grew = queried.data.size() > first.data.size();
    const bool readable = (first.type == 1 && !grew) || (first.type == 4 && queried.data.size() <= 4);
    if (reg.failDataQuery || !readable) Check(read == dflt);
    if (const auto* text = std::get_if<std::string>(&read); text != nullptr && read != dflt) {
        Check(first.type == 1);
        Check(text->find('\0') == std::string::npos);
        if (unit == 1) CheckNarrowText(*text, queried.data);
        if (unit == 2) Check(IsWellFormed(*text));
    }

    reg.failDataQuery = 0;
    store.swapAfterSizeQuery.reset();
    const std::string& written = in->value;
    Check(tg::WriteRegString(store, kCu, tg::kRunKeyPath, tg::kRunValueName, written) == 0);
    const tg::RegValue back = tg::ReadRegValue(store, kCu, tg::kRunKeyPath, tg::kRunValueName, dflt);
    const std::string expected = unit == 1 ? written : tg::Utf16ToUtf8(tg::Utf8ToUtf16(written));
    Check(back == tg::RegValue(tg::CutAtNul(expected)));
    Check(reg.OpenHandles() == 0);
    return 0;
}
