#pragma once
// For harnesses whose parser fills a grid (a widget): one QApplication on the offscreen
// platform for the whole run, made before the replay or libFuzzer main makes a core one.
#include <QApplication>
#include <cstdlib>

inline int VnInitGuiHarness(int* argc, char*** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static QApplication* app = new QApplication(*argc, *argv);
    (void)app;
    return 0;
}

#define VN_GUI_HARNESS                                                                                                 \
    extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) { return VnInitGuiHarness(argc, argv); }
