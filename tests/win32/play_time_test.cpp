// The play time in the registry: the larger of the machine-wide and the user's total, additions written to
// the user's hive, once a minute and at quit, by two copies at once, and a copy killed while it writes.
#include "platform/headless/fake_clock.h"
#include "platform/win32/win32_play_time_store.h"
#include "shell/play_time_tally.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace tundrix {
namespace {

// A key of this test's own under SOFTWARE\lumora in both hives, removed afterwards.
class PlayTime : public ::testing::Test {
  protected:
    void TearDown() override {
        RegDeleteTreeA(HKEY_CURRENT_USER, key.c_str());
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, key.c_str());
    }
    void put(HKEY hive, const void* bytes, DWORD size, DWORD type = REG_DWORD) {
        HKEY k = nullptr;
        ASSERT_EQ(RegCreateKeyExA(hive, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &k, nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(RegSetValueExA(k, "time", 0, type, static_cast<const BYTE*>(bytes), size), ERROR_SUCCESS);
        RegCloseKey(k);
    }
    void put(HKEY hive, DWORD value) { put(hive, &value, sizeof value); }
    DWORD read(HKEY hive) {
        DWORD value = 0, size = sizeof value;
        return RegGetValueA(hive, key.c_str(), "time", RRF_RT_REG_DWORD, nullptr, &value, &size) ==
                       ERROR_SUCCESS
                   ? value
                   : 0xDEADBEEF;
    }
    const std::string key = "SOFTWARE\\lumora\\tundrix-test-" + std::to_string(GetCurrentProcessId());
    const RegistryPlayTime store{key};
};

TEST_F(PlayTime, TheLargerTotalCountsAndAdditionsGoToTheUsersHive) {
    EXPECT_EQ(store.total(), 0u); // the first run on a machine
    // An installer or an older copy left a machine-wide total: it counts, and is never written.
    put(HKEY_LOCAL_MACHINE, 5000);
    EXPECT_EQ(store.total(), 5000u);
    ASSERT_TRUE(store.add(90000));
    EXPECT_EQ(read(HKEY_CURRENT_USER), 95000u);
    EXPECT_EQ(read(HKEY_LOCAL_MACHINE), 5000u);
    put(HKEY_LOCAL_MACHINE, 200000);
    EXPECT_EQ(store.total(), 200000u);
    ASSERT_TRUE(store.add(1));
    EXPECT_EQ(read(HKEY_CURRENT_USER), 200001u);
    // Up to four bytes are read whatever the value's type; a longer value reads as missing.
    const uint8_t two[] = {0x34, 0x12};
    put(HKEY_LOCAL_MACHINE, two, sizeof two, REG_BINARY);
    put(HKEY_CURRENT_USER, two, sizeof two, REG_BINARY);
    EXPECT_EQ(store.total(), 0x1234u);
    const uint8_t eight[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    put(HKEY_LOCAL_MACHINE, eight, sizeof eight, REG_BINARY);
    put(HKEY_CURRENT_USER, eight, sizeof eight, REG_BINARY);
    EXPECT_EQ(store.total(), 0u);
    // The total wraps as it always has, after about 49.7 days.
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, key.c_str());
    put(HKEY_CURRENT_USER, 0xFFFFFF00u);
    ASSERT_TRUE(store.add(0x200));
    EXPECT_EQ(store.total(), 0x100u);
}

TEST_F(PlayTime, TwoCopiesTalliesBothCountAndAnUnwrittenAdditionWaitsForTheNext) {
    headless::FakeClock clock(0xFFFF0000u); // across the clock's wrap
    const auto add = [&](uint32_t ms) { return store.add(ms); };
    PlayTimeTally first(clock, store.total(), add);
    clock.advance(30000);
    PlayTimeTally second(clock, store.total(), add);
    clock.advance(30000);
    first.addIfDue(); // a minute of the first copy
    second.addIfDue();
    EXPECT_EQ(store.total(), 60000u);
    clock.advance(30000);
    second.addIfDue(); // a minute of the second
    EXPECT_EQ(store.total(), 120000u);
    clock.advance(5000);
    first.addNow();  // the first quits: 35 s more
    second.addNow(); // and the second: 5 s more
    EXPECT_EQ(store.total(), 160000u);
    bool writable = false;
    PlayTimeTally third(clock, store.total(),
                        [&](uint32_t ms) { return writable ? store.add(ms) : std::nullopt; });
    clock.advance(70000);
    third.addIfDue();
    EXPECT_EQ(store.total(), 160000u);
    writable = true;
    clock.advance(1000);
    third.addNow();
    EXPECT_EQ(store.total(), 231000u);
    EXPECT_EQ(third.total(), 231000u);
}

// Runs the writer for a while and kills it, wherever it is; returns the last addition it reported.
unsigned long runAndKill(const std::string& key, DWORD ms) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 1 << 16)) return 0;
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA start{};
    start.cb = sizeof start;
    start.dwFlags = STARTF_USESTDHANDLES;
    start.hStdOutput = writeEnd;
    start.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION process{};
    std::string command = std::string(TUNDRIX_PLAY_TIME_WRITER) + " " + key;
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &start,
                        &process))
        return 0;
    CloseHandle(writeEnd);
    std::string said;
    // Takes only what the pipe holds: a writer that outlived its kill must not hold the test up for good.
    const auto drain = [&] {
        char chunk[4096];
        for (DWORD waiting = 0, got = 0; PeekNamedPipe(readEnd, nullptr, 0, nullptr, &waiting, nullptr) &&
                                         waiting > 0 &&
                                         ReadFile(readEnd, chunk, sizeof chunk, &got, nullptr) && got > 0;)
            said.append(chunk, got);
    };
    // The writer's time counts from its first addition: starting a program under a loaded Wine may take
    // longer than the whole run.
    for (DWORD until = GetTickCount() + 20000, started = 0; GetTickCount() < until; Sleep(1)) {
        drain();
        if (!started && said.find('\n') != std::string::npos) until = GetTickCount() + ms, started = 1;
    }
    TerminateProcess(process.hProcess, 9);
    WaitForSingleObject(process.hProcess, 10000);
    drain();
    CloseHandle(readEnd);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    // The last whole line's count.
    said.erase(said.rfind('\n') + 1);
    const size_t begin = said.rfind('\n', said.size() - 2);
    return said.empty() ? 0 : std::stoul(said.substr(begin == std::string::npos ? 0 : begin + 1));
}

TEST_F(PlayTime, ACopyKilledWhileItWritesLosesAtMostTheAdditionUnderWay) {
    unsigned long before = 0;
    for (DWORD ms : {150u, 230u, 310u, 170u, 290u}) {
        const unsigned long reported = runAndKill(key, ms);
        ASSERT_GT(reported, 0u) << "the writer did not run";
        // Every reported addition is in, and at most the one under way when it was killed besides.
        const uint32_t total = store.total();
        EXPECT_GE(total, before + reported);
        EXPECT_LE(total, before + reported + 1);
        // The mutex the killed copy may have held is handed on.
        ASSERT_TRUE(store.add(1));
        before = total + 1;
    }
}

} // namespace
} // namespace tundrix
