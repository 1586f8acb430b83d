#pragma once
// A small document window on the framework's document form (order heads and lines of the
// demonstration company, not the order program), started offscreen over the real embedded
// server: the module numbers every new document on the server, the head has edits for the type,
// number, date and customer, the lines show in the body grid; and the fixture that starts it,
// reads its command enabling and types documents into it.

#include "framework/ProgramHost.h"

#include "controls/DBEdit.h"
#include "framework/DoubleCF.h"
#include "support/ScriptedDialogs.h"

#include <QApplication>
#include <QFocusEvent>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace orvane::test {

// Every new document is numbered by the server, as the order module does for its automatic types.
class DocumentModule : public TdmDouble {
public:
    void NewHeadDefaults() override
    {
        TdmDouble::NewHeadDefaults();
        SetAutoNumber(true);
    }
};

// Head edits for the type, number, date and customer; lines in the body grid.
class DocumentForm : public TfrmDouble {
public:
    DocumentForm()
    {
        setObjectName(QStringLiteral("frmDocument"));
        auto* layout = new QVBoxLayout(tbsHead1);
        for (const char* field : {"TC001", "TC002", "TC039", "TC004"}) {
            auto* edit = new DBEdit(tbsHead1);
            edit->setObjectName(QStringLiteral("ed") + QString::fromLatin1(field));
            edit->setDataField(QString::fromLatin1(field));
            layout->addWidget(edit);
            edits.push_back(edit);
        }
    }

    void ConfigureDocument() override
    {
        TfrmDouble::ConfigureDocument();
        CommandMask = 255;
        RequiredFields = "cdsMain:TC004;cdsBody1:TD004";
        LineCopyFields = "TD007";
        NumberDateField = "TC039";
        firstAddControl = edits[0];
        lastHeadControl = edits[3];
    }
    void ApplyProgramOptions() override
    {
        // Where the module reads the date through its date handler, the date takes the date mask
        // as in the order window, so that its digits are typed into the mask.
        Field& date = doubleModule()->cdsMain.fieldByName("TC039");
        if (date.onSetText)
            date.setEditMask(doubleModule()->DateFieldEditMask());
        for (DBEdit* edit : edits)
            edit->setDataSource(&doubleModule()->dsMain);
        TfrmDouble::ApplyProgramOptions();
    }
    DataModuleFactory DataModuleClass() const override
    {
        return [] { return std::make_unique<DocumentModule>(); };
    }

    std::vector<DBEdit*> edits;

protected:
    void FormCreate() override
    {
        CreateDataModule();
        TfrmDouble::FormCreate();
    }
    std::string ModuleFileName() const override { return moduleFile; }
};

// The document window over a data module of class Module.
template <typename Module>
class DocumentFormOver : public DocumentForm {
public:
    DataModuleFactory DataModuleClass() const override
    {
        return [] { return std::make_unique<Module>(); };
    }
    Module& module() const { return static_cast<Module&>(*dataModule()); }
};

template <typename Form>
using WindowPtr = std::unique_ptr<Form, FormFree>;
using FormPtr = WindowPtr<DocumentForm>;

class DocumentWindowTest : public ProgramHostTest {
protected:
    // A program window of class Form, started for user ZT and shown active.
    template <typename Form = DocumentForm, typename... Args>
    WindowPtr<Form> started(Args&&... args)
    {
        WindowPtr<Form> form(TfrmVozuraz::Create<Form>(std::forward<Args>(args)...));
        form->brokers().setHostObject(hostObject());
        EXPECT_TRUE(form->PrepareProgram(startParams()));
        form->show();
        form->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(form.get()));
        return form;
    }
    // Which of the commands are enabled, as one text ("+" enabled, "-" disabled), in the order
    // add, query, edit, delete, first, next, print, OK, cancel, confirm, unconfirm, void.
    static std::string enabling(const DocumentForm& form)
    {
        std::string states;
        for (const QToolButton* button :
             {form.btnAdd, form.btnQuery, form.btnEdit, form.btnDelete, form.btnFirst, form.btnNext, form.btnPrint,
              form.btnOK, form.btnCancel, form.btnConfirm, form.btnUnConfirm, form.btnInvalid})
            states += button->isEnabled() ? '+' : '-';
        return states;
    }
    // The form's add command with the head typed into its edits and two lines.
    static void addDocument(DocumentForm& form, const std::string& number)
    {
        form.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
        form.AddRecord(true);
        const char* values[] = {"2201", number.c_str(), "20250301", "C001"};
        for (std::size_t i = 0; i < form.edits.size(); ++i)
            typeAndEnter(*form.edits[i], QString::fromLatin1(values[i]));
        ClientDataSet& lines = form.doubleModule()->cdsBody1;
        for (const char* item : {"A100", "A200"}) {
            lines.append();
            lines.fieldByName("TD004").setAsString(item);
            lines.fieldByName("TD007").setAsString("A01");
            lines.post();
        }
    }
    // Leaves the add state and shows the document of type 2201 numbered number (by default the
    // number the last save was given).
    static void showDocument(DocumentForm& form, const std::string& number = {})
    {
        form.CancelRecord(false);
        form.lastCondition = "TC001 = '2201' and TC002 = '" + (number.empty() ? form.NewNumber : number) + "'";
        form.RunQuery();
    }
    // A document typed as addDocument does, saved, and shown under the number the server gave it.
    static void savedDocument(DocumentForm& form)
    {
        addDocument(form, "X");
        ASSERT_TRUE(form.SaveRecord());
        showDocument(form);
    }
    // Keys typed over what an edit shows, then Enter.
    static void typeAndEnter(QLineEdit& edit, const QString& keys)
    {
        edit.setFocus();
        edit.selectAll();
        QTest::keyClicks(&edit, keys);
        QTest::keyClick(&edit, Qt::Key_Return);
    }
    // An edit emptied and typed again, as a user corrects it.
    static void retype(QLineEdit& edit, const QString& typed)
    {
        edit.setFocus();
        edit.selectAll();
        QTest::keyClick(&edit, Qt::Key_Backspace);
        QTest::keyClicks(&edit, typed);
    }
    // Leaving a control by Tab (sent: offscreen, a second window's focus does not move by itself).
    static void leave(QWidget& control)
    {
        QFocusEvent event(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(&control, &event);
    }
    // The text of the last message box shown; whether any box shown holds text.
    std::string lastMessage() const
    {
        return dialogs->shownMessages().empty() ? std::string() : dialogs->shownMessages().back().text.toStdString();
    }
    bool shown(std::string_view text) const
    {
        return std::ranges::any_of(dialogs->shownMessages(), [&](const MessageDialog& message) {
            return message.text.toStdString().find(text) != std::string::npos;
        });
    }

    ScriptedDialogs dialogs;
};

} // namespace orvane::test
