#pragma once
// TdmBase: a data module with a head dataset. It adds cdsMain (a client dataset over the
// server object's provider "pvdMain") and its data source dsMain, the head's key fields and
// table, the head dataset's events (audit stamping, defaults, the owner's record check and
// record-change callback, the next packet at the end) and the twelve number groups that give
// number fields their formats and rounding.
//
// No window headers. Client thread only.

#include "framework/KnlBase.h"
#include "framework/VozurazCD.h"
#include "platform/data/ClientDataSet.h"
#include "platform/data/DataSource.h"

#include <string>
#include <string_view>

namespace orvane {

class TdmBase : public TdmVozuraz {
public:
    // The provider of the head dataset on the server object.
    static constexpr std::string_view mainProviderName = "pvdMain";
    // The most head records fetched at a time.
    static constexpr int maxPacketRecords = 20;

    TdmBase();
    ~TdmBase() override;

    virtual bool IsLocalServer() const;                    // 17
    virtual void SetKeyFields(std::string_view keyFields); // 18
    virtual void ProgramHook();                            // 19: nothing here

    // Dynamic operations.
    // Fetch size from MAX_RECORD (at most 20), MainTable and KeyFields from M11_TABLE and
    // M11_KEY, cdsMain opened over "pvdMain" and its audit fields labelled; true when cdsMain
    // is open. Raises without a connection.
    bool OpenData() override;
    // Opens the closed datasets, then gives the number groups' fields (which exist once their
    // dataset has opened) their formats.
    void OpenAllDataSets() override;
    // Logs in again and reads the head's first packet anew in the same round trip; cdsMain is
    // opened again only when that packet differs from the one it shows (or it moved on, holds
    // changes or read further packets since), so an unchanged head list is not loaded twice.
    bool Renew() override;
    // Shows (or hides) the audit fields of cdsMain, read-only while shown.
    virtual void ShowAuditFields(bool show);

    // Reopens dataSet with a condition ("All" in any case means none) and an order, sent to
    // its provider as [condition, order], with the owner's hourglass meanwhile. The form's add
    // command uses the condition "1=2" so that only the new record shows.
    void OpenDataSet(ClientDataSet& dataSet, std::string_view condition, std::string_view order);

    // Number formats: for each field of the group text (dataset:field,...;...) that exists
    // and is numeric, the display and edit formats of decimals and, when it has none, the
    // set-text handler NumberFieldSetText.
    void SetNumberFormats(std::string_view groupText, int decimals);
    // Rounds typed text to the decimals of the field's group (empty text counts as 0) and
    // stores it; only while the field's dataset is edited or inserted.
    void NumberFieldSetText(Field& field, std::string_view text);
    // FNumberFields / FNumberLength; setting one re-applies its group. Indexes outside 0..11
    // raise "Variant array index out of bounds -- FNumberFields" (or FNumberLength).
    const std::string& FNumberFields(int group) const { return numberGroups_.fields(group); }
    void setFNumberFields(int group, std::string text);
    int FNumberLength(int group) const { return numberGroups_.length(group); }
    void setFNumberLength(int group, int decimals);
    const NumberGroups& numberGroups() const { return numberGroups_; }

    const std::string& KeyFields() const { return keyFields_; }
    const std::string& MainTable() const { return mainTable_; }
    void setMainTable(std::string table) { mainTable_ = std::move(table); }

    ClientDataSet cdsMain{"cdsMain"};
    DataSource dsMain{&cdsMain};

protected:
    // Opens cdsMain over its provider for OpenData.
    virtual void openHead();
    // The head dataset's events.
    void cdsMainNewRecord(DataSet& dataSet);
    void cdsMainAfterEdit(DataSet& dataSet);
    void cdsMainBeforePost(DataSet& dataSet);
    void cdsMainBeforeScroll(DataSet& dataSet);
    void cdsMainAfterScroll(DataSet& dataSet);

private:
    // Keeps the owner's hourglass up for a round trip.
    class BusyCursor;
    // Gives the fields of all twelve groups their formats and rounding.
    void applyNumberGroups();
    // The datasets show the head's opening packet as first loaded: nothing edited, moved or
    // closed since.
    bool asOpened() const;

    std::string keyFields_;     // comma-separated, upper case
    NumberGroups numberGroups_; // FNumberFields / FNumberLength
    std::string mainTable_;     // program parameter M11_TABLE
};

} // namespace orvane
