// A case of the real program on the tests' desktop: a fresh home, the shared X server, the
// keyboard and mouse, and the pictures of what it checks.
#ifndef NUMBERA_TESTS_NUMBERA_DESKTOP_TEST_SUPPORT_H
#define NUMBERA_TESTS_NUMBERA_DESKTOP_TEST_SUPPORT_H

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <optional>
#include <string>

#include "DesktopServer.h"
#include "DesktopWaiting.h"
#include "NumberaDesktop.h"
#include "XInput.h"
#include "XSession.h"

class NumberaDesktopTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Desktop::Server& server = Desktop::Server::shared();
        ASSERT_TRUE(server.ok()) << server.error();
        m_x = std::make_unique<Desktop::XSession>(server.display());
        ASSERT_TRUE(m_x->ok());
        m_input = std::make_unique<Desktop::XInput>(*m_x);
        ASSERT_TRUE(m_input->ok());
    }

    // A launch of the program in the case's home.
    std::unique_ptr<Desktop::App> launch(const Desktop::App::Options& options = {}) {
        return std::make_unique<Desktop::App>(m_home, *m_x, options);
    }
    // The window titled so, active, so that keys go to it; fails the case when it never shows.
    Desktop::WindowInfo activeWindowTitled(Desktop::App& app, const std::string& title) {
        const auto window = app.waitForTitle(title);
        if (!window) {
            ADD_FAILURE() << "no window titled \"" << title << "\": " << app.describe();
            return {};
        }
        EXPECT_TRUE(activate(app, window->id)) << app.describe();
        return *window;
    }
    // Activates the window and waits until it stays active: a program still starting may
    // activate a window of its own just after.
    bool activate(Desktop::App& app, Desktop::WindowId window) {
        for (int attempt = 0; attempt < 5; ++attempt) {
            m_x->activate(window);
            if (!app.waitUntilActive(window)) continue;
            Desktop::waitFor(0.3);
            if (m_x->activeWindow() == window) return true;
        }
        return false;
    }
    // The first window of the program not titled `except`, made active.
    Desktop::WindowInfo activeWindowOtherThan(Desktop::App& app, const std::string& except) {
        const auto window =
            app.waitForWindow([&](const Desktop::WindowInfo& w) { return w.title != except; }, 20);
        if (!window) {
            ADD_FAILURE() << "no window besides \"" << except << "\": " << app.describe();
            return {};
        }
        EXPECT_TRUE(activate(app, window->id)) << app.describe();
        return *window;
    }
    // A menu item chosen from the keyboard: Alt opens the menu bar at its first menu, `across`
    // steps right (left when negative) reach the menu, which opens on its first item, and
    // `down` steps down (up when negative, round from the last item) reach the item.
    void chooseFromMenu(int across, int down) {
        m_input->key("alt");
        if (across) m_input->key(across > 0 ? "Right" : "Left", std::abs(across));
        m_input->key("Down");
        if (down) m_input->key(down > 0 ? "Down" : "Up", std::abs(down));
        m_input->key("Return");
    }
    // The modal question on a window of the program, once it shows.
    std::optional<Desktop::WindowInfo> waitForQuestion(Desktop::App& app) {
        return app.waitForWindow([](const Desktop::WindowInfo& w) { return w.hasState("MODAL"); },
                                 20);
    }
    // Answers the question that shows with a key ("d" for Don't Save, "s" for Save).
    void answerQuestion(Desktop::App& app, const std::string& key) {
        const auto question = waitForQuestion(app);
        ASSERT_TRUE(question) << "no question: " << app.describe();
        ASSERT_TRUE(app.waitUntilActive(question->id)) << app.describe();
        m_input->key(key);
    }

    // Saves a picture of the window (or the screen) and answers its path.
    std::string screenshot(const std::string& name, const Desktop::WindowInfo* window = nullptr) {
        Desktop::waitFor(0.2);  // a repaint on its way lands first
        return Desktop::saveScreenshot(window ? m_x->capture(*window) : m_x->captureScreen(), name);
    }

    Desktop::XSession& x() { return *m_x; }
    Desktop::XInput& input() { return *m_input; }
    Desktop::Home& home() { return m_home; }

  private:
    std::unique_ptr<Desktop::XSession> m_x;
    std::unique_ptr<Desktop::XInput> m_input;
    Desktop::Home m_home;
};

#endif
