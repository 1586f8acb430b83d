#pragma once
// DraftFile: the local draft of a document being added or edited, so that nothing typed is lost
// when the client dies. A draft holds the head's values, the lines' values (the line being typed
// included) with each line's sub-lines, the record mode, the edited document's key and a save still waiting for its
// answer. The file format is described in docs/drafts.md.
//
// DraftSlot owns one draft file of a user in a program's draft folder: a window takes the first
// slot no living process holds (an advisory lock the system drops when the process dies, however
// it dies), so a draft left by a crashed window is found by the next window of the program, and
// two windows of one program never write over each other. No Qt; client thread only.

#include "framework/VozurazCD.h"
#include "platform/variant/Variant.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace orvane {

// A draft that cannot be written, or a file that is not a whole draft of this format; the text
// names the file and the fault.
class LockFile;

class DraftError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The values of a dataset's records, one row of values per record in fields order.
struct DraftRows {
    std::vector<std::string> fields;
    std::vector<std::vector<Variant>> rows;
};

// How a document is saved, as its field checks set it while it was typed: a restore runs no
// checks, so a draft keeps them.
struct DraftSaving {
    bool autoNumber = false; // the server numbers the document on save
    int autoConfirm = 2;     // 1 confirms a new document right after its first save
    bool operator==(const DraftSaving&) const = default;
};

struct Draft {
    static constexpr std::uint32_t formatVersion = 3;
    // The oldest version a reader still takes (it has no sub-lines, and like version 2 no saving).
    static constexpr std::uint32_t oldestVersion = 1;

    std::string program; // the program ID
    std::string company; // the company ID
    std::string user;    // the user ID
    std::string written; // local time of writing, "YYYY-MM-DD hh:mm:ss"
    RecordMode mode = RecordMode::Add;
    std::vector<std::string> keys; // the edited document's key values (KeyFields order)
    DraftRows head;                // one row: the head record
    DraftRows lines;
    int typedLine = -1; // the row of lines not posted yet; -1 when none
    // The sub-lines (the lines' nested dataset): their field names and, per row of lines, the
    // rows of that line's sub-lines. Both empty when the lines have no nested dataset.
    std::vector<std::string> subLineFields;
    std::vector<std::vector<std::vector<Variant>>> subLines;
    std::string requestId;             // an unanswered save: its identifier
    std::string requestChanges;        // and its packed changes (SaveRequest)
    std::optional<DraftSaving> saving; // none in drafts of versions 1 and 2
};

// The bytes of a draft file, and back; decodeDraft raises DraftError naming what.
std::string encodeDraft(const Draft& draft);
Draft decodeDraft(std::string_view bytes, std::string_view what);

class DraftSlot {
public:
    // Takes a free slot of user in the draft folder of company and program under dataHome
    // (made, private to the user, when missing): the first that holds a draft, else the first.
    // Raises DraftError when the folder cannot be made or every slot is held.
    DraftSlot(const std::filesystem::path& dataHome, std::string_view company, std::string_view program,
              std::string_view user);
    ~DraftSlot();
    DraftSlot(const DraftSlot&) = delete;
    DraftSlot& operator=(const DraftSlot&) = delete;

    const std::filesystem::path& file() const { return file_; }
    bool exists() const { return std::filesystem::exists(file_); }
    // Replaces the file at once or not at all: a temporary file written and synced, then renamed
    // over it. Raises DraftError naming the file and the reason.
    void write(const Draft& draft) const;
    // Raises DraftError for a missing, unreadable or damaged file.
    Draft read() const;
    void remove() const;
    // Moves the file out of the slot, beside it, for a person to look at, named after why ("damaged");
    // answers where it went.
    std::filesystem::path setAside(std::string_view why) const;

private:
    // Locks the slot whose files start with name; false when a running window holds it.
    bool tryTake(const std::string& name);

    std::filesystem::path file_;
    std::unique_ptr<LockFile> lock_; // held while the slot is ours
};

} // namespace orvane
