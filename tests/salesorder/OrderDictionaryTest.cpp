// The order window under each interface language: the demo dictionary's labels, grid titles,
// button hints and page captions replace the design-time texts. With ORVANE_DICTIONARY_SHOTS set
// to a folder, each window is also rendered there (order-CHS.png, ...), for a person to look at.
#include "salesorder/Tavi52CF.h"

#include "controls/DBGrid.h"
#include "framework/DocumentWindow.h"
#include "salesorder/Tavi52CD.h"
#include "ui/QtText.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPixmap>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolButton>

#include <fstream>
#include <sstream>

namespace orvane::test {
namespace {

class OrderDictionaryWindow : public TfrmTavi52 {
protected:
    std::string ModuleFileName() const override { return moduleFile; }
};

struct DictionaryTexts {
    const char* language;
    const char8_t* customer; // TC004's label
    const char8_t* item;     // TD004's grid title
    const char8_t* copyHint; // btnCopy's hint
    const char8_t* page;     // the first head page's caption
};

const DictionaryTexts dictionaryLanguages[] = {
    {"CHS", u8"客户编号", u8"品号", u8"复制前置单据", u8"交易信息(一)"},
    {"CHT", u8"客戶編號", u8"品號", u8"複製前置單據", u8"交易資訊(一)"},
    {"ENG", u8"Customer", u8"Item", u8"Copy a source document", u8"Terms (1)"},
};

class OrderDictionary : public DocumentWindowTest {
protected:
    void SetUp() override
    {
        DocumentWindowTest::SetUp();
        std::filesystem::copy(ORVANE_DICTIONARY_FOLDER, folder_ / "client" / "C_DATA");
    }
    // The client's interface language from now on.
    void useLanguage(const char* language) const
    {
        const std::filesystem::path ini = folder_ / "client" / "OrvaneC.ini";
        std::stringstream content;
        content << std::ifstream(ini).rdbuf();
        std::string text = content.str();
        const std::size_t at = text.find("LangType=");
        text.replace(at, text.find('\n', at) - at, std::string("LangType=") + language);
        std::ofstream(ini, std::ios::trunc) << text;
    }
};

TEST_F(OrderDictionary, WindowShowsTheDictionaryTextsOfEachLanguage)
{
    for (const DictionaryTexts& expected : dictionaryLanguages) {
        SCOPED_TRACE(expected.language);
        useLanguage(expected.language);
        WindowPtr<OrderDictionaryWindow> form = started<OrderDictionaryWindow>();
        const auto label = form->findChild<QLabel*>(QStringLiteral("lblTC004"));
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->text(), text::utf8(expected.customer));
        DBGrid* grid = form->gdBody1;
        const int column = grid->dataModel().columnOf(form->orderModule()->cdsBody1.findField("TD004"));
        EXPECT_EQ(grid->model()->headerData(column, Qt::Horizontal).toString(), text::utf8(expected.item));
        EXPECT_EQ(form->btnCopy->toolTip(), text::utf8(expected.copyHint));
        EXPECT_EQ(form->pgHead->tabText(0), text::utf8(expected.page));
        ASSERT_NE(form->DictionaryObject, nullptr);
        EXPECT_TRUE(form->DictionaryObject->loaded());

        if (const char* shots = std::getenv("ORVANE_DICTIONARY_SHOTS")) {
            form->resize(1366, 768);
            for (int page = 0; page < form->pgHead->count(); ++page) {
                form->pgHead->setCurrentIndex(page);
                QTest::qWait(100);
                form->grab().save(QStringLiteral("%1/order-%2-%3.png")
                                      .arg(QString::fromLocal8Bit(shots), QLatin1String(expected.language))
                                      .arg(page));
            }
        }
    }
}

// The interface texts of a window, its dialogs left aside (captions, labels, buttons, hints, menus, page and grid
// titles, combo items) that contain a Chinese character, one "name.property: text" each; the data the edits show is not
// looked at.
QStringList orderDictionaryChineseTexts(const QWidget& window)
{
    QStringList found;
    const auto check = [&found](const QObject& owner, const char* property, const QString& text) {
        if (std::any_of(text.begin(), text.end(), [](QChar c) { return c.unicode() >= 0x2E80; }))
            found << owner.objectName() + '.' + QLatin1String(property) + ": " + text;
    };
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

TEST_F(OrderDictionary, EnglishWindowShowsNoChineseText)
{
    useLanguage("ENG");
    WindowPtr<OrderDictionaryWindow> form = started<OrderDictionaryWindow>();
    // The caption's bracket holds the installation's title (system parameter ZTK002), which is data.
    const QString caption = form->windowTitle();
    EXPECT_EQ(caption.left(caption.indexOf('[')), QStringLiteral("Customer order entry"));
    EXPECT_EQ(form->Status->findChild<QLabel*>()->text(), QStringLiteral("Browse"));
    EXPECT_EQ(orderDictionaryChineseTexts(*form).join('\n').toStdString(), "");
}

} // namespace
} // namespace orvane::test
