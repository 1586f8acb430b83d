#pragma once
// DoubleCD: TdmDouble, the data module of a document with lines (an order and its lines). The
// lines dataset cdsBody1 is nested in the head record, so head and lines travel to the server as
// one packet and one apply. It numbers new lines, gives them the head's keys (a placeholder of
// twenty "~" while the head is new, replaced by StampLines before the save), copies fields from
// the head and from the previous line, runs the line events and sums line fields for the head's
// totals.
//
// No window headers: the document form answers the line events through DocumentLinesOwner.
// Client thread only.

#include "framework/SingleCD.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace orvane {

// What the lines' events need of the document form.
class DocumentLinesOwner {
public:
    virtual ~DocumentLinesOwner() = default;
    // A line became current or a field of the current line changed (field null for the record).
    virtual void LineDataChange(Field* field) = 0;
    // A new line was made: the body grid's current column becomes its first editable one.
    virtual void NewLineStarted() = 0;
};

// How SumLineField treats a line: count its value, skip the line, or count a substituted value.
enum class LineSum : std::uint8_t { Count = 0, Skip = 1, Substitute = 2 };

class TdmDouble : public TdmSingle {
public:
    // The key a new document's lines hold until StampLines writes the head's key.
    static constexpr std::string_view linePlaceholder = "~~~~~~~~~~~~~~~~~~~~";
    // The nested field of the head that holds the lines.
    static constexpr std::string_view linesField = "qryBody";

    TdmDouble();
    ~TdmDouble() override;

    // Writes the head's key values into every line, first to last in FLAG order, with the line
    // controls and the data source's events detached (the previous order and line come back).
    void StampLines() override; // 23
    // Line keys from the head (or the placeholder while the head is new), the next line
    // number, the head-to-line fields that differ, and the line-copy fields still empty from
    // the last line. Programs call it first in their override.
    virtual void NewLineDefaults(); // 29
    // Puts a browsing head into edit state, so a change of the lines marks the document as
    // changed. Programs add their totals after calling it.
    virtual void RecalcHeadTotals(); // 30

    // Dynamic operations.
    // Opens the head (bound to its lines), then the lines: LineKeyFields from the program parameter D11_KEY, the
    // lines' audit fields labelled. True when both are open.
    bool OpenData() override;
    // Binds cdsBody1 to the head's nested lines field, which exists once the head has opened:
    // the head is closed, bound and opened again. Nothing when already bound.
    void bindLines();
    // The audit fields of the head and of the lines.
    void ShowAuditFields(bool show) override;
    // One more than the highest integer value of field over the records of copy (text that is
    // not a number counts 0), with leading zeros to the field's size. The highest number is
    // kept between calls while the records are unchanged but for new lines posted on top.
    std::string NextLineNumber(const Field& field, DataSet& copy) const;
    // Steps of the line post a program may refine: the check run before a line is posted, and
    // whether the line is refused (the post is then abandoned silently).
    virtual void BeforeLinePost();
    virtual bool RejectLine();
    // Whether SumLineField counts the current line, skips it or counts value instead.
    virtual LineSum LineSumFilter(std::string_view field, double& value);
    // The sum of field over all lines: rounding -1 the raw value, -2 the integer part, n >= 0
    // the value rounded as "%10.*f" formats it to n decimals; a null value counts 0. filter is
    // empty or "FIELD=value": a line counts when the trimmed text of FIELD equals value (a
    // missing FIELD lets every line count). 0 without lines; the current line stays current.
    double SumLineField(std::string_view field, int rounding, std::string_view filter = {});

    // LineKeyFields: comma-separated, upper case, paired by position with the head's
    // KeyFields; the last is the line number field while line numbering is on.
    void SetLineKeyFields(std::string_view keyFields);
    const std::vector<std::string>& LineKeyFields() const { return lineKeys_; }
    void SetLineNumbering(bool on) { lineNumbering_ = on; }
    bool LineNumbering() const { return lineNumbering_; }
    // The line number field: the last line key while numbering is on, else empty.
    std::string LineNumberField() const;
    // "HEADFIELD->LINEFIELD,...": line fields kept equal to head fields.
    void SetHeadToLineFields(std::string_view pairs);
    // Comma-separated line fields a new line takes from the last line when still empty.
    void SetLineCopyFields(std::string_view fields);
    bool AutoRecalc() const { return autoRecalc_; }
    void setAutoRecalc(bool on) { autoRecalc_ = on; }
    DocumentLinesOwner* linesOwner() const { return linesOwner_; }
    void setLinesOwner(DocumentLinesOwner* owner) { linesOwner_ = owner; }

    ClientDataSet cdsBody1{"cdsBody1"};
    DataSource dsBody1{&cdsBody1};

protected:
    // The first opening asks for the head's fields alone (no records), binds the lines to
    // them, then opens with the first packet, so that packet is read once.
    void openHead() override;
    // The lines' events.
    void cdsBody1NewRecord(DataSet& dataSet);
    void cdsBody1AfterEdit(DataSet& dataSet);
    void cdsBody1BeforePost(DataSet& dataSet);
    void cdsBody1AfterChange(DataSet& dataSet);
    void cdsBody1ReconcileError(ClientDataSet& dataSet, const ReconcileError& error, ReconcileAction& action);

private:
    // LineCopy follows the lines of the current head: a private cursor over the same records.
    void refreshLineCopy();
    // The head's key values into the line keys of the current line.
    void copyHeadKeys(bool placeholder);
    std::int64_t highestLineNumber(const Field& field, const DataSet& copy) const;
    // A new line being posted while the kept number holds: it raises the number after the post.
    void noteLinePost();
    void raiseKeptNumber();

    // The highest line number counted over the lines of one head, and their version then.
    struct KeptLineNumber {
        std::weak_ptr<const RecordSet> lines;
        std::uint64_t version = 0;
        std::string field;
        std::int64_t highest = 0;
    };

    std::vector<std::string> lineKeys_;                           // LineKeyFields split
    bool lineNumbering_ = true;                                   // the last line key is numbered
    std::vector<std::pair<std::string, std::string>> headToLine_; // head field, line field
    std::vector<std::string> lineCopyFields_;                     // taken from the last line
    bool autoRecalc_ = true;                                      // line posts recompute the head
    DocumentLinesOwner* linesOwner_ = nullptr;                    // the document form
    ClientDataSet lineCopy_{"LineCopy"};                          // the previous lines
    mutable KeptLineNumber keptNumber_;                           // saves reading every line per new line
    bool raiseAfterPost_ = false;                                 // the line being posted is new, number kept
};

} // namespace orvane
