#pragma once
// What a user may do to orders through a save or a confirmation, read from the program's
// rights text POWER_DATA ("F0,F1,F2,F3,F4,F5") exactly as the client's forms read it, so that
// the server refuses what the windows would not offer:
//   add                     F3 position 2
//   edit, delete, confirm,  F3 positions 3, 4, 5, 6, 9 (the user's own orders; every order
//   unconfirm, void         without record-level rights)
//   record-level rights     F3 position 12
//   of the group's orders   F4 positions 1..5
//   of other users' orders  F5 positions 1..5
// Positions count from 1 and only "Y" grants. An empty rights text grants nothing. With
// record-level rights a stored order's CREATOR and USR_GROUP choose the bits: the user's own
// order (or one without creator), an order whose group appears quoted (single or double
// quotes) in the user's group list GROUP_LIST, or another user's.
//
// Plain value, any thread.

#include <string>
#include <string_view>

namespace orvane {

enum class OrderChange { Add, Edit, Delete, Confirm, Unconfirm, Void };

class SaveRights {
public:
    SaveRights() = default; // grants nothing
    SaveRights(std::string_view powerData, std::string userId, std::string groupList);

    // Whether the user may make the change to an order stored with this creator and group
    // (both ignored for Add).
    bool allows(OrderChange change, std::string_view creator = {}, std::string_view group = {}) const;

private:
    // 0 own, 1 group, 2 others.
    std::size_t classOf(std::string_view creator, std::string_view group) const;

    std::string userId_;
    std::string groupList_;
    bool add_ = false;
    bool recordLevel_ = false;
    bool granted_[5][3] = {}; // per change but Add (Edit ... Void), per record class
};

// "您没有使用本程序的权限! (no right to delete the order): COPTC TC001=..., TC002=...": the
// client's text for a missing right, with the change and the record.
std::string noRightText(OrderChange change, std::string_view record);

} // namespace orvane
