#pragma once
// TdmTavi52 (dmTavi52): the sales-order data module. One order at a time in three nested client
// datasets: the head cdsMain (COPTC), its lines cdsBody1 (COPTD, nested field qryBody) and each
// line's sub-lines cdsFoot (COPTM, nested field qryFoot), all with declared fields. It adds the
// order's defaults, the head totals, the field checks of head, lines and sub-lines, the
// selling-price floor on a line post, the line fields' access and the shipping-mark texts.
//
// The unit is split by subject: Tavi52CD.cpp (datasets, defaults, totals, stamping),
// Tavi52CDFields.cpp (the field tables), Tavi52CDHead.cpp (head checks), Tavi52CDLine.cpp
// (line checks and pricing), Tavi52CDSave.cpp (line post, field access, sub-lines, marks).
//
// No window headers: the order window answers through OrderFormSwitches. Client thread only.

#include "framework/DoubleCD.h"
#include "salesorder/LineTotals.h"
#include "salesorder/OrderFormSwitches.h"

#include <array>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace orvane {

class TdmTavi52 : public TdmDouble {
public:
    // The nested field of a line that holds its sub-lines.
    static constexpr std::string_view subLinesField = "qryFoot";

    TdmTavi52();
    ~TdmTavi52() override;

    // Virtual steps.
    // Today's date unless before the sys011 month, the factory of that date, the fixed head
    // values and the SYS004 tax rate.
    void NewHeadDefaults() override; // 15
    // The lines, then the sub-lines of every line, take the head's keys.
    void StampLines() override; // 23
    // TD021 from the head, zero quantities, price and amount, the last line's discount (100 %
    // for the first line).
    void NewLineDefaults() override; // 29
    // TC031, TC046, TC029, TC030, TC029C, TC043, TC044 summed over the lines, while the head
    // is edited. After a line's post or delete only that line is read again; any other call
    // reads every line.
    void RecalcHeadTotals() override; // 30
    // Asks "C" "100015" when the current line has sub-lines and deletes them on OK.
    virtual void ClearLineChildren(); // 32

    // Which line fields may be typed on the current line (unit mode, item, package unit).
    void RefreshLineFieldAccess();
    // A component's quantity for a line quantity from the structure factors c7 ... c14 (batch
    // quantities, quantities per base, base quantities, loss rates); 0 when a divisor is 0.
    static double ComponentQuantity(double lineQuantity, const std::array<double, 8>& factors);

    // Line computations the window also runs (bodies with the line checks).
    void SplitLineTax();
    void SetWholesalePrice();
    void SetRetailPrice();
    void RefreshItemPriceColumns();
    // A line the window appends with the checks off priced as a typed line: the item's tax
    // rate, the customer's price, the amount from the money quantity and its tax split.
    void PriceAppendedLine();
    // The current line's tax rate from its item, as the order's tax type gives it.
    void TakeItemTaxRate();
    void CalcLineWeight();
    void CalcCartonCount();
    void SetLineFinished();
    // Head computations the window also runs (bodies with the head checks).
    void LoadCurrencyDecimals();
    // What the customer's defaults give an order besides the terms: the consignee (the customer code)
    // and the customer's two shipping marks; for an order copied from a quotation, which carries none.
    void CopyCustomerShipping(const std::string& code);
    // Every line's tax split again; with itemRates, a line without a rate takes its item's first
    // (lines typed under a type without tax, which gave them none, now under a taxed type).
    void ResplitAllLines(bool itemRates = false);

    // The grid editor bindings of a dataset: "FIELD;CustomEdit;comboBox" each (none for another
    // dataset).
    const std::vector<std::string>& GridEditors(const DataSet& dataSet) const;

    // The order window's switches; the module's own plain values until a window gives its own
    // (which must outlive the module's use of them).
    OrderFormSwitches& formSwitches() const { return *switches_; }
    void setFormSwitches(OrderFormSwitches* switches) { switches_ = switches ? switches : &ownSwitches_; }

