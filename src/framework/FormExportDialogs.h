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

class TfrmShowStatus;
class TfrmVozuraz;

class FormExportDialogs : public ExportDialogs {
public:
    // form outlives the dialogs; its brokers are reached when a box is shown (a form makes its data
    // module, and with it these dialogs, before its brokers). programFolder names the folder the
    // program comes from.
    FormExportDialogs(TfrmVozuraz& form, std::string programFolder);
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

    TfrmVozuraz& form_;
    std::string programFolder_;
    std::unique_ptr<TfrmShowStatus> showStatus_;
};

} // namespace orvane
