// The data-aware edit: showing a field through its get-text handler, writing through its
// set-text handler, refusals that keep the typed text and the focus, and the field's limits;
// the memo's limit in bytes of the field.

#include "controls/DBEdit.h"
#include "ControlFixture.h"
#include "controls/ZtDBMemo.h"
#include "platform/data/DataSetError.h"
#include "platform/data/SilentAbort.h"
#include "platform/text/ByteText.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QSignalSpy>

namespace orvane::test {
namespace {

class DBEditTest : public ControlFixture {
protected:
    void SetUp() override
    {
        ControlFixture::SetUp();
        // Codes are stored as typed and shown with a "#" in front.
        Field& field = code();
        field.onGetText = [](Field& f, std::string& text, bool display) {
            text = display ? "#" + f.asString() : f.asString();
        };
        field.onSetText = [](Field& f, std::string_view text) { f.setAsString(text::upperCase(text)); };
        edit->setDataSource(&source);
        edit->setDataField("CODE");
        other->move(0, 40);
    }

    Field& code() const { return dataSet.fieldByName("CODE"); }

    // Types `text` over the edit's text, as a user would.
    void type(const QString& text) const
    {
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, text);
    }

    DBEdit* edit = new DBEdit(&window);
    QLineEdit* other = new QLineEdit(&window);
};

TEST_F(DBEditTest, ShowsTheFieldWithoutSignallingAndWritesOnlyTypedTextThroughItsHandlersOnEnterOrExit)
{
    EXPECT_EQ(edit->text(), "#A1");
    EXPECT_EQ(boundFieldOf(edit), &code()); // the binding as form code reads it
    showWindow();
    type("x9");
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(dataSet.state(), DataSetState::Edit);
    EXPECT_EQ(code().asString(), "X9");
    EXPECT_EQ(edit->text(), "X9"); // the edit text while focused
    other->setFocus();
    EXPECT_EQ(edit->text(), "#X9");
    dataSet.post();
    type("z1");
    other->setFocus();
    EXPECT_EQ(code().asString(), "Z1");

    // It repaints from the data source without signalling, and writes only changed text.
    int writes = 0;
    code().onChange = [&](Field&) { ++writes; };
    const QSignalSpy textChanges(edit, &QLineEdit::textChanged);
    dataSet.next();
    EXPECT_EQ(edit->text(), "#B2");
    dataSet.edit();
    code().setAsString("B7");
    EXPECT_EQ(edit->text(), "#B7");
    EXPECT_EQ(textChanges.count(), 0);
    writes = 0;
    edit->setFocus();
    other->setFocus(); // nothing typed
    EXPECT_EQ(writes, 0);

    // A text wider than the box shows its start, as a name is read, not its end.
    code().setAsString("B777");
    EXPECT_EQ(edit->cursorPosition(), 0);
}

TEST_F(DBEditTest, ARefusedValueKeepsTheTypedTextAndTheFocus)
{
    const struct {
        const char* name;
        std::function<void()> check;
        std::size_t boxes;
    } refusals[] = {
        {"silent abort", [] { abortSilently(); }, 0},
        {"error", [] { throw DataSetError("Field 'CODE' refuses it"); }, 1},
    };
    showWindow();
    for (const auto& refusal : refusals) {
        SCOPED_TRACE(refusal.name);
        dialogs->clear();
        code().onValidate = [&](Field& f) {
            if (f.asString() == "BAD")
                refusal.check();
        };
        type("bad");
        other->setFocus();
        QTest::qWait(10);
        EXPECT_TRUE(edit->hasFocus());
        EXPECT_EQ(edit->text(), "bad");
        EXPECT_EQ(code().asString(), "A1");
        EXPECT_EQ(dialogs->shownMessages().size(), refusal.boxes);
        QTest::keyClick(edit, Qt::Key_Return);
        EXPECT_EQ(edit->text(), "bad");
        dataSet.cancel();
    }
}

TEST_F(DBEditTest, FollowsReadOnlyMarksAndTheFieldSizeInBytes)
{
    edit->setControlReadOnly(true);
    EXPECT_TRUE(edit->isReadOnly());
    edit->setProperty("ReadOnly", false);
    code().setReadOnly(true);
    edit->refresh();
    EXPECT_TRUE(edit->isReadOnly());
    edit->setDataField("NAME"); // 6 bytes: three double-byte characters
    EXPECT_FALSE(edit->isReadOnly());
    // A character the code page lacks would be stored as "?".
    edit->insert(QString::fromUtf8(u8"😀"));
    for (const QChar c : QString::fromUtf8(u8"一二三四"))
        edit->insert(c);
    EXPECT_EQ(edit->text(), QString::fromUtf8(u8"一二三"));
    edit->setDataSource(nullptr);
    EXPECT_TRUE(edit->isReadOnly());
    EXPECT_TRUE(edit->text().isEmpty());
}

TEST_F(DBEditTest, AMemoTakesNoTextItsFieldCannotHoldWhole)
{
    TZtDBMemo memo(&window);
    memo.setDataSource(&source);
    memo.setDataField("NAME"); // 6 bytes: three double-byte characters
    memo.setFocus();
    QGuiApplication::clipboard()->setText(QString::fromUtf8(u8"a😀"));
    memo.paste();
    EXPECT_TRUE(memo.toPlainText().isEmpty()) << "a character the code page lacks";
    for (const QChar c : QString::fromUtf8(u8"一二三四"))
        QTest::sendKeyEvent(QTest::Click, &memo, Qt::Key_unknown, QString(c), Qt::NoModifier);
    QTest::keyClick(&memo, Qt::Key_Return); // a line break is two more bytes
    QInputMethodEvent composed;
    composed.setCommitString(QStringLiteral("x"));
    QCoreApplication::sendEvent(&memo, &composed);
    QGuiApplication::clipboard()->setText(QStringLiteral("ab"));
    memo.paste();
    EXPECT_EQ(memo.toPlainText(), QString::fromUtf8(u8"一二三"));

    memo.moveCursor(QTextCursor::End);
    memo.moveCursor(QTextCursor::Left, QTextCursor::KeepAnchor);
    memo.paste();
    EXPECT_EQ(memo.toPlainText(), QString::fromUtf8(u8"一二ab")) << "in place of the selection it fits";
    ASSERT_TRUE(memo.updateRecord());
    EXPECT_EQ(dataSet.fieldByName("NAME").asString(), gbk("一二") + "ab");

    memo.setPlainText(QString::fromUtf8(u8"一二三四"));
    EXPECT_FALSE(memo.updateRecord()) << "a text set by program is refused, not cut";
    EXPECT_EQ(dataSet.fieldByName("NAME").asString(), gbk("一二") + "ab");
    ASSERT_EQ(dialogs->shownMessages().size(), 1u);
    EXPECT_TRUE(dialogs->shownMessages().back().text.contains(QStringLiteral("at most 6 bytes")));
    dataSet.cancel();
}

} // namespace
} // namespace orvane::test
