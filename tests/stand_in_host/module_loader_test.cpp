#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "stand_in_host/module_loader.h"
#include "stand_in_host/stand_in_host.h"

namespace vantorel::standin {
namespace {

constexpr int kFixtureVersion = 7;

std::filesystem::path writeTextFile() {
    const std::filesystem::path file =
        std::filesystem::path(::testing::TempDir()) / "not_a_module.p";
    std::ofstream(file) << "This is a text file, not a module.\n";
    return file;
}

struct BadFileCase {
    const char* what;
    std::filesystem::path file;
    ModuleError error;
};

TEST(ModuleLoader, RefusesEachBadFileWithItsOwnReason) {
    StandInHost host;
    const std::vector<BadFileCase> cases = {
        {"missing file", std::filesystem::path(::testing::TempDir()) / "no_such_module.p",
         ModuleError::FileMissing},
        {"directory", std::filesystem::path(::testing::TempDir()), ModuleError::FileMissing},
        {"text file", writeTextFile(), ModuleError::NotLoadable},
        {"library without descriptor", FIXTURE_MISNAMED_DESCRIPTOR, ModuleError::NoDescriptor},
        {"wrong synchronisation word", FIXTURE_WRONG_SYNCHRONISATION,
         ModuleError::WrongSynchronisation},
        {"wrong system version", FIXTURE_WRONG_VERSION, ModuleError::WrongVersion},
        {"start-up without token", FIXTURE_NO_TOKEN, ModuleError::StartupFailed},
    };
    for (const BadFileCase& c : cases) {
        const auto opened = LoadedModule::open(c.file);
        ASSERT_FALSE(opened.ok()) << c.what;
        EXPECT_EQ(opened.failure().error, c.error) << c.what << ": " << opened.failure().detail;
        EXPECT_NE(opened.failure().detail.find(c.file.string()), std::string::npos) << c.what;
    }
}

TEST(ModuleLoader, NamesTheWrongSynchronisationWord) {
    const auto opened = LoadedModule::open(FIXTURE_WRONG_SYNCHRONISATION);
    ASSERT_FALSE(opened.ok());
    EXPECT_NE(opened.failure().detail.find("0x19941204"), std::string::npos);
}

class SoundModule : public ::testing::Test {
protected:
    StandInHost host;
    Result<LoadedModule> opened = LoadedModule::open(FIXTURE_SOUND);
};

TEST_F(SoundModule, ListsItsServersAndTags) {
    ASSERT_TRUE(opened.ok()) << opened.failure().detail;
    const LoadedModule& module = opened.value();
    EXPECT_EQ(module.descriptor().machineCode, MODULE_MACHINE_CODE);
    const auto servers = module.servers();
    ASSERT_EQ(servers.size(), 2u);
    EXPECT_STREQ(servers[0]->className, CAMERA_HANDLER_CLASS);
    EXPECT_STREQ(servers[1]->className, CAMERA_INTERFACE_CLASS);
    const auto tags = LoadedModule::tags(*servers[1]);
    ASSERT_EQ(tags.size(), 1u);
    EXPECT_STREQ(tags[0]->text, "Fixture 1.0");
}

TEST_F(SoundModule, FindsAServerOnlyByBothClassAndName) {
    ASSERT_TRUE(opened.ok());
    const LoadedModule& module = opened.value();
    EXPECT_TRUE(module.findServer(CAMERA_INTERFACE_CLASS, "Fixture").ok());
    for (const auto& [className, name] : std::vector<std::pair<const char*, const char*>>{
             {CAMERA_HANDLER_CLASS, "Other"}, {"OtherHandler", "Fixture"}, {"", ""}}) {
        const auto found = module.findServer(className, name);
        ASSERT_FALSE(found.ok()) << className << " " << name;
        EXPECT_EQ(found.failure().error, ModuleError::ServerNotFound);
    }
}

TEST_F(SoundModule, ActivationGetsTheCallersVersionAndTheHostsLookup) {
    ASSERT_TRUE(opened.ok());
    const ServerRecord& server =
        *opened.value().findServer(CAMERA_HANDLER_CLASS, "Fixture").value();
    host.setTime(1.5, 36);
    double seenTime = 0.0;
    EXPECT_EQ(LoadedModule::activate(server, kFixtureVersion + 1, &seenTime), ACTIVATE_BAD_VERSION);
    EXPECT_EQ(LoadedModule::activate(server, kFixtureVersion, &seenTime), ACTIVATE_OK);
    EXPECT_EQ(seenTime, 1.5);
    host.setServiceAvailable(TIME_INFO_SERVICE_NAME, false);
    EXPECT_EQ(LoadedModule::activate(server, kFixtureVersion, &seenTime), ACTIVATE_MISSING_SERVICE);
}

TEST_F(SoundModule, ClosingShutsTheModuleDownWithItsStartupTokenOnce) {
    ASSERT_TRUE(opened.ok());
    LoadedModule module = std::move(opened.value());
    double seenTime = 0.0;
    LoadedModule::activate(*module.findServer(CAMERA_HANDLER_CLASS, "Fixture").value(),
                           kFixtureVersion, &seenTime);
    void* token = module.startupToken();
    ASSERT_NE(token, nullptr);

    module.close();
    module.close();

    EXPECT_EQ(host.instanceUpdates(), (std::vector<InstanceUpdate>{{"shutdown", token}}));
}

} // namespace
} // namespace vantorel::standin
