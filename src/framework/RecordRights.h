#pragma once
// RecordRights: the right flags of a record maintenance form, read from the user's command set
// (built from the program's rights text POWER_DATA by TfrmVozuraz::ParseRights), and the class of
// a record (the user's own, the user's group's, other users') that chooses which bits give the
// per-record flags when the program uses record-level rights. Plain values, any thread.
//
// The command set's elements, as POWER_DATA fills them (F3, F4, F5 are its fourth to sixth
// fields; a position counts from 1): 37 always; 38 add (F3 position 2); 39 edit, 40 delete,
// 41 confirm, 42 unconfirm (F3 3..6), the own records' bits; 32/34 price fields shown / read-only
// (F3 7 "Y"/"R"); 33/35 protected fields shown / read-only (F3 8 "Y"/"R"); 36 void (F3 9, own);
// 43 print and export (F3 10); 44 copy (F3 11); 45 record-level rights (F3 12); 46..50 edit,
// delete, confirm, unconfirm, void of the group's records (F4 1..5); 53..57 the same of other
// users' records (F5 1..5).

#include <bitset>
#include <string_view>

namespace orvane {

// Commands the user may use in this program (elements 0..63).
using CommandSet = std::bitset<64>;
// Rights the shell narrows with its rights mask (elements 0..8).
using RightsSet = std::bitset<9>;

// Whose record the current one is, by its CREATOR and USR_GROUP.
enum class RecordClass { Own, Group, Others };

struct RightFlags {
    // Always the program's.
    bool canQuery = false;
    bool canAdd = false;
    bool canPrint = false;
    bool canCopy = false;
    bool priceVisible = false;
    bool priceReadOnly = false;
    bool protectedVisible = false;
    bool protectedReadOnly = false;
    bool recordLevel = false; // the per-record flags below follow the record's class
    // Per record when recordLevel is set, else the program's (own) bits.
    bool canEdit = false;
    bool canDelete = false;
    bool canConfirm = false;
    bool canUnConfirm = false;
    bool canInvalid = false;

    bool operator==(const RightFlags&) const = default;
};

// The flags of the command set, the per-record ones from the own records' bits.
RightFlags programRights(const CommandSet& commands);
// Sets the per-record flags from the bits of the record's class.
void applyRecordClass(RightFlags& flags, const CommandSet& commands, RecordClass recordClass);
// Own when the creator is the user or empty; else Group when the group, quoted in single or in
// double quotes, occurs in the user's group list; else Others.
RecordClass recordClassOf(std::string_view creator, std::string_view group, std::string_view user,
                          std::string_view groupList);

} // namespace orvane
