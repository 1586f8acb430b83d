// The order window under each interface language: the demo dictionary's labels, grid titles,
// button hints and page captions replace the design-time texts. With ORVANE_DICTIONARY_SHOTS set
// to a folder, each window is also rendered there (order-CHS.png, ...), for a person to look at.
#include "salesorder/Tavi52CF.h"

#include "framework/DocumentWindow.h"
#include "salesorder/Tavi52CD.h"

#include <QLabel>
#include <QPixmap>
#include <QTabWidget>
#include <QToolButton>

#include <fstream>
#include <sstream>

namespace orvane::test {
namespace {

class OrderWindow : public TfrmTavi52 {
protected:
    std::string ModuleFileName() const override { return moduleFile; }
};

struct Expected {
    const char* language;
    const char8_t* customer; // TC004's label
    const char8_t* item;     // TD004's grid title
    const char8_t* copyHint; // btnCopy's hint
    const char8_t* page;     // the first head page's caption
};

class OrderDictionary : public DocumentWindowTest, public ::testing::WithParamInterface<Expected> {
protected:
    void SetUp() override
    {
        DocumentWindowTest::SetUp();
        if (IsSkipped())
            return;
        const std::filesystem::path client = folder_ / "client";
        std::filesystem::copy(ORVANE_DICTIONARY_FOLDER, client / "C_DATA");
        std::ifstream in(client / "OrvaneC.ini");
        std::stringstream ini;
        ini << in.rdbuf();
        std::string text = ini.str();
        text.replace(text.find("LangType=CHS"), 12, std::string("LangType=") + GetParam().language);
        std::ofstream(client / "OrvaneC.ini", std::ios::trunc) << text;
    }
};

TEST_P(OrderDictionary, ShowsTheDictionaryTextsOfTheLanguage)
{
    const Expected& expected = GetParam();
    WindowPtr<OrderWindow> form = started<OrderWindow>();
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
        QTest::qWait(200);
        form->grab().save(QString::fromLocal8Bit(shots) + QStringLiteral("/order-") +
                          QString::fromLatin1(expected.language) + QStringLiteral(".png"));
    }
}

INSTANTIATE_TEST_SUITE_P(Languages, OrderDictionary,
                         ::testing::Values(Expected{"CHS", u8"客户编号", u8"品号", u8"复制前置单据", u8"交易信息(一)"},
                                           Expected{"CHT", u8"客戶編號", u8"品號", u8"複製前置單據", u8"交易資訊(一)"},
                                           Expected{"ENG", u8"Customer", u8"Item", u8"Copy a source document",
                                                    u8"Terms (1)"}),
                         [](const auto& info) { return std::string(info.param.language); });

} // namespace
} // namespace orvane::test
