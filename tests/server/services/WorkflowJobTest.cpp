// The sign-off workflow on each backend: a queued job runs through the demonstration flow's two
// passes and applies its action, a decision the document's state refuses changes nothing, and a
// cancelled job frees the document.
#include "support/Contains.h"
#include "support/ErrorOf.h"
#include "support/JobRecord.h"
#include "support/TestDatabase.h"

#include "server/services/WorkflowJob.h"
#include "server/services/WorkflowMethods.h"

#include <tuple>

namespace orvane::test {
namespace {

constexpr const char* order = "2201||2501200001"; // the demonstration order, not confirmed

class WorkflowJobTest : public SeededBackendTest {
protected:
    QueueAnswer send(const std::string& action, const std::string& user = "ZT")
    {
        std::vector<Variant> record = orderJobRecord(action, "2201", "2501200001", "S001");
        record[12] = user;
        return queueJob(*db_, {user, "PRTest50", "PRTest50"}, Variant::arrayOf({Variant::arrayOf(std::move(record))}));
    }
    DecisionResult decide(Verdict verdict, const std::string& signer = {})
    {
        return decideJob(*db_, "PRTest50", "TAVI52", order, verdict, signer);
    }
    // The head's sign-off status and confirmation code, then the lines' close codes.
    std::string state()
    {
        std::string text;
        for (const char* sql : {"SELECT TC048, TC027 FROM PRTest50..COPTC WHERE TC002 = '2501200001'",
                                "SELECT TD021 FROM PRTest50..COPTD WHERE TD002 = '2501200001' ORDER BY TD003"})
            for (const DbRow& row : db_->query(db_->dialect().mapCompanyPrefix(sql)).rows)
                for (const Variant& value : row)
                    text += value.toString() + "/";
        return text;
    }
    std::size_t steps(const std::string& result)
    {
        const std::string info = approveInfo(*db_, "PRTest50", "SO-FLOW", order);
        std::size_t count = 0;
        for (std::size_t at = info.find(result); at != std::string::npos; at = info.find(result, at + 1))
            ++count;
        return count;
    }
};

// The approved path through the client's window is WorkflowTest's (SQLite); here both backends take
// the state changes, a refusal, a cancel and a second round.
TEST_P(WorkflowJobTest, AJobRunsItsPassesAndAppliesItsActionOrIsRefusedOrCancelled)
{
    // Before any job the history is refused with the system's message, named by its code.
    const std::string none = approveInfo(*db_, "PRTest50", "SO-FLOW", order);
    EXPECT_TRUE(contains(none, "<ErrNum>200140</ErrNum><ErrDis>" +
                                   std::string(reinterpret_cast<const char*>(u8"这张单据没有签核记录!"))))
        << none;
    // SALES01 may edit the order but not confirm it, nor have it confirmed.
    const std::string before = state();
    const QueueAnswer refused = send("3", "SALES01");
    EXPECT_EQ(refused.code, QueueCode::BadJob);
    EXPECT_TRUE(contains(refused.reason, "no right to confirm"));
    EXPECT_EQ(state(), before) << "still free for its creator";

    ASSERT_EQ(send("2").code, QueueCode::Queued);
    EXPECT_EQ(state(), "S/N/N/");
    const DecisionResult first = decide(Verdict::Approve);
    EXPECT_EQ(std::tuple(first.pass, first.passes, first.finished), std::tuple(1, 2, false));
    EXPECT_EQ(steps("<BranchNo>"), 6u);
    EXPECT_TRUE(contains(errorOf([&] { decide(Verdict::Approve); }), "cannot take action 2 now"))
        << "unconfirming a document that is not confirmed";
    EXPECT_EQ(state(), "4/N/N/") << "still between the passes of an unconfirm";

    EXPECT_TRUE(decide(Verdict::Cancel).finished);
    EXPECT_EQ(state(), "0/N/N/");
    EXPECT_EQ(steps(reinterpret_cast<const char*>(u8"撤销")), 3u);
    EXPECT_TRUE(contains(errorOf([&] { decide(Verdict::Return); }), "No job"));

    ASSERT_EQ(send("3").code, QueueCode::Queued) << "sent again, a new round";
    EXPECT_EQ(steps("<BranchNo>"), 3u);
    decide(Verdict::Approve);
    EXPECT_EQ(state(), "1/N/N/");
    EXPECT_TRUE(decide(Verdict::Approve, "ZT").finished);
    EXPECT_EQ(state(), "3/Y/Y/") << "approved and confirmed, the lines with it";
    EXPECT_EQ(
        db_->query(db_->dialect().mapCompanyPrefix("SELECT TC040 FROM PRTest50..COPTC WHERE TC002 = '2501200001'"))
            .rows[0][0]
            .toString(),
        "ZT")
        << "the signer is the approver";
    // Every change counted the rows' versions on, so a session holding older values is refused.
    const QueryResult versions = db_->query(db_->dialect().mapCompanyPrefix(
        "SELECT C.ROW_VERSION, D.ROW_VERSION FROM PRTest50..COPTC C JOIN PRTest50..COPTD D ON D.TD001 = C.TC001"
        " AND D.TD002 = C.TC002 WHERE C.TC002 = '2501200001'"));
    EXPECT_EQ(std::tuple(versions.rows[0][0].toInteger(), versions.rows[0][1].toInteger()), std::tuple(6, 1))
        << "six changes of the head, one of the lines";

    // A job is decided under the flow it was queued with, whatever its type's settings say since.
    ASSERT_EQ(send("2").code, QueueCode::Queued);
    db_->execute(db_->dialect().mapCompanyPrefix("UPDATE PRTest50..ADMMQ SET MQ003 = 'NEW-FLOW'"));
    EXPECT_EQ(decide(Verdict::Approve).pass, 1);
    // One whose document is gone cannot be approved; cancelling it takes it out of the queue.
    db_->execute(db_->dialect().mapCompanyPrefix("DELETE FROM PRTest50..COPTC WHERE TC002 = '2501200001'"));
    EXPECT_TRUE(contains(errorOf([&] { decide(Verdict::Approve); }), "There is no TAVI52 document"));
    EXPECT_TRUE(decide(Verdict::Cancel).finished);
    EXPECT_TRUE(contains(errorOf([&] { decide(Verdict::Cancel); }), "No job"));
}

// A record that names fields the job would write through to other documents or other fields is refused
// before the database is touched.
TEST(WorkflowJobRecord, KeysMustBeThePrimaryKeysAndStatusFieldsApartFromThemAndEachOther)
{
    const auto refusal = [](std::initializer_list<std::pair<std::size_t, std::string>> changes) {
        std::vector<std::string> texts;
        for (const Variant& v : orderJobRecord("3", "2201", "2501200001"))
            texts.push_back(v.asString());
        for (const auto& [element, value] : changes)
            texts[element] = value;
        return errorOf([&] { workflowJob(texts); });
    };
    EXPECT_TRUE(contains(refusal({{1, "2201"}, {6, "TC001"}, {7, "2201"}}), "not the primary key of COPTC"))
        << "every 2201 order";
    EXPECT_TRUE(contains(refusal({{8, "TD001,TD003"}}), "not the primary key of COPTD"));
    EXPECT_TRUE(contains(refusal({{5, "COPTM"}, {8, "TM001,TM002,TM003,TM004,TM006"}, {11, ""}}),
                         "do not lead with its link to COPTC"));
    EXPECT_TRUE(contains(refusal({{9, "TC027"}}), "cannot be the confirmation field"));
    EXPECT_TRUE(contains(refusal({{9, "TC002"}}), "cannot be key fields"));
    EXPECT_TRUE(contains(refusal({{11, "TD003"}}), "cannot be a key field of COPTD"));
    EXPECT_EQ(refusal({}), "") << "the window's own record";
}

INSTANTIATE_TEST_SUITE_P(Backends, WorkflowJobTest, eachBackend(), backendName);

} // namespace
} // namespace orvane::test
