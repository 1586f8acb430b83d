#pragma once
// ZtConfirmDate: TZtConfirmDateForm ("审核"), the date a document's confirmation carries. The
// date edit takes only digits, Backspace and "$" (today), keeps the separators of the owner's
// date format in place, refuses to be left holding a text that is no date ("E" "000005"), offers
// the shell's date input on F2, and OK holds the date as "YYYYMMDD" ("E" "000003" while it is
// empty). ShowConfirmDate runs it for a program form. Client (GUI) thread only.

#include "framework/ZtDialogCF.h"

#include <string>
#include <string_view>

class QLabel;
class QPushButton;

namespace orvane {

class TF2Button;

class TZtConfirmDateForm : public TfrmZtDialog {
    Q_OBJECT
public:
    explicit TZtConfirmDateForm(TfrmVozuraz& owner);

    // The date chosen with OK, "YYYYMMDD"; empty before.
    const std::string& date() const { return date_; }

    QLabel* lbl01 = nullptr;
    MaskEdit* edDate01 = nullptr;
    TF2Button* btn01 = nullptr;
    QPushButton* btnOK = nullptr;
    QPushButton* btnCancel = nullptr;

protected:
    bool FormKeyDown(QKeyEvent& event) override;
    // Opens with the date selected, so that digits typed replace it.
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Closing with OK holds the date, or refuses while it is empty or no date.
    bool FormCloseQuery() override;

private:
    void btnOKClick();
    // Entering an empty date edit takes the text of the edit before it in the tab order.
    void edDate01Enter();
    // Leaving the date edit (except towards btnCancel) with a text that is no date.
    void edDate01Exit();

    std::string date_;
    bool checking_ = false; // a refusal is being shown: the focus moves it causes are not checked
};

// Asks for a confirmation date: edDate01 starts with today (mode "1") or documentDate
// (YYYYMMDD), the label shows caption ("审核日期" when empty). The date as "YYYYMMDD", or ""
// when the user cancelled.
std::string ShowConfirmDate(TfrmVozuraz& owner, std::string_view mode, std::string_view caption,
                            std::string_view documentDate);

} // namespace orvane