    // State flags.
    bool totalsBusy() const { return totalsBusy_; }
    bool customerFilling() const { return customerFilling_; }
    bool localCurrency() const { return localCurrency_; }
    bool lineHasItem() const { return lineHasItem_; }

    ClientDataSet cdsFoot{"cdsFoot"};
    DataSource dsFoot{&cdsFoot};

protected:
    // Dataset events.
    void cdsMainAfterScroll(DataSet& dataSet);
    void cdsBody1AfterScroll(DataSet& dataSet);
    void cdsBody1BeforePost(DataSet& dataSet);

    // Head handlers.
    void cdsMainTC001Validate(Field& field);
    void cdsMainTC002Validate(Field& field);
    void cdsMainTC039Validate(Field& field);
    void cdsMainTC004Validate(Field& field);
    void cdsMainTC049Validate(Field& field);
    void cdsMainTC005Validate(Field& field);
    void cdsMainTC006Validate(Field& field);
    void cdsMainTC007Validate(Field& field);
    void cdsMainTC008Validate(Field& field);
    void cdsMainTC012Validate(Field& field);
    void cdsMainTC042Validate(Field& field);
    void cdsMainTC016Validate(Field& field);
    void cdsMainTC041Validate(Field& field);
    void cdsMainTC045Validate(Field& field);
    void cdsMainTC022Validate(Field& field);
    void cdsMainTC023SetText(Field& field, std::string_view text);
    void cdsMainTC023Validate(Field& field);
    void cdsMainTC024SetText(Field& field, std::string_view text);
    void cdsMainTC024Validate(Field& field);
    void cdsMainTC025SetText(Field& field, std::string_view text);
    void cdsMainTC025Validate(Field& field);
    void cdsMainTC032Validate(Field& field);
    void cdsMainTC033Validate(Field& field);
    void cdsMainTC036Validate(Field& field);
    void cdsMainTC047Validate(Field& field);
    void cdsMainTC026Validate(Field& field);
    void cdsMainTC034Validate(Field& field);
    void cdsMainTC056Validate(Field& field);
    void cdsMainTC057Validate(Field& field);
    void cdsMainTC037Validate(Field& field);
    void cdsMainTC038Validate(Field& field);

    // Line handlers.
    void cdsBody1TD004SetText(Field& field, std::string_view text);
    void cdsBody1TD004Validate(Field& field);
    void cdsBody1TD007Validate(Field& field);
    void cdsBody1TD008Validate(Field& field);
    void cdsBody1TD009Validate(Field& field);
    void cdsBody1TD024Validate(Field& field);
    void cdsBody1TD025Validate(Field& field);
    void cdsBody1TD010Validate(Field& field);
    void cdsBody1TD032Validate(Field& field);
    void cdsBody1TD033Validate(Field& field);
    void cdsBody1TD034Validate(Field& field);
    void cdsBody1TD035Validate(Field& field);
    void cdsBody1TD036Validate(Field& field);
    void cdsBody1TD011Validate(Field& field);
    void cdsBody1TD037Validate(Field& field);
    void cdsBody1TD026Validate(Field& field);
    void cdsBody1TD012Validate(Field& field);
    void cdsBody1TD013Validate(Field& field);
    void cdsBody1TD029Validate(Field& field);
    void cdsBody1TD030Validate(Field& field);
    void cdsBody1TD031Validate(Field& field);
    void cdsBody1TD014Validate(Field& field);
    void cdsBody1TD015Validate(Field& field); // TD015 and TD028
    void cdsBody1TD017Validate(Field& field);
    void cdsBody1TD018Validate(Field& field);
    void cdsBody1TD019Validate(Field& field);
    void cdsBody1TD040Validate(Field& field);
    void cdsBody1TD041Validate(Field& field);

    // Sub-line handlers.
    void cdsFootTM004SetText(Field& field, std::string_view text);
    void cdsFootTM004Validate(Field& field);
    void cdsFootTM006SetText(Field& field, std::string_view text);
    void cdsFootTM006Validate(Field& field);
    void cdsFootTM007Validate(Field& field);
    void cdsFootTM008Validate(Field& field);
    void cdsFootTM010Validate(Field& field);

