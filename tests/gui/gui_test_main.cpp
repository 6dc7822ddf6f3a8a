// The Qt-side tests need an application object for their event loops and
// sockets; a core application is enough, so no display is involved.

#include <QCoreApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    // GoogleTest takes its own options out of argv before Qt keeps a
    // reference to it.
    ::testing::InitGoogleTest(&argc, argv);
    QCoreApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
