#include "salesorder/Tavi52CF.h"

#include "controls/DBCodeCombo.h"
#include "controls/DBEdit.h"
#include "controls/DBGrid.h"
#include "controls/DBLabel.h"
#include "controls/F2Button.h"
#include "controls/MarkPicture.h"
#include "controls/ZtDBMemo.h"
#include "framework/KnlVozuraz.h"
#include "platform/text/ByteText.h"
#include "salesorder/Tavi52CD.h"
#include "ui/Guard.h"
#include "ui/QtText.h"

#include <QAction>
#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QStyle>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace orvane {

namespace {

std::string u8s(const char8_t* text)
{
    return reinterpret_cast<const char*>(text);
}

// The height of a memo showing `lines` lines.
int memoHeight(const QPlainTextEdit& memo, int lines)
{
    return memo.fontMetrics().lineSpacing() * lines + 2 * memo.frameWidth() + 8;
}

// Controls bound to head fields, laid out as rows of label and control pairs.
class FieldGrid {
public:
    FieldGrid(QWidget& page, int pairs) : page_(page), pairs_(pairs), layout_(new QGridLayout(&page))
    {
        layout_->setContentsMargins(6, 6, 6, 6);
        layout_->setHorizontalSpacing(6);
        layout_->setVerticalSpacing(4);
        for (int pair = 0; pair < pairs; ++pair)
            layout_->setColumnStretch(2 * pair + 1, 1);
    }

    // An edit of `chars` characters with its label, its lookup button when it has a lookup
    // hint, and the read-only text of a companion field.
    DBEdit* edit(const char* field, int chars, const QString& lookupHint = {}, const char* companion = nullptr)
    {
        auto* row = new QWidget(&page_);
        auto* line = new QHBoxLayout(row);
        line->setContentsMargins(0, 0, 0, 0);
        line->setSpacing(2);
        DBEdit* control = boundEdit(*row, "ed", field, chars);
        line->addWidget(control);
        if (!lookupHint.isEmpty()) {
            auto* button = new TF2Button(row);
            button->setObjectName(QStringLiteral("btn") + QLatin1String(field));
            button->setAutoAlign(false);
            button->setF2Control(control);
            button->setToolTip(lookupHint);
            button->setFocusPolicy(Qt::NoFocus);
            control->setToolTip(QStringLiteral("[F2]") + lookupHint);
            line->addWidget(button);
        }
        if (companion != nullptr) {
            DBEdit* text = boundEdit(*row, "txt", companion, 0);
            text->setControlReadOnly(true);
            text->setFocusPolicy(Qt::NoFocus);
            text->setFrame(false);
            line->addWidget(text, 1);
        } else {
            line->addStretch(1);
        }
        place(field, control, row);
        return control;
    }

    DBCodeCombo* combo(const char* field, const std::vector<std::string>& items)
    {
        auto* control = new DBCodeCombo(&page_);
        control->setObjectName(QStringLiteral("cbo") + QLatin1String(field));
        control->setDataField(QLatin1String(field));
        control->setCodeItems(items);
        control->setSizeAdjustPolicy(QComboBox::AdjustToContents);
        auto* row = new QWidget(&page_);
        auto* line = new QHBoxLayout(row);
        line->setContentsMargins(0, 0, 0, 0);
        line->addWidget(control);
        line->addStretch(1);
        control->setParent(row);
        place(field, control, row);
        return control;
    }

    // A memo over the whole width, its label above it.
    TZtDBMemo* memo(const char* name, const char* field, const char* separator)
    {
        auto* control = new TZtDBMemo(&page_);
        control->setObjectName(QLatin1String(name));
        control->setDataField(QLatin1String(field));
        control->setLineSeparator(separator);
        control->setFixedHeight(memoHeight(*control, 4));
        nextRow();
        layout_->addWidget(label(QStringLiteral("lbl") + QLatin1String(name).mid(3), control), row_, 0, 1, 2 * pairs_);
        ++row_;
        layout_->addWidget(control, row_, 0, 1, 2 * pairs_);
        layout_->setRowStretch(row_, 1);
        ++row_;
        return control;
    }

    // Keeps the remaining space below the rows.
    void finish()
    {
        nextRow();
        layout_->setRowStretch(row_, 1);
    }
    QGridLayout& layout() const { return *layout_; }
    void nextRow()
    {
        if (column_ > 0) {
            ++row_;
            column_ = 0;
        }
    }

private:
    DBEdit* boundEdit(QWidget& parent, const char* prefix, const char* field, int chars)
    {
        auto* control = new DBEdit(&parent);
        control->setObjectName(QLatin1String(prefix) + QLatin1String(field));
        control->setDataField(QLatin1String(field));
        if (chars > 0)
            control->setFixedWidth(control->fontMetrics().averageCharWidth() * chars + 14);
        return control;
    }

    TDBLabel* label(const QString& name, QWidget* control)
    {
        auto* caption = new TDBLabel(&page_);
        caption->setObjectName(name);
        caption->setAutoAlign(false);
        caption->setFocusControl(control);
        return caption;
    }

    void place(const char* field, QWidget* control, QWidget* row)
    {
        layout_->addWidget(label(QStringLiteral("lbl") + QLatin1String(field), control), row_, 2 * column_,
                           Qt::AlignRight | Qt::AlignVCenter);
        layout_->addWidget(row, row_, 2 * column_ + 1);
        if (++column_ == pairs_)
            nextRow();
    }

    QWidget& page_;
    int pairs_;
    QGridLayout* layout_;
    int row_ = 0;
    int column_ = 0;
};

const QString phrases = text::utf8(u8"常用语查询");

// Replaces every double-byte character `from` of a code-page text by `to`, stepping over whole
// characters so that a trail byte and the next lead byte never make a false match.
std::string replaceCharacter(const std::string& bytes, std::string_view from, std::string_view to)
{
    std::string replaced;
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t length = static_cast<unsigned char>(bytes[i]) >= 0x80 ? 2 : 1;
        const std::string_view character = std::string_view(bytes).substr(i, length);
        replaced += character == from ? to : character;
        i += length;
    }
    return replaced;
}

