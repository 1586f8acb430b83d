#pragma once
// ZtCopy: TfrmCopy ("复制"), the two-step wizard of a document's copy command. Page one
// (tbsSource, "来源") asks for the key of the document to copy from, prefilled with the current
// document's; Next hands it to the owner's fetch step, which loads that document and starts the
// new one. Page two (tbsDest, "目的") edits the new document's key in edits bound to it, with the
// owner's lookups on F2 and on the lookup buttons. At most eight key fields.
//
// ShowCopyDialog runs it for a document form. Client (GUI) thread only.

#include "framework/ZtDialogCF.h"
#include "platform/variant/Variant.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;

namespace orvane {

class DataSet;
class DataSource;
class DBEdit;
class TF2Button;
class TfrmDouble;

class TfrmCopy : public TfrmZtDialog {
    Q_OBJECT
public:
    static constexpr int maxKeys = 8;

    explicit TfrmCopy(TfrmDouble& owner);

    // Sets up one pair of key edits per name of fieldList (comma-separated fields of dataSet),
    // the destination edits bound to dataSource; leaves page one active. A name dataSet lacks
    // shows "Error happend in ZtCopy" and stops the set-up there (earlier pairs stay usable):
    // false then.
    bool SetFields(DataSet& dataSet, DataSource& dataSource, std::string_view fieldList);
    // Next: page one checks the source keys and runs the owner's fetch step, page two closes
    // with OK.
    void BBOKClick();
    // The keys typed on page one, in field order.
    std::vector<std::string> sourceKeys() const;

    int Flag = 0;  // the caller's flag: nonzero makes the source keys required on closing too
    Variant Head;  // filled by the owner's fetch step
    Variant Lines; // likewise
    Variant Extra; // likewise

    QTabWidget* pgCopy = nullptr;
    QWidget* tbsSource = nullptr;
    QWidget* tbsDest = nullptr;
    std::array<QLabel*, maxKeys> lblSource{};
    std::array<QLineEdit*, maxKeys> edSource{};
    std::array<QLabel*, maxKeys> lblDest{};
    std::array<DBEdit*, maxKeys> edDest{};
    std::array<TF2Button*, maxKeys> btnDest{};
    QPushButton* BBOK = nullptr;
    QPushButton* BBCancel = nullptr;
    QPushButton* BBPrior = nullptr;

protected:
    // Up to the previous control, Down like Enter to the next.
    bool FormKeyDown(QKeyEvent& event) override;
    // The owner's lookups serve the destination edits.
    void OpenF2Window(int& key, QWidget* control) override;
    // Closing with OK needs every shown destination key (and with Flag every source key).
    bool FormCloseQuery() override;

private:
    QWidget* buildPage(const char* name, const char* group, std::array<QLabel*, maxKeys>& labels, bool source);
    // The first shown edit of edits that is empty: its label's caption and " 不可空白 !", focus
    // on it; false then.
    template <typename Edits>
    bool allFilled(const Edits& edits);

    TfrmDouble& document_;
};

// Runs the copy wizard over the key fields fieldList of dataSet for owner: true after OK, with
// the fetched head, lines and extra data handed out.
bool ShowCopyDialog(TfrmDouble& owner, DataSet& dataSet, DataSource& dataSource, int flag, std::string_view fieldList,
                    Variant& head, Variant& lines, Variant& extra);

} // namespace orvane
