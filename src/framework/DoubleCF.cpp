#include "framework/DoubleCF.h"
#include "ui/QtText.h"

#include "controls/DBGrid.h"
#include "framework/DocumentDraft.h"
#include "framework/FVLInfo.h"
#include "framework/KnlVozuraz.h"
#include "framework/SetVLINFO.h"
#include "framework/ZtConfirmDate.h"
#include "framework/ZtCopy.h"
#include "platform/text/ByteText.h"
#include "platform/text/LocalText.h"
#include "platform/variant/Dispatch.h"
#include "services/InterfaceTexts.h"
#include "ui/DialogService.h"
#include "ui/Guard.h"

#include <QAction>
#include <QFile>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QStyle>
#include <QSvgRenderer>
#include <QTabWidget>
#include <QTextEdit>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace orvane {

namespace {

// The current head's value of a field, trimmed; "" without a head or the field.
std::string headCode(const TdmDouble* module, const std::string& fieldName)
{
    if (module == nullptr || fieldName.empty() || !module->cdsMain.active() || module->cdsMain.isEmpty())
        return {};
    const Field* field = module->cdsMain.findField(fieldName);
    return field != nullptr ? text::trim(field->asString()) : std::string();
}

// A document sent to the sign-off workflow and not yet decided.
bool inSignOff(const std::string& status)
{
    return status == "S" || status == "1" || status == "4" || status == "5" || status == "6";
}

// The stamp of a confirmation code ("CONFIRM", "INVALID", "NOGOOD"), or none.
const char* stampName(const std::string& code)
{
    return code == "Y" ? "CONFIRM" : code == "V" ? "INVALID" : code == "U" ? "NOGOOD" : nullptr;
}

// The word a confirmation code's stamp shows, in the interface language.
QString stampWord(const TfrmVozuraz& form, const std::string& code)
{
    if (code == "Y")
        return text::toQString(form.frameworkText("stampConfirmed", LOCAL_TEXT(u8"已审核")));
    if (code == "V")
        return text::toQString(form.frameworkText("stampVoid", LOCAL_TEXT(u8"作　废")));
    return text::toQString(form.frameworkText("stampFailed", LOCAL_TEXT(u8"审核失败")));
}

// The stamp's picture with word written in its frame; a word wider than the frame gets a smaller
// type (an English word is longer than the design's three or four characters).
QPixmap stampPicture(const char* name, const QString& word)
{
    QFile file(QStringLiteral(":/orvane/pictures/%1.svg").arg(QLatin1String(name)));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QString svg = QString::fromUtf8(file.readAll());
    static const QRegularExpression wordText(QStringLiteral(R"(<text id="word"[^>]*>([^<]*)</text>)"));
    const QRegularExpressionMatch design = wordText.match(svg);
    if (design.hasMatch())
        svg.replace(design.capturedStart(1), design.capturedLength(1), word.toHtmlEscaped());
    QSvgRenderer renderer(svg.toUtf8());
    constexpr double frame = 92;
    const double width = renderer.boundsOnElement(QStringLiteral("word")).width();
    if (width > frame) {
        const int size = static_cast<int>(20 * frame / width);
        svg.replace(QStringLiteral("font-size=\"20\""), QStringLiteral("font-size=\"%1\"").arg(size));
        renderer.load(svg.toUtf8());
    }
    QPixmap picture(renderer.defaultSize());
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    renderer.render(&painter);
    return picture;
}

// Runs work with a dataset's events detached, attaching them again however it ends.
template <typename Work>
void withoutEvents(DataSet& dataSet, Work work)
{
    const DataSetEvents saved = dataSet.events;
    dataSet.events = {};
    try {
        work();
    } catch (...) {
        dataSet.events = saved;
        throw;
    }
    dataSet.events = saved;
}

// A column of the first row of the sign-off settings (ADMMQ "02" rows: the count, the flow code,
// the sign-off mode, "Y" to send without the dialog); "" when there is none.
std::string settingsColumn(const Variant& settings, std::size_t column)
{
    if (!settings.isArray() || settings.array().empty())
        return {};
    const Variant& row = settings.array().elements()[0];
    return row.isArray() && row.array().size() > column ? row.array().elements()[column].toString() : std::string();
}

std::string joined(const std::vector<std::string>& parts, const char* separator)
{
    std::string text;
    for (std::size_t i = 0; i < parts.size(); ++i)
        text += (i == 0 ? "" : separator) + parts[i];
    return text;
}

// A copy never takes a key field, an audit field or a nested dataset field's value from its
// source (the nested rows are copied apart, as sub-lines).
bool notCopied(const Field& field, const std::vector<std::string>& keys)
{
    return IsAuditField(field.name()) || field.type() == FieldType::DataSet ||
           std::ranges::any_of(
               keys, [&](const std::string& key) { return text::equalsIgnoringAsciiCase(key, field.name()); });
}

} // namespace

