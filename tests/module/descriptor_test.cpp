#include "loaded_module_fixture.h"

namespace vantorel::module_test {
namespace {

using DescriptorTest = LoadedModuleTest;

TEST_F(DescriptorTest, NamesTheInterfaceGenerationAndStartsWithTokenFour) {
    const ModuleDescriptor& descriptor = module->descriptor();
    EXPECT_EQ(descriptor.synchronisation, 0x04121994u);
    EXPECT_EQ(descriptor.systemVersion, 3u);
    EXPECT_EQ(descriptor.machineCode, 0x300u);
    ASSERT_NE(descriptor.shutdown, nullptr);
    EXPECT_EQ(module->startupToken(), reinterpret_cast<void*>(std::uintptr_t{4}));
    EXPECT_EQ(descriptor.startup(), reinterpret_cast<void*>(std::uintptr_t{4}));
}

TEST_F(DescriptorTest, OffersBothServersUnderOneNameWithOneSharedTagList) {
    const auto servers = module->servers();
    ASSERT_EQ(servers.size(), 2u);
    EXPECT_STREQ(servers[0]->className, "CameraHandler");
    EXPECT_STREQ(servers[1]->className, "CameraInterface");
    for (const ServerRecord* server : servers) {
        EXPECT_STREQ(server->serverName, "Vantorel0.1.5") << server->className;
        EXPECT_NE(server->activate, nullptr) << server->className;
        const auto tags = standin::LoadedModule::tags(*server);
        ASSERT_EQ(tags.size(), 1u) << server->className;
        EXPECT_STREQ(tags[0]->text, "Vantorel 0.1.5");
        EXPECT_EQ(tags[0]->tag, 0u);
    }
    EXPECT_EQ(servers[0]->tags, servers[1]->tags);
    EXPECT_NE(servers[0]->activate, servers[1]->activate);
}

TEST_F(DescriptorTest, ShuttingDownAsksNothingOfTheHost) {
    ASSERT_EQ(activateHandler(), ACTIVATE_OK);
    destroyInstance(createInstance(camera));
    host.log().clear();

    module->close();

    EXPECT_TRUE(host.log().calls().empty());
    EXPECT_TRUE(host.log().faults().empty());
}

} // namespace
} // namespace vantorel::module_test
