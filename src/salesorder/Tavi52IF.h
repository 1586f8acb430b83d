#pragma once
// Tavi52IF: TfrmTavI52IF, the order window's dialog for the delivered quantities of the current
// order line. It shows the line (item, name, specification, ordered and free quantities and
// their units) read-only and lets the user type the delivered quantities (TD009, TD025 and, in
// package-unit mode, their package twins TD033, TD035), bound to dmTavi52.dsBody1. OK saves the
// order at once, refusing a delivered quantity above the one it delivers of; Cancel leaves the
// line as it was. ShowIF runs it once.
// Client (GUI) thread only.

#include "framework/ZtDialogCF.h"

#include <array>

class QLabel;
class QPushButton;

namespace orvane {

class DBEdit;
class TdmTavi52;

class TfrmTavI52IF : public TfrmZtDialog {
    Q_OBJECT
public:
    // The delivered-quantity fields the dialog makes writable while it is shown.
    static constexpr std::array<const char*, 4> deliveredFields{"TD009", "TD025", "TD033", "TD035"};

    TfrmTavI52IF(TfrmVozuraz& owner, TdmTavi52& module);
    ~TfrmTavI52IF() override;

    // Shows the edits of the installation's unit mode (SYS024: "2" adds the small unit, "3" the
    // package unit and package quantities) and makes the delivered quantities writable.
    void PrepareLayout();
    // After OK: the line's delivered quantities [TD009, TD025, TD033, TD035].
    const Variant& result() const { return result_; }
    // The edit of a line field ("edTD009"), or null.
    DBEdit* editOf(std::string_view field) const;

    QPushButton* btnOK = nullptr;
    QPushButton* btn2 = nullptr;

protected:
    bool FormCloseQuery() override;
    // Opens in the delivered quantity with its figure selected, so that a quantity typed replaces it.
    void showEvent(QShowEvent* event) override;

private:
    void showField(std::string_view field, bool shown);
    void setDeliveredWritable(bool writable);
    // OK: the line posted and the order saved; false keeps the dialog open.
    bool saveLine();
    // No delivered quantity shown passes the quantity it delivers of; else the clerk is told and
    // its edit takes the focus.
    bool withinOrdered();
    // Cancel: the line's and the order's pending changes dropped.
    void dropChanges();

    TdmTavi52& module_;
    Variant result_;
    bool prepared_ = false;
};

// Runs TfrmTavI52IF over the current line; true with the delivered quantities on OK.
bool ShowIF(TfrmVozuraz& owner, TdmTavi52& module, Variant& result);

} // namespace orvane
