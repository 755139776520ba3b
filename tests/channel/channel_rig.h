// A fresh channel database in a folder of its own, removed afterwards, and members signed up the usual way.
#pragma once
#include "channel/accounts.h"
#include "channel/crypto.h"
#include "channel/store.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

namespace tundrix::channel::test {

class ChannelRig : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(initCrypto());
        char pattern[] = "/tmp/tundrix-channel-test-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder = pattern;
        std::string error;
        store = Store::open(database(), OpenMode::Create, error);
        ASSERT_NE(store, nullptr) << error;
    }
    void TearDown() override {
        store.reset();
        std::error_code ignored;
        if (!folder.empty()) std::filesystem::remove_all(folder, ignored);
    }
    std::string database() const { return (folder / "channel.db").string(); }

    int64_t join(const std::string& email, const std::string& nickname, const std::string& password,
                 const std::string& recruiter = "") {
        const SignupResult r =
            signUp(*store, {email, nickname, password, password, recruiter}, 1'800'000'000);
        EXPECT_TRUE(r.memberId) << (r.errors.empty() ? "" : r.errors.front());
        return r.memberId.value_or(0);
    }

    std::filesystem::path folder;
    std::unique_ptr<Store> store;
};

} // namespace tundrix::channel::test
