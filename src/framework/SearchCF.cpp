#include "framework/SearchCF.h"

#include "controls/DBGrid.h"
#include "framework/VozurazCD.h"
#include "platform/data/DataSetError.h"
#include "platform/lookup/LookupAnswer.h"
#include "platform/text/ByteText.h"
#include "platform/text/FieldTextRules.h"
#include "platform/text/LocalText.h"
#include "platform/variant/NumberText.h"
#include "ui/DialogService.h"
#include "ui/Guard.h"
#include "ui/QtText.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QSplitter>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <algorithm>
#include <map>

namespace orvane {

namespace {

constexpr int maxColumnChars = 200;
// Byte capacity of a text column: the longest text a list's column carries.
constexpr int textCapacity = 255;
// gdMain's and gdbody's background, a pale blue (the resource's colour 15532027 as BGR).
const QColor gridColour(0xFB, 0xFF, 0xEC);
const QColor codeColumnText(0x00, 0x00, 0x80);

// Column layouts kept by the grid-setting menu for the session, by table and kind.
std::map<std::string, std::vector<ColumnLayout>>& keptLayouts()
{
    static std::map<std::string, std::vector<ColumnLayout>> layouts;
    return layouts;
}

// The field definitions of a list from its first page: a number column wherever the first row
// holds a number, text otherwise.
std::vector<FieldDef> fieldDefs(const LookupAnswer& answer)
{
    const std::size_t width = std::max(answer.fieldNames.size(), answer.rows.empty() ? 0 : answer.rows[0].size());
    std::vector<FieldDef> defs;
    for (std::size_t i = 0; i < width; ++i) {
        std::string name = i < answer.fieldNames.size() ? answer.fieldNames[i] : "F" + std::to_string(i);
        const bool number = !answer.rows.empty() && i < answer.rows[0].size() && answer.rows[0][i].isNumeric();
        defs.push_back(number ? FieldDef::of(std::move(name), FieldType::Float)
                              : FieldDef::string(std::move(name), textCapacity));
    }
    return defs;
}

// A value as its column holds it: a number column's missing value (a null the server sends as
// empty text) or text that is no number is null, so a later row never fails the first's types.
Variant fitted(const FieldDef& def, Variant value)
{
    if (def.type != FieldType::Float || value.isNumeric())
        return value;
    const auto number = text::tryParseFloat(value.toString());
    return number ? Variant(*number) : Variant::null();
}

// Kinds whose cells show through the list's cell text rather than as stored.
bool shownByKind(std::string_view kind)
{
    return kind == "D" || kind == "Y" || kind == "YM" || kind == "%" || kind == "L";
}

// The widest text of a column among the rows, in characters of the byte text.
int widestText(const std::vector<std::vector<Variant>>& rows, std::size_t column)
{
    std::size_t widest = 0;
    for (const auto& row : rows)
        if (column < row.size())
            widest = std::max(widest, row[column].toString().size());
    return static_cast<int>(widest);
}

} // namespace

// One list of the lookup service as a provider of a client dataset: a reset starts at the row
// the params give (0 when none), each packet asks for the next rows, and the packets stop
// (end of data) when the dataset holds a full window, while moreRows() still says whether the
// server has more.
class LookupListProvider : public Provider {
public:
    LookupListProvider(DispatchPtr service, LookupRequest request)
        : service_(std::move(service)), request_(std::move(request))
    {}

    void setKeys(Variant keys) { request_.keys = std::move(keys); }
    bool moreRows() const { return more_; }
    std::int64_t start() const { return start_; }
    std::int64_t next() const { return start_ + held_; }
    // The column specification and the widest text of each column, from the first packet.
    const std::string& columns() const { return columns_; }
    const std::vector<int>& widestTexts() const { return widest_; }

