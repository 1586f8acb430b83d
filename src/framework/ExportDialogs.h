#pragma once
// ExportDialogs: what a data module's spreadsheet export needs of the window it runs under: the
// progress window, a question, a notice, the desktop's program for the written file, and where
// the file goes. No window headers: the program form hands its FormExportDialogs to its data
// module; tests record the calls. Client thread only.

#include <string>
#include <string_view>

namespace orvane {

class ExportDialogs {
public:
    virtual ~ExportDialogs() = default;

    // Every text given is in the interface's code page already and is shown as it is.

    // The progress window: shown with its caption text and the count to reach, moved to a
    // position, then closed.
    virtual void progressStart(std::string_view text, int total) = 0;
    virtual void progressStep(int position) = 0;
    virtual void progressFinish() = 0;
    // Asks a yes/no question; true for yes.
    virtual bool askYesNo(std::string_view text) = 0;
    // Shows an information text.
    virtual void showInformation(std::string_view text) = 0;
    // Opens the file (UTF-8 path) in the desktop's program for it; false when none started.
    virtual bool openDocument(const std::string& path) = 0;
    // The installation folder (ending in "/") and the name of the folder the program comes
    // from: together they place the program's exported files.
    virtual std::string clientPath() const = 0;
    virtual std::string programFolderName() const = 0;
};

} // namespace orvane
