// Helpers for the tests that run real windows.
#pragma once

#include "framework/afxwin.h"
#include "testing/framework_resources.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using Calls = std::vector<std::string>;

// Empties this thread's queue without the application's loop, so that a
// test's loop starts empty: windows get their messages, a quit is dropped.
void emptyQueue();

// Handles every message waiting in this thread's queue through the
// application's loop step, as the running program would.
void handleMessages(CWinApp& app);

// A visible top-level window for tests that need painting. It is made once
// and never hidden or destroyed: on a display without a window manager that
// takes seconds.
HWND visibleHostWindow();

// A test of windows with an application object of its own; the queue is
// empty before and after.
template <typename App = CWinApp>
class WindowTest : public ::testing::Test {
protected:
  void SetUp() override { emptyQueue(); }
  void TearDown() override { emptyQueue(); }
  App app;
};

// A test of a dialog object of class `D`, made from the test template.
template <typename D>
class MadeDialog : public WindowTest<> {
protected:
  void SetUp() override {
    WindowTest::SetUp();
    ASSERT_TRUE(dialog.Create(IDD_TEST));
  }
  D dialog;
};
