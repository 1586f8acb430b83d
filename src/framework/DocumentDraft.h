#pragma once
// DocumentDraft: keeps the document a window is adding or editing in a local draft file
// (DraftFile), written shortly after each change of the head or the lines, so that nothing typed
// is lost when the client dies. When the window starts and a draft of its program was left by a
// window that died, it asks whether to restore it: restoring puts the document back in add or
// edit state with its lines; declining deletes it. A document saved or cancelled leaves no draft.
// A draft that cannot be read is logged and set aside. Client (GUI) thread only.

#include "framework/DraftFile.h"
#include "platform/data/DataSource.h"

#include <QObject>
#include <QTimer>

#include <memory>

namespace orvane {

class TfrmDouble;

class DocumentDraft : public QObject {
public:
    // How long after a change the draft is written: typing stays fast, little is lost.
    static constexpr int writeDelayMs = 300;
    // Diagnostic log source of the drafts' faults.
    static constexpr std::string_view logSource = "Draft";

    // Takes a draft slot for the form's user, company and program in the user's data folder
    // (XDG data home) and follows the form's head and lines. Without a slot (the folder cannot be
    // made) the form works without drafts, and says so in the log.
    explicit DocumentDraft(TfrmDouble& form);
    // Writes the changes the timer still waits for.
    ~DocumentDraft() override;

    // Offers the draft a dead window left in the slot, if any; true when it was restored. Yes restores
    // it, No removes it, no answer keeps it.
    bool offerRestore();
    // The form's record mode changed: the draft of the previous document goes.
    void modeChanged();
    // The document was saved: its draft goes.
    void discard();
    // Writes the draft at once, with the save on its way or unanswered, if any; called as each
    // save's identifier is chosen.
    void writeNow();
    bool active() const { return slot_ != nullptr; }
    const DraftSlot* slot() const { return slot_.get(); }

private:
    void changed();
    bool somethingTyped() const;
    Draft snapshot() const;
    // Puts the draft's document back in the form; raises DraftError when it cannot.
    void restore(const Draft& draft);
    void restoreLines(const Draft& draft);
    // Makes the sub-lines of the current line those the draft kept for its line `line`.
    void restoreSubLines(const Draft& draft, std::size_t line);
    void snapshotSubLines(Draft& draft) const;
    // Moves the slot's draft beside it, named after why, and logs reason and where it went.
    void setAside(const std::string& reason, std::string_view why);

    TfrmDouble& form_;
    std::unique_ptr<DraftSlot> slot_;
    DataSource headSource_;
    DataSource lineSource_;
    QTimer timer_;
    RecordMode lastMode_ = RecordMode::Browse;
    bool restoring_ = false;      // changes made by a restore are written once it ends
    bool keptUnanswered_ = false; // the slot holds a draft whose offer got no answer
};

} // namespace orvane
