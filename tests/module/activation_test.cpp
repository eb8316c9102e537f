#include <cstring>

#include "loaded_module_fixture.h"

namespace vantorel::module_test {
namespace {

// Every member of the activation records is a pointer, so equal bytes mean an untouched record.
template <typename Record> bool sameBytes(const Record& a, const Record& b) {
    return std::memcmp(&a, &b, sizeof(Record)) == 0;
}

const std::vector<std::string> kHandlerLookups = {"LWVParmFuncs 2 mode=0", "LW Item Info 4 mode=0",
                                                  "Animation Envelopes mode=0",
                                                  "LW Time Info mode=0", "LW Camera Info 5 mode=0"};

// Stand-ins for what a host may have put in the records before activation.
int hostItemFuncs;
int hostRenderFuncs;
int hostInstance;
int hostPanel;
void hostOptions(void*) {}
const char* hostCommand(void*, const char*) {
    return nullptr;
}

class HandlerActivationTest : public LoadedModuleTest {
protected:
    HandlerActivationTest() {
        handler.item = reinterpret_cast<HostItemFuncs*>(&hostItemFuncs);
        handler.rend = reinterpret_cast<HostRenderFuncs*>(&hostRenderFuncs);
    }

    void expectUntouched() {
        const InstanceFuncs emptyFuncs{};
        CameraHandlerRecord asGiven{&instanceFuncs, handler.item, handler.rend, nullptr,
                                    nullptr,        nullptr,      nullptr};
        EXPECT_TRUE(sameBytes(instanceFuncs, emptyFuncs));
        EXPECT_TRUE(sameBytes(handler, asGiven));
    }
};

TEST_F(HandlerActivationTest, RefusesEveryVersionButTwoWithoutLookingAnythingUp) {
    for (int version : {1, 3, 0, -2}) {
        EXPECT_EQ(activateHandler(version), ACTIVATE_BAD_VERSION) << version;
        expectUntouched();
    }
    EXPECT_TRUE(host.log().calls().empty());
}

TEST_F(HandlerActivationTest, LooksUpItsServicesInOrderAndFillsEverySlot) {
    ASSERT_EQ(activateHandler(2), ACTIVATE_OK);

    EXPECT_EQ(lookups(host.log()), kHandlerLookups);
    EXPECT_EQ(instanceFuncs.privateData,
              reinterpret_cast<void*>(standin::StandInHost::globalLookup()));
    EXPECT_NE(instanceFuncs.create, nullptr);
    EXPECT_NE(instanceFuncs.destroy, nullptr);
    EXPECT_NE(instanceFuncs.copy, nullptr);
    EXPECT_NE(instanceFuncs.load, nullptr);
    EXPECT_NE(instanceFuncs.save, nullptr);
    EXPECT_NE(instanceFuncs.describe, nullptr);
    EXPECT_NE(handler.preview, nullptr);
    EXPECT_NE(handler.newFrame, nullptr);
    EXPECT_NE(handler.evaluate, nullptr);
    EXPECT_NE(handler.flags, nullptr);
    EXPECT_EQ(handler.item, reinterpret_cast<HostItemFuncs*>(&hostItemFuncs));
    EXPECT_EQ(handler.rend, reinterpret_cast<HostRenderFuncs*>(&hostRenderFuncs));
}

struct MissingServiceCase {
    const char* service;
    int result;
};

TEST_F(HandlerActivationTest, NeedsEveryServiceButCameraInformation) {
    const std::vector<MissingServiceCase> cases = {
        {"LWVParmFuncs 2", ACTIVATE_MISSING_SERVICE},
        {"LW Item Info 4", ACTIVATE_MISSING_SERVICE},
        {"Animation Envelopes", ACTIVATE_MISSING_SERVICE},
        {"LW Time Info", ACTIVATE_MISSING_SERVICE},
        {"LW Camera Info 5", ACTIVATE_OK},
    };
    for (const MissingServiceCase& c : cases) {
        host.log().clear();
        host.setServiceAvailable(c.service, false);

        EXPECT_EQ(activateHandler(), c.result) << c.service;
        // Every service is asked for, whichever is missing.
        EXPECT_EQ(lookups(host.log()), kHandlerLookups) << c.service;
        if (c.result == ACTIVATE_OK) {
            EXPECT_NE(handler.evaluate, nullptr) << c.service;
        } else {
            expectUntouched();
        }
        host.setServiceAvailable(c.service, true);
    }
}

class InterfaceActivationTest : public LoadedModuleTest {
protected:
    CameraInterfaceRecord record{&hostInstance, reinterpret_cast<PanelHandle>(&hostPanel),
                                 &hostOptions, &hostCommand};
    const CameraInterfaceRecord asGiven = record;
};

TEST_F(InterfaceActivationTest, RefusesEveryVersionButFourWithoutLookingAnythingUp) {
    for (int version : {3, 5, 0}) {
        EXPECT_EQ(activateInterface(record, version), ACTIVATE_BAD_VERSION) << version;
        EXPECT_TRUE(sameBytes(record, asGiven)) << version;
    }
    EXPECT_TRUE(host.log().calls().empty());
}

TEST_F(InterfaceActivationTest, BuildsAPanelViewingTheRecordsInstance) {
    ASSERT_EQ(activateInterface(record, 4), ACTIVATE_OK);

    EXPECT_EQ(lookups(host.log()),
              (std::vector<std::string>{"Instance Update mode=0", "LWXPanel mode=0"}));
    EXPECT_EQ(host.log().operationsOf("LWXPanel"),
              (std::vector<std::string>{"create", "describe", "hint", "viewInstance", "setData"}));
    ASSERT_EQ(host.panels(), std::vector<PanelHandle>{record.panel});
    const standin::Panel& panel = *host.panel(record.panel);
    EXPECT_EQ(panel.type, 1);
    EXPECT_EQ(panel.viewedInstance, &hostInstance);
    EXPECT_EQ(panel.dataById, (std::map<std::uint32_t, void*>{{0u, &hostInstance}}));
    ASSERT_EQ(panel.hintLists.size(), 1u);
    EXPECT_EQ(panel.hintLists[0].id, 0u);
    EXPECT_EQ(record.inst, &hostInstance);
    EXPECT_EQ(record.options, nullptr);
    EXPECT_EQ(record.command, nullptr);
}

TEST_F(InterfaceActivationTest, RefusesWithoutThePanelService) {
    host.setServiceAvailable("LWXPanel", false);

    EXPECT_EQ(activateInterface(record), ACTIVATE_MISSING_SERVICE);
    EXPECT_TRUE(sameBytes(record, asGiven));
    EXPECT_TRUE(host.panels().empty());
}

TEST_F(InterfaceActivationTest, BuildsThePanelWithoutInstanceUpdates) {
    host.setServiceAvailable("Instance Update", false);

    EXPECT_EQ(activateInterface(record), ACTIVATE_OK);
    EXPECT_NE(host.panel(record.panel), nullptr);
}

TEST_F(InterfaceActivationTest, AcceptsAPanelTheHostCannotCreateAndLeavesTheRecordAlone) {
    host.failPanelCreation();

    EXPECT_EQ(activateInterface(record), ACTIVATE_OK);
    EXPECT_TRUE(sameBytes(record, asGiven));
    EXPECT_EQ(host.log().operationsOf("LWXPanel"), std::vector<std::string>{"create"});
}

} // namespace
} // namespace vantorel::module_test
