#include "shell/ShellSession.h"

#include "platform/rpc/ServerConnector.h"
#include "services/OrvaneINI.h"
#include "shell/DictionaryRefresh.h"
#include "shell/DocumentStoreClient.h"
#include "shell/HostObject.h"

namespace orvane {

ShellSession::ShellSession(ServerAccessOptions options, ServerCredentials credentials,
                           std::vector<std::string> workFolders, std::filesystem::path documentFolder,
                           const LanguageTables& tables, ShellWindows& windows)
{
    identity_.user = credentials.user;
    identity_.company = credentials.companyId;
    access_ = std::make_unique<ServerAccess>(std::move(options), std::move(credentials));
    // The login window offers another try on a ServerAccessError only: any other failure after
    // the login (the connection breaking, the server refusing a call) ended the shell.
    try {
        setUp(std::move(workFolders), std::move(documentFolder), tables, windows);
    } catch (const ServerAccessError&) {
        throw;
    } catch (const std::exception& e) {
        throw ServerAccessError("application server " + access_->endpoint() + ": logged in, but the session of user '" +
                                identity_.user + "' in company '" + identity_.company +
                                "' could not be set up: " + e.what());
    }
}

void ShellSession::setUp(std::vector<std::string> workFolders, std::filesystem::path documentFolder,
                         const LanguageTables& tables, ShellWindows& windows)
{
    catalog_ = std::make_unique<ProgramCatalog>(access_->createObject("OrvaneS.Services"), identity_.company);
    try {
        identity_.companyDb = catalog_->companyDatabase();
    } catch (const std::exception& e) {
        throw ServerAccessError("application server " + access_->endpoint() +
                                ": cannot read the company database of company '" + identity_.company +
                                "': " + e.what());
    }
    refreshClientDictionary();
    programs_ = std::make_unique<ProgramHost>(*catalog_, std::move(workFolders), identity_);
    host_ = Variant(std::make_shared<HostObject>(*access_, windows, *programs_, tables));
    programs_->setHostObject(host_);
    registerDocumentStoreClient(AutomationRegistry::instance(), access_->createObject("OrvaneS.Services"),
                                std::move(documentFolder), access_->dataCodePage());
    ServerConnector::install(access_->connector());
}

void ShellSession::refreshClientDictionary()
{
    const TOrvaneIniC configuration;
    refreshDictionary(*access_->createObject("OrvaneS.Services"), identity_.company, configuration.langType(),
                      access_->dataCodePage(), std::filesystem::path(configuration.clientPath()) / "C_DATA");
}

ShellSession::~ShellSession()
{
    programs_->closeAll();
    programs_->setHostObject(Variant());
    host_ = Variant();
    programs_.reset();
    AutomationRegistry::instance().unregisterClass(DocumentStoreClient::classId);
    ServerConnector::install(nullptr);
}

} // namespace orvane