    DataPacket getRecords(int count, const Variant& params, bool reset) override
    {
        if (reset) {
            start_ = params.isNumeric() ? params.toInteger() : 0;
            held_ = 0;
        }
        const std::int64_t room = TfrmSearch::windowRows - held_;
        const std::int64_t wanted = std::min<std::int64_t>(count <= 0 ? LookupPage::maxRows : count, room);
        LookupAnswer answer = fetch({next(), std::clamp<std::int64_t>(wanted, 1, LookupPage::maxRows)});
        if (defs_.empty()) {
            defs_ = fieldDefs(answer);
            columns_ = answer.columns;
            for (std::size_t c = 0; c < defs_.size(); ++c)
                widest_.push_back(widestText(answer.rows, c));
        }
        DataPacket packet{defs_, {}, true};
        for (auto& row : answer.rows) {
            row.resize(defs_.size());
            for (std::size_t c = 0; c < row.size(); ++c)
                row[c] = fitted(defs_[c], std::move(row[c]));
            packet.rows.push_back({std::move(row), {}});
        }
        held_ += static_cast<std::int64_t>(packet.rows.size());
        more_ = answer.moreRows;
        packet.endOfData = !more_ || held_ >= TfrmSearch::windowRows;
        return packet;
    }

    ApplyResult applyUpdates(const Delta& /*delta*/, int /*maxErrors*/) override
    {
        throw DataSetError("The lookup list " + request_.table + " \"" + request_.kind + "\" cannot be changed");
    }

private:
    LookupAnswer fetch(LookupPage page)
    {
        LookupRequest request = request_;
        request.page = page;
        std::vector<Variant> args{request.toVariant(), Variant()};
        if (service_->invoke("GetF2Data", args).toIntegerOrZero() < 0)
            throw SearchKindError("The lookup service has no list for table " + request_.table + " kind \"" +
                                  request_.kind + "\"");
        return LookupAnswer::fromVariant(args[1]);
    }

    DispatchPtr service_;
    LookupRequest request_;
    std::vector<FieldDef> defs_; // from the first page, kept for every later one
    std::string columns_;        // the column specification
    std::vector<int> widest_;    // the widest text of each column in the first page
    std::int64_t start_ = 0;     // list position of the first row held
    std::int64_t held_ = 0;      // rows sent since the reset
    bool more_ = false;          // the server has rows after those sent
};

TfrmSearch::TfrmSearch(TBrokers& brokers, MessageCodeService& messages, QWidget* parent)
    : TZtForm(parent), brokers_(brokers), messages_(messages)
{
    setObjectName(QStringLiteral("frmSearch"));
    setWindowTitle(caption("frmSearch", LOCAL_TEXT(u8"查询窗口")));
    buildWindow();
    cdsMain_.setPacketRecords(static_cast<int>(LookupPage::maxRows));
    cdsMain_.events.afterScroll = [this](DataSet&) { cdsMainAfterScroll(); };
}

TfrmSearch::~TfrmSearch()
{
    cdsMain_.events = {};
}

void TfrmSearch::buildWindow()
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(buildToolBar());

    auto* splitter = new QSplitter(Qt::Vertical, this);
    splitter->setObjectName(QStringLiteral("Splitter1"));
    gdMain_ = new DBGrid(splitter);
    gdbody_ = new DBGrid(splitter);
    gdMain_->setObjectName(QStringLiteral("gdMain"));
    gdbody_->setObjectName(QStringLiteral("gdbody"));
    for (DBGrid* grid : {gdMain_, gdbody_}) {
        grid->setReadOnly(true);
        grid->setSelectionBehavior(QAbstractItemView::SelectRows);
        grid->setBackgroundColor(gridColour);
        grid->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
        grid->verticalHeader()->hide();
        grid->installEventFilter(this);
        grid->viewport()->installEventFilter(this);
    }
    gdMain_->setDataSource(&dsMain_);
    gdbody_->setDataSource(&dsbody_);
    gdbody_->hide();
    gdMain_->setCellColorHook([this](int row, const Field& field, QColor& background, QColor& text) {
        gdMainCalcCellColors(row, field, background, text);
    });
    connect(gdMain_, &QAbstractItemView::doubleClicked, this,
            guardedSlot("TfrmSearch.gdMainDblClick", [this](const QModelIndex&) { gdMainDblClick(); }));
    connect(gdbody_, &QAbstractItemView::doubleClicked, this,
            guardedSlot("TfrmSearch.gdbodyDblClick", [this](const QModelIndex&) { choose(); }));