TfrmDouble::TfrmDouble()
{
    // The head above, the lines below, the totals at the foot.
    clientLayout()->removeWidget(pgHead);
    auto* headRow = new QHBoxLayout;
    headRow->addWidget(pgHead, 1);
    ImgConfirm = new QLabel(this);
    ImgConfirm->setObjectName(QStringLiteral("ImgConfirm"));
    ImgConfirm->setFixedSize(120, 60);
    headRow->addWidget(ImgConfirm, 0, Qt::AlignTop);
    clientLayout()->addLayout(headRow);

    pgBody = new QTabWidget(this);
    pgBody->setObjectName(QStringLiteral("pgBody"));
    tbsBody1 = new QWidget(pgBody);
    tbsBody1->setObjectName(QStringLiteral("tbsBody1"));
    pgBody->addTab(tbsBody1, text::utf8(u8"单身"));
    gdBody1 = new DBGrid(tbsBody1);
    gdBody1->setObjectName(QStringLiteral("gdBody1"));
    gdBody1->setBackgroundColor(oddRowColor);
    gdBody1->setCellColorHook(&TfrmSingle::paintRows);
    gdBody1->setReadOnly(true); // until a document is added or edited
    auto* bodyLayout = new QVBoxLayout(tbsBody1);
    bodyLayout->setContentsMargins(0, 0, 0, 0);
    bodyLayout->addWidget(gdBody1);
    clientLayout()->addWidget(pgBody, 1);

    pnlFoot = new QWidget(this);
    pnlFoot->setObjectName(QStringLiteral("pnlFoot"));
    clientLayout()->addWidget(pnlFoot);

    recordMenu()->addSeparator();
    miConfirm = addMenuItem(recordMenu(), "miConfirm", text::utf8(u8"审核"), [this] { miConfirmClick(); });
    miUnConfirm = addMenuItem(recordMenu(), "miUnConfirm", text::utf8(u8"取消审核"), [this] { miUnConfirmClick(); });
    miInvalid = addMenuItem(recordMenu(), "miInvalid", text::utf8(u8"作废"), [this] { miInvalidClick(); });
    miInvalid->setCheckable(true);
    mnuCopy = addMenuItem(recordMenu(), "mnuCopy", text::utf8(u8"复制(&C)"), [this] { mnuCopyClick(); });

    ToolBar1->addSeparator();
    btnConfirm = addToolButton("btnConfirm", text::utf8(u8"审核"), "dialog-ok-apply", QStyle::SP_DialogApplyButton,
                               [this] { miConfirmClick(); });
    btnUnConfirm = addToolButton("btnUnConfirm", text::utf8(u8"取消审核"), "edit-undo", QStyle::SP_DialogResetButton,
                                 [this] { miUnConfirmClick(); });
    btnInvalid = addToolButton("btnInvalid", text::utf8(u8"作废"), "process-stop", QStyle::SP_BrowserStop,
                               [this] { miInvalidClick(); });
    btnInvalid->setCheckable(true);
    btnAttach = addToolButton("btnAttach", text::utf8(u8"附件"), "mail-attachment", QStyle::SP_FileLinkIcon, [] {});
    // The attachment window is not part of this build: the button stays off rather than do nothing.
    btnAttach->setEnabled(false);
    createWorkflowCommands();
}

TfrmDouble::~TfrmDouble()
{
    if (TdmDouble* module = doubleModule())
        module->setLinesOwner(nullptr);
}

TdmDouble* TfrmDouble::doubleModule() const
{
    return dynamic_cast<TdmDouble*>(dataModule());
}

void TfrmDouble::ApplyProgramOptions()
{
    if (TdmDouble* module = doubleModule()) {
        module->setLinesOwner(this);
        module->SetLineCopyFields(LineCopyFields);
        module->SetHeadToLineFields(HeadToLineFields);
        gdBody1->setDataSource(&module->dsBody1);
    }
    TfrmSingle::ApplyProgramOptions();
}

std::string TfrmDouble::confirmCode() const
{
    return headCode(doubleModule(), ConfirmField);
}

bool TfrmDouble::locked() const
{
    const std::string code = confirmCode();
    return code == "Y" || code == "U" || code == "V" || inSignOff(headCode(doubleModule(), SignOffField));
}

bool TfrmDouble::closingDateAllows() const
{
    const TdmDouble* module = doubleModule();
    if (!ClosingDateCheck || module == nullptr || text::trim(ClosingDate).empty() || ClosingDate <= "0")
        return true;
    const Field* date = module->cdsMain.findField(NumberDateField);
    return date == nullptr || text::trim(date->asString()) > text::trim(ClosingDate);
}

void TfrmDouble::UpdateCommandStates()
{
    TfrmSingle::UpdateCommandStates();
    if (locked()) {
        enableCommand(btnEdit, miEdit, false);
        enableCommand(btnDelete, miDelete, false);
    }
    mnuCopy->setEnabled(hasRecord());
    showConfirmation();
    showWorkflowCommands();
}

