#include "shell/ShellApplication.h"

#include "platform/config/ConfigError.h"
#include "platform/config/IniFile.h"
#include "platform/text/CodePage.h"
#include "platform/variant/NumberText.h"
#include "services/Language_Convert.h"
#include "services/OrvaneINI.h"
#include "services/ZtMsg.h"
#include "shell/DocumentStoreClient.h"
#include "shell/LoginDialog.h"
#include "shell/QtTranslations.h"
#include "shell/MainWindow.h"
#include "shell/QtShellWindows.h"
#include "shell/ShellSession.h"
#include "ui/DialogService.h"
#include "ui/QtText.h"

#include <QApplication>
#include <QTableWidget>
#include <QWidget>

#include <iostream>

namespace orvane {

namespace {

constexpr std::string_view demoSection = "Demo Login";

// The login of a demonstration installation: User, Company and Password of the client
// configuration's [Demo Login] section, which only a demonstration client folder carries.
ServerCredentials demoCredentials(const TOrvaneIniC& configuration)
{
    const IniFile ini(configuration.configFile());
    if (!ini.sectionExists(demoSection))
        throw ConfigError("--demo needs a demonstration installation: " + configuration.configFile() +
                          " has no [Demo Login] section (scripts/make-demo-client.sh makes such a folder)");
    return {ini.readString(demoSection, "User"), ini.readString(demoSection, "Password"),
            ini.readString(demoSection, "Company")};
}

void showError(const std::string& message)
{
    MessageDialog box;
    box.caption = QStringLiteral("Orvane");
    box.text = QString::fromStdString(message);
    box.kind = DialogKind::Error;
    DialogService::instance().showMessage(box);
}

} // namespace

ShellApplication::ShellApplication(ShellOptions options)
    : options_(std::move(options)), windows_(std::make_unique<QtShellWindows>())
{}

ShellApplication::~ShellApplication() = default;

int ShellApplication::fail(const std::string& message)
{
    std::cerr << "orvane: " << message << std::endl;
    showError(message);
    return 1;
}

int ShellApplication::run()
{
    installExceptionReportWriter();
    if (options_.smoke)
        DialogService::instance().setScripted(true);
    std::unique_ptr<TOrvaneIniC> configuration;
    try {
        configuration = std::make_unique<TOrvaneIniC>();
    } catch (const std::exception& e) {
        return fail(std::string("cannot read the installation settings: ") + e.what());
    }
    if (!configuration->readSucceeded())
        return fail("cannot read the client configuration (" + configuration->errorText() +
                    "): " + configuration->errorDetail());
    // The interface's texts are GB or Big5: under any other code page every one would be shown
    // converted wrongly, so the shell does not start on it.
    const auto codePage =
        text::codePageFromNumber(static_cast<int>(text::parseIntegerOrZero(configuration->uiCodePage())));
    if (!codePage || *codePage == text::CodePage::Utf8)
        return fail("the client configuration " + configuration->configFile() + " sets [CodePage] UICodePage to '" +
                    configuration->uiCodePage() + "': the interface code page must be 936 (GB) or 950 (Big5)");
    text::setInstallationCodePage(*codePage);
    installQtTranslations(configuration->langType());
    setLanguageNotice([](const std::string& message, const std::string&) {
        MessageDialog box;
        box.text = text::toQString(message);
        DialogService::instance().showMessage(box);
    });

    Started shell;
    try {
        shell = options_.directLogin ? directLogin(*configuration) : interactiveLogin(*configuration);
    } catch (const std::exception& e) {
        return fail(e.what());
    }
    if (!shell.session)
        return 0;
    ShellSession& session = *shell.session;
    MainWindow* const window = shell.window.get();
    int status = 0;
    for (const std::string& program : options_.open)
        if (window->openProgram(text::utf8ToLocal(program)) < 0)
            status = 1;
    if (options_.smoke)
        return smoke(session, *window) == 0 ? status : 1;
    window->show();
    const int loop = QApplication::exec();
    return status == 0 ? loop : status;
}

ShellApplication::Started ShellApplication::logIn(const TOrvaneIniC& configuration, ServerCredentials credentials)
{
    Started shell;
    shell.session = std::make_unique<ShellSession>(
        ServerAccessOptions::fromConfiguration(configuration), std::move(credentials), configuration.workDllPaths(),
        documentFolder(configuration.clientPath()), LanguageTables::forProcess(), *windows_);
    try {
        shell.window = std::make_unique<MainWindow>(*shell.session);
    } catch (const std::exception& e) {
        throw ServerAccessError("application server " + shell.session->endpoint() +
                                ": cannot read the program list: " + e.what());
    }
    return shell;
}

ShellApplication::Started ShellApplication::directLogin(const TOrvaneIniC& configuration)
{
    ServerCredentials credentials;
    if (options_.demo) {
        credentials = demoCredentials(configuration);
    } else {
        credentials = {text::utf8ToLocal(options_.user), text::utf8ToLocal(readPasswordFile(options_.passwordFile)),
                       text::utf8ToLocal(options_.company)};
    }
    return logIn(configuration, std::move(credentials));
}

ShellApplication::Started ShellApplication::interactiveLogin(const TOrvaneIniC& configuration)
{
    LoginDialog dialog;
    for (;;) {
        DialogService::instance().runModal(dialog);
        if (dialog.result() != QDialog::Accepted)
            return {};
        ServerCredentials credentials = dialog.takeCredentials();
        try {
            return logIn(configuration, std::move(credentials));
        } catch (const ServerAccessError& e) {
            dialog.setError(e.what());
        }
    }
}

int ShellApplication::smoke(ShellSession& session, MainWindow& window)
{
    const SessionIdentity& who = session.identity();
    std::cout << "logged in: user " << text::localToUtf8(who.user) << ", company " << text::localToUtf8(who.company)
              << ", company database " << text::localToUtf8(who.companyDb) << ", server " << session.endpoint()
              << (session.embedded() ? " (embedded)" : "") << "\n";
    std::cout << "programs:";
    for (int row = 0; row < window.programTable().rowCount(); ++row)
        std::cout << " " << window.programTable().item(row, 0)->text().toStdString();
    std::cout << "\n";
    for (QWidget* top : QApplication::topLevelWidgets())
        if (top->isVisible() && top != &window && !top->windowTitle().isEmpty())
            std::cout << "window: " << top->windowTitle().toStdString() << "\n";
    for (const MessageDialog& box : DialogService::instance().shownMessages())
        std::cout << "message: " << box.text.toStdString() << "\n";
    const std::size_t running = session.programs().runningCount();
    session.programs().closeAll();
    std::cout << "closed " << running << " program(s)" << std::endl;
    return running == options_.open.size() ? 0 : 1;
}

} // namespace orvane
