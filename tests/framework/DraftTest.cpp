// Drafts of the document window on the embedded demonstration server: a window killed while a
// clerk types leaves a draft that the next start offers and restores in add state with its lines
// (the line being typed included); an edited document comes back in edit state, unless someone
// saved it meanwhile; declining deletes a draft, a damaged one is set aside with a log line, and
// a saved or cancelled document leaves none; files of former versions are still read.
#include "framework/DocumentWindow.h"

#include "framework/DocumentDraft.h"
#include "support/Contains.h"

#include <chrono>
#include <thread>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace orvane::test {
namespace {

using namespace std::chrono_literals;

// Where the killed window's draft goes, handed to the child process.
constexpr const char* childDraftHome = "ORVANE_TEST_DRAFT_HOME";

class DraftTest : public DocumentWindowTest {
protected:
    std::filesystem::path dataHome() const { return folder_ / "data-home"; }
    // The files of the drafts folder whose name holds part.
    std::vector<std::filesystem::path> draftFiles(std::string_view part) const
    {
        std::vector<std::filesystem::path> found;
        if (!std::filesystem::exists(dataHome()))
            return found;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(dataHome())) {
            if (entry.path().filename().string().find(part) != std::string::npos)
                found.push_back(entry.path());
        }
        return found;
    }
    // The draft a window wrote (its file, read back), once it holds lines lines.
    std::filesystem::path waitForDraft(std::size_t lines)
    {
        for (auto waited = 0ms; waited < 60s; waited += 50ms) {
            for (const std::filesystem::path& file : draftFiles(".draft")) {
                if (file.extension() != ".draft")
                    continue; // a write under way (".draft.tmp"): the kill may come before its rename
                try {
                    if (decodeDraft(readFile(file), file.string()).lines.rows.size() == lines)
                        return file;
                } catch (const DraftError&) {
                    // Being replaced, or not written yet.
                }
            }
            std::this_thread::sleep_for(50ms);
        }
        ADD_FAILURE() << "no draft with " << lines << " lines was written";
        return {};
    }
    std::string alertLogs() const { return folderText(folder_ / "client" / "Log"); }
    // Leaves the document in a file beside the slot, ends it as cancelled and gives the slot's
    // draft back, as a window that died would have left it.
    static std::string keptAndCancelled(DocumentForm& form)
    {
        form.draft()->writeNow();
        const std::string bytes = readFile(form.draft()->slot()->file());
        form.CancelRecord(false);
        EXPECT_FALSE(form.draft()->slot()->exists()) << "a cancelled document leaves no draft";
        return bytes;
    }
};

// Run as the child of the kill case only: types a document with a third line in progress and
// waits to be killed.
TEST_F(DraftTest, DISABLED_TypesADocumentUntilKilled)
{
    setenv("XDG_DATA_HOME", std::getenv(childDraftHome), 1);
    FormPtr form = started();
    addDocument(*form, "X");
    ClientDataSet& lines = form->doubleModule()->cdsBody1;
    lines.append();
    lines.fieldByName("TD004").setAsString("A300");
    for (;;)
        QTest::qWait(1000);
}

TEST_F(DraftTest, AKilledWindowsDocumentIsRestoredWithItsLinesAndSavedOnce)
{
    setenv(childDraftHome, dataHome().c_str(), 1);
    std::string self = "/proc/self/exe", all = "--gtest_also_run_disabled_tests",
                only = "--gtest_filter=DraftTest.DISABLED_TypesADocumentUntilKilled";
    char* argv[] = {self.data(), all.data(), only.data(), nullptr};
    pid_t child = 0;
    ASSERT_EQ(posix_spawn(&child, self.c_str(), nullptr, nullptr, argv, environ), 0);
    waitForDraft(3);
    ::kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    unsetenv(childDraftHome);

    dialogs->queueAnswer(DialogAnswer::Yes);
    FormPtr form = started();
    ASSERT_EQ(dialogs->shownMessages().size(), 1u) << "the restore question";
    EXPECT_EQ(dialogs->shownMessages()[0].buttons, (std::vector<int>{DialogAnswer::Yes, DialogAnswer::No, DialogAnswer::Cancel}));
    TdmDouble& module = *form->doubleModule();
    EXPECT_EQ(form->recordMode(), RecordMode::Add);
    EXPECT_EQ(module.cdsMain.fieldByName("TC004").asString(), "C001");
    ASSERT_EQ(module.cdsBody1.viewRowCount(), 3);
    EXPECT_EQ(module.cdsBody1.state(), DataSetState::Insert) << "the line being typed";
    EXPECT_EQ(module.cdsBody1.fieldByName("TD004").asString(), "A300");
    EXPECT_EQ(module.cdsBody1.fieldByName("TD007").asString(), "A01") << "copied from the line before";

    ASSERT_TRUE(form->SaveRecord());
    EXPECT_TRUE(draftFiles(".draft").empty()) << "a saved document leaves no draft";
    showDocument(*form);
    ASSERT_EQ(module.cdsMain.recordCount(), 1);
    EXPECT_EQ(module.cdsBody1.recordCount(), 3);
}

