#pragma once
// ZtDialogCF: TfrmZtDialog, the root of the framework's small modal dialogs. It takes from the
// program form that owns it the brokers, the date style and separator and the language
// converter, and gives its dialogs the lookup keys (F2, F3 and F4 to slots 56 to 58 with the
// active control, also from a lookup button), Enter as Tab outside memos and grids (on a push
// button it presses the button; a check box is passed), the caption of a control's label (LabelFor), the check of a
// typed code against a master table (CheckCode), the date quick-pick of its date edits and the table lookups of its
// code edits, and a modal run with a result (1 OK, 2 cancel).
//
// A dialog lives no longer than its owner. Client (GUI) thread only.

#include "framework/ZtForm.h"

#include <map>
#include <set>
#include <string>
#include <string_view>

class QLineEdit;

namespace orvane {

class MaskEdit;
class TBrokers;
class TfrmVozuraz;
class Variant;

class TfrmZtDialog : public TZtForm {
    Q_OBJECT
public:
    // Modal results.
    static constexpr int mrNone = 0;
    static constexpr int mrOK = 1;
    static constexpr int mrCancel = 2;

    explicit TfrmZtDialog(TfrmVozuraz& owner);
    ~TfrmZtDialog() override;

    // Shows the dialog modally through the dialog service; the modal result (mrNone when the
    // window was closed any other way).
    int ShowModal();
    int modalResult() const { return modalResult_; }
    // A result other than mrNone closes the dialog; a refused close sets it back to mrNone.
    void setModalResult(int result);

    TfrmVozuraz& owner() const { return owner_; }
    TBrokers& brokers() const;
    int dateStyle() const;
    const std::string& dateSeparator() const;

    // The lookups of the dialog's own edits: the date quick-pick of a date edit and the lookup
    // window of a code edit; other controls ask nothing. key 0 marks the key as handled.
    virtual void OpenF2Window(int& key, QWidget* control); // 56
    virtual void OpenF3Window(int& key, QWidget* control); // 57: nothing here
    virtual void OpenF4Window(int& key, QWidget* control); // 58: nothing here

    // The caption of the label whose buddy (or focus control) is control ("" without one), in
    // the code page.
    std::string LabelFor(const QWidget* control) const;
    // Looks the edit's text (or keys, when they hold something) up in table with query through
    // the validator. A missing code shows "E" "000001", or in mode "W" the warning "W" "000004",
    // with the caption of the edit's label; an empty text passes. True when the code exists.
    bool CheckCode(QLineEdit& edit, std::string_view table, std::string_view query, std::string_view mode,
                   const Variant& keys);

    // Makes edit a date edit of the owner's format: its date mask, F2 the shell's date input.
    void AddDateEdit(MaskEdit& edit);
    // Makes edit a code edit: F2 opens the lookup window on table with query and writes the code
    // chosen back.
    void AddCodeLookup(QLineEdit& edit, std::string table, std::string query);
    bool isDateEdit(const QWidget* control) const;

    // A stored YYYYMMDD in the owner's date format, and typed text back to storage ("" for
    // empty text, "0" for text that is no date).
    std::string DateText(std::string_view stored) const;
    std::string StoredDate(std::string_view typed) const;
    // The working date YYYYMMDD: the owner's module's, else the local clock's.
    std::string Today() const;

protected:
    // Keys of every control of the dialog pass here first; true swallows the key.
    virtual bool FormKeyDown(QKeyEvent& event);
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Lookup requests of the lookup buttons.
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    // Shows a plain text (code page) in a message box through the owner's converter.
    void showText(const std::string& text, bool error) const;

private:
    // Runs the slot of a lookup key for control.
    void lookup(int key, QWidget* control);

    TfrmVozuraz& owner_;
    int modalResult_ = mrNone;
    std::set<const QWidget*> dateEdits_;
    std::map<const QWidget*, std::pair<std::string, std::string>> codeLookups_; // table, query
};

} // namespace orvane