// A figure's lines in code page 936 bytes, converted to 950 bytes by byte replacement.
std::vector<std::string> figure(std::initializer_list<const char8_t*> lines, std::string_view codePage, bool triangle)
{
    std::vector<std::string> figure;
    for (const char8_t* line : lines) {
        std::string bytes = text::fromUtf8(u8s(line), text::CodePage::Gbk);
        if (codePage == "950") {
            bytes = replaceCharacter(bytes, "\xA3\xAF", "\xA1\xFE");
            bytes = replaceCharacter(bytes, "\xA3\xDC", "\xA2\x40");
            if (triangle)
                bytes = replaceCharacter(bytes, "\xA1\xA5", "\xA1\xD0");
        }
        figure.push_back(std::move(bytes));
    }
    return figure;
}

} // namespace

TfrmTavi52::TfrmTavi52()
{
    setObjectName(QStringLiteral("frmTavi52"));
    setWindowTitle(text::utf8(u8"客户订单录入作业"));
    resize(1280, 720);
    createToolButtons();
    createKeyPanel();
    createPages();
    createFoot();
    createGridCombos();
    connectGridColumns();
    MemStrs = new QPlainTextEdit(this);
    MemStrs->setObjectName(QStringLiteral("MemStrs"));
    MemStrs->setPlainText(text::utf8(u8"采购状况查询"));
    MemStrs->hide();
}

TfrmTavi52::~TfrmTavi52()
{
    freeDialogs();
    if (TdmTavi52* module = orderModule()) {
        module->setFormSwitches(nullptr);
        module->setHeadWindow(nullptr);
    }
}

TdmTavi52* TfrmTavi52::orderModule() const
{
    return dynamic_cast<TdmTavi52*>(dataModule());
}

DataModuleFactory TfrmTavi52::DataModuleClass() const
{
    return [] { return std::make_unique<TdmTavi52>(); };
}

void TfrmTavi52::createToolButtons()
{
    ToolBar1->addSeparator();
    const auto button = [this](const char* name, const char8_t* hint, const char* icon, QStyle::StandardPixmap standard,
                               std::function<void()> handler) {
        return addToolButton(name, text::utf8(hint), icon, standard, std::move(handler));
    };
    btnCopy =
        button("btnCopy", u8"复制前置单据", "edit-copy", QStyle::SP_FileDialogNewFolder, [this] { btnCopyClick(); });
    btnViewHis = button("btnViewHis", u8"历史变更信息查询", "document-open-recent", QStyle::SP_FileDialogInfoView,
                        [this] { btnViewHisClick(); });
    btnTAVI61 = button("btnTAVI61", u8"维护多角贸易采购单价", "accessories-calculator", QStyle::SP_ComputerIcon,
                       [this] { btnTAVI61Click(); });
    btnTAVB14 = button("btnTAVB14", u8"自动生成多角贸易采购单价", "system-run", QStyle::SP_MediaPlay,
                       [this] { btnTAVB14Click(); });
    btnCheckTC050 = button("btnCheckTC050", u8"指定抛转成功", "emblem-default", QStyle::SP_DialogYesButton,
                           [this] { btnCheckTC050Click(); });
    btnSearchs = button("btnSearchs", u8"资料查询", "system-search", QStyle::SP_FileDialogContentsView,
                        [this] { btnSearchsClick(); });
    btnSeePIC = button("btnSeePIC", u8"唛头图片", "image-x-generic", QStyle::SP_DirIcon, [this] { btnSeePICClick(); });
    btnEditTD009 = button("btnEditTD009", u8"输入已交数量", "document-properties", QStyle::SP_FileDialogDetailedView,
                          [this] { btnEditTD009Click(); });

    PopSearchs = new QMenu(this);
    PopSearchs->setObjectName(QStringLiteral("PopSearchs"));
    miCreditCtrl =
        addMenuItem(PopSearchs, "miCreditCtrl", text::utf8(u8"信用额度查询"), [this] { miCreditCtrlClick(); });
    miCOPTC_62 = addMenuItem(PopSearchs, "miCOPTC_62", text::utf8(u8"预估利润查询"), [this] { miCOPTC_62Click(); });
    miCOPTA_60 = addMenuItem(PopSearchs, "miCOPTA_60", text::utf8(u8"报价单查询"), [this] { miCOPTA_60Click(); });
    miCOPTC_64 = addMenuItem(PopSearchs, "miCOPTC_64", text::utf8(u8"销货状况查询"), [this] { miCOPTC_64Click(); });
    miCOPTC_67 = addMenuItem(PopSearchs, "miCOPTC_67", text::utf8(u8"订金查询"), [this] { miCOPTC_67Click(); });
    miCOPTC_68 = addMenuItem(PopSearchs, "miCOPTC_68", text::utf8(u8"采制状况查询"), [this] { miCOPTC_68Click(); });
    btnSearchs->setMenu(PopSearchs);
    btnSearchs->setPopupMode(QToolButton::MenuButtonPopup);
    // The inquiries are a menu of the menu bar too (Alt+S), the change history an item with its
    // key and the quotation copy an item of the record menu, since the tool buttons take no focus.
    PopSearchs->setTitle(text::utf8(u8"资料查询(&S)"));
    MainMenu->insertMenu(optionsMenu()->menuAction(), PopSearchs);
    miViewHis =
        addMenuItem(browseMenu(), "miViewHis", text::utf8(u8"历史变更信息查询(&H)"), [this] { btnViewHisClick(); });
    miViewHis->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_H));
    addAction(miViewHis);
    miCopyQuotation =
        addMenuItem(recordMenu(), "miCopyQuotation", text::utf8(u8"复制前置单据(&T)"), [this] { btnCopyClick(); });
}

