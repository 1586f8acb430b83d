#pragma once
// SetVLINFO: TfrmSetVLINFO, the dialog that sends a document to the sign-off workflow
// ("传送表单信息"): the urgency (cbo01) and the contact person (ed02, a ZTKMA person, F2
// "人员信息查询"). OK ("审核") refuses an empty or unknown contact and keeps the dialog open.
//
// Client (GUI) thread only.

#include "framework/ZtForm.h"

#include <string>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace orvane {

class TfrmVozuraz;

class TfrmSetVLINFO : public TZtForm {
    Q_OBJECT
public:
    // owner answers the lookups and shows the messages; it outlives the dialog.
    explicit TfrmSetVLINFO(TfrmVozuraz& owner);

    // Shows the dialog modally, urgency "1.一般" and the user as contact; true on OK.
    bool Execute();
    // "1" normal, "2" urgent, "" none.
    std::string urgency() const;
    // The contact person, in the installation code page.
    std::string contact() const;

    QLabel* lbl01 = nullptr;
    QComboBox* cbo01 = nullptr;
    QLabel* lbl02 = nullptr;
    QLineEdit* ed02 = nullptr;
    QPushButton* btnOK = nullptr;
    QPushButton* btnCancel = nullptr;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void btnOKClick();
    // F2 on the contact: the people lookup, the chosen code into ed02.
    void ed02Lookup();

    TfrmVozuraz& owner_;
    bool accepted_ = false;
};

} // namespace orvane