void TfrmDouble::showConfirmation()
{
    const std::string code = confirmCode();
    const char* stamp = stampName(code);
    const QString word = stamp != nullptr ? stampWord(*this, code) : QString();
    ImgConfirm->setPixmap(stamp != nullptr ? stampPicture(stamp, word) : QPixmap());
    ImgConfirm->setToolTip(word);
    const bool record = hasRecord();
    bool confirm = false;
    bool unconfirm = false;
    bool invalid = false;
    if (code.empty() || code == "N") {
        confirm = invalid = true;
    } else if (code == "U") {
        confirm = unconfirm = true;
    } else if (code == "Y") {
        unconfirm = true;
    }
    enableCommand(btnConfirm, miConfirm, record && confirm && rights().canConfirm && (CommandMask & cmConfirm));
    enableCommand(btnUnConfirm, miUnConfirm,
                  record && unconfirm && rights().canUnConfirm && (CommandMask & cmUnConfirm));
    enableCommand(btnInvalid, miInvalid, record && invalid && rights().canInvalid && (CommandMask & cmInvalid));
    btnInvalid->setChecked(false);
    miInvalid->setChecked(false);
}

bool TfrmDouble::EditRecord()
{
    if (!closingDateAllows()) {
        const Variant empty[] = {Variant("")};
        ShowMessageCode("E", "000009", false, empty);
        return false;
    }
    if (locked())
        return false;
    return TfrmSingle::EditRecord();
}

bool TfrmDouble::DeleteRecord(bool ask)
{
    if (!closingDateAllows()) {
        const Variant empty[] = {Variant("")};
        ShowMessageCode("E", "000009", false, empty);
        return false;
    }
    const bool deleted = TfrmBase::DeleteRecord(ask);
    if (deleted)
        SetRecordMode(RecordMode::Browse);
    else if (hasRecord())
        showRecord(keyValues()); // a refusal may be another clerk's change: the document as stored
    return deleted;
}

void TfrmDouble::RunStartAction()
{
    TfrmSingle::RunStartAction();
    TdmDouble* module = doubleModule();
    if (draft_ || module == nullptr || !module->connected())
        return;
    draft_ = std::make_unique<DocumentDraft>(*this);
    // A window opened for one record by another program is not where a clerk's draft comes back.
    if (!CloseAfterSave)
        draft_->offerRestore();
}

void TfrmDouble::ShowState(DataSetState state)
{
    TfrmSingle::ShowState(state);
    // Only a document being added or edited takes lines: a line typed while browsing would put the
    // head into edit behind the window's back and ride along with the next save.
    gdBody1->setReadOnly(recordMode() == RecordMode::Browse);
    if (draft_)
        draft_->modeChanged();
}

bool TfrmDouble::CancelRecord(bool ask)
{
    const bool refusedEdit = refusedEdit_ && recordMode() == RecordMode::Edit;
    const bool cancelled = TfrmSingle::CancelRecord(ask);
    const bool browsing = recordMode() == RecordMode::Browse;
    if (browsing)
        refusedEdit_ = false;
    if (cancelled && CloseAfterSave) {
        lastCondition.clear();
        close();
    } else if (refusedEdit && browsing) {
        // A refusal may come from another clerk's change or delete: the document as the
        // server holds it now, not as it was read before, so that the next edit can be saved.
        showRecord(keyValues());
    }
    ApplyRights();
    return cancelled;
}

bool TfrmDouble::SaveRecord()
{
    TdmDouble* module = doubleModule();
    if (module == nullptr || !writeFocusedControl())
        return false;
    ClientDataSet& head = module->cdsMain;
    if (isEditing(module->cdsBody1))
        module->cdsBody1.post();
    if (isEditing(head))
        head.post();
    const RecordMode mode = recordMode();
    if (module->AutoNumber()) {
        const Field* number = head.findField(module->AutoNumberField());
        TypedNumber = number != nullptr ? number->asString() : std::string();
    }
    module->RememberKeyValues();
    if (!closingDateAllows()) {
        const Variant empty[] = {Variant("")};
        ShowMessageCode("E", "000009", false, empty);
        SaveFailed = true;
        return false;
    }
    withoutEvents(head, [&] {
        head.edit();
        if (mode == RecordMode::Add)
            module->StampLines();
        head.post();
    });
    bool saved = false;
    try {
        module->appServer().dispatch()->call("SetIsSeq", {Variant(module->AutoNumber() ? -1 : 0)});
        saved = module->SaveData(head);
    } catch (...) {
        // No answer: the draft keeps the document and the unanswered save's identifier, and the
        // document stays in edit, as after a refusal, to be saved again.
        if (draft_)
            draft_->writeNow();
        resumeFailedSave();
        throw;
    }
    if (!saved) {
        resumeFailedSave();
        if (!KeepFailedEdit()) {
            const Variant empty[] = {Variant("")};
            ShowMessageCode("E", "000008", false, empty);
        }
        return false;
    }
    if (draft_)
        draft_->discard();
    if (mode == RecordMode::Add) {
        NewNumber = module->WhatIs("SEQNO").toString();
        if (!signOffAfterSave() && AutoConfirm == 1 && rights().canConfirm)
            SetConfirmState(modeConfirm, 0);
        ConfirmSaveHook();
        if (module->AutoNumber() && !NewNumber.empty() && NewNumber != TypedNumber) {
            const Field* number = head.findField(module->AutoNumberField());
            const Variant values[] = {Variant(number != nullptr ? number->displayLabel() : std::string()),
                                      Variant(NewNumber)};
            ShowMessageCode("I", "000006", false, values);
        }
    }
    SaveFailed = false;
    refusedEdit_ = false;
    if (CloseAfterSave) {
        SetRecordMode(RecordMode::Browse);
        close();
    } else if (mode == RecordMode::Add) {
        shownBeforeAdd = keyValues();
        AddRecord(false);
    } else {
        SetRecordMode(RecordMode::Browse);
    }
    return true;
}

