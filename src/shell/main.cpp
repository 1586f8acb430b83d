// orvane: the client shell. See ShellOptions.h for the command line.
#include "shell/ShellApplication.h"

#include <QApplication>

#include <cstring>
#include <iostream>

int main(int argc, char** argv)
{
    // A smoke run needs no display.
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--smoke") == 0 && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("orvane"));

    std::vector<std::string> arguments;
    const QStringList given = QApplication::arguments();
    for (qsizetype i = 1; i < given.size(); ++i)
        arguments.push_back(given[i].toStdString());
    const orvane::ParsedOptions parsed = orvane::parseShellOptions(arguments);
    if (!parsed.options) {
        std::cerr << "orvane: " << parsed.error << "\n" << orvane::shellUsage();
        return 2;
    }
    return orvane::ShellApplication(*parsed.options).run();
}
