#pragma once
// TfrmSearch: the information window of a query number. It asks the lookup service
// "F2WindowS.Class1" on a connection of the lookup windows (embedded or over TCP, as the
// configuration's server address says; made by the owner form's first lookup window and kept
// in its brokers) for the head list of a table and kind, shows it in gdMain with the labels,
// kinds and widths of the list's column specification, and, for lists with lines, shows in
// gdbody the lines of the current head row.
//
// The head list arrives in packets of a full window (windowRows, the service's largest page);
// moving past the last row held (Down or Page Down on it, btnNext, the wheel at the end,
// btnLast) empties the dataset and fetches the next packet, and moving before the first row of a
// later packet (Up or Page Up on it, btnPrior, the wheel at the start) fetches the packet before,
// so that it never holds more than windowRows rows whatever the list's length. Typing in the
// filter row narrows the rows held without asking the server again.
//
// Enter in either grid or btnOK chooses the current head row; a double-click on a head row
// whose list has a "LINKS" field opens the linked program through the brokers on that row.
// An unknown kind or an empty list shows its message and the window closes without a row.
//
// Texts are byte strings of the installation code page. Client thread only.

#include "framework/ZtForm.h"
#include "platform/data/ClientDataSet.h"
#include "platform/data/DataSource.h"
#include "services/Brokers.h"
#include "services/InterfaceTexts.h"

#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

class QLineEdit;
class QMenu;

namespace orvane {

class DBGrid;
class LookupListProvider;

// The lookup service has no list of the request's table and kind.
class SearchKindError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TfrmSearch : public TZtForm {
    Q_OBJECT
public:
    // Rows the head list holds at most.
    static constexpr int windowRows = 1000;

    // brokers and messages (the owner form's) outlive the window.
    TfrmSearch(TBrokers& brokers, MessageCodeService& messages, QWidget* parent = nullptr);
    ~TfrmSearch() override;

    // Connects and fetches the first packet of the request's list and, for a list with lines,
    // the lines of its first row (the window's opening steps before it is shown); false, after
    // the message, for an unknown kind, an empty list or a lookup service it cannot reach (the
    // message then names the server's address and port).
    bool Open(const SearchRequest& request);
    // Shows the window modally after Open; true when a row was chosen.
    bool Execute();
    // The chosen head row's columns in order; empty until a row is chosen.
    const std::vector<Variant>& ResultRow() const { return resultRow_; }

    // Opens, runs and frees a window on request for the owner form: the chosen row, or none.
    static std::optional<std::vector<Variant>> Choose(QWidget* owner, TBrokers& brokers, MessageCodeService& messages,
                                                      const SearchRequest& request);

    ClientDataSet& cdsMain() { return cdsMain_; }
    ClientDataSet& cdsbody() { return cdsbody_; }
    // The column specification of the head list, and its columns by kind.
    const std::string& columnSpecification() const { return columnSpec_; }
    const std::vector<std::string>& dateColumns() const { return dateColumns_; }
    const std::vector<std::string>& cColumns() const { return cColumns_; }
    // The head list's position of the first row held.
    std::int64_t windowStart() const;

    void btnOKClick();
    void btnFirstClick();
    void btnPriorClick();
    void btnNextClick();
    void btnLastClick();
    // Follows the current head row's links.
    void gdMainDblClick();
    // Narrows the rows held to those with the text in a shown text column (empty: all).
    void narrow(const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildWindow();
    // Opens cdsMain and, when the request has lines, cdsbody; raises SearchKindError for a kind
    // the service does not have and ServerConnectionError when it cannot be reached.
    void openLists();
    QWidget* buildToolBar();
    // The lookup service on the lookup windows' connection of the owner form (MIDAS1 and
    // MIDAS2 share it), connected by the form's first lookup window.
    DispatchPtr connectService();
    // Applies the column specification to a list's fields: labels, kinds, widths.
    void applyColumns(ClientDataSet& dataSet, const std::string& specification);
    void fitColumns(DBGrid& grid);
    // Fetches the next packet of the head list when the server has more, emptying first.
    bool nextWindow();
    // Fetches the packet before the rows held and stands on the row before them; false at the
    // list's start.
    bool priorWindow();
    void reopenAt(std::int64_t position);
    void cdsMainAfterScroll();
    void showLines();
    void gdMainCalcCellColors(int row, const Field& field, QColor& background, QColor& text);
    void SetGridSetting1Click();
    void GetGridSetting1Click();
    // Shows a message through the converter's box.
    void complain(std::string_view text) const;
    // The window's text `name` in the interface language ("ZtTexts"), else designText.
    QString caption(std::string_view name, const std::string& designText) const;
    void choose();

    TBrokers& brokers_;
    MessageCodeService& messages_;
    int dateStyle_ = 1;         // SYS001
    std::string dateSeparator_; // SYS002
    std::shared_ptr<const InterfaceTexts> texts_ = InterfaceTexts::current();
    SearchRequest request_;
    std::string columnSpec_;
    std::vector<std::string> dateColumns_;
    std::vector<std::string> cColumns_;
    std::vector<Variant> resultRow_;
    bool resultFlag_ = false;

    ClientDataSet cdsMain_{"cdsMain"};
    DataSource dsMain_{&cdsMain_};
    ClientDataSet cdsbody_{"cdsbody"};
    DataSource dsbody_{&cdsbody_};
    std::shared_ptr<LookupListProvider> SOB_;     // the head list on MIDAS1
    std::shared_ptr<LookupListProvider> SOBbody_; // the lines on MIDAS2, made when a list has lines

    DBGrid* gdMain_ = nullptr;
    DBGrid* gdbody_ = nullptr;
    QLineEdit* edFilter_ = nullptr;
    QMenu* PopupMenu1_ = nullptr;
};

} // namespace orvane