void TfrmDouble::resumeFailedSave()
{
    ClientDataSet& head = doubleModule()->cdsMain;
    if (!head.isEmpty())
        head.edit();
    SaveFailed = true;
    refusedEdit_ = recordMode() == RecordMode::Edit;
    enableCommand(btnOK, miOK, true);
}

std::vector<std::string> TfrmDouble::keyValues() const
{
    std::vector<std::string> values = TfrmSingle::keyValues();
    const TdmDouble* module = doubleModule();
    // A document saved a moment ago carries the server's number, not the typed one.
    if (!module->AutoNumber() || NewNumber.empty() || recordMode() != RecordMode::Add)
        return values;
    const std::vector<std::string> names = text::splitList(module->KeyFields(), ',', text::ListItems::TrimmedNonEmpty);
    for (std::size_t i = 0; i < names.size() && i < values.size(); ++i) {
        if (names[i] == module->AutoNumberField())
            values[i] = NewNumber;
    }
    return values;
}

Variant TfrmDouble::confirmationRequest(const std::string& operation, const std::string& date)
{
    TdmDouble* module = doubleModule();
    std::vector<Variant> keys;
    for (const std::string& value : keyValues())
        keys.emplace_back(value);
    const Field* flag = module->cdsMain.findField("FLAG");
    return Variant::arrayOf({Variant::arrayOf(std::move(keys)), flag != nullptr ? flag->value() : Variant(0),
                             Variant(operation), Variant("TXN"), Variant(date)});
}

void TfrmDouble::rereadHead()
{
    TdmDouble* module = doubleModule();
    std::string condition;
    if (module != nullptr && module->KeyCondition(condition))
        OpenDataSet(module->cdsMain, condition, "");
}

void TfrmDouble::SetConfirmState(int mode, int flag)
{
    ConfirmMode = mode;
    TdmDouble* module = doubleModule();
    if (module == nullptr || !ChangeConfirmState(mode, flag))
        return;
    ClientDataSet& head = module->cdsMain;
    if (mode == modeVoid || mode == modeUnVoid) {
        SetRecordMode(RecordMode::Edit);
        withoutEvents(head, [&] {
            head.edit();
            SetFieldText(head.findField(ConfirmField), mode == modeVoid ? "V" : "N", false);
            head.post();
        });
        if (!module->SaveData(head))
            head.cancelUpdates();
        SetRecordMode(RecordMode::Browse);
        // Saved, the change went without an edit's FLAG stamp and the server counted FLAG on;
        // refused, another clerk may have changed the order since it was read. Either way the
        // head is read again, as after a confirmation, so that the next command is not refused
        // as another user's change.
        rereadHead();
    } else {
        std::string date;
        if (!ConfirmationDate(mode, date)) {
            ApplyRights();
            return;
        }
        const bool afterAdd = recordMode() == RecordMode::Add;
        const Variant request = confirmationRequest(mode == modeConfirm ? "DO" : "UNDO", date);
        if (UsesTransactionServer()) {
            // Refused, the order may be another clerk's change: it is shown as stored.
            ConfirmOnServer(request);
            if (!afterAdd)
                rereadHead();
        } else {
            ConfirmLocally(request);
            rereadHead();
        }
    }
    ApplyRights();
}

bool TfrmDouble::ConfirmOnServer(const Variant& request)
{
    TdmDouble* module = doubleModule();
    std::vector<Variant> args{request};
    const Variant answer = module->appServer().dispatch()->invoke("Confirm", args);
    const bool confirmed =
        answer.isArray() && !answer.array().empty() && answer[answer.lowBound()].toIntegerOrZero() == 0;
    if (!confirmed) {
        const std::string message =
            answer.isArray() && answer.array().size() > 1 ? answer[answer.lowBound() + 1].toString() : std::string();
        ShowServerMessage(message);
    }
    return confirmed;
}

