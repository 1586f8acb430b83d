#pragma once
// OrderFormSwitches: what the order data module reads of, and asks of, the order window that
// owns it: the switches that gate its field checks, the price-floor mode and its list of lifted
// lines, the quantity columns of the line grid, the option lines window and the mark pictures.
// The window implements it; OrderFormSwitchValues is the plain implementation a module uses
// while no window has given it one (and the one tests set by hand).
//
// No window headers. Client thread only.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace orvane {

class DataSet;
class Field;

class OrderFormSwitches {
public:
    virtual ~OrderFormSwitches() = default;

    // Field checks run only while this is on; the window turns it off while it fills a record
    // by program (copying a document, bringing in lines) and on again afterwards.
    virtual bool checksEnabled() const = 0;
    virtual void setChecksEnabled(bool on) = 0;
    // While off, quantity and price changes neither recompute the line amount nor fetch the
    // price again. Handlers turn it off around their own assignments.
    virtual bool amountRecalculation() const = 0;
    virtual void setAmountRecalculation(bool on) = 0;
    // While off, quantities and package quantities do not convert into each other.
    virtual bool packageRecalculation() const = 0;
    virtual void setPackageRecalculation(bool on) = 0;
    // On when the user picked the item, with its price, from the customer item price window:
    // the item check then keeps that price instead of asking the server for one.
    virtual bool itemFromPriceWindow() const = 0;
    // While off, the sub-line (option line) checks do nothing.
    virtual bool subLineChecks() const = 0;
    // The selling-price floor: false refuses a line below it, true lifts the line to the
    // standard price and adds its number to the lifted lines.
    virtual bool liftBelowFloor() const = 0;
    // The line numbers lifted to the standard price, joined by ", " (the window reports and
    // clears the list).
    virtual std::string liftedLines() const = 0;
    virtual void setLiftedLines(std::string lines) = 0;
    // When on, posting a line fills the item's default packing method and its weights.
    virtual bool defaultPacking() const = 0;
    // The line grid's quantity columns, and the field of its selected column.
    virtual std::vector<std::string> quantityColumns() const = 0;
    virtual std::string selectedLineField() const = 0;
    // The window's quantity step for a quantity field of the current line (two-unit mode).
    virtual void runQuantityStep(Field& field) = 0;
    // The line quantity (in the line's unit) the option lines window holds for its sub-lines.
    virtual double optionLinesQuantity() const = 0;
    // Gives every sub-line of the current line the line's keys, through the option lines
    // window (the datasets are handed in for a module without a window).
    virtual void stampSubLines(DataSet& lines, DataSet& subLines) = 0;
    // Clears the pictures of the front and the side shipping mark.
    virtual void clearMarkPictures() = 0;
    // The code page the window shows its texts in ("936" or "950"): it picks the full-width
    // backslash that stands for a line break in the shipping marks.
    virtual std::string codePage() const = 0;
};

// The switches as plain values: the normal state (checks, amount and package recalculation and
// sub-line checks on; default packing off; the floor refuses).
class OrderFormSwitchValues : public OrderFormSwitches {
public:
    bool checksEnabled() const override { return checks; }
    void setChecksEnabled(bool on) override { checks = on; }
    bool amountRecalculation() const override { return amounts; }
    void setAmountRecalculation(bool on) override { amounts = on; }
    bool packageRecalculation() const override { return packages; }
    void setPackageRecalculation(bool on) override { packages = on; }
    bool itemFromPriceWindow() const override { return fromPriceWindow; }
    bool subLineChecks() const override { return subLines; }
    bool liftBelowFloor() const override { return liftFloor; }
    std::string liftedLines() const override { return lifted; }
    void setLiftedLines(std::string lines) override { lifted = std::move(lines); }
    bool defaultPacking() const override { return packing; }
    std::vector<std::string> quantityColumns() const override { return {"TD008", "TD009", "TD024", "TD025"}; }
    std::string selectedLineField() const override { return selectedField; }
    void runQuantityStep(Field& field) override;
    double optionLinesQuantity() const override { return optionQuantity; }
    // TM001, TM002, TM003 := TD001, TD002, TD003 in every sub-line, in FLAG order.
    void stampSubLines(DataSet& lines, DataSet& subLines) override;
    void clearMarkPictures() override { ++pictureClears; }
    std::string codePage() const override { return formCodePage; }

    bool checks = true;
    bool amounts = true;
    bool packages = true;
    bool fromPriceWindow = false;
    bool subLines = true;
    bool liftFloor = false;
    std::string lifted;
    bool packing = false;
    std::string selectedField;
    double optionQuantity = 0;
    int quantitySteps = 0; // quantity steps asked for (without a window there is none to run)
    int pictureClears = 0; // mark-picture clears asked for
    std::string formCodePage = "936";
};

// The keys of the current line (TD001, TD002, TD003) into the current sub-line (TM001, TM002,
// TM003), which is being edited or inserted.
void copySubLineKeys(const DataSet& lines, DataSet& subLines);

// One of the three switches the checks turn off around their own assignments.
enum class FormSwitch : std::uint8_t { Checks, AmountRecalculation, PackageRecalculation };

// Turns a switch off for the life of the scope and back to what it was when it ends, also on a
// refusal. At the top that is on (the normal state); a handler that runs inside another's scope
// (a field the quotation line fills runs its own check) leaves the switch off for the rest of
// the outer one, so the outer handler's values are not priced again behind its back.
class SwitchedOff {
public:
    SwitchedOff(OrderFormSwitches& switches, FormSwitch which);
    ~SwitchedOff();
    SwitchedOff(const SwitchedOff&) = delete;
    SwitchedOff& operator=(const SwitchedOff&) = delete;

private:
    bool isOn() const;
    void set(bool on);

    OrderFormSwitches& switches_;
    FormSwitch which_;
    bool wasOn_;
};

} // namespace orvane