    PopupMenu1_ = new QMenu(this);
    PopupMenu1_->setObjectName(QStringLiteral("PopupMenu1"));
    QAction* set = PopupMenu1_->addAction(caption("SetGridSetting1", LOCAL_TEXT(u8"保存栏位设定")));
    QAction* get = PopupMenu1_->addAction(caption("GetGridSetting1", LOCAL_TEXT(u8"恢复栏位设定")));
    set->setObjectName(QStringLiteral("SetGridSetting1"));
    get->setObjectName(QStringLiteral("GetGridSetting1"));
    connect(set, &QAction::triggered, this,
            guardedSlot("TfrmSearch.SetGridSetting1Click", [this] { SetGridSetting1Click(); }));
    connect(get, &QAction::triggered, this,
            guardedSlot("TfrmSearch.GetGridSetting1Click", [this] { GetGridSetting1Click(); }));
    gdMain_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(gdMain_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { PopupMenu1_->popup(gdMain_->viewport()->mapToGlobal(at)); });

    layout->addWidget(splitter, 1);
    resize(760, 480);
}

QWidget* TfrmSearch::buildToolBar()
{
    auto* bar = new QWidget(this);
    bar->setObjectName(QStringLiteral("ToolBar1"));
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(0, 0, 0, 0);

    auto* panel1 = new QWidget(bar);
    panel1->setObjectName(QStringLiteral("Panel1"));
    auto* moves = new QHBoxLayout(panel1);
    moves->setContentsMargins(0, 0, 0, 0);
    const std::pair<const char*, QString> buttons[] = {{"btnFirst", QStringLiteral("|◀")},
                                                       {"btnPrior", QStringLiteral("◀")},
                                                       {"btnNext", QStringLiteral("▶")},
                                                       {"btnLast", QStringLiteral("▶|")}};
    const std::function<void()> clicks[] = {[this] { btnFirstClick(); }, [this] { btnPriorClick(); },
                                            [this] { btnNextClick(); }, [this] { btnLastClick(); }};
    for (std::size_t i = 0; i < std::size(buttons); ++i) {
        auto* button = new QPushButton(buttons[i].second, panel1);
        button->setObjectName(QString::fromLatin1(buttons[i].first));
        button->setFlat(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setFixedWidth(32);
        connect(button, &QPushButton::clicked, this,
                guardedSlot(std::string("TfrmSearch.") + buttons[i].first + "Click", clicks[i]));
        moves->addWidget(button);
    }
    row->addWidget(panel1);

    auto* filterLabel = new QLabel(caption("lblFilter", LOCAL_TEXT(u8"筛选")), bar);
    filterLabel->setObjectName(QStringLiteral("lblFilter"));
    edFilter_ = new QLineEdit(bar);
    edFilter_->setObjectName(QStringLiteral("edFilter"));
    edFilter_->installEventFilter(this);
    filterLabel->setBuddy(edFilter_);
    connect(edFilter_, &QLineEdit::textChanged, this,
            guardedSlot("TfrmSearch.edFilterChange", [this](const QString& text) { narrow(text); }));
    row->addWidget(filterLabel);
    row->addWidget(edFilter_, 1);

    auto* panel2 = new QWidget(bar);
    panel2->setObjectName(QStringLiteral("Panel2"));
    auto* exits = new QHBoxLayout(panel2);
    exits->setContentsMargins(0, 0, 0, 0);
    auto* ok = new QPushButton(caption("btnSearchExit", LOCAL_TEXT(u8"退出")), panel2);
    ok->setObjectName(QStringLiteral("btnOK"));
    ok->setFocusPolicy(Qt::NoFocus);
    connect(ok, &QPushButton::clicked, this, guardedSlot("TfrmSearch.btnOKClick", [this] { btnOKClick(); }));
    exits->addWidget(ok);
    row->addWidget(panel2);
    return bar;
}

DispatchPtr TfrmSearch::connectService()
{
    Variant& service = brokers_.searchService();
    if (!service.isDispatch())
        service = Variant(connectServerObject("F2WindowS.Class1"));
    return service.dispatch();
}

bool TfrmSearch::Open(const SearchRequest& request)
{
    ConvertOnce();
    request_ = request;
    dateStyle_ = text::knownDateStyle(brokers_.SystemParameter("SYS001"));
    dateSeparator_ = brokers_.SystemParameter("SYS002");
    try {
        openLists();
    } catch (const SearchKindError&) {
        complain(texts_->text(textObject::framework, "msgSearchKind", LOCAL_TEXT(u8"开窗种类指定错误")));
        return false;
    } catch (const ServerConnectionError& e) {
        complain(e.what());
        return false;
    }
    if (cdsMain_.isEmpty()) {
        complain(nothingMatchesText(*texts_));
        return false;
    }
    fitColumns(*gdMain_);
    return true;
}

void TfrmSearch::openLists()
{
    SOB_ = std::make_shared<LookupListProvider>(connectService(), request_.request);
    cdsMain_.setProvider(SOB_);
    cdsMain_.open();
    if (cdsMain_.isEmpty())
        return;
    columnSpec_ = SOB_->columns();
    applyColumns(cdsMain_, columnSpec_);
    if (request_.bodyKind.empty())
        return;
    LookupRequest lines = request_.request;
    lines.kind = request_.bodyKind;
    SOBbody_ = std::make_shared<LookupListProvider>(connectService(), std::move(lines));
    cdsbody_.setProvider(SOBbody_);
    cdsbody_.setPacketRecords(static_cast<int>(LookupPage::maxRows));
    gdbody_->show();
    showLines();
    applyColumns(cdsbody_, SOBbody_->columns());
}

bool TfrmSearch::Execute()
{
    resultFlag_ = false;
    gdMain_->setFocus();
    DialogService::instance().runModal(*this);
    return resultFlag_;
}

std::optional<std::vector<Variant>> TfrmSearch::Choose(QWidget* owner, TBrokers& brokers, MessageCodeService& messages,
                                                       const SearchRequest& request)
{
    auto* window = new TfrmSearch(brokers, messages, owner);
    window->setWindowFlag(Qt::Window);
    std::optional<std::vector<Variant>> chosen;
    try {
        if (window->Open(request) && window->Execute())
            chosen = window->ResultRow();
    } catch (...) {
        TZtForm::Free(window);
        throw;
    }
    TZtForm::Free(window);
    return chosen;
}

std::int64_t TfrmSearch::windowStart() const
{
    return SOB_ ? SOB_->start() : 0;
}

QString TfrmSearch::caption(std::string_view name, const std::string& designText) const
{
    return text::toQString(texts_->text(textObject::framework, name, designText));
}

void TfrmSearch::complain(std::string_view text) const
{
    ZtConverter().ShowError(text);
}

void TfrmSearch::applyColumns(ClientDataSet& dataSet, const std::string& specification)
{
    const std::vector<ColumnEntry> entries = columnEntries(specification);
    const std::vector<int>& widest = (&dataSet == &cdsMain_ ? SOB_ : SOBbody_)->widestTexts();
    for (int i = 0; i < dataSet.fieldCount(); ++i) {
        Field& field = dataSet.field(i);
        const auto index = static_cast<std::size_t>(i);
        if (index >= entries.size() || entries[index].label.empty()) {
            field.setVisible(false);
            continue;
        }
        const ColumnEntry& entry = entries[index];
        const std::string label = texts_->text(textObject::lookup, entry.label, entry.label);
        field.setDisplayLabel(label);
        int width = std::max(static_cast<int>(label.size()), index < widest.size() ? widest[index] : 0);
        if (shownByKind(entry.kind))
            field.onGetText = [this, kind = entry.kind](Field& f, std::string& text, bool) {
                text = text::listCellText(kind, f.value(), dateStyle_, dateSeparator_);
            };
        if (entry.kind == "D") {
            if (&dataSet == &cdsMain_)
                dateColumns_.push_back(field.name());
            width = 10;
        } else if (entry.kind == "Y") {
            width = 6;
        } else if (entry.kind == "YM" || entry.kind == "%") {
            width = 8;
        } else if (entry.kind == "C" && &dataSet == &cdsMain_) {
            cColumns_.push_back(field.name());
        }
        field.setDisplayWidth(std::min(width + 1, maxColumnChars));
    }
}

void TfrmSearch::fitColumns(DBGrid& grid)
{
    const DataSetModel& model = grid.dataModel();
    // Widths count bytes of the code page: a digit's width each, two for a Chinese character.
    const int charWidth = std::max(1, grid.fontMetrics().horizontalAdvance(QLatin1Char('0')));
    int total = 0;
    for (int c = 0; c < model.columnCount(); ++c)
        total += model.fieldAt(c)->displayWidth() * charWidth;
    const int room = grid.viewport()->width();
    const double widen = total > 0 && total < room ? static_cast<double>(room - 1) / total : 1.0;
    for (int c = 0; c < model.columnCount(); ++c)
        grid.setColumnWidth(c, static_cast<int>(model.fieldAt(c)->displayWidth() * charWidth * widen));
}

bool TfrmSearch::nextWindow()
{
    if (!SOB_ || !SOB_->moreRows())
        return false;
    reopenAt(SOB_->next());
    return true;
}

bool TfrmSearch::priorWindow()
{
    const std::int64_t start = windowStart();
    if (start <= 0)
        return false;
    // The window before ends on the row before this one's first; near the list's start it holds
    // the first rows, and the row before is found inside it.
    const std::int64_t priorStart = std::max<std::int64_t>(0, start - windowRows);
    reopenAt(priorStart);
    cdsMain_.setRecNo(static_cast<int>(start - priorStart));
    return true;
}

void TfrmSearch::reopenAt(std::int64_t position)
{
    cdsMain_.close();
    cdsMain_.setParams(Variant(position));
    cdsMain_.open();
}

void TfrmSearch::btnFirstClick()
{
    if (windowStart() > 0)
        reopenAt(0);
    cdsMain_.first();
}

void TfrmSearch::btnPriorClick()
{
    if (cdsMain_.recNo() == 1 && priorWindow())
        return;
    cdsMain_.prior();
}

void TfrmSearch::btnNextClick()
{
    if (cdsMain_.recNo() == cdsMain_.recordCount() && nextWindow())
        return;
    cdsMain_.next();
}

void TfrmSearch::btnLastClick()
{
    while (nextWindow()) {
    }
    // A short last packet is fetched again with the rows before it, so the window is full.
    const std::int64_t fullStart = std::max<std::int64_t>(0, SOB_->next() - windowRows);
    if (cdsMain_.recordCount() < windowRows && SOB_->start() > fullStart)
        reopenAt(fullStart);
    cdsMain_.last();
}

void TfrmSearch::narrow(const QString& typed)
{
    const std::string text = text::fromQString(typed.trimmed().toUpper());
    if (text.empty()) {
        cdsMain_.setFiltered(false);
        return;
    }
    std::string quoted;
    for (char c : text)
        quoted += c == '\'' ? std::string("''") : std::string(1, c);
    std::string filter;
    for (int i = 0; i < cdsMain_.fieldCount(); ++i) {
        const Field& field = cdsMain_.field(i);
        if (field.visible() && field.type() == FieldType::String)
            filter += (filter.empty() ? "" : " OR ") + ("UPPER(" + field.name() + ") LIKE '%" + quoted + "%'");
    }
    cdsMain_.setFilter(filter);
    cdsMain_.setFiltered(true);
}

void TfrmSearch::cdsMainAfterScroll()
{
    if (SOBbody_)
        showLines();
}

void TfrmSearch::showLines()
{
    std::vector<Variant> keys;
    const Variant& given = request_.request.keys;
    if (given.isArray()) {
        const auto elements = given.array().elements();
        keys.assign(elements.begin(), elements.end());
    } else if (!given.isUnassignedOrNull()) {
        keys.push_back(given);
    }
    if (const Field* line = cdsMain_.findField(request_.bodyField); line != nullptr && !cdsMain_.isEmpty())
        keys.push_back(line->asString());
    SOBbody_->setKeys(Variant::arrayOf(std::move(keys)));
    cdsbody_.close();
    cdsbody_.open();
}

void TfrmSearch::gdMainCalcCellColors(int /*row*/, const Field& field, QColor& /*background*/, QColor& text)
{
    if (std::find(cColumns_.begin(), cColumns_.end(), field.name()) != cColumns_.end())
        text = codeColumnText;
}

void TfrmSearch::SetGridSetting1Click()
{
    keptLayouts()[request_.request.table + "$" + request_.request.kind] = gdMain_->columnLayout();
}

void TfrmSearch::GetGridSetting1Click()
{
    const auto kept = keptLayouts().find(request_.request.table + "$" + request_.request.kind);
    if (kept != keptLayouts().end())
        gdMain_->applyColumnLayout(kept->second);
}

void TfrmSearch::choose()
{
    if (cdsMain_.isEmpty())
        return;
    resultRow_.clear();
    for (int i = 0; i < cdsMain_.fieldCount(); ++i)
        resultRow_.push_back(cdsMain_.field(i).value());
    resultFlag_ = true;
    hide();
}

void TfrmSearch::btnOKClick()
{
    choose();
}

void TfrmSearch::gdMainDblClick()
{
    const Field* linksField = cdsMain_.findField("LINKS");
    if (linksField == nullptr || cdsMain_.isEmpty())
        return;
    std::string program;
    std::string caption;
    std::string condition;
    for (const std::string& link : text::splitList(linksField->asString(), ';', text::ListItems::Trimmed)) {
        const std::vector<std::string> parts = text::splitList(link, ',', text::ListItems::AsWritten);
        const Field* source = parts.size() == 4 ? cdsMain_.findField(parts[2]) : nullptr;
        if (source == nullptr) {
            const Variant argument(program + "-" + link);
            messages_.ShowMessageCode("E", "200139", false, std::span<const Variant>(&argument, 1));
            return;
        }
        program = parts[0];
        caption = parts[3];
        std::string value;
        for (char c : source->asString())
            value += c == '\'' ? std::string("''") : std::string(1, c);
        condition += (condition.empty() ? "" : " AND ") + parts[1] + "='" + value + "'";
    }
    if (program.empty())
        return;
    Variant result;
    if (brokers_.RunProgram(program, Variant(condition), Variant(), result) < 0) {
        const Variant argument(program + "-" + caption);
        messages_.ShowMessageCode("E", "200139", false, std::span<const Variant>(&argument, 1));
    }
}

bool TfrmSearch::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Resize) {
        // The columns fill a grid that grows; the grid's own size is known only now.
        if (watched == gdMain_->viewport() && cdsMain_.active())
            fitColumns(*gdMain_);
        else if (watched == gdbody_->viewport() && cdsbody_.active())
            fitColumns(*gdbody_);
        return false;
    }
    if (watched == gdMain_->viewport() && event->type() == QEvent::Wheel) {
        // Turning the wheel down at the end of the rows held brings the next window.
        const QScrollBar* bar = gdMain_->verticalScrollBar();
        // Turning it up at the start brings the window before, shown from its end.
        const int turned = static_cast<QWheelEvent*>(event)->angleDelta().y();
        if (turned < 0 && bar->value() == bar->maximum())
            guarded("TfrmSearch.gdMainScroll", [this] { nextWindow(); });
        else if (turned > 0 && bar->value() == bar->minimum())
            guarded("TfrmSearch.gdMainScroll", [this] { priorWindow(); });
        return false;
    }
    if (event->type() != QEvent::KeyPress)
        return TZtForm::eventFilter(watched, event);
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        guarded("TfrmSearch.gdMainKeyPress", [this] { choose(); });
        return true;
    }
    if (key == Qt::Key_Escape) {
        hide();
        return true;
    }
    const bool atLastRow = cdsMain_.active() && cdsMain_.recNo() == cdsMain_.recordCount();
    if (watched == gdMain_ && atLastRow && (key == Qt::Key_Down || key == Qt::Key_PageDown)) {
        guarded("TfrmSearch.gdMainKeyDown", [this] {
            if (nextWindow())
                cdsMain_.first();
        });
        return true;
    }
    const bool atFirstRow = cdsMain_.active() && cdsMain_.recNo() == 1;
    if (watched == gdMain_ && atFirstRow && (key == Qt::Key_Up || key == Qt::Key_PageUp) && windowStart() > 0) {
        guarded("TfrmSearch.gdMainKeyDown", [this] { priorWindow(); });
        return true;
    }
    const bool control = static_cast<QKeyEvent*>(event)->modifiers() & Qt::ControlModifier;
    if (watched == gdMain_ && control && (key == Qt::Key_End || key == Qt::Key_Home)) {
        guarded("TfrmSearch.gdMainKeyDown", [this, key] { key == Qt::Key_End ? btnLastClick() : btnFirstClick(); });
        return true;
    }
    return TZtForm::eventFilter(watched, event);
}

} // namespace orvane