TEST_F(DraftTest, AnEditedDocumentComesBackInEditUnlessSavedMeanwhile)
{
    FormPtr form = started();
    savedDocument(*form);
    ASSERT_TRUE(form->EditRecord());
    TdmDouble& module = *form->doubleModule();
    module.cdsMain.fieldByName("TC004").setAsString("C002");
    module.cdsBody1.first();
    module.cdsBody1.deleteRecord();
    const std::string kept = keptAndCancelled(*form);
    const std::string condition = form->lastCondition;
    const std::filesystem::path slot = form->draft()->slot()->file();
    form.reset();

    writeFile(slot, kept);
    dialogs->queueAnswer(DialogAnswer::Yes);
    FormPtr again = started();
    TdmDouble& restored = *again->doubleModule();
    EXPECT_EQ(again->recordMode(), RecordMode::Edit);
    EXPECT_EQ(restored.cdsMain.fieldByName("TC004").asString(), "C002");
    EXPECT_EQ(restored.cdsBody1.recordCount(), 1) << "the deleted line stays deleted";
    ASSERT_TRUE(again->SaveRecord());
    again->lastCondition = condition;
    again->RunQuery();
    EXPECT_EQ(restored.cdsMain.fieldByName("TC004").asString(), "C002");
    EXPECT_EQ(restored.cdsBody1.recordCount(), 1);
    again.reset();

    writeFile(slot, kept); // the same draft, after the document was saved
    dialogs->queueAnswer(DialogAnswer::Yes);
    FormPtr stale = started();
    EXPECT_EQ(stale->recordMode(), RecordMode::Browse);
    EXPECT_FALSE(std::filesystem::exists(slot));
    EXPECT_EQ(draftFiles(".damaged-").size(), 1u) << "set aside";
    EXPECT_TRUE(contains(alertLogs(), "saved by someone after the draft was kept"));
}

// The save sends FLAG counted on (positive) and the draft keeps it so when the save got no answer;
// the restore's fresh edit stamps the same count negative: the same document, not saved meanwhile.
TEST_F(DraftTest, AnEditWhoseSaveGotNoAnswerIsRestoredWithWhatWasTypedLastAndSavedOnce)
{
    FormPtr form = started();
    savedDocument(*form);
    TdmDouble& module = *form->doubleModule();
    const double savedFlag = module.cdsMain.fieldByName("FLAG").asFloat();
    ASSERT_TRUE(form->EditRecord());
    const auto losing = std::make_shared<AnswerLosingProvider>(module.cdsMain.provider());
    module.cdsMain.setProvider(losing);
    module.cdsMain.fieldByName("TC004").setAsString("C002");
    losing->loseNextRequest = true;
    EXPECT_THROW(form->SaveRecord(), std::exception);
    ASSERT_EQ(module.cdsMain.state(), DataSetState::Edit) << "still being edited, to be saved again";
    // Typed on; the window goes before the draft's timer wrote it, and writes it as it goes.
    module.cdsMain.fieldByName("TC004").setAsString("C003");
    const std::string condition = form->lastCondition;
    form.reset();

    dialogs->queueAnswer(DialogAnswer::Yes);
    FormPtr again = started();
    TdmDouble& restored = *again->doubleModule();
    ASSERT_EQ(again->recordMode(), RecordMode::Edit) << alertLogs();
    EXPECT_EQ(restored.cdsMain.fieldByName("TC004").asString(), "C003");
    ASSERT_TRUE(again->SaveRecord());
    again->lastCondition = condition;
    again->RunQuery();
    EXPECT_EQ(restored.cdsMain.fieldByName("TC004").asString(), "C003");
    EXPECT_EQ(restored.cdsMain.fieldByName("FLAG").asFloat(), savedFlag + 1) << "saved once";
}

