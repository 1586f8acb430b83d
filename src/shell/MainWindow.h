#pragma once
// The shell's main window: the programs the logged-in user may run, in a list. Enter, a
// double-click or "打开" starts the chosen program; a failed start shows its launch text.
// Closing the window closes every program. Client thread only.

#include <QMainWindow>

class QTableWidget;

namespace orvane {

class ShellSession;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    // session outlives the window.
    explicit MainWindow(ShellSession& session, QWidget* parent = nullptr);

    // Reads the program list from the server again.
    void refresh();
    // Starts a program; answers its launch code (a failure has been shown to the user).
    int openProgram(const std::string& programId);

    QTableWidget& programTable() { return *programs_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void openCurrent();

    ShellSession& session_;
    QTableWidget* programs_;
};

} // namespace orvane
