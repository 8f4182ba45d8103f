#include <gtest/gtest.h>

#include <vector>

#include "counters/CInterfaces.h"

namespace tg {
namespace {

TEST(CInterface, NewRecordIsEmptyAndStoresValuesUnchanged) {
    CInterface r;
    EXPECT_EQ(r.InterfaceName(), "");
    EXPECT_EQ(r.AdapterAddress(), "");
    EXPECT_EQ(r.InterfaceDescription(), "");
    EXPECT_EQ(r.OctetsReceived(), 0);
    EXPECT_EQ(r.OutputQueueLength(), 0);
    EXPECT_EQ(r.LastChange(), 0.0);

    const std::int32_t negative = -123456;
    r.OctetsSent(negative);
    r.MaximumTransmissionUnit(1500);
    r.InterfaceName("eth0");
    r.LastChange(45000.5);
    EXPECT_EQ(r.OctetsSent(), -123456);
    EXPECT_EQ(r.MaximumTransmissionUnit(), 1500);
    EXPECT_EQ(r.OctetsReceived(), 0) << "writing one field must not touch another";
    EXPECT_EQ(r.InterfaceName(), "eth0");
    EXPECT_EQ(r.LastChange(), 45000.5);
}

CInterfacePtr Named(const std::string& name) {
    auto r = std::make_shared<CInterface>();
    r->InterfaceName(name);
    return r;
}

TEST(CInterfaces, AddMovesTheHandleAndReturnsTheStoredRecord) {
    CInterfaces c;
    CInterfacePtr handle = Named("a");
    CInterface* const raw = handle.get();
    const CInterfacePtr stored = c.Add(handle);
    EXPECT_EQ(handle, nullptr);
    EXPECT_EQ(stored.get(), raw);
    EXPECT_EQ(c.Count(), 1);
    EXPECT_EQ(c.Item(c.Count()).get(), raw);

    CInterfacePtr again = stored;
    c.Add(again);
    EXPECT_EQ(c.Count(), 2) << "the same record added twice is stored twice";
    EXPECT_EQ(c.Item(2).get(), raw);
}

TEST(CInterfaces, OutOfRangeAndUnknownKeysFailAndLeaveTheCollectionAlone) {
    CInterfaces c;
    EXPECT_EQ(c.Count(), 0);
    EXPECT_THROW(c.Item(1), CollectionError);
    for (const char* n : {"a", "b", "c"}) {
        CInterfacePtr r = Named(n);
        c.Add(r);
    }
    for (const std::int32_t bad : {0, -1, 4, 1 << 30}) {
        EXPECT_THROW(c.Item(bad), CollectionError) << bad;
        EXPECT_THROW(c.Remove(bad), CollectionError) << bad;
    }
    EXPECT_THROW(c.Item("a"), CollectionError) << "records added without a key have none";
    EXPECT_THROW(c.Remove("a"), CollectionError);
    EXPECT_EQ(c.Count(), 3);
    EXPECT_EQ(c.Item(1)->InterfaceName(), "a");
    try {
        c.Item(7);
    } catch (const CollectionError& e) {
        EXPECT_EQ(e.Number(), CollectionError::kInvalidArgument);
    }
}

TEST(CInterfaces, RemoveShiftsLaterRecordsAndRemovedRecordsLiveOn) {
    CInterfaces c;
    for (const char* n : {"a", "b", "c"}) {
        CInterfacePtr r = Named(n);
        c.Add(r);
    }
    const CInterfacePtr first = c.Item(1);
    c.Remove(1);
    EXPECT_EQ(c.Count(), 2);
    EXPECT_EQ(c.Item(1)->InterfaceName(), "b");
    EXPECT_EQ(c.Item(2)->InterfaceName(), "c");
    EXPECT_EQ(first->InterfaceName(), "a");
}

TEST(CInterfaces, KeysFindRecordsAndMustBeUnique) {
    CInterfaces c;
    CInterfacePtr a = Named("a");
    CInterfacePtr b = Named("b");
    c.Add(a, "first");
    c.Add(b);
    EXPECT_EQ(c.Item("first")->InterfaceName(), "a");
    CInterfacePtr dup = Named("dup");
    EXPECT_THROW(c.Add(dup, "first"), CollectionError);
    EXPECT_EQ(c.Count(), 2);
    c.Remove("first");
    EXPECT_EQ(c.Item(1)->InterfaceName(), "b");
}

TEST(CInterfaces, ForEachWalksInInsertionOrder) {
    CInterfaces c;
    for (const char* n : {"x", "y", "z", "x"}) {
        CInterfacePtr r = Named(n);
        c.Add(r);
    }
    std::vector<std::string> seen;
    for (const CInterfacePtr& r : c) seen.push_back(r->InterfaceName());
    EXPECT_EQ(seen, (std::vector<std::string>{"x", "y", "z", "x"}));
}

}  // namespace
}  // namespace tg
