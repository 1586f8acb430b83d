#include "framework/ZtSimpleBodyCF.h"
#include "ui/QtText.h"

#include "controls/DBGrid.h"
#include "framework/DoubleCD.h"
#include "framework/KnlVozuraz.h"
#include "framework/SingleCF.h"
#include "platform/data/DataSetError.h"
#include "platform/data/SilentAbort.h"
#include "platform/text/ByteText.h"
#include "ui/DialogService.h"
#include "ui/Guard.h"

#include <QAction>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace orvane {

namespace {

std::vector<std::string> fieldNames(std::string_view list)
{
    return text::splitList(list, ',', text::ListItems::TrimmedNonEmpty);
}

// Runs the form's handler, then the dataset's own one.
DataSetEvents::Handler chained(std::function<void(DataSet&)> first, DataSetEvents::Handler saved)
{
    return [first = std::move(first), saved = std::move(saved)](DataSet& dataSet) {
        first(dataSet);
        if (saved)
            saved(dataSet);
    };
}

// Keeps an order by FLAG and the current row for the life of the scope.
class FlagOrder {
public:
    explicit FlagOrder(DataSet& dataSet)
        : dataSet_(dataSet), order_(dataSet.indexFieldNames()), bookmark_(dataSet.bookmark())
    {
        dataSet_.disableControls();
        dataSet_.setIndexFieldNames("FLAG");
    }
    ~FlagOrder()
    {
        dataSet_.setIndexFieldNames(order_);
        if (dataSet_.bookmarkValid(bookmark_))
            dataSet_.gotoBookmark(bookmark_);
        dataSet_.enableControls();
    }
    FlagOrder(const FlagOrder&) = delete;
    FlagOrder& operator=(const FlagOrder&) = delete;

private:
    DataSet& dataSet_;
    std::string order_;
    Bookmark bookmark_;
};

} // namespace