void TfrmTavi52::createKeyPanel()
{
    pnlHead->show();
    FieldGrid grid(*pnlHead, 4);
    grid.layout().setContentsMargins(2, 2, 2, 2);
    edTC001 = grid.edit("TC001", 5, text::utf8(u8"单别信息查询"), "TC001C1");
    edTC002 = grid.edit("TC002", 12);
    edTC039 = grid.edit("TC039", 13, text::utf8(u8"日期快手"));
    edTC004 = grid.edit("TC004", 11, text::utf8(u8"客户信息查询"), "TC004C1");
    edTC004->setToolTip(text::utf8(u8"[F2]客户信息查询 [F3]客户信用余额查询"));
    grid.edit("TC003", 13)->setControlReadOnly(true);
    grid.edit("TC040", 11, {}, "TC040C")->setControlReadOnly(true);
    edTC049 = grid.edit("TC049", 4, text::utf8(u8"流程编号查询"), "TC049C1");
    cboTC050 = grid.combo("TC050", {u8s(u8"Y:抛转成功"), u8s(u8"y:抛转成功"), u8s(u8"N:未抛转"), u8s(u8"n:订单变更"),
                                    u8s(u8"U:抛转失败"), u8s(u8"u:还原失败")});
    cboTC050->setControlReadOnly(true);
    // A trade order's type puts the focus on its process number: Tab goes on from there to the
    // document date and the customer. Other orders' process number takes no focus.
    setTabOrder(edTC002, edTC049);
    // The confirmation stamp stands at the right of the key panel, so that the head pages take
    // the window's whole width.
    for (int i = 0; i < clientLayout()->count(); ++i) {
        if (QLayout* row = clientLayout()->itemAt(i)->layout(); row != nullptr && row->indexOf(ImgConfirm) >= 0)
            row->removeWidget(ImgConfirm);
    }
    grid.layout().addWidget(ImgConfirm, 0, 8, 2, 1, Qt::AlignRight | Qt::AlignTop);
}

void TfrmTavi52::createPages()
{
    const auto page = [this](QWidget*& sheet, const char* name, const char8_t* caption) {
        sheet = new QWidget(pgHead);
        sheet->setObjectName(QLatin1String(name));
        pgHead->insertTab(pgHead->indexOf(tbsBrowse), sheet, text::utf8(caption));
        return sheet;
    };
    pgHead->setTabText(pgHead->indexOf(tbsHead1), text::utf8(u8"交易信息(一)"));
    // The head takes the room its pages need; the lines take the rest.
    pgHead->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
    {
        FieldGrid grid(*tbsHead1, 3);
        grid.edit("TC005", 7, text::utf8(u8"部门信息查询"), "TC005C1");
        grid.edit("TC006", 11, text::utf8(u8"业务人员信息查询"), "TC006C1");
        grid.edit("TC007", 7, text::utf8(u8"工厂信息查询"), "TC007C1");
        grid.edit("TC008", 5, text::utf8(u8"币种信息查询"));
        grid.edit("TC009", 12, text::utf8(u8"汇率信息查询"));
        grid.edit("TC012", 20);
        grid.edit("TC013", 16, phrases);
        grid.edit("TC042", 7, text::utf8(u8"付款条件信息查询"), "TC042C");
        grid.combo("TC016",
                   {u8s(u8"1:应税内含"), u8s(u8"2:应税外加"), u8s(u8"3:零税率"), u8s(u8"4:免税"), u8s(u8"9:不计税")});
        grid.edit("TC028", 6)->setControlReadOnly(true);
        grid.edit("TC041", 8)->hide();
        tbsHead1->findChild<QWidget*>(QStringLiteral("lblTC041"))->hide();
        grid.edit("TC045", 8);
        grid.combo("TC048",
                   {u8s(u8"0:待处理"), u8s(u8"S:传送中"), u8s(u8"1:签核中"), u8s(u8"2:退件"), u8s(u8"3:已核准"),
                    u8s(u8"4:撤销审核中"), u8s(u8"5:作废中"), u8s(u8"6:取消作废中"), u8s(u8"N:不运行电子签核")})
            ->setControlReadOnly(true);
        grid.edit("TC058", 6)->setControlReadOnly(true);
        grid.finish();
    }
    {
        FieldGrid grid(*page(TabSheet5, "TabSheet5", u8"交易信息(二)"), 1);
        grid.edit("TC010", 72, text::utf8(u8"客户地址编号查询"))
            ->setToolTip(text::utf8(u8"[F2]客户地址编号查询 [F3]地址信息查询"));
        grid.edit("TC011", 72);
        grid.edit("TC015", 72, phrases);
        grid.finish();
    }
    {
        FieldGrid grid(*page(TabSheet7, "TabSheet7", u8"其他备注"), 1);
        for (const char* field : {"TC052", "TC053", "TC054"})
            grid.edit(field, 72, phrases);
        edTC055 = grid.edit("TC055", 72, phrases);
        grid.finish();
    }
    {
        FieldGrid grid(*page(TabSheet1, "TabSheet1", u8"国外订单(一)"), 2);
        grid.edit("TC017", 20);
        grid.edit("TC018", 30);
        grid.combo("TC019", {u8s(u8"1:空运"), u8s(u8"2:海运"), u8s(u8"3:陆运"), u8s(u8"4:海空联运"), u8s(u8"5:邮寄"),
                             u8s(u8"6:自提"), u8s(u8"7:其他"), u8s(u8"8:快递")});
        grid.edit("TC035", 20);
        grid.edit("TC020", 20, phrases);
        grid.edit("TC021", 20, phrases);
        grid.edit("TC022", 11, text::utf8(u8"客户信息查询"), "TC022C1");
        grid.edit("TC023", 11, text::utf8(u8"厂商信息查询"), "TC023C1");
        grid.finish();
    }
    {
        FieldGrid grid(*page(TabSheet4, "TabSheet4", u8"国外订单(二)"), 2);
        grid.edit("TC024", 11, text::utf8(u8"厂商信息查询"), "TC024C1");
        grid.edit("TC025", 11, text::utf8(u8"厂商信息查询"), "TC025C1");
        grid.edit("TC032", 11, text::utf8(u8"客户信息查询"), "TC032C");
        grid.edit("TC033", 11, text::utf8(u8"客户信息查询"), "TC033C");
        grid.edit("TC036", 11, text::utf8(u8"银行信息查询"), "TC036C");
        grid.edit("TC047", 11, text::utf8(u8"银行账号查询"), "TC047C1");
        grid.edit("TC026", 8);
        grid.edit("TC047C2", 20)->setControlReadOnly(true);
        grid.finish();
    }
    {
        FieldGrid grid(*page(TabSheet2, "TabSheet2", u8"国外订单备注"), 1);
        memTC037 = grid.memo("memTC037", "TC037", "\r\n");
        memTC038 = grid.memo("memTC038", "TC038", "\r\n");
    }
    {
        FieldGrid grid(*page(TabSheet3, "TabSheet3", u8"唛头信息"), 1);
        grid.edit("TC034", 5);
        memTC034C1 = grid.memo("memTC034C1", "TC056", "\a");
        memTC034C2 = grid.memo("memTC034C2", "TC057", "\a");
        pgHead->setTabVisible(pgHead->indexOf(TabSheet3), false);
    }
    {
        FieldGrid grid(*page(TabSheet6, "TabSheet6", u8"多角贸易信息"), 2);
        edTC051 = grid.edit("TC051", 11, {}, "TC049C4");
        grid.edit("TC049C5", 5);
        grid.edit("TC049C6", 7, {}, "TC049C7");
        grid.combo("TC049C2", {u8s(u8"1:全额申报"), u8s(u8"2:差额申报"), u8s(u8"3:不申报")})->setControlReadOnly(true);
        for (DBEdit* edit : TabSheet6->findChildren<DBEdit*>())
            edit->setControlReadOnly(true);
        grid.finish();
    }
    createMarkPage(*page(TabSheet8, "TabSheet8", u8"唛头信息"));
    // A clerk starts on the trade page, not on the marks (empty for most orders).
    pgHead->setCurrentWidget(tbsHead1);
}