bool TfrmDouble::ConfirmLocally(const Variant& request)
{
    TdmDouble* module = doubleModule();
    ClientDataSet& head = module->cdsMain;
    const bool confirm = request[request.lowBound() + 2].toString() == "DO";
    withoutEvents(head, [&] {
        head.edit();
        SetFieldText(head.findField(ConfirmField), confirm ? "Y" : "N", false);
        head.post();
    });
    const bool saved = module->SaveData(head);
    if (!saved)
        head.cancelUpdates();
    return saved;
}

bool TfrmDouble::UsesTransactionServer()
{
    return true;
}

bool TfrmDouble::ConfirmationDate(int mode, std::string& date)
{
    date.clear();
    if (mode != modeConfirm || !text::equalsIgnoringAsciiCase(brokers().SystemParameter("SYS025"), "Y"))
        return true;
    const Field* documentDate = doubleModule()->cdsMain.findField(DocDateField);
    date = ShowConfirmDate(*this, "1", "", documentDate != nullptr ? documentDate->asString() : std::string());
    return !date.empty();
}

bool TfrmDouble::ChangeConfirmState(int /*mode*/, int /*flag*/)
{
    return true;
}

void TfrmDouble::CopyRecord()
{
    TdmDouble* module = doubleModule();
    if (module == nullptr || !hasRecord())
        return;
    module->RememberKeyValues();
    const std::vector<std::string> current = keyValues();
    Variant head;
    Variant lines;
    Variant extra;
    const bool copied =
        ShowCopyDialog(*this, module->cdsMain, module->dsMain, 0, module->KeyFields(), head, lines, extra);
    // The fetch step may have started a new document or read another one: the copy, given up now or
    // later, returns to the document shown before.
    shownBeforeAdd = current;
    if (!copied) {
        if (recordMode() == RecordMode::Add)
            CancelRecord(false);
        if (keyValues() != current)
            showRecord(current);
        return;
    }
    pasteRow(module->cdsMain, head);
    ClientDataSet& body = module->cdsBody1;
    for (int i = lines.isArray() ? lines.lowBound() : 0; lines.isArray() && i <= lines.highBound(); ++i) {
        body.append();
        pasteRow(body, lines[i]);
        body.post();
        if (extra.isArray() && i - lines.lowBound() + extra.lowBound() <= extra.highBound())
            pasteSubLines(body, extra[i - lines.lowBound() + extra.lowBound()]);
    }
    UpdateCommandStates();
}

bool TfrmDouble::FetchCopySource(const std::vector<std::string>& keys, int flag, QObject* sender, Variant& head,
                                 Variant& lines, Variant& extra)
{
    TdmDouble* module = doubleModule();
    if (module == nullptr)
        return false;
    OpenDataSet(module->cdsMain, module->KeyConditionOf(keys), "");
    if (module->cdsMain.isEmpty()) {
        const Field* first = module->cdsMain.findField(module->KeyFields().substr(0, module->KeyFields().find(',')));
        const Variant label[] = {Variant(first != nullptr ? first->displayLabel() : std::string())};
        ShowMessageCode("E", "000001", false, label);
        return false;
    }
    head = copiedRow(module->cdsMain, sender, flag, false);
    std::vector<Variant> rows;
    std::vector<Variant> subLines;
    ClientDataSet& body = module->cdsBody1;
    for (body.first(); !body.eof(); body.next()) {
        rows.push_back(copiedRow(body, sender, flag, true));
        subLines.push_back(copiedSubLines(body, sender, flag));
    }
    lines = Variant::arrayOf(std::move(rows));
    // The extra data: each line's sub-lines, which the line needs to be the same line again.
    extra = Variant::arrayOf(std::move(subLines));
    return AddRecord(true);
}

Variant TfrmDouble::copiedSubLines(DataSet& line, QObject* sender, int flag)
{
    std::vector<Variant> nested;
    for (DataSet* subLines : line.details()) {
        std::vector<Variant> rows;
        for (subLines->first(); !subLines->eof(); subLines->next())
            rows.push_back(copiedRow(*subLines, sender, flag, true));
        nested.push_back(Variant::arrayOf(std::move(rows)));
    }
    return Variant::arrayOf(std::move(nested));
}

Variant TfrmDouble::copiedRow(DataSet& dataSet, QObject* sender, int flag, bool line)
{
    std::vector<Variant> row;
    for (int i = 0; i < dataSet.fieldCount(); ++i) {
        Field& field = dataSet.field(i);
        Variant value = line ? CopiedLineValue(sender, field, flag) : CopiedHeadValue(sender, field, flag);
        if (!value.isUnassigned())
            row.push_back(Variant::arrayOf({Variant(field.name()), std::move(value)}));
    }
    return Variant::arrayOf(std::move(row));
}

void TfrmDouble::pasteRow(DataSet& dataSet, const Variant& row)
{
    for (int i = row.isArray() ? row.lowBound() : 0; row.isArray() && i <= row.highBound(); ++i) {
        const Variant& pair = row[i];
        Field* field = dataSet.findField(pair[pair.lowBound()].toString());
        if (field == nullptr)
            continue;
        const bool readOnly = field->readOnly();
        field->setReadOnly(false);
        try {
            field->setValue(pair[pair.lowBound() + 1]);
        } catch (...) {
            field->setReadOnly(readOnly);
            throw;
        }
        field->setReadOnly(readOnly);
    }
}