TfrmSimpleBody::TfrmSimpleBody(TfrmVozuraz* owner) : owner_(owner)
{
    // The record commands are the owning window's; this one edits rows in its grid.
    for (QToolButton* button : {btnAdd, btnQuery, btnEdit, btnDelete, btnPrint, btnReFresh})
        toolBarAction(button)->setVisible(false);
    for (QAction* item : {miAdd, miQuery, miEdit, miDelete, miReFresh})
        item->setVisible(false);

    miRedact = addMenuItem(recordMenu(), "miRedact", text::utf8(u8"维护(&M)"), [this] { btnRedactClick(); });
    miRedact->setCheckable(true);
    miOK = addMenuItem(recordMenu(), "miOK", text::utf8(u8"确定"), [this] { SaveRecord(); });
    miOK->setShortcut(QKeySequence(Qt::Key_F12));
    miCancel = addMenuItem(recordMenu(), "miCancel", text::utf8(u8"取消"), [this] { CancelRecord(true); });
    btnRedact = addToolButton("btnRedact", text::utf8(u8"维护"), "document-edit", QStyle::SP_FileDialogDetailedView,
                              [this] { btnRedactClick(); });
    btnRedact->setCheckable(true);

    Panel1 = new QWidget(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    DBGrid = new orvane::DBGrid(Panel1);
    DBGrid->setObjectName(QStringLiteral("DBGrid"));
    DBGrid->setReadOnly(true);
    DBGrid->setBackgroundColor(TfrmSingle::oddRowColor);
    DBGrid->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    auto* layout = new QVBoxLayout(Panel1);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(DBGrid);
    clientLayout()->addWidget(Panel1, 1);
    resize(640, 360);
}

TfrmSimpleBody::~TfrmSimpleBody()
{
    restoreHandlers();
    rowCopy_.close();
    BorrowDataModule(nullptr); // the record form must not unhook the lender's data sources
}

void TfrmSimpleBody::FetchRights()
{
    TfrmBase::FetchRights();
    source_ = DBGrid->dataSource();
    if (source_ == nullptr || source_->dataSet() == nullptr) {
        // Only this window is refused; the program and the shell go on.
        const Variant reason[] = {Variant("DBGrid's DataSource or DataSet is nil")};
        ShowMessageCode("E", "000032", false, reason);
        QMetaObject::invokeMethod(
            this, [this] { guarded("TfrmSimpleBody.OpenProgram", [this] { close(); }); }, Qt::QueuedConnection);
        return;
    }
    findDataSets();
    TdmVozuraz* lender = owner_ != nullptr ? owner_->dataModule() : nullptr;
    if (lender != nullptr && top_ != nullptr && lender->findDataSet(top_->name()) == top_)
        BorrowDataModule(lender);
    if (TdmVozuraz* module = dataModule(); module != nullptr && module->brokers() != nullptr) {
        const TBrokers& lenderBrokers = *module->brokers();
        const bool headKeys = !lenderBrokers.ProgramParameter("H11_KEY").empty();
        ParentKeyFields = lenderBrokers.ProgramParameter(headKeys ? "M11_KEY" : "D11_KEY");
        BodyKeyFields = lenderBrokers.ProgramParameter(headKeys ? "H11_KEY" : "F11_KEY");
        ParseRights(lenderBrokers.ProgramParameter("POWER_DATA"), lenderBrokers.ProgramParameter("GROUP_LIST"));
    }
    installHandlers();
    RefreshCopyDataSet();
    ShowState(DataSetState::Browse);
    ApplyRights();
}

void TfrmSimpleBody::findDataSets()
{
    body_ = dynamic_cast<ClientDataSet*>(source_->dataSet());
    parent_ = body_ != nullptr ? dynamic_cast<ClientDataSet*>(body_->master()) : nullptr;
    top_ = body_;
    while (top_ != nullptr && top_->master() != nullptr)
        top_ = dynamic_cast<ClientDataSet*>(top_->master());
}

void TfrmSimpleBody::installHandlers()
{
    if (body_ == nullptr || installed_)
        return;
    installed_ = true;
    savedBody_ = body_->events;
    body_->events.onNewRecord = [this](DataSet& dataSet) {
        // Rows change only with their document: a row started while it browses is dropped.
        if (!masterEditing()) {
            dataSet.cancel();
            return;
        }
        StampNewRow();
        if (savedBody_.onNewRecord)
            savedBody_.onNewRecord(dataSet);
    };
    body_->events.afterEdit = chained(
        [this](DataSet& dataSet) {
            if (dataModule() != nullptr)
                dataModule()->StampAuditFields(dataSet);
        },
        savedBody_.afterEdit);
    body_->events.beforePost = chained(
        [this](DataSet& dataSet) {
            if (!ValidateDataSet(dataSet))
                abortSilently();
        },
        savedBody_.beforePost);
    body_->events.afterPost = chained([this](DataSet&) { RefreshCopyDataSet(); }, savedBody_.afterPost);
    body_->events.afterDelete = chained([this](DataSet&) { RefreshCopyDataSet(); }, savedBody_.afterDelete);
    if (parent_ != nullptr) {
        savedParent_ = parent_->events;
        parent_->events.beforePost = chained([this](DataSet&) { StampRows(); }, savedParent_.beforePost);
    }
    savedStateChange_ = source_->onStateChange;
    source_->onStateChange = [this](DataSource& source) {
        // The window's record mode stays browse: its state is the row's.
        showStateCaption(body_->state());
        UpdateCommandStates();
        if (savedStateChange_)
            savedStateChange_(source);
    };
}

void TfrmSimpleBody::restoreHandlers()
{
    if (!installed_)
        return;
    installed_ = false;
    body_->events = savedBody_;
    if (parent_ != nullptr)
        parent_->events = savedParent_;
    source_->onStateChange = savedStateChange_;
}

std::vector<std::pair<std::string, std::string>> TfrmSimpleBody::keyPairs() const
{
    const std::vector<std::string> parentKeys = fieldNames(ParentKeyFields);
    const std::vector<std::string> bodyKeys = fieldNames(BodyKeyFields);
    std::vector<std::pair<std::string, std::string>> pairs;
    for (std::size_t i = 0; i < parentKeys.size() && i < bodyKeys.size(); ++i)
        pairs.emplace_back(parentKeys[i], bodyKeys[i]);
    return pairs;
}

void TfrmSimpleBody::copyParentKeys(bool placeholder)
{
    for (const auto& [parentKey, bodyKey] : keyPairs()) {
        Field* row = body_->findField(bodyKey);
        const Field* parent = parent_->findField(parentKey);
        if (row == nullptr || (placeholder && row->type() != FieldType::String))
            continue;
        SetFieldText(row,
                     placeholder ? std::string(TdmDouble::linePlaceholder)
                                 : (parent != nullptr ? parent->asString() : std::string()),
                     false);
    }
}

bool TfrmSimpleBody::keysMatchParent() const
{
    for (const auto& [parentKey, bodyKey] : keyPairs()) {
        const Field* row = body_->findField(bodyKey);
        const Field* parent = parent_->findField(parentKey);
        if (row != nullptr && parent != nullptr && row->asString() != parent->asString())
            return false;
    }
    return true;
}

void TfrmSimpleBody::StampNewRow()
{
    if (TdmVozuraz* module = dataModule())
        module->StampAuditFields(*body_);
    if (parent_ == nullptr)
        return;
    copyParentKeys(parent_->state() == DataSetState::Insert);
    for (const std::string& pair : fieldNames(HeadToRowFields)) {
        const std::size_t arrow = pair.find("->");
        if (arrow == std::string::npos)
            throw DataSetError("HeadToRowFields: '" + pair + "' is not PARENTFIELD->ROWFIELD");
        const Field* from = parent_->findField(text::trim(pair.substr(0, arrow)));
        Field* to = body_->findField(text::trim(pair.substr(arrow + 2)));
        if (from != nullptr && to != nullptr && from->asString() != to->asString())
            SetFieldText(to, from->asString(), false);
    }
}

void TfrmSimpleBody::StampRows()
{
    if (parent_ == nullptr || !body_->active() || body_->isEmpty())
        return;
    const FlagOrder order(*body_);
    for (body_->first(); !body_->eof(); body_->next()) {
        if (keysMatchParent())
            continue;
        body_->edit();
        copyParentKeys(false);
        body_->post();
    }
}

void TfrmSimpleBody::RefreshCopyDataSet()
{
    if (body_ == nullptr || !body_->active()) {
        rowCopy_.close();
        return;
    }
    try {
        rowCopy_.cloneCursor(*body_);
    } catch (const std::exception&) {
        throw DataSetError("simple body clone error!!");
    }
}

bool TfrmSimpleBody::masterEditing() const
{
    return top_ != nullptr && isEditing(*top_);
}

bool TfrmSimpleBody::hasRows() const
{
    return body_ != nullptr && body_->active() && !body_->isEmpty();
}

void TfrmSimpleBody::UpdateCommandStates()
{
    const bool master = masterEditing();
    const bool browsing = body_ != nullptr && body_->state() == DataSetState::Browse;
    const bool rows = hasRows();
    const bool bodyCommands = master && browsing;
    enableCommand(btnAdd, miAdd, bodyCommands && rights().canAdd && (CommandMask & cmAdd));
    enableCommand(btnQuery, miQuery, bodyCommands && rights().canQuery && (CommandMask & cmQuery));
    enableCommand(btnEdit, miEdit, bodyCommands && rows && rights().canEdit && (CommandMask & cmEdit));
    enableCommand(btnDelete, miDelete, bodyCommands && rows && rights().canDelete && (CommandMask & cmDelete));
    enableCommand(btnRedact, miRedact, master);
    for (auto [button, item] :
         {std::pair{btnFirst, miFirst}, {btnPrior, miPrior}, {btnNext, miNext}, {btnLast, miLast}})
        enableCommand(button, item, rows && browsing);
    const bool editingRow = body_ != nullptr && isEditing(*body_);
    miOK->setEnabled(editingRow);
    miCancel->setEnabled(editingRow);
    miExit->setEnabled(browsing);
    if (!master && maintenance_)
        setMaintenance(false);
    SaveFailed = false;
}

void TfrmSimpleBody::setMaintenance(bool on)
{
    if (on && !masterEditing())
        return;
    maintenance_ = on;
    DBGrid->setReadOnly(!on);
    // Rows taking typing are white; read-only rows keep the grid's pale colour.
    DBGrid->setBackgroundColor(on ? QColor(Qt::white) : TfrmSingle::oddRowColor);
    btnRedact->setChecked(on);
    miRedact->setChecked(on);
}

void TfrmSimpleBody::btnRedactClick()
{
    if (body_ != nullptr && isEditing(*body_))
        body_->post();
    setMaintenance(!maintenance_);
}

bool TfrmSimpleBody::AddRecord(bool /*reset*/)
{
    if (body_ == nullptr || !masterEditing())
        return false;
    for (const auto& [parentKey, bodyKey] : keyPairs()) {
        const Field* key = parent_ != nullptr ? parent_->findField(parentKey) : nullptr;
        if (key == nullptr || !parent_->active() || parent_->isEmpty() || text::trim(key->asString()).empty()) {
            const Variant empty[] = {Variant("")};
            ShowMessageCode("E", "1000063", false, empty);
            return false;
        }
    }
    if (body_->state() != DataSetState::Insert)
        body_->append();
    for (int i = 0; i < body_->fieldCount(); ++i) {
        const Field& field = body_->field(i);
        if (field.visible() && field.type() != FieldType::DataSet) {
            DBGrid->setSelectedField(&field);
            break;
        }
    }
    DBGrid->setFocus();
    return true;
}

bool TfrmSimpleBody::EditRecord()
{
    return true;
}

bool TfrmSimpleBody::DeleteRecord(bool ask)
{
    if (!hasRows() || !masterEditing())
        return false;
    if (ask) {
        const Variant empty[] = {Variant("")};
        if (ShowMessageCode("C", "000001", false, empty) != DialogAnswer::Ok)
            return false;
    }
    body_->deleteRecord();
    return true;
}

bool TfrmSimpleBody::SaveRecord()
{
    // An open cell editor's text is written first; a refused one stops the save, kept for correcting.
    if (body_ == nullptr || !writeFocusedControl() || !isEditing(*body_))
        return false;
    body_->post();
    return true;
}

bool TfrmSimpleBody::CancelRecord(bool ask)
{
    if (body_ == nullptr || !isEditing(*body_))
        return false;
    if (ask && body_->modified()) {
        const Variant empty[] = {Variant("")};
        const char* code = body_->state() == DataSetState::Insert ? "000004" : "000002";
        if (ShowMessageCode("C", code, false, empty) != DialogAnswer::Ok)
            return false;
    }
    body_->cancel();
    return true;
}

bool TfrmSimpleBody::ValidateDataSet(DataSet& dataSet)
{
    if (&dataSet != body_)
        return TfrmBase::ValidateDataSet(dataSet);
    return checkRequiredFields(dataSet, dataSet.name() + ":" + BodyKeyFields) &&
           checkRequiredFields(dataSet, RequiredFields);
}

void TfrmSimpleBody::FormShow()
{
    TfrmBase::FormShow();
    UpdateCommandStates();
}

void TfrmSimpleBody::changeEvent(QEvent* event)
{
    TfrmBase::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        guarded("TfrmSimpleBody.FormActivate", [this] { UpdateCommandStates(); });
}

bool TfrmSimpleBody::FormKeyDown(QKeyEvent& event)
{
    const bool inGrid = focusWidget() == DBGrid; // not while a cell editor has the focus
    if (event.key() == Qt::Key_Delete && (event.modifiers() & Qt::ControlModifier) && inGrid) {
        // Only rows of a document being edited may go.
        if (hasRows() && masterEditing()) {
            const Variant empty[] = {Variant("")};
            if (ShowMessageCode("C", "000005", false, empty) == DialogAnswer::Ok)
                body_->deleteRecord();
        }
        return true;
    }
    if (event.key() == Qt::Key_Escape) {
        if (body_ != nullptr && isEditing(*body_))
            CancelRecord(true);
        else
            CloseForm();
        return true;
    }
    return TfrmBase::FormKeyDown(event);
}

bool TfrmSimpleBody::FormKeyPress(QKeyEvent& event)
{
    const bool enter = event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter;
    if (!enter || focusWidget() != DBGrid)
        return TfrmBase::FormKeyPress(event);
    // Enter in the grid moves to the next column.
    const QModelIndex current = DBGrid->currentIndex();
    if (current.isValid() && current.column() + 1 < DBGrid->model()->columnCount())
        DBGrid->setCurrentIndex(current.siblingAtColumn(current.column() + 1));
    return true;
}

bool TfrmSimpleBody::FormCloseQuery()
{
    // A pending row is posted with what its open cell editor holds; a refused one keeps the window open.
    if (body_ == nullptr)
        return true;
    if (!writeFocusedControl())
        return false;
    if (!isEditing(*body_))
        return true;
    try {
        body_->post();
    } catch (const SilentAbort&) {
        return false;
    }
    return true;
}

void TfrmSimpleBody::miFirstClick()
{
    if (hasRows())
        body_->first();
}

void TfrmSimpleBody::miPriorClick()
{
    if (hasRows())
        body_->prior();
}

void TfrmSimpleBody::miNextClick()
{
    if (hasRows())
        body_->next();
}

void TfrmSimpleBody::miLastClick()
{
    if (hasRows())
        body_->last();
}

} // namespace orvane
