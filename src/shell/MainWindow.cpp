#include "shell/MainWindow.h"

#include "platform/text/LocalText.h"
#include "services/InterfaceTexts.h"
#include "shell/LaunchCode.h"
#include "shell/ShellSession.h"
#include "ui/DialogService.h"
#include "ui/Guard.h"
#include "ui/QtText.h"

#include <QCloseEvent>
#include <QHeaderView>
#include <QMenuBar>
#include <QStatusBar>
#include <QTableWidget>
#include <QToolBar>

namespace orvane {

namespace {

enum ListColumn { IdListColumn, NameListColumn };

// The start data of a program opened from the list.
constexpr std::string_view plainStartData = "";

} // namespace

MainWindow::MainWindow(ShellSession& session, QWidget* parent)
    : QMainWindow(parent), session_(session), programs_(new QTableWidget(this))
{
    setObjectName(QStringLiteral("frmShell"));
    const SessionIdentity& who = session.identity();
    setWindowTitle(QStringLiteral("Orvane - %1 - %2").arg(text::toQString(who.company), text::toQString(who.user)));

    programs_->setObjectName(QStringLiteral("gdPrograms"));
    programs_->setColumnCount(2);
    const std::shared_ptr<const InterfaceTexts> texts = InterfaceTexts::current();
    const auto caption = [&texts](const char* component, const std::string& designText) {
        return text::toQString(texts->text(textObject::shell, component, designText));
    };
    programs_->setHorizontalHeaderLabels(
        {caption("colProgramId", LOCAL_TEXT(u8"程序代号")), caption("colProgramName", LOCAL_TEXT(u8"程序名称"))});
    programs_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    programs_->setSelectionBehavior(QAbstractItemView::SelectRows);
    programs_->setSelectionMode(QAbstractItemView::SingleSelection);
    programs_->verticalHeader()->hide();
    programs_->horizontalHeader()->setStretchLastSection(true);
    setCentralWidget(programs_);
    connect(programs_, &QTableWidget::activated, this, guardedSlot("MainWindow.open", [this] { openCurrent(); }));

    QMenu* menu = menuBar()->addMenu(caption("mnuProgram", LOCAL_TEXT(u8"程序(&P)")));
    QAction* open = menu->addAction(caption("miOpen", LOCAL_TEXT(u8"打开(&O)")), this,
                                    guardedSlot("MainWindow.open", [this] { openCurrent(); }));
    QAction* reload = menu->addAction(caption("miRefresh", LOCAL_TEXT(u8"刷新(&R)")), this,
                                      guardedSlot("MainWindow.refresh", [this] { refresh(); }));
    menu->addSeparator();
    menu->addAction(caption("miExit", LOCAL_TEXT(u8"退出(&X)")), this, &QWidget::close);
    QToolBar* tools = addToolBar(caption("mnuProgram", LOCAL_TEXT(u8"程序")));
    tools->addAction(open);
    tools->addAction(reload);

    statusBar()->showMessage(
        QStringLiteral("%1 %2 %3")
            .arg(text::toQString(who.company), text::toQString(who.companyDb),
                 QString::fromStdString(session.endpoint() + (session.embedded() ? " (embedded)" : ""))));
    session_.programs().setShellWindow(static_cast<std::int64_t>(winId()));
    resize(520, 360);
    refresh();
    // The program a clerk is offered first has its window made ahead while the shell is idle.
    if (const QTableWidgetItem* item = programs_->item(programs_->currentRow(), IdListColumn))
        session_.programs().prepareSpareLater(text::fromQString(item->text()), Variant(plainStartData));
}

void MainWindow::refresh()
{
    const std::shared_ptr<const InterfaceTexts> texts = InterfaceTexts::current();
    programs_->setRowCount(0);
    for (const ProgramEntry& program : session_.catalog().programs()) {
        if (!program.mayRun)
            continue;
        const int row = programs_->rowCount();
        programs_->insertRow(row);
        programs_->setItem(row, IdListColumn, new QTableWidgetItem(text::toQString(program.id)));
        programs_->setItem(
            row, NameListColumn,
            new QTableWidgetItem(text::toQString(texts->text(textObject::programs, program.id, program.name))));
    }
    if (programs_->rowCount() > 0)
        programs_->setCurrentCell(0, IdListColumn);
    programs_->resizeColumnToContents(IdListColumn);
}

int MainWindow::openProgram(const std::string& programId)
{
    const StartOutcome outcome = session_.programs().start({programId, Variant(plainStartData), 0, {}, {}});
    if (outcome.code < 0) {
        MessageDialog box;
        box.caption = windowTitle();
        box.kind = DialogKind::Error;
        box.text = QString::fromStdString(launchText(outcome.code, text::localToUtf8(outcome.programName)) + "\n" +
                                          outcome.detail);
        DialogService::instance().showMessage(box);
    }
    return outcome.code;
}

void MainWindow::openCurrent()
{
    const QTableWidgetItem* item = programs_->item(programs_->currentRow(), IdListColumn);
    if (item)
        openProgram(text::fromQString(item->text()));
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    // A document being typed in a program window is the clerk's to save or drop first; the shell
    // stays when one of them says so.
    bool closed = true;
    if (guarded("MainWindow.close", [&] { closed = session_.programs().closeWindows(); }) && !closed) {
        event->ignore();
        return;
    }
    guarded("MainWindow.close", [this] { session_.programs().closeAll(); });
    event->accept();
}

} // namespace orvane