void TfrmTavi52::createMarkPage(QWidget& sheet)
{
    FieldGrid grid(sheet, 2);
    grid.edit("TC034_2", 5, text::utf8(u8"客户唛头信息查询"), "TC034C")->setDataField(QStringLiteral("TC034"));
    grid.nextRow();
    const QString hint = text::utf8(u8"[F2]选择唛头图片 [F3]菱形 [F4]三角形");
    edTC056 = grid.edit("TC056", 30, text::utf8(u8"选择唛头图片"));
    edTC057 = grid.edit("TC057", 30, text::utf8(u8"选择唛头图片"));
    for (DBEdit* edit : {edTC056, edTC057})
        edit->setToolTip(hint);
    QGridLayout& layout = grid.layout();
    const int row = layout.rowCount();
    imgTC056 = new MarkPicture(&sheet);
    imgTC056->setObjectName(QStringLiteral("imgTC056"));
    imgTC057 = new MarkPicture(&sheet);
    imgTC057->setObjectName(QStringLiteral("imgTC057"));
    memTC056 = new TZtDBMemo(&sheet);
    memTC057 = new TZtDBMemo(&sheet);
    int column = 0;
    for (auto [memo, picture, field] :
         {std::tuple{memTC056, imgTC056, "TC056"}, std::tuple{memTC057, imgTC057, "TC057"}}) {
        memo->setObjectName(QStringLiteral("mem") + QLatin1String(field));
        memo->setDataField(QLatin1String(field));
        memo->setLineSeparator("\a");
        memo->setToolTip(hint);
        // The figures line up only in a font of fixed width.
        memo->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
        memo->setFixedHeight(memoHeight(*memo, 9));
        auto* pair = new QHBoxLayout;
        pair->addWidget(memo, 3);
        pair->addWidget(picture, 2);
        layout.addLayout(pair, row, column, 1, 2);
        column += 2;
    }
    layout.setRowStretch(row, 1);
}

void TfrmTavi52::createFoot()
{
    FieldGrid grid(*pnlFoot, 7);
    grid.layout().setContentsMargins(2, 2, 2, 2);
    for (const char* field : {"TC029", "TC030", "TC029C", "TC031", "TC043", "TC044", "TC046"})
        grid.edit(field, 12)->setControlReadOnly(true);

    gdBody1IButton = new QToolButton(tbsBody1);
    gdBody1IButton->setObjectName(QStringLiteral("gdBody1IButton"));
    gdBody1IButton->setText(QStringLiteral("I"));
    gdBody1IButton->setToolTip(text::utf8(u8"选配"));
    connect(gdBody1IButton, &QToolButton::clicked, this,
            guardedSlot("TfrmTavi52.gdBody1IButtonClick", [this] { gdBody1IButtonClick(); }));
    auto* bodyLayout = qobject_cast<QVBoxLayout*>(tbsBody1->layout());
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(gdBody1IButton);
    buttons->addStretch(1);
    bodyLayout->insertLayout(0, buttons);
}

