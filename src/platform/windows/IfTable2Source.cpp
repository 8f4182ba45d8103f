#include "platform/windows/IfTable2Source.h"

#include <algorithm>
#include <array>
#include <cwchar>
#include <memory>
#include <span>
#include <string_view>

#include "common/Text.h"
#include "common/Wrap32.h"
#include "counters/IfTableLayout.h"
#include "ports/SystemTableSource.h"

namespace tg {

using namespace iftable;

namespace {

// The classic description is a C string: one byte stays free for its terminating zero.
constexpr std::size_t kMaxDescriptionBytes = kDescriptionBytes - 1;

template <typename Fn>
Fn EntryPoint(HMODULE module, const char* name) {
    // Through void (*)(), the one function pointer type every other converts to without a warning.
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

IfTable2Api LoadSystemApi() {
    std::array<wchar_t, MAX_PATH> directory{};
    const UINT length = GetSystemDirectoryW(directory.data(), MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return {};
    // The full path, so a same-named DLL beside the program is never the one loaded. The module
    // stays loaded for the life of the process, as the entry points do.
    const std::wstring path = std::wstring(directory.data(), length) + L"\\iphlpapi.dll";
    const HMODULE module = LoadLibraryW(path.c_str());
    if (module == nullptr) return {};
    IfTable2Api api;
    api.getTable = EntryPoint<IfTable2Api::GetTableFn>(module, "GetIfTable2");
    api.freeTable = EntryPoint<IfTable2Api::FreeTableFn>(module, "FreeMibTable");
    if (api.getTable == nullptr || api.freeTable == nullptr) return {};
    return api;
}

struct MibTableFree {
    IfTable2Api::FreeTableFn free;
    void operator()(MIB_IF_TABLE2* table) const noexcept { free(table); }
};
using MibTablePtr = std::unique_ptr<MIB_IF_TABLE2, MibTableFree>;

void AppendHex(std::u16string& out, std::uint32_t value, int digits) {
    static constexpr std::u16string_view kHex = u"0123456789ABCDEF";
    for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4) out += kHex[(value >> shift) & 0xF];
}

// RFC 2863: an ifSpeed too large for 32 bits reports the largest value rather than wrapping, so a
// 10 Gbit/s link does not read as 1.4 Gbit/s (nor a 4 Gbit/s one as 0). The "unknown" speed, all
// ones, lands there too.
std::uint32_t SpeedField(ULONG64 bitsPerSecond) noexcept {
    return bitsPerSecond > 0xFFFFFFFFULL ? 0xFFFFFFFFU : static_cast<std::uint32_t>(bitsPerSecond);
}

std::string ToCodePage(std::wstring_view text, UINT codePage) {
    if (text.empty()) return {};
    const int units = static_cast<int>(text.size());
    const int bytes = WideCharToMultiByte(codePage, 0, text.data(), units, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) return {};
    std::string out(static_cast<std::size_t>(bytes), '\0');
    WideCharToMultiByte(codePage, 0, text.data(), units, out.data(), bytes, nullptr, nullptr);
    return out;
}

std::wstring_view TerminatedText(std::span<const WCHAR> text) { return {text.data(), wcsnlen(text.data(), text.size())}; }

std::string AliasInUtf8(const MIB_IF_ROW2& row) {
    const std::wstring_view alias = TerminatedText(row.Alias);
    return Utf16ToUtf8(std::u16string(alias.begin(), alias.end()));
}

}  // namespace

IfTable2Api IfTable2Api::System() {
    static const IfTable2Api api = LoadSystemApi();
    return api;
}

// Drops whole characters from the end until the text fits, so a double-byte (or UTF-8) character
// is never cut in half. Every character takes at least one byte, hence the first cut.
std::string DescriptionInCodePage(std::wstring_view text, UINT codePage) {
    text = text.substr(0, kMaxDescriptionBytes);
    std::string bytes = ToCodePage(text, codePage);
    while (bytes.size() > kMaxDescriptionBytes) {
        const bool pair = text.size() >= 2 && IS_LOW_SURROGATE(text.back());
        text.remove_suffix(pair ? 2 : 1);
        bytes = ToCodePage(text, codePage);
    }
    return bytes;
}

std::u16string IfRowName(const GUID& guid) {
    std::u16string name = u"\\DEVICE\\TCPIP_{";
    AppendHex(name, guid.Data1, 8);
    name += u'-';
    AppendHex(name, guid.Data2, 4);
    name += u'-';
    AppendHex(name, guid.Data3, 4);
    name += u'-';
    for (int i = 0; i < 8; ++i) {
        if (i == 2) name += u'-';
        AppendHex(name, guid.Data4[i], 2);
    }
    name += u'}';
    return name;
}

IfRowFields IfRowFieldsFromRow2(const MIB_IF_ROW2& row) {
    IfRowFields f;
    f.name = IfRowName(row.InterfaceGuid);
    f.index = row.InterfaceIndex;
    f.type = row.Type;
    f.mtu = row.Mtu;
    f.speed = SpeedField(row.ReceiveLinkSpeed);
    const std::span<const UCHAR> address(row.PhysicalAddress);
    const std::span<const UCHAR> used = address.first(std::min<std::size_t>(row.PhysicalAddressLength, address.size()));
    f.address.assign(used.begin(), used.end());
    f.adminStatus = row.AdminStatus;
    f.operStatus = MibOperStatusFromIfOper(static_cast<IfOperStatus>(static_cast<std::uint32_t>(row.OperStatus)),
                                           row.AdminStatus == NET_IF_ADMIN_STATUS_UP);
    f.inOctets = Low32(row.InOctets);
    f.inUcast = Low32(row.InUcastPkts);
    f.inNUcast = Low32(row.InNUcastPkts);
    f.inDiscards = Low32(row.InDiscards);
    f.inErrors = Low32(row.InErrors);
    f.inUnknownProtos = Low32(row.InUnknownProtos);
    f.outOctets = Low32(row.OutOctets);
    f.outUcast = Low32(row.OutUcastPkts);
    f.outNUcast = Low32(row.OutNUcastPkts);
    f.outDiscards = Low32(row.OutDiscards);
    f.outErrors = Low32(row.OutErrors);
    f.outQueueLength = Low32(row.OutQLen);
    f.description = DescriptionInCodePage(TerminatedText(row.Description), CP_ACP);
    f.hardware = row.InterfaceAndOperStatusFlags.HardwareInterface != 0;
    f.alias = AliasInUtf8(row);
    return f;
}

IfTable2Source::IfTable2Source() : m_api(IfTable2Api::System()) {}

IfTable2Source::IfTable2Source(const IfTable2Api& api, Clock& clock) : KeptTableSource(clock), m_api(api) {}

std::u16string IfTable2Source::DecodeDescription(std::string_view bytes) const {
    // Stop at the terminator: in a double-byte code page the row's byte count is more than the
    // characters the bytes decode to, so the zero padding would survive the reader's cut.
    bytes = bytes.substr(0, bytes.find('\0'));
    if (bytes.empty()) return {};
    const int length = static_cast<int>(bytes.size());
    const int units = MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, nullptr, 0);
    if (units <= 0) return {};
    std::wstring wide(static_cast<std::size_t>(units), L'\0');
    MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, wide.data(), units);
    return {wide.begin(), wide.end()};
}

std::uint32_t IfTable2Source::ReadTable(std::vector<std::uint8_t>& table, bool sorted) {
    if (m_api.getTable == nullptr || m_api.freeTable == nullptr) return kNotSupported;
    MIB_IF_TABLE2* raw = nullptr;
    const ULONG status = m_api.getTable(&raw);
    const MibTablePtr mib(raw, MibTableFree{m_api.freeTable});
    if (status != NO_ERROR) return status;
    if (!mib) return ERROR_INVALID_DATA;
    m_rows.clear();
    for (ULONG i = 0; i < mib->NumEntries; ++i) {
        const MIB_IF_ROW2& row = mib->Table[i];
        if (!row.InterfaceAndOperStatusFlags.FilterInterface) m_rows.push_back(IfRowFieldsFromRow2(row));
    }
    WriteIfTable(table, m_rows, sorted, m_order);
    return kNoError;
}

std::unique_ptr<TableSource> MakeSystemTableSource() { return std::make_unique<IfTable2Source>(); }

}  // namespace tg