void TfrmDouble::pasteSubLines(DataSet& line, const Variant& subLines)
{
    if (!subLines.isArray())
        return;
    const std::vector<DataSet*>& nested = line.details();
    for (std::size_t i = 0; i < nested.size() && subLines.lowBound() + static_cast<int>(i) <= subLines.highBound();
         ++i) {
        const Variant& rows = subLines[subLines.lowBound() + static_cast<int>(i)];
        for (int r = rows.isArray() ? rows.lowBound() : 0; rows.isArray() && r <= rows.highBound(); ++r) {
            nested[i]->append();
            pasteRow(*nested[i], rows[r]);
            nested[i]->post();
        }
    }
    // Sub-lines added put their line into edit.
    if (line.state() == DataSetState::Edit)
        line.post();
}

void TfrmDouble::AfterHeadChange() {}

Variant TfrmDouble::CopiedHeadValue(QObject* /*sender*/, Field& field, int /*flag*/)
{
    // The new document has its own key, audit fields and lines, and starts unconfirmed.
    const std::string& keys = doubleModule()->KeyFields();
    if (notCopied(field, text::splitList(keys, ',', text::ListItems::TrimmedNonEmpty)))
        return {};
    if (text::equalsIgnoringAsciiCase(field.name(), ConfirmField))
        return Variant("N");
    return field.value();
}

Variant TfrmDouble::CopiedLineValue(QObject* /*sender*/, Field& field, int /*flag*/)
{
    // A new line takes its key and number from the new document; a copied line is open.
    if (notCopied(field, doubleModule()->LineKeyFields()))
        return {};
    if (!LineCloseField.empty() && text::equalsIgnoringAsciiCase(field.name(), LineCloseField))
        return Variant("N");
    return field.value();
}

void TfrmDouble::AfterRecordChange(DataSet& dataSet)
{
    TfrmSingle::AfterRecordChange(dataSet);
    AfterHeadChange();
}

void TfrmDouble::LineDataChange(Field* /*field*/) {}

void TfrmDouble::NewLineStarted()
{
    const TdmDouble* module = doubleModule();
    if (module == nullptr)
        return;
    for (int i = 0; i < module->cdsBody1.fieldCount(); ++i) {
        const Field& field = module->cdsBody1.field(i);
        if (field.visible() && !field.readOnly() && field.type() != FieldType::DataSet) {
            gdBody1->setSelectedField(&field);
            return;
        }
    }
}

void TfrmDouble::enterBody()
{
    pgBody->setCurrentIndex(0);
    NewLineStarted();
    gdBody1->setFocus();
}

void TfrmDouble::resizeHead(int pixels)
{
    if (headHeight_ == 0)
        headHeight_ = pgHead->height();
    pgHead->setFixedHeight(std::clamp(pgHead->height() + pixels, 31, std::max(31, headHeight_)));
}

bool TfrmDouble::FormKeyDown(QKeyEvent& event)
{
    const bool inBody = focusWidget() != nullptr && (focusWidget() == gdBody1 || gdBody1->isAncestorOf(focusWidget()));
    const bool control = event.modifiers() & Qt::ControlModifier;
    const int key = event.key();
    if (inBody && (key == Qt::Key_F2 || key == Qt::Key_F3 || key == Qt::Key_F4)) {
        // The lookup keys belong to the form, not to the grid's cell editor.
        TfrmSingle::FormKeyDown(event);
        return true;
    }
    // Escape in a cell editor takes back what was typed in the cell, the line kept; on the grid it gives up
    // the line being typed, never the document.
    if (inBody && key == Qt::Key_Escape && focusWidget() != gdBody1)
        return false;
    if (inBody && key == Qt::Key_Escape && isEditing(doubleModule()->cdsBody1)) {
        doubleModule()->cdsBody1.cancel();
        return true;
    }
    if (key == Qt::Key_Delete && control && focusWidget() == gdBody1) {
        deleteLine();
        return true;
    }

    if (control && key == Qt::Key_Down) {
        enterBody();
        return true;
    }
    if (control && (key == Qt::Key_PageUp || key == Qt::Key_PageDown) && pgHead->currentWidget() != tbsBrowse) {
        resizeHead(key == Qt::Key_PageUp ? -5 : 5);
        return true;
    }
    return TfrmSingle::FormKeyDown(event);
}

void TfrmDouble::deleteLine()
{
    ClientDataSet& lines = doubleModule()->cdsBody1;
    if (!isEditing(doubleModule()->cdsMain) || !lines.active() || lines.isEmpty())
        return;
    const Variant empty[] = {Variant("")};
    if (ShowMessageCode("C", "000005", false, empty) == DialogAnswer::Ok)
        lines.deleteRecord();
}