void TfrmTavi52::createGridCombos()
{
    // The lines' editors named by the data module's editor list, with their keys as hints.
    const std::pair<const char*, const char8_t*> editors[] = {
        {"TD004", u8"[F2]品号信息查询->[F3]客户商品价格查询->[F4] 整套组件展开作业"},
        {"TD007", u8"[F2]库别信息查询"},
        {"TD008", u8"[F2]库存信息查询->[F3]可用量查询"},
        {"TD010", u8"[F2]单位换算信息查询"},
        {"TD011", u8"[F2]客户价格查询->[F3]历史价格查询"},
        {"TD012", u8"[F2]客户信用余额查询"},
        {"TD013", u8"[F2]日期快手"},
        {"TD014", u8"[F2]客户品号查询"},
        {"TD015", u8"[F2]销售预测查询"},
        {"TD017", u8"[F2]报价单查询"},
        {"TD020", u8"[F2]常用语查询"},
        {"TD027", u8"[F2]项目信息查询"},
        {"TD029", u8"[F2]包装方式查询"},
        {"TD031", u8"[F2]计算外包装材积"},
        {"TD032", u8"[F2]可用包装量查询->[F3]库存包装量查询"},
        {"TD040", u8"[F2]换算单位查询"},
    };
    for (const auto& [field, hint] : editors) {
        auto* editor = new QComboBox(gdBody1);
        editor->setObjectName(QStringLiteral("cbo%1G").arg(QLatin1String(field)));
        editor->setToolTip(text::utf8(hint));
        editor->hide();
    }
    const std::pair<const char*, std::vector<std::string>> combos[] = {
        {"TD016", {u8s(u8"Y:自动结束"), u8s(u8"y:指定结束"), u8s(u8"N:未结束")}},
        {"TC016", {u8s(u8"1:应税内含"), u8s(u8"2:应税外加"), u8s(u8"3:零税率"), u8s(u8"4:免税"), u8s(u8"9:不计税")}},
        {"TC019",
         {u8s(u8"1:空运"), u8s(u8"2:海运"), u8s(u8"3:陆运"), u8s(u8"4:海空联运"), u8s(u8"5:邮寄"), u8s(u8"6:自提"),
          u8s(u8"7:其他"), u8s(u8"8:快递")}},
        {"TC027", {u8s(u8"Y:已审核"), u8s(u8"N:未审核"), u8s(u8"V:作废"), u8s(u8"U:审核失败")}},
        {"TC048",
         {u8s(u8"0:待处理"), u8s(u8"S:传送中"), u8s(u8"1:签核中"), u8s(u8"2:退件"), u8s(u8"3:已核准"),
          u8s(u8"4:撤销审核中"), u8s(u8"5:作废中"), u8s(u8"6:取消作废中"), u8s(u8"N:不运行电子签核")}},
        {"TC050",
         {u8s(u8"Y:抛转成功"), u8s(u8"y:抛转成功"), u8s(u8"N:未抛转"), u8s(u8"n:订单变更"), u8s(u8"U:抛转失败"),
          u8s(u8"u:还原失败")}},
    };
    for (const auto& [field, items] : combos) {
        auto* combo = new QComboBox(field[1] == 'D' ? static_cast<QWidget*>(gdBody1) : gdHead);
        combo->setObjectName(QStringLiteral("cbo%1G").arg(QLatin1String(field)));
        combo->hide();
        std::vector<std::string> coded;
        for (const std::string& item : items) {
            combo->addItem(QString::fromUtf8(item.data(), static_cast<qsizetype>(item.size())));
            const std::string local = text::utf8ToLocal(item);
            coded.push_back(local + "\t" + local.substr(0, local.find(':')));
        }
        gridCombos_.emplace_back(field, std::move(coded));
    }
}

const std::vector<std::string>* TfrmTavi52::comboItems(std::string_view field) const
{
    for (const auto& [name, items] : gridCombos_) {
        if (name == field)
            return &items;
    }
    return nullptr;
}

void TfrmTavi52::FormCreate()
{
    CreateDataModule();
    TdmTavi52* module = orderModule();
    module->setFormSwitches(this);
    module->setHeadWindow(this);
    bindControls();
    TfrmDouble::FormCreate();
    itemFromPriceWindow_ = false;
    CopyKey = Variant::arrayOf({Variant(), Variant()});
    DiamondMark = diamondFigure(codePage());
    TriangleMark = triangleFigure(codePage());
}

void TfrmTavi52::bindControls()
{
    DataSource* head = &orderModule()->dsMain;
    for (DBEdit* edit : findChildren<DBEdit*>())
        edit->setDataSource(head);
    for (DBCodeCombo* combo : findChildren<DBCodeCombo*>())
        combo->setDataSource(head);
    for (TZtDBMemo* memo : findChildren<TZtDBMemo*>())
        memo->setDataSource(head);
}

bool TfrmTavi52::PrepareProgram(const Variant& params)
{
    const bool prepared = TfrmDouble::PrepareProgram(params);
    createDialogs();
    return prepared;
}

std::string TfrmTavi52::codePage() const
{
    return ZtConverter().interfaceCodePage() == "950" ? "950" : "936";
}

std::vector<std::string> TfrmTavi52::diamondFigure(std::string_view codePage)
{
    return figure({u8"      ／＼       ", u8"    ／    ＼     ", u8"  ／        ＼   ", u8" <            >  ",
                   u8"  ＼        ／   ", u8"    ＼    ／     ", u8"      ＼／       "},
                  codePage, false);
}

std::vector<std::string> TfrmTavi52::triangleFigure(std::string_view codePage)
{
    return figure({u8"        ／＼         ", u8"      ／    ＼       ", u8"    ／        ＼     ",
                   u8"  ／            ＼   ", u8"／                ＼ ", u8"ˉˉˉˉˉˉˉˉˉˉ "},
                  codePage, true);
}

std::string TfrmTavi52::headText(std::string_view field) const
{
    const TdmTavi52* module = orderModule();
    // A head being added is not counted yet, but its fields hold what was typed.
    if (module == nullptr || !module->cdsMain.active() || (module->cdsMain.isEmpty() && !isEditing(module->cdsMain)))
        return {};
    const Field* found = module->cdsMain.findField(field);
    return found != nullptr ? text::trim(found->asString()) : std::string();
}