    // Shipping marks: the stored BEL-separated lines shown with a full-width backslash between
    // them, in the form's code page, and typed back.
    void DoMarkGetText(Field& field, std::string& text, bool displayText);
    void DoMarkSetText(Field& field, std::string_view text);

    // Helpers every check shares.
    // A row lookup: "CheckValue" on table and kind with keys; found when the validator found
    // the row and its column 0 is greater than 0 (row receives the columns either way).
    bool RowLookup(std::string_view table, std::string_view kind, const Variant& keys, Variant& row) const;
    // A named server method's answer: its first value when it answers an array.
    Variant RemoteValue(std::string_view method, std::initializer_list<Variant> args);
    // Shows a coded message with its arguments and answers the user's button.
    int ShowMessage(std::string_view type, std::string_view code, std::initializer_list<Variant> args = {}) const;
    // Shows a coded message, then refuses the entry silently.
    [[noreturn]] void Refuse(std::string_view type, std::string_view code,
                             std::initializer_list<Variant> args = {}) const;
    // A system parameter ("" when it is not set; the name in any case).
    std::string SystemParameter(std::string_view name) const;
    // Assigns text to the field of dataSet (even a read-only one), through its number handler.
    void Assign(DataSet& dataSet, std::string_view field, std::string_view text) const;
    std::string Text(const DataSet& dataSet, std::string_view field) const;
    double Number(const DataSet& dataSet, std::string_view field) const;
    // The line quantity used in money: method ("QtyDToS" or "QtyDTos") of TD008 in unit mode
    // "2", TD008 itself otherwise.
    double MoneyQuantity(std::string_view method);
    // The customer's unit price of the current line ("CopUnitPrice"), as the server answers it.
    Variant CopUnitPrice();

    // ---- Head checks' helpers (their private members go here) ----
public:
    // What the head checks ask of the order window beyond its switches.
    class HeadWindow {
    public:
        virtual ~HeadWindow() = default;
        // The order type's document kind (TC001C2): the window adapts its controls to it.
        virtual void documentKindChanged(std::string_view kind) = 0;
        // The order type's confirmation on save: AutoConfirm (1 confirms a new order right after
        // its first save, 0 not) and whether ConfirmSaveHook runs after a successful save.
        virtual void setSaveConfirmation(int autoConfirm, bool confirmSaveHook) = 0;
        // Gives the input focus to the edit of a head field.
        virtual void focusHeadField(std::string_view field) = 0;
        // Shows the picture of a mark field (TC056 or TC057) from file; an empty file clears it.
        virtual void showMarkPicture(std::string_view field, const std::string& file) = 0;
        // The mark texts changed: the window shows them again.
        virtual void refreshMarks() = 0;
    };
    // The order window's side of the head checks; none (null) in a module without a window.
    void setHeadWindow(HeadWindow* window) { headWindow_ = window; }

private:
    // Copies the customer row's defaults into the head (customer code given).
    void copyCustomerDefaults(const Variant& row, const std::string& code);
    // Fetches, in one batch per server component, what the checks run by the customer's
    // defaults will ask (their currency, payment term, parties, marks and exchange rate).
    void prefetchCustomerChecks(const Variant& row, const std::string& code);
    // Refuses a customer the order may not take, before anything of it reaches the head: a
    // suspended or blocked one ("E" "200136", "E" "200080"), then a ceased one.
    void refuseBarredCustomer(const Variant& row) const;
    // Refuses with "E" "100460" a ceasing date the order's date has reached.
    void refuseCeasedCustomer(std::string_view ceasing, std::string_view date) const;
    // TC009 := the exchange rate of TC008 on TC039 (both set).
    void fetchExchangeRate();
    // TC002 := the next free number of the order type on TC039.
    void renumber();
    // Refuses with "E" "100168" a line of field's text longer than 30 bytes.
    void checkRemarkLines(const Field& field) const;
    // The picture of a mark field's text from the document store, then the line check.
    void showMarkOf(Field& field);
    // Refuses a negative rate with "E" "100012".
    void checkRateNotNegative(const Field& field) const;

