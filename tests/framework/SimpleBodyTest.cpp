// The body-only grid window over the sub-rows of a document's lines, borrowed from a document
// window on the embedded server: the refusal without a data source, the commands following the
// document's mode and maintenance mode, and the parent's key required. (The order's option lines
// window, a body-only window too, keys a new document's sub-rows when it is saved:
// OrderDialogsTest.)
#include "framework/DocumentWindow.h"

#include "controls/DBGrid.h"
#include "framework/ZtSimpleBodyCF.h"
#include "support/Contains.h"

#include <QAction>
#include <QToolButton>

namespace orvane::test {
namespace {

// The document module with each line's sub-rows in cdsFoot.
class SubRowModule : public DocumentModule {
public:
    ~SubRowModule() override { cdsFoot.close(); }
    // The sub-rows are bound once the lines have their fields; the head's reopening opens them.
    bool OpenData() override
    {
        if (!DocumentModule::OpenData())
            return false;
        cdsMain.close();
        cdsFoot.setDataSetField(cdsBody1.fieldByName("qryFoot"));
        cdsMain.open();
        cdsBody1.open();
        cdsFoot.open();
        return cdsFoot.active();
    }

    ClientDataSet cdsFoot{"cdsFoot"};
    DataSource dsFoot{&cdsFoot};
};

using SubRowDocument = DocumentFormOver<SubRowModule>;

class SubRowWindow : public TfrmSimpleBody {
public:
    using TfrmSimpleBody::TfrmSimpleBody;

protected:
    std::string ModuleFileName() const override { return moduleFile; }
};

class SimpleBodyTest : public DocumentWindowTest {
protected:
    // The window over source, lent the document's module.
    WindowPtr<SubRowWindow> subRows(SubRowDocument& document, DataSource* source)
    {
        WindowPtr<SubRowWindow> window(TfrmVozuraz::Create<SubRowWindow>(&document));
        window->DBGrid->setDataSource(source);
        window->brokers().setHostObject(hostObject());
        EXPECT_TRUE(window->PrepareProgram(startParams()));
        window->show();
        return window;
    }
    // Which commands are enabled ("+" / "-"): add, edit, delete, maintenance, first, exit.
    static std::string enabling(const TfrmSimpleBody& window)
    {
        std::string states;
        for (const QToolButton* button :
             {window.btnAdd, window.btnEdit, window.btnDelete, window.btnRedact, window.btnFirst})
            states += button->isEnabled() ? '+' : '-';
        return states + (window.miExit->isEnabled() ? '+' : '-');
    }
};

TEST_F(SimpleBodyTest, AGridWithoutDataSourceClosesOnlyItsWindowAndCommandsFollowTheDocumentsModeAndMaintenanceMode)
{
    WindowPtr<SubRowDocument> document = started<SubRowDocument>();
    WindowPtr<SubRowWindow> window = subRows(*document, nullptr);
    ASSERT_EQ(dialogs->shownMessages().size(), 1u);
    EXPECT_TRUE(contains(dialogs->shownMessages().front().text.toStdString(), "DBGrid's DataSource or DataSet is nil"));
    QTest::qWait(0);
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(document->isVisible()) << "the program goes on";

    dialogs->clear();
    SubRowModule& module = document->module();
    window = subRows(*document, &module.dsFoot);
    EXPECT_EQ(window->ParentKeyFields, "TD001,TD002,TD003") << "D11_KEY without H11_KEY";
    EXPECT_EQ(window->BodyKeyFields, "TM001,TM002,TM003");
    EXPECT_EQ(window->topDataSet(), &module.cdsMain);
    EXPECT_EQ(enabling(*window).substr(0, 4), "----") << "the document browses";
    EXPECT_TRUE(window->DBGrid->readOnly());
    window->DBGrid->setFocus();
    QTest::keyClick(window->DBGrid, Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_TRUE(dialogs->shownMessages().empty()) << "Ctrl+Delete on an empty grid";
    module.cdsFoot.append();
    EXPECT_EQ(module.cdsFoot.state(), DataSetState::Browse) << "no row while the document browses";

    document->AddRecord(true);
    window->UpdateCommandStates();
    EXPECT_EQ(enabling(*window), "+--+-+") << "a new document without lines";
    EXPECT_FALSE(window->AddRecord(false)) << "no line: the parent's key is missing";
    ASSERT_EQ(dialogs->shownMessages().size(), 1u);
    EXPECT_TRUE(contains(dialogs->shownMessages().front().text.toStdString(), "上层键值不可空白"));
    EXPECT_TRUE(module.cdsFoot.isEmpty());

    window->btnRedact->click();
    EXPECT_TRUE(window->maintenance());
    EXPECT_FALSE(window->DBGrid->readOnly());
    document->CancelRecord(false);
    window->UpdateCommandStates();
    EXPECT_FALSE(window->maintenance()) << "ends with the document's edit";
    EXPECT_TRUE(window->DBGrid->readOnly());
}

} // namespace
} // namespace orvane::test