void TfrmTavi52::ConfigureDocument()
{
    TfrmDouble::ConfigureDocument();
    TdmTavi52* module = orderModule();
    // An order is confirmed, unconfirmed and voided here: without these bits the commands would
    // never be enabled, whatever the user's rights.
    CommandMask |= cmConfirm | cmUnConfirm | cmInvalid;
    firstAddControl = edTC001;
    firstEditControl = edTC039;
    module->SetLineNumbering(true);
    NumberDateField = "TC039";
    RequiredFields = "CdsMain:TC039,TC004,TC007,TC008,TC016;CdsBody1:TD004,TD007,TD010";
    PriceFields = "CdsMain:TC029,TC030,TC029C;CdsBody1:TD011,TD012,TD026,TD038,TD039,TD042,TD043";
    module->SetCarryOverFields("TC001,TC007,TC039");
    LineCopyFields = "TD007,TD013,TD026";
    module->setFNumberFields(3, "CdsMain:TC031,TC043,TC044,TC046;CdsBody1:TD008,TD009,TD022,TD024,TD025,TD030,TD031,"
                                "TD032,TD033,TD034,TD035,TD040,TD041;CdsFoot:TM007");
    module->setFNumberFields(4, "CdsMain:TC026;CdsBody1:TD026");
    module->setFNumberFields(11, "CdsMain:TC009");
    module->setFNumberFields(5, "CdsBody1:TD011,TD042,TD043");
    module->setFNumberFields(6, "CdsMain:TC029,TC030,TC029C;CdsBody1:TD012,TD038,TD039,TD042,TD043");
    ConfirmField = "TC027";
    LineCloseField = "TD021";
    UnitFields1 = "CdsBody1:TD023";
    UnitFields2 = "CdsBody1:TD036";
    PrintProgramID = "TAVR26";
    ViewItemField = "cdsBody1:TD004";
    DocDateField = "TC003";
    SignOffField = "TC048";
}

void TfrmTavi52::hideControls(std::initializer_list<const char*> names)
{
    for (const char* name : names) {
        if (auto* control = findChild<QWidget*>(QLatin1String(name)))
            control->hide();
    }
}

void TfrmTavi52::dropFields(std::initializer_list<const char*> names)
{
    TdmTavi52* module = orderModule();
    for (const char* name : names) {
        for (ClientDataSet* dataSet : {&module->cdsMain, &module->cdsBody1}) {
            if (Field* field = dataSet->findField(name))
                field->setVisible(false);
        }
    }
}

void TfrmTavi52::hidePage(QWidget* page)
{
    pgHead->setTabVisible(pgHead->indexOf(page), false);
}

void TfrmTavi52::ApplyProgramOptions()
{
    const auto option = [this](const char* name) { return text::trim(brokers().SystemParameter(name)); };
    const bool noTrade = option("Sys041") == "N";
    if (noTrade) {
        hideControls({"edTC049", "lblTC049", "txtTC049C1", "cboTC050", "lblTC050", "btnTC049"});
        for (QToolButton* button : {btnTAVI61, btnTAVB14, btnCheckTC050})
            button->hide();
        hidePage(TabSheet6);
        dropFields({"TC049", "TC050", "TC051", "TC049C2", "TC049C4", "TC049C5", "TC049C6", "TC049C7"});
    }
    if (option("Sys060") == "N") {
        hideControls({"cboTC048", "lblTC048"});
        dropFields({"TC048"});
    }
    if (option("Sys042") == "N") {
        hideControls({"edTC058", "lblTC058"});
        dropFields({"TC058"});
    }
    dropFields({"TC034", "TC034C", "TC034C1", "TC034C2"});
    lastHeadControl = edTC057;
    if (option("Sys036") == "N") {
        for (QWidget* page : {TabSheet1, TabSheet4, TabSheet2, TabSheet8})
            hidePage(page);
        btnSeePIC->hide();
        hideControls({"edTC043", "edTC044", "lblTC043", "lblTC044"});
        dropFields({"TC043",   "TC044",   "TC017",   "TC018", "TC019",   "TC020",  "TC021",   "TC035",  "TC022",
                    "TC022C1", "TC023",   "TC023C1", "TC024", "TC024C1", "TC025",  "TC025C1", "TC036",  "TC036C",
                    "TC047",   "TC047C1", "TC047C2", "TC026", "TC032",   "TC032C", "TC033",   "TC033C", "TC037",
                    "TC038",   "TC056",   "TC057",   "TD029", "TD029C",  "TD030",  "TD031"});
        lastHeadControl = noTrade ? edTC055 : edTC051;
    }
    if (option("Sys045") == "N") {
        gdBody1IButton->hide();
        miCOPTC_68->setText(MemStrs->toPlainText().section(QLatin1Char('\n'), 0, 0));
    }
    TfrmDouble::ApplyProgramOptions();
    TdmTavi52* module = orderModule();
    for (const char* field : {"TC003", "TC039"})
        module->cdsMain.fieldByName(field).setEditMask(module->DateFieldEditMask());
    module->cdsBody1.fieldByName("TD013").setEditMask(module->DateFieldEditMask());
    for (const char* field : {"TC026", "TC041", "TC045"})
        module->cdsMain.fieldByName(field).setEditMask(module->PercentFieldEditMask());
    module->cdsBody1.fieldByName("TD026").setEditMask(module->PercentFieldEditMask());
    for (DBEdit* edit : findChildren<DBEdit*>())
        edit->refresh();
    if (option("SYS024") != "3") {
        dropFields({"TD032", "TD033", "TD034", "TD035"});
        hideControls({"edTC046", "lblTC046"});
    }
    const bool tradeQualification = option("SYS048") == "Y";
    for (const char* field : {"TD040", "TD041", "TD004C6"})
        module->cdsBody1.fieldByName(field).setVisible(tradeQualification);
    if (!tradeQualification)
        dropFields({"TD042", "TD043"});
    amountRecalculation_ = checksEnabled_ = subLineChecks_ = true;
    defaultPacking_ = liftBelowFloor_ = false;
}

