#pragma once
// TfrmTavi52: the sales-order program's main window ("客户订单录入作业"). For now a program form
// without pages: it makes its data module and starts through the root form.
// Client thread only.

#include "framework/VozurazCF.h"

namespace orvane {

class TfrmTavi52 : public TfrmVozuraz {
    Q_OBJECT
public:
    // Use TfrmVozuraz::Create<TfrmTavi52>().
    TfrmTavi52();

protected:
    void FormCreate() override;
    // The program's window is freed when the user closes it, so the shell forgets the program.
    CloseAction defaultCloseAction() const override { return CloseAction::Free; }
};

} // namespace orvane