bool TfrmDouble::FormKeyPress(QKeyEvent& event)
{
    const TdmDouble* module = doubleModule();
    const bool enter = event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter;
    const bool memo =
        qobject_cast<QPlainTextEdit*>(focusWidget()) != nullptr || qobject_cast<QTextEdit*>(focusWidget()) != nullptr;
    if (enter && module != nullptr && lastHeadControl != nullptr && focusWidget() == lastHeadControl && !memo &&
        isEditing(module->cdsMain)) {
        enterBody();
        return true;
    }
    return TfrmSingle::FormKeyPress(event);
}

void TfrmDouble::miConfirmClick()
{
    SetConfirmState(modeConfirm, 1);
}

void TfrmDouble::miUnConfirmClick()
{
    SetConfirmState(modeUnConfirm, 0);
}

void TfrmDouble::miInvalidClick()
{
    const Variant empty[] = {Variant("")};
    if (ShowMessageCode("C", "200002", false, empty) != DialogAnswer::Ok) {
        showConfirmation(); // the clicked button or item has turned its mark on
        return;
    }
    // The record's code decides, not the check mark: the menu item has turned its mark on by the
    // time it runs, the tool button only its own.
    SetConfirmState(confirmCode() == "V" ? modeUnVoid : modeVoid, 0);
}

void TfrmDouble::mnuCopyClick()
{
    CopyRecord();
}

// The sign-off workflow.

void TfrmDouble::createWorkflowCommands()
{
    popVeltra = new QMenu(this);
    popVeltra->setObjectName(QStringLiteral("popVeltra"));
    miGoConfirm = addMenuItem(popVeltra, "miGoConfirm", text::utf8(u8"送签核: 审核"), [this] { miGoConfirmClick(); });
    miGoUnConfirm =
        addMenuItem(popVeltra, "miGoUnConfirm", text::utf8(u8"送签核: 取消审核"), [this] { miGoUnConfirmClick(); });
    miGoInvalid = addMenuItem(popVeltra, "miGoInvalid", text::utf8(u8"送签核: 作废"), [this] { miGoInvalidClick(); });
    miSeprator = popVeltra->addSeparator();
    miSeprator->setObjectName(QStringLiteral("miSeprator"));
    miViewVeltra = addMenuItem(popVeltra, "miViewVeltra", text::utf8(u8"签核信息"), [this] { miViewVeltraClick(); });
    // Also a submenu of the record menu: the keyboard reaches the commands by Alt and the letters.
    popVeltra->setTitle(text::utf8(u8"签核(&G)"));
    recordMenu()->addMenu(popVeltra);
    btnSepVeltra = ToolBar1->addSeparator();
    btnSepVeltra->setObjectName(QStringLiteral("btnSepVeltra"));
    btnVeltra = addToolButton("btnVeltra", text::utf8(u8"签核"), "mail-send", QStyle::SP_ArrowForward,
                              [this] { btnVeltraClick(); });
    btnVeltraAction_ = ToolBar1->actions().back();
    btnVeltra->setMenu(popVeltra);
    btnVeltra->setPopupMode(QToolButton::MenuButtonPopup);
}

std::string TfrmDouble::documentKey() const
{
    return doubleModule() != nullptr ? joined(keyValues(), "||") : std::string();
}

void TfrmDouble::showWorkflowCommands()
{
    const TdmDouble* module = doubleModule();
    const Field* field = module != nullptr && hasRecord() ? module->cdsMain.findField(SignOffField) : nullptr;
    const bool on = brokers().SystemParameter("SYS060") == "Y" && !SignOffField.empty();
    const std::string status = field != nullptr ? text::trim(field->asString()) : std::string();
    const bool pending = inSignOff(status);
    const bool canSend = on && field != nullptr && recordMode() == RecordMode::Browse && status != "N" && !pending;
    if (on && pending) {
        enableCommand(btnConfirm, miConfirm, false);
        enableCommand(btnUnConfirm, miUnConfirm, false);
        enableCommand(btnInvalid, miInvalid, false);
    }
    // Shown first: a hidden action stays disabled.
    miGoConfirm->setVisible(canSend && btnConfirm->isEnabled());
    miGoConfirm->setEnabled(miGoConfirm->isVisible());
    miGoUnConfirm->setEnabled(canSend && btnUnConfirm->isEnabled());
    miGoInvalid->setEnabled(canSend && btnInvalid->isEnabled());
    miViewVeltra->setEnabled(on && field != nullptr);
    btnVeltraAction_->setVisible(on);
    popVeltra->menuAction()->setVisible(on);
    btnSepVeltra->setVisible(on);
    btnVeltra->setEnabled(on && field != nullptr);
}

void TfrmDouble::btnVeltraClick()
{
    if (miGoConfirm->isVisible())
        miGoConfirmClick();
    else
        btnVeltra->showMenu();
}

void TfrmDouble::miGoConfirmClick()
{
    SendToWorkflow(modeConfirm);
}

void TfrmDouble::miGoUnConfirmClick()
{
    SendToWorkflow(modeUnConfirm);
}