void TfrmTavi52::UpdateCommandStates()
{
    TfrmDouble::UpdateCommandStates();
    const bool browsing = recordMode() == RecordMode::Browse;
    const bool editing = !browsing;
    const std::string confirm = headText("TC027");
    const std::string transfer = headText("TC050");
    const bool trade = headText("TC001C2") == "27";
    enableCommand(btnCopy, miCopyQuotation, editing);
    enableCommand(btnViewHis, miViewHis, browsing && confirm == "Y");
    mnuCopy->setVisible(btnAdd->isEnabled());
    mnuCopy->setEnabled(btnAdd->isEnabled());
    btnTAVI61->setEnabled(trade && browsing && transfer != "y");
    btnTAVB14->setEnabled(trade && browsing && (transfer == "N" || transfer == "n"));
    if (auto* edit = edTC049) {
        edit->setControlReadOnly(!trade);
        edit->setFocusPolicy(trade ? Qt::StrongFocus : Qt::NoFocus);
        const QString look = trade ? QStringLiteral("background-color: rgb(255, 255, 175);")
                                   : QStringLiteral("background-color: palette(button);");
        // Setting a style sheet polishes the control anew, even with the same sheet.
        if (edit->styleSheet() != look)
            edit->setStyleSheet(look);
    }
    gdBody1IButton->setEnabled(!trade);
    if (transfer != "N" && hasRecord()) {
        enableCommand(btnEdit, miEdit, false);
        enableCommand(btnDelete, miDelete, false);
    }
    btnCheckTC050->setEnabled(transfer == "U");
    btnSeePIC->setEnabled(browsing);
    const ClientDataSet& lines = orderModule()->cdsBody1;
    const bool hasLines = lines.active() && !(lines.bof() && lines.eof());
    btnEditTD009->setEnabled(rights().canConfirm && browsing && confirm == "N" && hasLines);
}

bool TfrmTavi52::AddRecord(bool reset)
{
    const bool added = TfrmDouble::AddRecord(reset);
    amountRecalculation_ = checksEnabled_ = subLineChecks_ = packageRecalculation_ = true;
    clearMarkPictures();
    return added;
}

bool TfrmTavi52::EditRecord()
{
    firstEditControl = headText("TC001C2") == "27" ? static_cast<QWidget*>(edTC049) : edTC039;
    const bool edited = TfrmDouble::EditRecord();
    amountRecalculation_ = checksEnabled_ = subLineChecks_ = packageRecalculation_ = true;
    if (edited) {
        TdmTavi52& module = *orderModule();
        module.LoadCurrencyDecimals();
        // The current line was reached while browsing, which reads neither its item nor its
        // field access: without this its unit and warehouse checks would take it for a line
        // without an item.
        if (module.cdsBody1.active())
            module.RefreshLineFieldAccess();
    }
    return edited;
}

bool TfrmTavi52::ValidateDataSet(DataSet& dataSet)
{
    if (!TfrmDouble::ValidateDataSet(dataSet))
        return false;
    if (!checksEnabled_)
        return true;
    TdmTavi52& module = *orderModule();
    if (&dataSet == &module.cdsBody1 && module.lineHasItem()) {
        Field& warehouse = dataSet.fieldByName("TD007");
        const Variant keys = Variant::arrayOf({Variant(warehouse.asString()), Variant(headText("TC007"))});
        if (!module.CodeLookup(warehouse, "CMSMC", "N", "", "03", keys))
            return refuse(warehouse, "100099", {});
    }
    if (&dataSet == &module.cdsMain && headText("TC001C2") == "27" && headText("TC049").empty()) {
        Field& process = dataSet.fieldByName("TC049");
        return refuse(process, "000003", {Variant(process.displayLabel())});
    }
    return true;
}

void TfrmTavi52::NewLineStarted()
{
    const TdmTavi52* module = orderModule();
    const Field* item = module != nullptr ? module->cdsBody1.findField("TD004") : nullptr;
    // The line number is filled in already, so the number's column would only be passed over.
    const bool numbered = module != nullptr && module->LineNumberField() == "TD003";
    if (!numbered || item == nullptr || !item->visible() || item->readOnly()) {
        TfrmDouble::NewLineStarted();
        return;
    }
    gdBody1->setSelectedField(item);
}

bool TfrmTavi52::refuse(Field& field, std::string_view code, std::initializer_list<Variant> args)
{
    const std::vector<Variant> values(args);
    ShowMessageCode("E", code, false, values);
    if (&field.dataSet() == &orderModule()->cdsBody1) {
        gdBody1->setSelectedField(&field);
        gdBody1->setFocus();
    } else if (DBEdit* edit = findChild<DBEdit*>(QStringLiteral("ed") + text::toQString(field.name()))) {
        edit->setFocus();
    }
    return false;
}

void TfrmTavi52::clearMarkPictures()
{
    imgTC056->clear();
    imgTC057->clear();
}

std::vector<std::string> TfrmTavi52::quantityColumns() const
{
    return text::splitList(quantityColumnList, ',', text::ListItems::TrimmedNonEmpty);
}

std::string TfrmTavi52::selectedLineField() const
{
    return text::fromQString(gdBody1->selectedFieldName());
}

void TfrmTavi52::loadMarkPicture(MarkPicture& picture, const std::string& path)
{
    if (path.empty())
        picture.clear();
    else
        picture.load(text::toQString(path));
}

void TfrmTavi52::documentKindChanged(std::string_view /*kind*/)
{
    UpdateCommandStates();
}

