#pragma once
// FormExportDialogs: the export's dialogs of a program form: its progress window (made at first
// use), questions and notices through the message service with texts converted for the
// interface, the desktop's program for the written file, and the installation's export folders.
// Client (GUI) thread only.

#include "framework/ExportDialogs.h"
#include "ui/DialogService.h"

#include <memory>
#include <vector>

namespace orvane {

class TBrokers;
class TZtForm;
class TfrmShowStatus;

class FormExportDialogs : public ExportDialogs {
public:
    // form and brokers outlive the dialogs; programFolder names the folder the program comes from.
    FormExportDialogs(TZtForm& form, TBrokers& brokers, std::string programFolder);
    ~FormExportDialogs() override;

    void progressStart(std::string_view text, int total) override;
    void progressStep(int position) override;
    void progressFinish() override;
    bool askYesNo(std::string_view text) override;
    void showInformation(std::string_view text) override;
    bool openDocument(const std::string& path) override;
    // From the host configuration.
    std::string clientPath() const override;
    std::string programFolderName() const override { return programFolder_; }

private:
    // A message box of the kind with the text converted for the interface; the button pressed.
    int show(std::string_view text, DialogKind kind, std::vector<int> buttons);

    TZtForm& form_;
    TBrokers& brokers_;
    std::string programFolder_;
    std::unique_ptr<TfrmShowStatus> showStatus_;
};

} // namespace orvane