void TfrmDouble::miGoInvalidClick()
{
    SendToWorkflow(modeVoid);
}

bool TfrmDouble::WorkflowPreCheck(int /*action*/)
{
    return true;
}

Variant TfrmDouble::workflowJob(int action, const std::string& urgency, const std::string& contact) const
{
    const TdmDouble* module = doubleModule();
    return Variant::arrayOf({std::to_string(action), documentKey(), urgency, contact, module->MainTable(),
                             brokers().ProgramParameter("D11_TABLE"), module->KeyFields(), joined(keyValues(), ","),
                             joined(module->LineKeyFields(), ","), SignOffField, ConfirmField, LineCloseField});
}

bool TfrmDouble::SendToWorkflow(int action)
{
    TdmDouble* module = doubleModule();
    if (brokers().SystemParameter("SYS060") != "Y" || module == nullptr || !hasRecord())
        return false;
    const std::string key = documentKey();
    Variant queued;
    if (brokers().CheckValue("VLJOBQUE", "02", Variant::arrayOf({key}), queued)) {
        const Variant none[] = {Variant("")};
        ShowMessageCode("E", "200130", false, none);
        return false;
    }
    if (!brokers().component(BrokerComponent::Validator).isDispatch() ||
        !brokers().component(BrokerComponent::Counter).isDispatch() || !WorkflowPreCheck(action))
        return false;
    Variant settings;
    brokers().QueryData("ADMMQ", "02", Variant::arrayOf({brokers().programId(), key.substr(0, key.find("||"))}),
                        settings);
    const bool suppressed = settingsColumn(settings, 3) == "Y";
    std::string urgency = "1";
    std::string contact = brokers().userId();
    if (!suppressed) {
        TfrmSetVLINFO dialog(*this);
        if (!dialog.Execute())
            return false;
        urgency = dialog.urgency();
        contact = dialog.contact();
    }
    if (!brokers().SendJob(1, workflowJob(action, urgency, contact))) {
        const Variant none[] = {Variant("")};
        ShowMessageCode("E", "200132", false, none);
        return false;
    }
    // The server marked the document "S" with the job: read it as it now stands (a document
    // just added gives way to the next one instead).
    if (recordMode() != RecordMode::Add)
        rereadHead();
    ApplyRights();
    return true;
}

bool TfrmDouble::signOffAfterSave()
{
    const Field* field = doubleModule()->cdsMain.findField(SignOffField);
    if (brokers().SystemParameter("SYS060") != "Y" || field == nullptr || text::trim(field->asString()) == "N")
        return false;
    Variant settings;
    const std::vector<std::string> keys = keyValues();
    brokers().QueryData("ADMMQ", "02", Variant::arrayOf({brokers().programId(), keys.empty() ? "" : keys.front()}),
                        settings);
    if (settingsColumn(settings, 0).empty())
        return false; // the type takes no part
    const std::string mode = settingsColumn(settings, 2);
    if (mode == "Y" || mode == "C")
        SendToWorkflow(modeConfirm);
    return true;
}

std::string TfrmDouble::signOffRefusal(const std::string& answer) const
{
    // In the interface language: the framework's dictionary texts, else the design texts. The
    // error number is the code of a system message: the dictionary's text of it, else the
    // server's, converted once.
    const auto texts = InterfaceTexts::current();
    const auto said = [&texts](std::string_view name, const std::string& designText) {
        return texts->text(textObject::framework, name, designText);
    };
    const std::string number = taggedText(answer, "ErrNum");
    std::optional<std::string> why = texts->message("E", number);
    if (!why)
        why = ZtConverter().DataConvert(Variant(taggedText(answer, "ErrDis"))).toString();
    return said("msgSignOffReadFailed", LOCAL_TEXT(u8"取签核信息失败 !")) + "\n\r" +
           said("msgErrorNumber", LOCAL_TEXT(u8"错误代号 :")) + " " + number + "\n\r" +
           said("msgErrorText", LOCAL_TEXT(u8"错误消息 :")) + " " + *why;
}

void TfrmDouble::miViewVeltraClick()
{
    TdmDouble* module = doubleModule();
    if (module == nullptr || !hasRecord())
        return;
    const std::string key = documentKey();
    Variant setting;
    if (!brokers().CheckValue("ADMMQ", "02", Variant::arrayOf({brokers().programId(), key.substr(0, key.find("||"))}),
                              setting) ||
        !setting.isArray() || setting.array().size() < 2)
        return;
    Variant answer;
    brokers().RemoteCall("GetVLApprove",
                         Variant::arrayOf({brokers().userId(), setting[setting.lowBound() + 1].toString(), key, "936"}),
                         answer);
    if (!answer.isString())
        return;
    const auto rows = approveRows(answer.asString());
    if (!rows) {
        ShowInterfaceMessage(signOffRefusal(answer.asString()));
        return;
    }
    TfrmVLInfo window(*this);
    window.setRows(*rows);
    DialogService::instance().runModal(window);
}

} // namespace orvane