void TfrmTavi52::setSaveConfirmation(int autoConfirm, bool /*confirmSaveHook*/)
{
    AutoConfirm = autoConfirm;
}

void TfrmTavi52::focusHeadField(std::string_view field)
{
    QPointer<DBEdit> edit = findChild<DBEdit*>(QStringLiteral("ed") + text::toQString(field));
    QTimer::singleShot(0, this, [edit] {
        if (edit != nullptr && edit->isVisible() && edit->focusPolicy() != Qt::NoFocus)
            edit->setFocus();
    });
}

void TfrmTavi52::showMarkPicture(std::string_view field, const std::string& file)
{
    if (field == "TC056" || field == "TC057")
        loadMarkPicture(field == "TC056" ? *imgTC056 : *imgTC057, file);
}

void TfrmTavi52::refreshMarks()
{
    for (TZtDBMemo* memo : {memTC034C1, memTC034C2, memTC056, memTC057})
        memo->refresh();
    for (DBEdit* edit : {edTC056, edTC057})
        edit->refresh();
}

bool TfrmTavi52::FormKeyPress(QKeyEvent& event)
{
    QWidget* focused = focusWidget();
    if (auto* memo = qobject_cast<TZtDBMemo*>(focused)) {
        // A memo keeps Enter for its lines; the wrap rule works on what is typed. Tab leaves it as it
        // leaves an edit, onto the next head page from a page's last control.
        memTC037KeyDown(event);
        const bool wrapped =
            memo == memTC037 || memo == memTC038 ? memTC037KeyPress(*memo, event) : memTC034C1KeyPress(*memo, event);
        return wrapped || (event.key() == Qt::Key_Tab && TfrmDouble::FormKeyPress(event));
    }
    if (focused != nullptr && (focused == edTC056 || focused == edTC057) && edTC056KeyPress(event))
        return true;
    return TfrmDouble::FormKeyPress(event);
}

void TfrmTavi52::connectGridColumns()
{
    connect(gdBody1->selectionModel(), &QItemSelectionModel::currentChanged, this,
            guardedSlot("TfrmTavi52.gdBody1ColEnter", [this](const QModelIndex& current, const QModelIndex& previous) {
                if (current.column() == previous.column() && previous.isValid())
                    return;
                gdBody1ColExit(gdBody1->dataModel().fieldAt(previous.column()));
                gdBody1ColEnter(gdBody1->dataModel().fieldAt(current.column()));
            }));
}

bool TfrmTavi52::twoUnitQuantity(const Field* field) const
{
    if (field == nullptr || text::trim(brokers().SystemParameter("SYS024")) != "2")
        return false;
    const std::vector<std::string> columns = quantityColumns();
    return std::ranges::find(columns, field->name()) != columns.end();
}

void TfrmTavi52::gdBody1ColEnter(Field* field)
{
    if (twoUnitQuantity(field))
        quantityColumnText = field->editText();
}

void TfrmTavi52::gdBody1ColExit(Field* field)
{
    if (field == nullptr || text::trim(brokers().SystemParameter("SYS024")) != "2")
        return;
    if (twoUnitQuantity(field) && isEditing(orderModule()->cdsBody1) && field->editText() != quantityColumnText &&
        !field->isNull() && field->asFloat() != 0)
        runQuantityStep(*field);
    quantityColumnText = "0";
}

void TfrmTavi52::memTC037KeyDown(const QKeyEvent& event)
{
    memoWrap = !(event.modifiers() & (Qt::ControlModifier | Qt::AltModifier));
}

bool TfrmTavi52::memTC037KeyPress(TZtDBMemo& memo, const QKeyEvent& event)
{
    return wrapMemoKey(memo, event);
}

bool TfrmTavi52::memTC034C1KeyPress(TZtDBMemo& memo, const QKeyEvent& event)
{
    const bool editKey = event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter;
    return !editKey && wrapMemoKey(memo, event);
}

bool TfrmTavi52::wrapMemoKey(TZtDBMemo& memo, const QKeyEvent& event)
{
    const bool enter = event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter;
    const QString typed = event.text();
    // Backspace deletes whatever the column; keys that type nothing are not the rule's.
    if (!memoWrap || memo.isReadOnly() || event.key() == Qt::Key_Backspace ||
        (!enter && (typed.isEmpty() || !typed.at(0).isPrint())))
        return false;
    const text::CodePage page = codePage() == "950" ? text::CodePage::Big5 : text::CodePage::Gbk;
    const int column = static_cast<int>(text::fromQString(memo.textBeforeCaret(), page).size());
    switch (memoWrapFor(column, enter ? std::string("\r") : text::fromQString(typed, page))) {
    case MemoWrap::Keep: return false;
    case MemoWrap::BreakBefore: memo.insertWhole(QStringLiteral("\n") + typed); break;
    case MemoWrap::BreakAfter: memo.insertWhole(typed + QStringLiteral("\n")); break;
    case MemoWrap::Replace: memo.insertWhole(QStringLiteral("\n")); break;
    }
    return true;
}

TfrmTavi52::MemoWrap TfrmTavi52::memoWrapFor(int column, std::string_view typed)
{
    if (typed == "\r")
        return MemoWrap::Keep;
    if (column >= MemoWrapWidth)
        return MemoWrap::Replace;
    const int width = static_cast<int>(typed.size());
    if (column + width == MemoWrapWidth)
        return MemoWrap::BreakAfter;
    // A double-byte character that would cross the line's end starts the next line.
    return column + width > MemoWrapWidth ? MemoWrap::BreakBefore : MemoWrap::Keep;
}

bool TfrmTavi52::edTC056KeyPress(QKeyEvent& event)
{
    const bool typing = !event.text().isEmpty() && event.text().at(0).isPrint();
    return typing && event.text() != QStringLiteral(".");
}

} // namespace orvane
