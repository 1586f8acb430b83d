#pragma once
// Tavi52DF: TfrmTavi52DF ("复制前置单据"), the dialog that asks for the quotation to copy into an
// order. The quotation type (ed001, F2 the list of confirmed quotations) and number (ed002) are
// required; a number that names no confirmed quotation (none, one not yet confirmed, a void
// one) shows "E" "100061" when it is left and on OK, which it keeps open. OK writes type and number into
// elements 0 and 1 of the copy key the order window hands in; OK and Cancel empty both edits.
// The order window makes it once and shows it for each copy. Client (GUI) thread only.

#include "framework/ZtDialogCF.h"

#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;

namespace orvane {

class TBrokers;
class TF2Button;

// The head of the quotation of a type and number (COPTA "04", a row of columns numbered from its
// low bound); none when the server has no such quotation.
std::optional<Variant> readQuotationHead(TBrokers& brokers, const Variant& type, const Variant& number);

class TfrmTavi52DF : public TfrmZtDialog {
    Q_OBJECT
public:
    // copyKey receives [type, number] on OK; it must outlive the dialog.
    TfrmTavi52DF(TfrmVozuraz& owner, Variant& copyKey);

    QLabel* lbl001 = nullptr;
    QLineEdit* ed001 = nullptr;
    TF2Button* btn001 = nullptr;
    QLabel* lbl002 = nullptr;
    QLineEdit* ed002 = nullptr;
    QPushButton* btnOK = nullptr;
    QPushButton* btnCancel = nullptr;

protected:
    // F2 on the type: the quotation list; the row chosen gives type and number.
    void OpenF2Window(int& key, QWidget* control) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    // OK needs type and number; OK and Cancel empty the edits.
    bool FormCloseQuery() override;

private:
    // Leaving the number (not towards Cancel): the quotation must exist and be confirmed.
    void ed002Exit();
    // The typed quotation exists and is confirmed; else "E" "100061", the focus on the number.
    bool copyable();
    // "E" "000003" with the caption of the empty edit's label; false when one is empty.
    bool filled(QLineEdit& edit);

    Variant& copyKey_;
    bool checking_ = false; // a refusal is being shown: the focus moves it causes are not checked
};

} // namespace orvane
