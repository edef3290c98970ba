// Use from several threads and from static initialisers.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "mapm_test_support.h"

namespace {

// Runs before main, in whatever order the linker chose relative to the library.
struct EarlyUser {
    std::string pi;
    std::string sum;
    EarlyUser() {
        M_APM r = m_apm_init();
        char buf[64];
        m_apm_to_string(buf, 10, MM_PI);
        pi = buf;
        m_apm_add(r, MM_One, MM_Two);
        m_apm_multiply(r, r, MM_Ten);
        m_apm_to_fixpt_string(buf, -1, r);
        sum = buf;
        m_apm_free(r);
    }
};
EarlyUser early_user;

TEST(MapmStartup, ConstantsAreReadyForStaticInitialisers) {
    EXPECT_EQ(early_user.pi, "3.1415926536E+0");
    EXPECT_EQ(early_user.sum, "30");
}

constexpr int kThreads = 8;

// Identities whose answers are known without the library: each thread works on its own values
// and reads the shared constants.
int run_identities(int thread, int rounds, bool locked) {
    int failures = 0;
    auto call = [&](auto plain, auto mt, auto... args) {
        if (locked)
            mt(args...);
        else
            plain(args...);
    };
    M_APM x = locked ? m_apm_init_mt() : m_apm_init();
    M_APM y = locked ? m_apm_init_mt() : m_apm_init();
    M_APM z = locked ? m_apm_init_mt() : m_apm_init();
    char buf[128];
    for (int i = 0; i < rounds; ++i) {
        const long n = thread * 100000L + i + 1;
        // (n * 3 + 0.5) / 3 - n is 1/6: 0.1666...7 at 20 places.
        call(m_apm_set_long, m_apm_set_long_mt, x, n);
        call(m_apm_multiply, m_apm_multiply_mt, y, x, MM_Two);
        call(m_apm_add, m_apm_add_mt, y, y, x);
        call(m_apm_set_string, m_apm_set_string_mt, z, "0.5");
        call(m_apm_add, m_apm_add_mt, y, y, z);
        call(m_apm_divide, m_apm_divide_mt, z, 40, y, MM_Two);
        call(m_apm_divide, m_apm_divide_mt, y, 40, z, MM_PI);  // exercise the shared constant
        call(m_apm_multiply, m_apm_multiply_mt, y, y, MM_PI);
        call(m_apm_round, m_apm_round_mt, y, 30, y);
        call(m_apm_multiply, m_apm_multiply_mt, z, x, MM_Two);
        call(m_apm_add, m_apm_add_mt, z, z, x);
        call(m_apm_set_double, m_apm_set_double_mt, x, 0.5);
        call(m_apm_add, m_apm_add_mt, z, z, x);
        call(m_apm_divide, m_apm_divide_mt, z, 40, z, MM_Two);
        // z = (3n + 0.5) / 2 exactly (at most 8 digits), and y is the same after the pi round trip.
        if (m_apm_compare(y, z) != 0) ++failures;
        // sin^2 + cos^2 = 1 at 25 places, with a thread-specific angle.
        call(m_apm_set_long, m_apm_set_long_mt, x, n % 1000);
        call(m_apm_divide, m_apm_divide_mt, x, 30, x, MM_Ten);
        call(m_apm_sin, m_apm_sin_mt, y, 30, x);
        call(m_apm_cos, m_apm_cos_mt, z, 30, x);
        call(m_apm_multiply, m_apm_multiply_mt, y, y, y);
        call(m_apm_multiply, m_apm_multiply_mt, z, z, z);
        call(m_apm_add, m_apm_add_mt, y, y, z);
        call(m_apm_to_string, m_apm_to_string_mt, buf, 25, y);
        if (std::string(buf) != "1." + std::string(25, '0') + "E+0") ++failures;
        // exp(log(n)) = n at 20 places.
        call(m_apm_set_long, m_apm_set_long_mt, x, n);
        call(m_apm_log, m_apm_log_mt, y, 35, x);
        call(m_apm_exp, m_apm_exp_mt, y, 35, y);
        call(m_apm_round, m_apm_round_mt, y, 20, y);
        if (m_apm_compare(y, x) != 0) ++failures;
    }
    if (locked) {
        m_apm_free_mt(x);
        m_apm_free_mt(y);
        m_apm_free_mt(z);
    } else {
        m_apm_free(x);
        m_apm_free(y);
        m_apm_free(z);
    }
    return failures;
}

TEST(MapmThreads, ThreadSafeFormsInParallel) {
    std::atomic<int> failures{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([t, &failures] { failures += run_identities(t, 300, true); });
    for (auto& th : threads) th.join();
    EXPECT_EQ(failures.load(), 0);
}

TEST(MapmThreads, PlainFormsOnDistinctValuesInParallel) {
    std::atomic<int> failures{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([t, &failures] { failures += run_identities(t, 300, false); });
    for (auto& th : threads) th.join();
    EXPECT_EQ(failures.load(), 0);
}

TEST(MapmThreads, EnterLeaveGroupsPlainCalls) {
    M_APM shared = m_apm_init();
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 500; ++i) {
                m_apm_enter();
                m_apm_enter();  // the lock is recursive
                m_apm_add(shared, shared, MM_One);
                m_apm_leave();
                m_apm_leave();
            }
        });
    }
    for (auto& th : threads) th.join();
    char buf[32];
    m_apm_to_integer_string(buf, shared);
    EXPECT_STREQ(buf, "4000");
    m_apm_free(shared);
}

}  // namespace
