#pragma once
// Tavi52GF: TfrmTavi52GF ("选配信息查询"), the list from which the user picks the options of one
// feature part of a configurable order line. One row per candidate option; the first column
// says whether it is chosen ("是") or not ("否"), with a matching picture; a double-click, Space
// or Enter on a row toggles it, and choosing one gives up the row chosen before (a feature takes
// one part). BitBtn1 (OK) and BitBtn2 (Cancel) close it.
// Client (GUI) thread only.

#include "framework/ZtDialogCF.h"

#include <array>
#include <string>
#include <vector>

class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace orvane {

class TfrmTavi52GF : public TfrmZtDialog {
    Q_OBJECT
public:
    // The option fields a row carries, in the order of the list's columns after the first.
    static constexpr std::array<const char*, 9> optionFields{"TM006", "TM006C", "TM006C1", "MB025C", "TM007",
                                                             "TM008", "TM009",  "TM010",   "TM011"};
    struct Option {
        bool chosen = false;
        std::vector<std::string> values; // one per optionFields entry
    };

    explicit TfrmTavi52GF(TfrmVozuraz& owner);

    void addOption(const Option& option);
    // The rows as the user left them.
    std::vector<Option> options() const;
    // Chooses the row (giving up the others) or gives it up: a double-click's work.
    void toggle(int row);
    // The part type's text of a code of MB025C ("P" gives "P:采购件" in Simplified Chinese); the
    // code itself when unknown.
    std::string PartTypeText(std::string_view code) const;

    QTreeWidget* lvForm = nullptr;
    QPushButton* BitBtn1 = nullptr;
    QPushButton* BitBtn2 = nullptr;

protected:
    bool FormKeyDown(QKeyEvent& event) override;

private:
    void showChoice(QTreeWidgetItem& item, bool chosen) const;

    std::vector<Option> options_;
};

} // namespace orvane
