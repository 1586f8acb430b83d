#pragma once
// SaveRequest: the request identifier a data module sends with each save. A save whose answer
// never came (the connection broke after the server may have committed) is remembered with the
// changes it sent; sending the same changes again reuses its identifier, so a server that keeps
// the answers of committed saves repeats the first answer instead of saving twice. Other
// changes (edited meanwhile) get a new identifier. The remembered save can be kept in a draft
// file and handed back after a restart. No Qt; client thread only.

#include "platform/data/Delta.h"

#include <functional>
#include <string>

namespace orvane {

// A random (version 4) UUID in its 36-character text form.
std::string newRequestId();

class SaveRequest {
public:
    // The identifier for a save of changes: the unanswered one's when the changes are the same
    // (record identities aside, which a restored draft renumbers), else a new one. The changes
    // are kept until answered() or the next call.
    const std::string& idFor(const Delta& changes);
    // The server answered the save (applied or refused): its identifier is not used again.
    void answered();

    // The unanswered save: its identifier and the packed changes it sent; both empty when none.
    const std::string& pendingId() const { return id_; }
    const std::string& pendingChanges() const { return changes_; }
    // Takes back an unanswered save kept elsewhere (a draft file).
    void restore(std::string id, std::string changes);

    // Called once a save's identifier is chosen, before the save is sent: a client that dies
    // while the save is on its way (the server may commit it) must have kept the identifier, or
    // the document sent again after the restart is stored a second time.
    std::function<void()> onPending;

private:
    std::string id_;      // the identifier of the last save not answered yet
    std::string changes_; // its changes, packed with record identities cleared
};

} // namespace orvane
