#include "framework/DocumentDraft.h"

#include "framework/DoubleCF.h"
#include "platform/data/ViewRowScope.h"
#include "platform/text/ByteText.h"
#include "platform/text/LocalText.h"
#include "services/LibSys.h"
#include "ui/DialogService.h"
#include "ui/QtText.h"

#include <QDateTime>
#include <QStandardPaths>

#include <algorithm>
#include <cstdlib>

namespace orvane {
namespace {

// The values of the record the fields of dataSet read now, in fields order.
std::vector<Variant> recordValues(const DataSet& dataSet, const std::vector<std::string>& fields)
{
    std::vector<Variant> values;
    values.reserve(fields.size());
    for (const std::string& name : fields)
        values.push_back(dataSet.fieldByName(name).value());
    return values;
}

// The names of the fields that hold values (nested datasets travel as their own rows).
std::vector<std::string> valueFields(const DataSet& dataSet)
{
    std::vector<std::string> names;
    for (int i = 0; i < dataSet.fieldCount(); ++i) {
        if (dataSet.field(i).type() != FieldType::DataSet)
            names.push_back(dataSet.field(i).name());
    }
    return names;
}

// Writes the draft's values into the current record of dataSet as they were kept: without the
// fields' checks and reactions (they ran when the values were typed) and past read-only marks.
void writeValues(DataSet& dataSet, const DraftRows& rows, const std::vector<Variant>& values)
{
    for (std::size_t i = 0; i < rows.fields.size(); ++i) {
        Field* field = dataSet.findField(rows.fields[i]);
        if (field == nullptr || field->type() == FieldType::DataSet || field->value() == values[i])
            continue;
        Field::Notify validate = std::move(field->onValidate), change = std::move(field->onChange);
        const bool readOnly = field->readOnly();
        field->onValidate = nullptr;
        field->onChange = nullptr;
        field->setReadOnly(false);
        try {
            field->setValue(values[i]);
        } catch (...) {
            field->setReadOnly(readOnly);
            field->onValidate = std::move(validate);
            field->onChange = std::move(change);
            throw;
        }
        field->setReadOnly(readOnly);
        field->onValidate = std::move(validate);
        field->onChange = std::move(change);
    }
}

// The values of the row's fields named, in order; Null for a field the draft lacks.
Variant valuesOf(const DraftRows& rows, const std::vector<Variant>& row, const std::vector<std::string>& names)
{
    std::vector<Variant> values;
    for (const std::string& name : names) {
        const auto at = std::find(rows.fields.begin(), rows.fields.end(), name);
        values.push_back(at == rows.fields.end() ? Variant::null()
                                                 : row[static_cast<std::size_t>(at - rows.fields.begin())]);
    }
    return Variant::arrayOf(std::move(values));
}

// Whether two FLAG values count the same saves: an edit stamps the stored count n as -(n+1) and
// the save sends it as n+1, which a draft keeps when that save was refused or got no answer.
bool sameSaveCount(const Variant& kept, const Variant& current)
{
    return kept.isNull() == current.isNull() &&
           std::llabs(kept.toIntegerOrZero()) == std::llabs(current.toIntegerOrZero());
}

std::string joined(const std::vector<std::string>& texts, std::string_view separator)
{
    std::string out;
    for (const std::string& text : texts)
        out += (out.empty() ? "" : std::string(separator)) + text;
    return out;
}

// The rows the dataset shows now, its typed row included, read without moving it.
std::vector<std::vector<Variant>> shownRows(const DataSet& dataSet, const std::vector<std::string>& fields)
{
    std::vector<std::vector<Variant>> rows;
    for (int row = 0; row < dataSet.viewRowCount(); ++row) {
        const ViewRowScope scope(dataSet, row);
        rows.push_back(recordValues(dataSet, fields));
    }
    return rows;
}

// The nested field of the lines that holds their sub-lines; null when they have none.
const Field* subLinesField(const DataSet& lines)
{
    for (int i = 0; i < lines.fieldCount(); ++i) {
        if (lines.field(i).type() == FieldType::DataSet)
            return &lines.field(i);
    }
    return nullptr;
}

// The sub-lines the window shows: the detail bound to the lines' nested field; null when none
// is bound and open.
DataSet* shownSubLines(const DataSet& lines)
{
    DataSet* detail = lines.details().empty() ? nullptr : lines.details().front();
    return detail != nullptr && detail->active() && subLinesField(lines) != nullptr ? detail : nullptr;
}

// Makes the rows of `dataSet` those of the draft: rows whose key the draft lacks are deleted,
// rows it has are written over, the others appended; each is posted. Without keys every draft
// row is appended.
void syncRows(DataSet& dataSet, const DraftRows& draft, const std::vector<std::string>& keys)
{
    const std::string keyNames = joined(keys, ";");
    if (!keys.empty()) {
        std::vector<Variant> kept;
        for (const std::vector<Variant>& row : draft.rows)
            kept.push_back(valuesOf(draft, row, keys));
        dataSet.first();
        while (!dataSet.eof()) {
            if (std::find(kept.begin(), kept.end(), Variant::arrayOf(recordValues(dataSet, keys))) == kept.end())
                dataSet.deleteRecord();
            else
                dataSet.next();
        }
    }
    for (const std::vector<Variant>& row : draft.rows) {
        if (!keys.empty() && dataSet.locate(keyNames, valuesOf(draft, row, keys)))
            dataSet.edit();
        else
            dataSet.append();
        writeValues(dataSet, draft, row);
        dataSet.post();
    }
}

} // namespace

DocumentDraft::DocumentDraft(TfrmDouble& form)
    : form_(form), headSource_(&form.doubleModule()->cdsMain), lineSource_(&form.doubleModule()->cdsBody1)
{
    const TBrokers& brokers = form.brokers();
    const std::filesystem::path dataHome =
        text::fromQString(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
    try {
        slot_ = std::make_unique<DraftSlot>(dataHome, brokers.companyId(), brokers.programId(), brokers.userId());
    } catch (const DraftError& e) {
        WriteLog(logSource, std::string(e.what()) + "; the window keeps no draft", "D");
        return;
    }
    timer_.setSingleShot(true);
    timer_.setInterval(writeDelayMs);
    connect(&timer_, &QTimer::timeout, this, &DocumentDraft::writeNow);
    headSource_.onDataChange = [this](DataSource&, Field*) { changed(); };
    headSource_.onStateChange = [this](DataSource&) { changed(); };
    lineSource_.onDataChange = [this](DataSource&, Field*) { changed(); };
    lineSource_.onStateChange = [this](DataSource&) { changed(); };
    form.doubleModule()->saveRequest().onPending = [this] { writeNow(); };
    lastMode_ = form.recordMode();
}

DocumentDraft::~DocumentDraft()
{
    if (slot_ && form_.doubleModule() != nullptr)
        form_.doubleModule()->saveRequest().onPending = nullptr;
    // The window goes (the shell closing, say) before the timer wrote the last changes.
    if (!timer_.isActive())
        return;
    try {
        writeNow();
    } catch (const std::exception& e) {
        WriteLog(logSource, e.what(), "D");
    }
}

void DocumentDraft::changed()
{
    if (slot_ && !restoring_ && form_.recordMode() != RecordMode::Browse && !timer_.isActive())
        timer_.start();
}

bool DocumentDraft::somethingTyped() const
{
    const TdmDouble& module = *form_.doubleModule();
    return module.cdsMain.active() && (module.cdsMain.modified() || module.cdsMain.hasChanges() ||
                                       (module.cdsBody1.active() && module.cdsBody1.modified()));
}

void DocumentDraft::writeNow()
{
    timer_.stop();
    if (!slot_ || form_.recordMode() == RecordMode::Browse || !somethingTyped())
        return;
    try {
        slot_->write(snapshot());
    } catch (const std::exception& e) {
        WriteLog(logSource, e.what(), "D");
    }
}

void DocumentDraft::modeChanged()
{
    if (restoring_ || form_.recordMode() == lastMode_)
        return;
    lastMode_ = form_.recordMode();
    discard();
}

void DocumentDraft::discard()
{
    timer_.stop();
    if (!slot_)
        return;
    if (keptUnanswered_) {
        // The window's own document needs the slot; the draft nobody answered for is kept beside it.
        keptUnanswered_ = false;
        setAside("the unsaved document offered at the start got no answer", "unanswered");
        return;
    }
    slot_->remove();
}

Draft DocumentDraft::snapshot() const
{
    TdmDouble& module = *form_.doubleModule();
    const TBrokers& brokers = form_.brokers();
    Draft draft;
    draft.program = brokers.programId();
    draft.company = brokers.companyId();
    draft.user = brokers.userId();
    draft.written = text::fromQString(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")));
    draft.mode = form_.recordMode();
    if (draft.mode == RecordMode::Edit) {
        for (const std::string& key : text::splitList(module.KeyFields(), ',', text::ListItems::TrimmedNonEmpty))
            draft.keys.push_back(text::trim(module.cdsMain.fieldByName(key).asString()));
    }
    draft.head.fields = valueFields(module.cdsMain);
    draft.head.rows.push_back(recordValues(module.cdsMain, draft.head.fields));
    const ClientDataSet& lines = module.cdsBody1;
    if (lines.active()) {
        draft.lines.fields = valueFields(lines);
        for (int row = 0; row < lines.viewRowCount(); ++row) {
            const ViewRowScope scope(lines, row);
            draft.lines.rows.push_back(recordValues(lines, draft.lines.fields));
        }
        draft.typedLine = isEditing(lines) ? lines.viewRow() : -1;
    }
    snapshotSubLines(draft);
    draft.requestId = module.saveRequest().pendingId();
    draft.requestChanges = module.saveRequest().pendingChanges();
    draft.saving = DraftSaving{module.AutoNumber(), form_.AutoConfirm};
    return draft;
}

void DocumentDraft::snapshotSubLines(Draft& draft) const
{
    ClientDataSet& lines = form_.doubleModule()->cdsBody1;
    const DataSet* shown = lines.active() ? shownSubLines(lines) : nullptr;
    if (shown == nullptr)
        return;
    draft.subLineFields = valueFields(*shown);
    // The other lines' sub-lines are read through a private cursor over the same records, so the
    // window's lines do not move and the line being typed stays as it is.
    ClientDataSet cursor("draftLines");
    ClientDataSet subCursor("draftSubLines");
    cursor.addFields(lines.fieldDefs());
    subCursor.addFields(shown->fieldDefs());
    subCursor.setDataSetField(cursor.fieldByName(subLinesField(lines)->name()));
    cursor.cloneCursor(lines);
    subCursor.open();
    const int current = lines.viewRow();
    for (int row = 0; row < lines.viewRowCount(); ++row) {
        const Bookmark record = lines.viewRowBookmark(row);
        if (row == current || record.empty()) {
            draft.subLines.push_back(shownRows(*shown, draft.subLineFields));
        } else {
            cursor.gotoBookmark(record);
            draft.subLines.push_back(shownRows(subCursor, draft.subLineFields));
        }
    }
}

bool DocumentDraft::offerRestore()
{
    if (!slot_ || !slot_->exists())
        return false;
    Draft draft;
    try {
        draft = slot_->read();
    } catch (const DraftError& e) {
        setAside(e.what(), "damaged");
        return false;
    }
    MessageDialog question;
    question.caption = form_.windowTitle();
    question.kind = DialogKind::Confirmation;
    question.buttons = {DialogAnswer::Yes, DialogAnswer::No, DialogAnswer::Cancel};
    const QString written = text::toQString(draft.written);
    question.text = text::toQString(form_.frameworkText("msgDraftRestore",
                                                        LOCAL_TEXT(u8"有一张未保存的单据（%1 留存），是否恢复？")))
                        .arg(written);
    const int answer = DialogService::instance().showMessage(question);
    if (answer == DialogAnswer::No)
        slot_->remove();
    // No answer (Escape, the box closed) keeps the draft: offered again at the next start.
    keptUnanswered_ = answer != DialogAnswer::No && answer != DialogAnswer::Yes;
    if (answer != DialogAnswer::Yes)
        return false;
    try {
        restore(draft);
    } catch (const std::exception& e) {
        setAside(e.what(), "damaged"); // before the cancel ends the draft
        form_.CancelRecord(false);
        return false;
    }
    return true;
}

void DocumentDraft::setAside(const std::string& reason, std::string_view why)
{
    std::string text = reason;
    try {
        text += "; set aside as " + slot_->setAside(why).string();
    } catch (const DraftError& e) {
        text += "; " + std::string(e.what());
    }
    WriteLog(logSource, text, "D");
}

void DocumentDraft::restore(const Draft& draft)
{
    TdmDouble& module = *form_.doubleModule();
    restoring_ = true;
    struct EndRestore {
        DocumentDraft& draft;
        ~EndRestore()
        {
            draft.restoring_ = false;
            draft.lastMode_ = draft.form_.recordMode();
        }
    } end{*this};
    if (form_.recordMode() != RecordMode::Browse)
        form_.CancelRecord(false);
    const std::string document = draft.keys.empty() ? std::string("the new document") : joined(draft.keys, " ");
    if (draft.mode == RecordMode::Add) {
        if (!form_.AddRecord(true))
            throw DraftError("the draft of " + document + " cannot be restored: the window cannot add");
    } else {
        module.OpenDataSet(module.cdsMain, module.KeyConditionOf(draft.keys), "");
        if (module.cdsMain.recordCount() != 1)
            throw DraftError("the draft of " + document + " cannot be restored: the document is no longer there");
        if (!form_.EditRecord())
            throw DraftError("the draft of " + document + " cannot be restored: the document cannot be edited");
        const Field* flag = module.cdsMain.findField("FLAG");
        if (flag != nullptr && !sameSaveCount(valuesOf(draft.head, draft.head.rows[0], {"FLAG"})[0], flag->value()))
            throw DraftError("the draft of " + document +
                             " cannot be restored: the document was saved by someone after the draft was kept");
    }
    writeValues(module.cdsMain, draft.head, draft.head.rows[0]);
    if (draft.saving) {
        module.SetAutoNumber(draft.saving->autoNumber);
        form_.AutoConfirm = draft.saving->autoConfirm;
    }
    restoreLines(draft);
    module.saveRequest().restore(draft.requestId, draft.requestChanges);
    form_.UpdateCommandStates();
}

void DocumentDraft::restoreLines(const Draft& draft)
{
    TdmDouble& module = *form_.doubleModule();
    ClientDataSet& lines = module.cdsBody1;
    const std::vector<std::string>& keys = module.LineKeyFields();
    const std::string keyNames = joined(keys, ";");
    if (draft.mode == RecordMode::Edit) {
        // The lines the draft no longer has were deleted by the user.
        std::vector<Variant> kept;
        for (const std::vector<Variant>& row : draft.lines.rows)
            kept.push_back(valuesOf(draft.lines, row, keys));
        lines.first();
        while (!lines.eof()) {
            const Variant current = Variant::arrayOf(recordValues(lines, keys));
            if (std::find(kept.begin(), kept.end(), current) == kept.end())
                lines.deleteRecord();
            else
                lines.next();
        }
    }
    std::vector<std::size_t> order(draft.lines.rows.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    // The line being typed comes last and stays unposted, as it was (unless it has sub-lines,
    // which only a posted line holds).
    if (draft.typedLine >= 0)
        std::rotate(order.begin() + draft.typedLine, order.begin() + draft.typedLine + 1, order.end());
    for (const std::size_t index : order) {
        const std::vector<Variant>& row = draft.lines.rows[index];
        if (draft.mode == RecordMode::Edit && !keys.empty() && lines.locate(keyNames, valuesOf(draft.lines, row, keys)))
            lines.edit();
        else
            lines.append();
        writeValues(lines, draft.lines, row);
        const bool hasSubLines = index < draft.subLines.size() && !draft.subLines[index].empty();
        if (static_cast<int>(index) != draft.typedLine || hasSubLines)
            lines.post();
        restoreSubLines(draft, index);
    }
}

void DocumentDraft::restoreSubLines(const Draft& draft, std::size_t line)
{
    DataSet* subLines = shownSubLines(form_.doubleModule()->cdsBody1);
    if (subLines == nullptr || line >= draft.subLines.size() || draft.subLineFields.empty())
        return;
    if (isEditing(form_.doubleModule()->cdsBody1))
        return; // the typed line, left unposted: it has no sub-lines of its own
    // An edited document's sub-lines are told apart by the fields of their order, which hold
    // their key; a new document's are all new.
    const std::vector<std::string> keys =
        draft.mode == RecordMode::Edit
            ? text::splitList(subLines->indexFieldNames(), ';', text::ListItems::TrimmedNonEmpty)
            : std::vector<std::string>{};
    syncRows(*subLines, DraftRows{draft.subLineFields, draft.subLines[line]}, keys);
}

} // namespace orvane
