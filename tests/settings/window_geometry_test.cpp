#include "settings/window_geometry.h"

#include <gtest/gtest.h>

#include "tests/settings/temp_tree.h"

namespace tam {
namespace {

class Geometry : public ::testing::Test {
 protected:
  Geometry() {
    tree.MakeDir("Plugins");
    store.Load(tree.Win("Plugins/Kesrel.ini"));
  }
  CurrentBounds Screen(bool sizeable) const {
    CurrentBounds now;
    now.left = 100;
    now.top = 80;
    now.width = 400;
    now.height = 300;
    now.havePlacement = true;
    now.normal = Rect{100, 50, 500, 350};  // a task bar of 30 at the top
    now.sizeable = sizeable;
    now.screenWidth = 1024;
    now.screenHeight = 768;
    return now;
  }
  test::TempTree tree;
  SettingsStore store;
};

TEST_F(Geometry, SavedPlacementComesBackOnTheScreen) {
  SavedPlacement p;
  p.normal = Rect{200, 150, 840, 630};
  p.sizeable = true;
  p.state = WindowState::kMaximized;
  ASSERT_TRUE(SaveWindowGeometry(store, "SetupForm", p));
  EXPECT_EQ(tree.Get("Plugins/Kesrel.ini"),
            "SetupForm\\Width=Integer:640\r\nSetupForm\\Height=Integer:480\r\nSetupForm\\Left=Integer:200\r\n"
            "SetupForm\\Top=Integer:150\r\nSetupForm\\State=String:Maximized\r\n");

  SettingsStore reloaded;
  reloaded.Load(tree.Win("Plugins/Kesrel.ini"));
  LoadedBounds b = LoadWindowGeometry(reloaded, "SetupForm", Screen(true));
  EXPECT_EQ(b.left, 200);
  EXPECT_EQ(b.top, 180);  // work-area top 150 is screen top 180
  EXPECT_EQ(b.width, 640);
  EXPECT_EQ(b.height, 480);
  EXPECT_EQ(b.state, WindowState::kMaximized);
}

TEST_F(Geometry, FixedSizeWindowsKeepTheirSize) {
  SavedPlacement p;
  p.normal = Rect{10, 20, 30, 40};
  p.state = WindowState::kMinimized;
  ASSERT_TRUE(SaveWindowGeometry(store, "VersionForm", p));
  EXPECT_FALSE(store.Exists("VersionForm", "Width"));
  store.Write("VersionForm", "Width", Value::Int(999));
  LoadedBounds b = LoadWindowGeometry(store, "VersionForm", Screen(false));
  EXPECT_EQ(b.width, 400);
  EXPECT_EQ(b.height, 300);
  EXPECT_EQ(b.left, 10);
  EXPECT_EQ(b.top, 50);
  EXPECT_EQ(b.state, WindowState::kMinimized);
}

TEST_F(Geometry, WindowsAreKeptOnTheScreen) {
  // Nothing stored: the window stays where it is.
  LoadedBounds b = LoadWindowGeometry(store, "SetupForm", Screen(true));
  EXPECT_EQ(b.left, 100);
  EXPECT_EQ(b.top, 80);
  EXPECT_EQ(b.state, WindowState::kNormal);

  store.Write("SetupForm", "Left", Value::Int(5000));
  store.Write("SetupForm", "Top", Value::Int(-70));
  store.Write("SetupForm", "State", Value::Str("maximized"));  // not one of the words
  b = LoadWindowGeometry(store, "SetupForm", Screen(true));
  EXPECT_EQ(b.left, 1024 - 400);
  EXPECT_EQ(b.top, 0);
  EXPECT_EQ(b.state, WindowState::kNormal);

  // Wider than the screen: the left edge shows.
  store.Write("SetupForm", "Width", Value::Int(2000));
  EXPECT_EQ(LoadWindowGeometry(store, "SetupForm", Screen(true)).left, 0);

  // Absurd stored numbers neither overflow nor leave the screen.
  store.Write("SetupForm", "Left", Value::Int(2147483647));
  store.Write("SetupForm", "Width", Value::Int(-2147483647 - 1));
  store.Write("SetupForm", "Top", Value::Str("high"));
  CurrentBounds now = Screen(true);
  now.normal.left = -2147483647 - 1;
  b = LoadWindowGeometry(store, "SetupForm", now);
  EXPECT_GE(b.left, 0);
  EXPECT_LE(b.left, 1024);
  EXPECT_EQ(b.width, 0);
  EXPECT_EQ(b.top, 80);
}

}  // namespace
}  // namespace tam
