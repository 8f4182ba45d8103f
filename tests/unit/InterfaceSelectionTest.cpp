#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "counters/IfTableLayout.h"
#include "counters/InterfaceSelection.h"
#include "mainwindow/InterfaceMenu.h"

namespace tg {
namespace {

struct Row {
    const char* name;
    std::int32_t type;
    bool hardware;
    std::uint32_t oper = iftable::kOperOperational;
    const char* alias = "";
    std::string description = {};
};

CInterfaces Table(const std::vector<Row>& rows) {
    CInterfaces table;
    for (const Row& r : rows) {
        auto record = std::make_shared<CInterface>();
        record->InterfaceName(r.name);
        record->InterfaceType(r.type);
        record->HardwareInterface(r.hardware);
        record->OperationalStatus(static_cast<std::int32_t>(r.oper));
        record->InterfaceAlias(r.alias);
        record->InterfaceDescription(r.description);
        table.Add(record);
    }
    return table;
}

std::vector<bool> Counted(const InterfaceSelection& s, const std::vector<Row>& rows) {
    std::vector<bool> counted;
    s.Counted(Table(rows), counted);
    return counted;
}

constexpr std::int32_t kEther = iftable::kIfTypeEthernet;
constexpr std::int32_t kLoop = iftable::kIfTypeSoftwareLoopback;

TEST(InterfaceSelection, WhichRowsCount) {
    const std::vector<Row> laptop = {{"lo", kLoop, false},      {"wlan0", 71, true},   {"docker0", kEther, false},
                                     {"veth1a2b", kEther, false}, {"tun0", 131, false}, {"enp3s0", kEther, true}};
    const std::vector<Row> container = {{"lo", kLoop, false}, {"eth0", kEther, false}, {"wg0", 131, false}};
    struct Case {
        const char* what;
        InterfaceSelection selection;
        const std::vector<Row>& rows;
        std::vector<bool> counted;
    } cases[] = {
        {"automatic: the hardware links", {}, laptop, {false, true, false, false, false, true}},
        {"automatic without hardware: all but loopback", {}, container, {false, true, true}},
        {"chosen, one of them absent", InterfaceSelection::Chosen({"lo", "usb0"}), laptop, {true, false, false, false, false, false}},
        {"chosen and all absent", InterfaceSelection::Chosen({"usb0"}), container, {false, false, false}},
        {"all", InterfaceSelection::All(), container, {true, true, true}},
    };
    for (const Case& c : cases) EXPECT_EQ(Counted(c.selection, c.rows), c.counted) << c.what;
    EXPECT_TRUE(Counted({}, {}).empty());
}

TEST(InterfaceSelection, PickingFromTheMenu) {
    using S = InterfaceSelection;
    EXPECT_EQ(S().Picked("lo"), S::Chosen({"lo"})) << "automatic: exactly the one picked";
    EXPECT_EQ(S::Chosen({"lo"}).Picked("eth0"), S::Chosen({"lo", "eth0"})) << "chosen: toggled in";
    EXPECT_EQ(S::Chosen({"lo", "eth0"}).Picked("lo"), S::Chosen({"eth0"})) << "toggled out";
    EXPECT_EQ(S::Chosen({"eth0"}).Picked("eth0"), S()) << "the last one out: automatic again";
    EXPECT_EQ(S::All().Picked("lo"), S::Chosen({"lo"}));
    EXPECT_EQ(S::Chosen({}), S());
    EXPECT_EQ(S::Chosen({"a", "b", "a"}).Names(), (std::vector<std::string>{"a", "b"}));
}

TEST(InterfaceSelection, StoredTextRoundTripsAndGarbledTextIsRefused) {
    using S = InterfaceSelection;
    const S good[] = {S(), S::Chosen({"lo"}), S::Chosen({"eth0", "wlan,1", "50%"}),
                      S::Chosen({"\\DEVICE\\TCPIP_{4D36E972-E325-11CE-BFC1-08002BE10318}", "\xE4\xBB\xA5\xE5\xA4\xAA"})};
    for (const S& s : good) EXPECT_EQ(SelectionFromText(SelectionToText(s)), s) << SelectionToText(s);
    EXPECT_EQ(SelectionToText(S::Chosen({"wlan,1", "50%"})), "wlan%2C1,50%25");
    EXPECT_EQ(SelectionFromText(" eth0 , wlan0 "), S::Chosen({"eth0", "wlan0"})) << "a hand-edited list";
    EXPECT_EQ(SelectionFromText("  "), S());
    for (const char* garbled : {"eth0,", ",eth0", "eth0,,lo", "a%2", "a%zz", "a%41", "eth\t0", "\xFF\xFE", "%"})
        EXPECT_EQ(SelectionFromText(garbled), std::nullopt) << garbled;
    EXPECT_EQ(SelectionFromText(std::string(257, 'n')), std::nullopt) << "a name no system gives";
    std::string many = "n";
    for (int i = 0; i < 256; ++i) many += ",n" + std::to_string(i);
    EXPECT_EQ(SelectionFromText(many), std::nullopt) << "more names than any table has";
    EXPECT_EQ(SelectionFromOption("all"), S::All());
    EXPECT_EQ(SelectionFromOption("lo,eth0"), S::Chosen({"lo", "eth0"}));
    EXPECT_EQ(SelectionFromOption(""), std::nullopt) << "an empty list on the command line asks for nothing";
}

TEST(InterfaceMenu, CountedFirstThenUpThenTheRestApartWithPeoplesNames) {
    const auto down = iftable::kOperNonOperational;
    const CInterfaces table = Table({
        {"\\DEVICE\\TCPIP_{1}", 131, false, down, "", "Teredo Tunneling Pseudo-Interface"},
        {"\\DEVICE\\TCPIP_{2}", kLoop, false, iftable::kOperOperational, "Loopback Pseudo-Interface 1", "x"},
        {"\\DEVICE\\TCPIP_{3}", 71, true, iftable::kOperOperational, "Wi-Fi", "Intel(R) Wi-Fi 6 AX201"},
        {"\\DEVICE\\TCPIP_{4}", kEther, true, down, "", std::string("Realtek PCIe GbE\0\0", 18)},
        {"\\DEVICE\\TCPIP_{5}", kEther, false, down},
        {"\\DEVICE\\TCPIP_{3}", 71, true},  // a repeated row is listed once
    });
    const auto items = BuildInterfaceMenu(table, InterfaceSelection());
    std::vector<std::string> captions;
    for (const auto& item : items) captions.push_back(item.entry.caption + (item.entry.checked ? " [x]" : ""));
    EXPECT_EQ(captions, (std::vector<std::string>{"Wi-Fi [x]", "Realtek PCIe GbE [x]", "Loopback Pseudo-Interface 1",
                                                  "Teredo Tunneling Pseudo-Interface", "\\DEVICE\\TCPIP_{5}"}));
    ASSERT_EQ(items.size(), 5u);
    EXPECT_EQ(items[0].name, "\\DEVICE\\TCPIP_{3}");
    for (std::size_t i = 0; i < items.size(); ++i) EXPECT_EQ(items[i].entry.separatorBefore, i == 3) << i;
    EXPECT_TRUE(BuildInterfaceMenu({}, InterfaceSelection()).empty());
}

}  // namespace
}  // namespace tg
