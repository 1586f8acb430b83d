// The main() of every test executable that needs Qt widgets: one QApplication for the whole run
// (offscreen unless QT_QPA_PLATFORM says otherwise) and the dialog service scripted, so that no
// message box or modal window ever waits for a user.

#include "ui/DialogService.h"

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    orvane::DialogService::instance().setScripted(true);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
