#pragma once
// The application-wide input and look state of a window test binary, put back before and after
// each test to what the binary had when it started, so that a test meets the same application
// whether it runs alone or after others. A test that ends with a mouse button pressed (a press
// without its release, a widget deleted under the mouse) leaves QTest counting the button as
// held: every later QTest::mouseMove becomes a drag instead of a hover. A test that leaves a
// popup, a tooltip, the focus, an active window, an override cursor, the cursor's place, the
// clipboard, the application font, palette, style, locale, keyboard interval or UI effects
// changed would hand them on the same way.

namespace testing_support {

// Takes the state to come back to and registers a gtest listener that restores it around every
// test. Call once from main, after the application's font and style are set.
void installGuiStateReset();

// Puts the captured state back now and handles pending deletions; no mouse button stays held.
void restoreGuiState();

} // namespace testing_support