// A client killed while its save was on its way, after the server committed it: the draft it
// leaves holds the save's identifier, so the restored document sent again is answered, not stored.
TEST_F(DraftTest, ADocumentWhoseSaveWasOnItsWayWhenTheClientDiedIsStoredOnce)
{
    const auto documents = [this] {
        const auto db = companyDatabase();
        return db
            ->query("SELECT TC002 FROM " + db->dialect().companyTable(demoCompanyDb, "COPTC") + " WHERE TC001 = '2201'")
            .rows.size();
    };
    const std::size_t before = documents();
    FormPtr form = started();
    addDocument(*form, "X");
    form->draft()->writeNow(); // as the timer does once the clerk pauses
    const std::filesystem::path slot = form->draft()->slot()->file();
    TdmDouble& module = *form->doubleModule();
    const auto losing = std::make_shared<AnswerLosingProvider>(module.cdsMain.provider());
    module.cdsMain.setProvider(losing);
    std::string left; // the draft while the answer is on its way: what a client killed then leaves
    losing->whileAnswering = [&] { left = readFile(slot); };
    losing->loseNextAnswer = true;
    EXPECT_THROW(form->SaveRecord(), std::exception);
    form.reset();
    ASSERT_EQ(documents(), before + 1) << "the server committed the save";

    writeFile(slot, left);
    dialogs->queueAnswer(DialogAnswer::Yes);
    form = started();
    ASSERT_EQ(form->recordMode(), RecordMode::Add) << alertLogs();
    ASSERT_TRUE(form->SaveRecord());
    EXPECT_EQ(documents(), before + 1) << "the restored document is the save the server has";
}

TEST_F(DraftTest, ADraftInAnySlotIsOfferedKeptUntilAnsweredAndADamagedOneSetAside)
{
    FormPtr form = started();
    addDocument(*form, "X");
    const std::string kept = keptAndCancelled(*form);
    const std::filesystem::path slot = form->draft()->slot()->file();
    form.reset();

    // Left in the second slot, as the second of two windows leaves it: a lone window takes it.
    const std::filesystem::path second = slot.parent_path() / (slot.stem().stem().string() + ".1.draft");
    writeFile(second, kept);
    dialogs->queueAnswer(DialogAnswer::Cancel); // Escape, or the box closed
    form = started();
    EXPECT_EQ(form->recordMode(), RecordMode::Browse);
    EXPECT_TRUE(std::filesystem::exists(second)) << "an unanswered offer keeps the draft";
    form.reset();
    dialogs->queueAnswer(DialogAnswer::Cancel);
    form = started();
    EXPECT_EQ(dialogs->shownMessages().size(), 2u) << "offered again at the next start";
    addDocument(*form, "X");
    EXPECT_EQ(draftFiles(".unanswered-").size(), 1u) << "the window's own document set it aside, not deleted";
    form->CancelRecord(false);
    form.reset();
    writeFile(second, kept);
    dialogs->queueAnswer(DialogAnswer::No);
    form = started();
    EXPECT_EQ(dialogs->pendingAnswers(), 0u) << "asked";
    EXPECT_EQ(form->recordMode(), RecordMode::Browse);
    EXPECT_FALSE(std::filesystem::exists(second));
    form.reset();

    std::string damaged = kept;
    damaged[damaged.size() / 2] ^= 0x20;
    writeFile(slot, damaged);
    dialogs->clear();
    form = started();
    EXPECT_TRUE(dialogs->shownMessages().empty()) << "nothing to offer";
    EXPECT_FALSE(std::filesystem::exists(slot));
    EXPECT_EQ(draftFiles(".damaged-").size(), 1u);
    EXPECT_TRUE(contains(alertLogs(), "is damaged: its check sum does not match"));
    addDocument(*form, "X");
    EXPECT_TRUE(form->SaveRecord()) << "the window works on";
}

// That sub-lines and the automatic numbering travel in the file, the order window's draft with
// option lines shows (OrderDialogsTest).
TEST(DraftFileTest, FilesOfFormerVersionsAreStillReadAndSubLinesMustFitTheLines)
{
    Draft draft;
    draft.head = {{"TC001"}, {{Variant("2201")}}};
    draft.lines = {{"TD003"}, {{Variant("0001")}, {Variant("0002")}}};
    draft.subLineFields = {"TM004", "TM007"};
    draft.subLines = {{{Variant("F100"), Variant(5.0)}, {Variant("F200"), Variant(2.5)}}, {}};
    draft.saving = DraftSaving{true, 1};
    std::string former = encodeDraft(draft);
    former[8] = 2; // the version word: version 2 keeps no saving, the window's stays as it is
    EXPECT_EQ(decodeDraft(former, "former").saving, std::nullopt);
    former[8] = 1; // nor sub-lines in version 1
    EXPECT_TRUE(decodeDraft(former, "former").subLines.empty());
    former[8] = 4;
    EXPECT_THROW(decodeDraft(former, "later"), DraftError);

    draft.subLines.pop_back();
    EXPECT_TRUE(contains(errorOf<DraftError>([&] { decodeDraft(encodeDraft(draft), "kept"); }),
                         "the sub-lines of 1 lines for 2 lines"));
}

} // namespace
} // namespace orvane::test
