// The order window under each interface language: the demo dictionary's labels, grid titles,
// button hints and page captions replace the design-time texts, and the windows the order window
// opens follow the language too.
#include "salesorder/Tavi52CF.h"

#include "OrderLanguage.h"
#include "OrderWindowFixture.h"
#include "controls/DBGrid.h"
#include "framework/DocumentDraft.h"
#include "framework/FVLInfo.h"
#include "framework/SearchCF.h"
#include "framework/SetVLINFO.h"
#include "framework/ShowStatus.h"
#include "framework/ZtConfirmDate.h"
#include "framework/ZtCopy.h"
#include "framework/ZtQBE.h"
#include "platform/text/CodePage.h"
#include "salesorder/Tavi52CD.h"
#include "salesorder/Tavi52DF.h"
#include "salesorder/Tavi52GF.h"
#include "salesorder/Tavi52IF.h"
#include "salesorder/Tavi52ZF.h"
#include "ui/QtText.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolButton>
#include <QTreeWidget>

namespace orvane::test {
namespace {

class OrderDictionaryWindow : public OrderTestWindow {
public:
    using TfrmTavi52::frmTavi52DF;
};

bool isChinese(QChar c)
{
    return c.unicode() >= 0x2E80;
}

// A Chinese character Big5 cannot hold is a Simplified one.
bool isSimplified(QChar c)
{
    const std::string big5 = text::fromUtf8(QString(c).toStdString(), text::CodePage::Big5);
    return isChinese(c) && big5.find('?') != std::string::npos;
}

struct DictionaryTexts {
    const char* language;
    const char8_t* customer;    // TC004's label
    const char8_t* item;        // TD004's grid title
    const char8_t* copyHint;    // btnCopy's hint
    const char8_t* page;        // the first head page's caption
    const char8_t* stamp;       // the word of a confirmed order's stamp
    bool (*wrongScript)(QChar); // a character no interface text may hold; nullptr: none looked for
};

const DictionaryTexts dictionaryLanguages[] = {
    {"CHS", u8"客户编号", u8"品号", u8"复制前置单据", u8"交易信息(一)", u8"已审核", nullptr},
    {"CHT", u8"客戶編號", u8"品號", u8"複製前置單據", u8"交易資訊(一)", u8"已稽核", isSimplified},
    {"ENG", u8"Customer", u8"Item", u8"Copy a source document", u8"Terms (1)", u8"Confirmed", isChinese},
};

// The interface texts of a window, the windows it holds left aside (captions, labels, buttons, hints, menus, page and
// grid titles, combo items) that contain a character of the wrong script, one "name.property: text" each; the data the
// edits show is not looked at.
QStringList wrongScriptTexts(const QWidget& window, bool (*wrong)(QChar))
{
    QStringList found;
    const auto check = [&found, wrong](const QObject& owner, const char* property, const QString& text) {
        if (std::any_of(text.begin(), text.end(), wrong))
            found << owner.objectName() + '.' + QLatin1String(property) + ": " + text;
    };
    check(window, "windowTitle", window.windowTitle());
    for (const QWidget* widget : window.findChildren<QWidget*>()) {
        if (widget->window() != &window)
            continue; // a dialog the window holds is a window of its own
        check(*widget, "toolTip", widget->toolTip());
        if (const auto* label = qobject_cast<const QLabel*>(widget))
            check(*label, "text", label->text());
        else if (const auto* button = qobject_cast<const QAbstractButton*>(widget))
            check(*button, "text", button->text());
        else if (const auto* box = qobject_cast<const QGroupBox*>(widget))
            check(*box, "title", box->title());
        else if (const auto* combo = qobject_cast<const QComboBox*>(widget); combo && !combo->isEditable())
            for (int i = 0; i < combo->count(); ++i)
                check(*combo, "item", combo->itemText(i));
        else if (const auto* pages = qobject_cast<const QTabWidget*>(widget))
            for (int i = 0; i < pages->count(); ++i)
                check(*pages, "tab", pages->tabText(i));
        else if (const auto* list = qobject_cast<const QTreeWidget*>(widget))
            for (int c = 0; c < list->columnCount(); ++c) {
                check(*list, "title", list->headerItem()->text(c));
                for (int row = 0; row < list->topLevelItemCount(); ++row)
                    check(*list, "item", list->topLevelItem(row)->text(c));
            }
        else if (const auto* table = qobject_cast<const QTableWidget*>(widget))
            for (int c = 0; c < table->columnCount(); ++c) {
                check(*table, "title", table->horizontalHeaderItem(c)->text());
                for (int row = 0; row < table->rowCount(); ++row)
                    if (c == 0 && table->verticalHeaderItem(row) != nullptr)
                        check(*table, "row", table->verticalHeaderItem(row)->text());
            }
        else if (const auto* grid = qobject_cast<const DBGrid*>(widget))
            for (int c = 0; c < grid->model()->columnCount(); ++c)
                check(*grid, "title", grid->model()->headerData(c, Qt::Horizontal).toString());
    }
    for (const QAction* action : window.findChildren<QAction*>()) {
        check(*action, "text", action->text());
        check(*action, "toolTip", action->toolTip());
    }
    return found;
}

// Menu items of the window that share a mnemonic, "menu: caption and caption": Alt and the letter only takes
// turns highlighting them.
QStringList sharedMnemonics(const QWidget& window)
{
    QStringList shared;
    std::vector<const QWidget*> menus;
    for (const QWidget* menu : window.findChildren<QMenu*>())
        menus.push_back(menu);
    for (const QWidget* bar : window.findChildren<QMenuBar*>())
        menus.push_back(bar);
    for (const QWidget* menu : menus) {
        std::map<QChar, QString> taken;
        for (const QAction* action : menu->actions()) {
            const QString caption = action->text();
            const qsizetype at = caption.indexOf(QLatin1Char('&'));
            if (at < 0 || at + 1 >= caption.size() || caption[at + 1] == QLatin1Char('&'))
                continue;
            const auto [kept, fresh] = taken.emplace(caption[at + 1].toUpper(), caption);
            if (!fresh)
                shared << menu->objectName() + ": " + kept->second + " and " + caption;
        }
    }
    return shared;
}

using OrderDictionaryTest = DocumentWindowTest;

// The window and every dialog it opens speak the interface language, each menu item reachable by its own mnemonic:
// under ENG no text is Chinese, under CHT none is Simplified. The caption's bracket holds the installation's title
// (system parameter ZTK002), which is data.
TEST_F(OrderDictionaryTest, WindowAndItsDialogsShowTheDictionaryTextsOfEachLanguage)
{
    for (const DictionaryTexts& expected : dictionaryLanguages) {
        SCOPED_TRACE(expected.language);
        useInterfaceLanguage(folder_, expected.language);
        WindowPtr<OrderDictionaryWindow> form = started<OrderDictionaryWindow>();
        const auto label = form->findChild<QLabel*>(QStringLiteral("lblTC004"));
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->text(), text::utf8(expected.customer));
        DBGrid* grid = form->gdBody1;
        const int column = grid->dataModel().columnOf(form->orderModule()->cdsBody1.findField("TD004"));
        EXPECT_EQ(grid->model()->headerData(column, Qt::Horizontal).toString(), text::utf8(expected.item));
        // The browse grid's columns are as wide as their titles, as the lines grid's are.
        const DBGrid* browse = form->gdHead;
        const int name = browse->dataModel().columnOf(form->orderModule()->cdsMain.findField("TC005C1"));
        const QString title = browse->model()->headerData(name, Qt::Horizontal).toString();
        EXPECT_GE(browse->horizontalHeader()->sectionSize(name),
                  QFontMetrics(browse->horizontalHeader()->font()).horizontalAdvance(title))
            << title.toStdString();
        EXPECT_EQ(form->btnCopy->toolTip(), text::utf8(expected.copyHint));
        EXPECT_EQ(form->pgHead->tabText(0), text::utf8(expected.page));
        EXPECT_EQ(sharedMnemonics(*form).join('\n').toStdString(), "");
        form->miLast->trigger(); // the demo's confirmed order
        EXPECT_EQ(form->ImgConfirm->toolTip(), text::utf8(expected.stamp));
        form->miFirst->trigger();
        const auto wrong = expected.wrongScript;
        if (wrong == nullptr)
            continue;
        QString caption = form->windowTitle();
        form->setWindowTitle(caption.left(caption.indexOf('[')));
        QStringList found = wrongScriptTexts(*form, wrong);
        // A window is swept as shown (converted), or as made when it is shown without a conversion of its own.
        const auto sweep = [&found, wrong](QWidget& window, bool convert = true) {
            if (auto* form = qobject_cast<TZtForm*>(&window); form != nullptr && convert)
                form->ConvertOnce();
            found << wrongScriptTexts(window, wrong);
        };
        sweep(*form->frmTavi52DF);
        sweep(*WindowPtr<TfrmTavI52IF>(new TfrmTavI52IF(*form, *form->orderModule())));
        sweep(*WindowPtr<TZtConfirmDateForm>(new TZtConfirmDateForm(*form)));
        sweep(*WindowPtr<TfrmCopy>(new TfrmCopy(*form)));
        sweep(*WindowPtr<TfrmSetVLINFO>(new TfrmSetVLINFO(*form)), false);
        sweep(*WindowPtr<TfrmVLInfo>(new TfrmVLInfo(*form)), false);
        sweep(*WindowPtr<TfrmTavi52ZF>(new TfrmTavi52ZF(*form, *form->orderModule())));
        WindowPtr<TfrmTavi52GF> options(new TfrmTavi52GF(*form));
        options->addOption({.chosen = true, .values = {"P100", "-", "-", "P", "1", "-", "-", "-", "-"}});
        sweep(*options);
        TQBEForm query(form.get());
        sweep(query);
        TfrmSearch lookup(form->brokers(), *form, form.get());
        lookup.setWindowFlag(Qt::Window);
        ASSERT_TRUE(
            lookup.Open(form->brokers().searchRequest("COPTC", "67", Variant::arrayOf({"2201", "2501200001"}))));
        sweep(lookup);
        TfrmShowStatus progress(form.get());
        sweep(progress);
        // The credit, price and stock windows, each opened by its key as a clerk does.
        QStringList opened;
        const auto sweepFigures = [&](QWidget& control, Qt::Key key) {
            dialogs->queueModalAction([&](QWidget& window) {
                opened << window.objectName();
                found << wrongScriptTexts(window, wrong);
                const auto* table = window.findChild<QTableWidget*>();
                EXPECT_EQ(table->horizontalScrollBar()->maximum(), 0)
                    << "titles cut off in " << window.objectName().toStdString();
                window.close();
            });
            control.setFocus();
            QTest::keyClick(&control, key);
        };
        sweepFigures(*form->edTC004, Qt::Key_F3);
        for (const auto& [field, key] : {std::pair{"TD011", Qt::Key_F2}, std::pair{"TD008", Qt::Key_F3}}) {
            form->gdBody1->setSelectedFieldName(QLatin1String(field));
            sweepFigures(*form->gdBody1, key);
        }
        EXPECT_EQ(opened.join(',').toStdString(), "frmCredit,frmPrice,frmStock");
        // The sign-off details of an order the workflow has no history of: the message says so in the language.
        form->brokers().SetSystemParameter("SYS060", "Y");
        form->UpdateCommandStates();
        form->miViewVeltra->trigger();
        const QString failed = QString::fromStdString(lastMessage());
        EXPECT_TRUE(failed.contains(QStringLiteral("200140"))) << failed.toStdString();
        EXPECT_FALSE(std::any_of(failed.begin(), failed.end(), wrong)) << failed.toStdString();
        form->brokers().SetSystemParameter("SYS060", "N");
        EXPECT_EQ(found.join('\n').toStdString(), "");
        if (std::string_view(expected.language) == "ENG") {
            EXPECT_EQ(form->windowTitle(), QStringLiteral("Customer order entry"));
            EXPECT_EQ(form->Status->findChild<QLabel*>()->text(), QStringLiteral("Browse"));
        }
    }
}

// Over a Big5 interface the record state reads the dictionary's Traditional text; it was put
// through the display conversion a second time, and the status bar showed mojibake.
TEST_F(OrderDictionaryTest, RecordStateOfABig5InterfaceReadsAsTheDictionarySaysIt)
{
    useInterfaceLanguage(folder_, "CHT");
    writeFile(folder_ / "client" / "OrvaneC.ini",
              readFile(folder_ / "client" / "OrvaneC.ini") + "[CodePage]\nUICodePage=950\nDBCodePage=936\n");
    text::setInstallationCodePage(text::CodePage::Big5); // as the shell sets it from UICodePage
    {
        WindowPtr<OrderDictionaryWindow> form = started<OrderDictionaryWindow>();
        EXPECT_EQ(form->Status->findChild<QLabel*>()->text(), text::utf8(u8"瀏覽"));
    }
    text::setInstallationCodePage(text::CodePage::Gbk);
}

// The texts of the boxes shown so far, in order, without the blanks that widen a box.
QStringList boxTexts(const ScriptedDialogs& dialogs)
{
    QStringList texts;
    for (const MessageDialog& box : dialogs->shownMessages())
        texts << box.text.trimmed();
    return texts;
}

// Over a Big5 interface the export's notice and question are the dictionary's Traditional texts;
// the Simplified design texts lost to "?" every character Big5 lacks.
TEST_F(OrderDictionaryTest, ExportOfABig5InterfaceSpeaksTraditionalChinese)
{
    useInterfaceLanguage(folder_, "CHT");
    writeFile(folder_ / "client" / "OrvaneC.ini",
              readFile(folder_ / "client" / "OrvaneC.ini") + "[CodePage]\nUICodePage=950\nDBCodePage=936\n");
    text::setInstallationCodePage(text::CodePage::Big5);
    {
        WindowPtr<OrderDictionaryWindow> form = started<OrderDictionaryWindow>();
        form->lastCondition = "TC001 = '2201'";
        form->RunQuery();
        dialogs->queueAnswer(DialogAnswer::Ok);
        dialogs->queueAnswer(DialogAnswer::No); // the file is not opened
        form->orderModule()->ExportToSpreadsheetText(form->orderModule()->cdsMain);
        EXPECT_EQ(boxTexts(dialogs).join('|').toStdString(),
                  "開啟時若出現文字匯入嚮導可直接點選完成鈕進入!|是否開啟文件?");
    }
    text::setInstallationCodePage(text::CodePage::Gbk);
}

// Under CHT the window offers a draft it finds in Traditional Chinese, under ENG in English.
TEST_F(OrderDictionaryTest, TheDraftQuestionSpeaksTheInterfaceLanguage)
{
    for (const DictionaryTexts& expected : dictionaryLanguages) {
        if (expected.wrongScript == nullptr)
            continue;
        SCOPED_TRACE(expected.language);
        useInterfaceLanguage(folder_, expected.language);
        WindowPtr<OrderDictionaryWindow> form = started<OrderDictionaryWindow>();
        form->AddRecord(true);
        form->orderModule()->cdsMain.fieldByName("TC012").setAsString("PO1");
        form.reset(); // the window goes with the document unsaved, and keeps it as a draft
        dialogs->clear();
        dialogs->queueAnswer(DialogAnswer::No);
        form = started<OrderDictionaryWindow>();
        const QString question = boxTexts(dialogs).join('|');
        EXPECT_FALSE(question.isEmpty());
        EXPECT_FALSE(std::any_of(question.begin(), question.end(), expected.wrongScript)) << question.toStdString();
    }
}

} // namespace
} // namespace orvane::test