    HeadWindow* headWindow_ = nullptr;
    DispatchPtr documentStore_; // "DmsC.DMSClass1", made on the first mark picture

protected:
    // ---- end of head checks' helpers ----

    // ---- Line checks' helpers (their private members go here) ----
    // Column of a server row as text ("" past its end) and as a number (0 when it is none).
    static std::string rowText(const Variant& row, int column);
    static double rowNumber(const Variant& row, int column);
    // Unit mode "3" and a fixed-weight item: quantities have package twins.
    bool fixedWeightPackages() const;
    // Enters a number into a line field as its text, so the field's group rounds it.
    void assignNumber(std::string_view field, double value);
    // "E" "100012" with the field's label for a negative value.
    void refuseNegative(const Field& field) const;
    double convertUnits(double quantity, std::string_view from, std::string_view to);
    // The quantity used in money; TD008 itself on a line without an item.
    double lineMoneyQuantity();
    // TD012 := TD011 x the money quantity x TD026.
    void setLineAmount();
    // TD011 := the customer's price from the server.
    void fetchLinePrice();
    // TD029 := the default packing method of the item and unit (silent).
    void fillDefaultPacking();
    // The item check's parts.
    void clearLineItem();
    std::string itemTaxRateText(const Variant& row) const;
    void copyItemRow(const Variant& row, const std::string& previousWarehouse);
    void prefetchItemCheck(const std::string& item);
    void CheckTradeQualification();
    void checkTradeScope(const std::string& party, const std::string& mode, std::string_view table,
                         std::string_view refusal);
    // A reference price with its tax-included flag, as the order's tax type shows prices.
    double priceForOrder(double price, const std::string& priceFlag);
    // A quantity or package quantity changed: its twin follows in unit mode "3".
    void convertQuantityTwin(std::string_view from);
    void quantityPairChanged(const Field& field, bool signChecked);

    // ---- end of line checks' helpers ----

private:
    // Declares the fields of the three datasets and binds their handlers and editors.
    void defineFields();
    // The sub-line checks do nothing while the window's sub-line switch is off.
    bool subLineChecksOn() const { return switches_->subLineChecks(); }
    // The floor of the current line's amount: true when it passes (or is lifted).
    bool passesPriceFloor();
    // What the current line gives to the head totals.
    LineTotals::Values lineValues() const;
    // The line totals read again from every line.
    void rebuildLineTotals();
    // Some line of the order, not only the current one, carries an accepted item.
    bool someLineHasItem() const;
    // The lines' events around the framework's: which line changed, for the totals.
    void cdsBody1AfterPost(DataSet& dataSet);
    void cdsBody1BeforeDelete(DataSet& dataSet);
    // A new sub-line is stamped and keyed by its line (the line's placeholder while the order
    // is new); an edited one is stamped.
    void cdsFootNewRecord(DataSet& dataSet);

    OrderFormSwitchValues ownSwitches_;
    OrderFormSwitches* switches_ = &ownSwitches_;
    std::vector<std::string> headEditors_, lineEditors_, subLineEditors_;
    LineTotals lineTotals_;         // what each line of the current head gives
    bool lineTotalsValid_ = false;  // lineTotals_ holds the current head's lines
    std::uint64_t postedLine_ = 0;  // the line posted since the last totals, 0 for none
    std::uint64_t deletedLine_ = 0; // the line deleted since the last totals, 0 for none

protected:
    bool totalsBusy_ = false;      // the head totals are being recomputed
    bool customerFilling_ = false; // the customer check copies the customer's defaults
    bool localCurrency_ = false;   // TC008 is the local currency SYS003
    bool lineHasItem_ = false;     // the current line carries an accepted item (TD004C4)
};

} // namespace orvane
