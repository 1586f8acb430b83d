// TBrokers over the shell's host object over the real embedded server: the components,
// the parameters, the validator, remote calls, lookups, launching and workflow jobs.
#include "support/Contains.h"
#include "support/CountingHost.h"
#include "support/DemoHost.h"
#include "support/JobRecord.h"

#include "platform/lookup/LookupAnswer.h"
#include "platform/variant/NumberText.h"
#include "services/Brokers.h"
#include "services/Language_Convert.h"
#include "shell/HostObject.h"
#include "shell/ShellWindows.h"

#include <set>

namespace orvane::test {
namespace {

class BrokersForm : public BrokersOwner {
public:
    std::int64_t windowHandle() const override { return 4242; }
    bool hasCommand(int element) const override { return commands.contains(element); }

    std::set<int> commands;
};

class RecordedMessages : public MessageCodeService {
public:
    int ShowMessageCode(std::string_view type, std::string_view code, bool, std::span<const Variant>) override
    {
        shown.push_back(std::string(type) + std::string(code));
        return 1;
    }
    std::vector<std::string> shown;
};

// A lookup window and a launcher that remember what they were given.
class RecordedWindows : public ShellWindows {
public:
    std::optional<std::vector<Variant>> chooseLookupRow(const LookupList& list) override
    {
        lookupRequest = list.request;
        return ShellWindows::chooseLookupRow(list);
    }
    LookupRequest lookupRequest;
};

class RecordedLauncher : public ProgramLauncher {
public:
    int execWork(const Variant& identity, const Variant&, const Variant& params, int mode, Variant& result) override
    {
        launched = {identity, params, mode};
        result = "done";
        return 3;
    }
    std::vector<Variant> launched;
};

class BrokersTest : public DemoHostTest<RecordedWindows, RecordedLauncher> {
protected:
    void SetUp() override
    {
        DemoHostTest::SetUp();
        recording = std::make_shared<CountingHost>(host);
        brokers.setUserId("ZT");
        brokers.setCompanyId("PRTest50");
        brokers.setCompanyDb("PRTest50");
        brokers.setProgramId("tavi52");
        brokers.setHostObject(DispatchPtr(recording));
    }
    void TearDown() override
    {
        brokers.setHostObject({});
        recording.reset();
        DemoHostTest::TearDown();
    }
    // Acquires the components of flags and forgets what was asked so far.
    void acquire(std::uint8_t flags = 0xFF)
    {
        brokers.setComponentFlags(flags);
        ASSERT_TRUE(brokers.AcquireComponents());
        recording->asked.clear();
    }

    BrokersForm form;
    RecordedMessages messages;
    TBrokers brokers{form, messages, registry_};
    std::shared_ptr<CountingHost> recording; // the host object as the brokers reach it
};

// The program row's name of a known program, as a started program reports it: ControllerTest.
TEST_F(BrokersTest, AcquiresTheFlaggedComponentsInOrderOnceAndLoadsTheProgramRow)
{
    brokers.setComponentFlags(static_cast<std::uint8_t>(BrokerComponent::Validator) |
                              static_cast<std::uint8_t>(BrokerComponent::InputDate));
    ASSERT_TRUE(brokers.AcquireComponents());
    EXPECT_EQ(recording->asked, (std::vector<std::string>{"Com_InputDate", "Com_Validator"}));
    EXPECT_EQ(brokers.programId(), "TAVI52");

    recording->asked.clear();
    brokers.setComponentFlags(0xFF);
    ASSERT_TRUE(brokers.AcquireComponents());
    EXPECT_EQ(recording->asked,
              (std::vector<std::string>{"Com_VarManager", "Com_F2Window", "Com_Phrase", "Com_Counter"}));
    for (auto flag : {BrokerComponent::VarManager, BrokerComponent::Validator, BrokerComponent::F2Window,
                      BrokerComponent::InputDate, BrokerComponent::Phrase, BrokerComponent::Counter})
        EXPECT_TRUE(brokers.component(flag).isDispatch());

    // An unknown program clears the program name.
    brokers.setProgramId("NONE99");
    brokers.LoadProgramRow();
    EXPECT_EQ(brokers.programRow()[0], "");
}

TEST_F(BrokersTest, WithoutHostOrComponentsEveryCallAnswersItsEmptyValue)
{
    acquire(0);
    Variant result = "stale";
    brokers.RemoteCall("SimpleSql", Variant::arrayOf({"x", "y"}), result);
    EXPECT_TRUE(result.isUnassigned());
    EXPECT_FALSE(brokers.CheckValue("CMSME", "01", Variant::arrayOf({"S10"}), result));
    EXPECT_FALSE(brokers.LoadSystemParameters());
    std::string mode, highest, next;
    EXPECT_FALSE(brokers.QueryMaxSeq("COPTC", "TC001,TC002", "2201", "20240506", mode, highest, next));
    result = "stale";
    brokers.F2GetData("CMSME", "01", Variant(), true, "", 0, false, result);
    EXPECT_TRUE(result.isUnassigned());
    EXPECT_EQ(brokers.ShowInputDay("20240506"), "");
    EXPECT_TRUE(recording->asked.empty()) << "nothing is sent without a component";

    brokers.setHostObject({});
    EXPECT_FALSE(brokers.AcquireComponents());
    std::string text = "stale";
    brokers.GetMessage("E", "000001", text);
    EXPECT_EQ(text, "");
    EXPECT_EQ(brokers.RunProgram("TAVI61", "", Variant(), result), -1);
}

// A shell whose variable manager answers a fixed array: the shapes the server never sends.
class FixedShell : public AutomationObject {
public:
    explicit FixedShell(Variant answer) : AutomationObject("FixedShell")
    {
        method("Com_VarManager", 0, [this](std::span<Variant>) { return Variant(shared_from_this()); });
        method("GetSysInfo", 1, [answer = std::move(answer)](std::span<Variant>) { return answer; });
    }
};

// Loading system parameters from the server, matching them without case and setting one:
// OrderDataModuleTest (SYS004, sys011); the server's own program parameters reach the brokers in
// DataModuleTest.
TEST_F(BrokersTest, ParametersOfUnknownOrEmptyNamesAreNothingMaxRecordIsCappedAndOddSystemInfoKeepsTheList)
{
    acquire();
    ASSERT_TRUE(brokers.LoadSystemParameters());
    const int count = brokers.SystemParameterCount();
    EXPECT_EQ(brokers.SystemParameter("NO_SUCH"), "");
    std::string value = "kept";
    brokers.SystemParameter("", value);
    EXPECT_EQ(value, "kept");
    brokers.SetSystemParameter("", "ignored");
    EXPECT_EQ(brokers.SystemParameterCount(), count);

    brokers.SetProgramParameters("M11_TABLE=COPTC");
    EXPECT_EQ(brokers.ProgramParameter("m11_table"), "COPTC");
    const std::vector<std::pair<std::string, int>> cases{{"MAX_RECORD=50", 20}, {"MAX_RECORD=5", 5},
                                                         {"MAX_RECORD=abc", 0}, {"OTHER=1", 0},
                                                         {"MAX_RECORD=-3", 0},  {"A=1\r\nMAX_RECORD=7\r\n", 7}};
    for (const auto& [text, expected] : cases) {
        brokers.SetProgramParameters(text);
        EXPECT_EQ(brokers.MaxRecord(), expected) << text;
    }

    // A system information of one column gives one parameter and an empty answer keeps the list.
    const std::vector<std::pair<Variant, int>> shapes{
        {Variant(VariantArray(ArrayBounds{0, 1}, ArrayBounds{0, 0}, {"SYS001", "3"})), 1},
        {Variant(VariantArray(ArrayBounds{0, 1}, ArrayBounds{0, -1})), 0},
        {Variant(), 0},
        {Variant::arrayOf({"SYS001", "3"}), 0},
    };
    for (const auto& [answer, loaded] : shapes) {
        TBrokers shaped(form, messages);
        shaped.SetSystemParameter("KEPT", "1");
        shaped.setComponentFlags(static_cast<std::uint8_t>(BrokerComponent::VarManager));
        shaped.setHostObject(DispatchPtr(std::make_shared<FixedShell>(answer)));
        ASSERT_TRUE(shaped.AcquireComponents());
        EXPECT_EQ(shaped.LoadSystemParameters(), loaded > 0);
        EXPECT_EQ(shaped.SystemParameterCount(), loaded + 1);
        EXPECT_EQ(shaped.SystemParameter("KEPT"), "1");
        if (loaded > 0) {
            EXPECT_EQ(shaped.SystemParameter("sys001"), "3");
        }
    }
}

// A message text through the host object: the order window's cases read every box they expect so
// (OrderWindowTest).
TEST_F(BrokersTest, QueriesTheDateInputAndTheNumberPreviewAnswerAndARefusedPreviewIsUnknown)
{
    acquire();
    EXPECT_EQ(brokers.ShowInputDay("20240506"), "20240506");
    // CheckValue's row in GBK, and its refusal: the first run of a learned step (below).
    Variant rows;
    EXPECT_TRUE(brokers.QueryData("ADMMQ", "02", Variant::arrayOf({"TAVI52", "2201"}), rows));
    EXPECT_EQ(rows[0][2], Variant("Y"));

    std::string mode, highest, next;
    EXPECT_TRUE(brokers.QueryMaxSeq("COPTC", "TC001,TC002", "2201", "20240506", mode, highest, next));
    EXPECT_EQ(mode, "1");
    EXPECT_EQ(next, "2405060001");
    EXPECT_FALSE(brokers.QueryMaxSeq("COPTC", "TC001,TC002", "2209", "20240506", mode, highest, next));
    EXPECT_EQ(highest, "unKnow") << "a refusal overrides what the server wrote back";
    EXPECT_EQ(next, "unKnow");
}

TEST_F(BrokersTest, RemoteCallsAndChecksInsideAnAnswerScopeAreAskedOnceAndFetchedAheadInOneBatchPerComponent)
{
    acquire();
    auto& validator = *recording->counted["Com_Validator"];
    auto& counter = *recording->counted["Com_Counter"];
    validator.calls = 0; // the program row
    const Variant department = Variant::arrayOf({"S10"});
    const Variant sql = Variant::arrayOf({"SELECT MB002 FROM ADMMB AS ADMMB  WHERE MB001='TAVI52'", "MB002"});
    Variant row;
    {
        const TBrokers::AnswerScope scope(brokers);
        const std::array<PrefetchCall, 4> ahead{PrefetchCall::lookup("CMSME", "01", department),
                                                PrefetchCall::lookup("CMSME", "01", Variant::arrayOf({"S99"})),
                                                PrefetchCall::remote("SimpleSql", sql),
                                                PrefetchCall::remote("NoSuchMethod", Variant::arrayOf({1}))};
        brokers.Prefetch(ahead);
        EXPECT_EQ(validator.batches, (std::vector<std::size_t>{2}));
        EXPECT_EQ(counter.batches, (std::vector<std::size_t>{2}));
        EXPECT_TRUE(brokers.CheckValue("CMSME", "01", department, row)); // its row: the learned step's case
        EXPECT_FALSE(brokers.CheckValue("CMSME", "01", Variant::arrayOf({"S99"}), row)) << "a kept refusal";
        Variant result;
        brokers.RemoteCall("SimpleSql", sql, result);
        EXPECT_EQ(result, Variant::arrayOf({Variant::arrayOf({gbk("客户订单录入作业")})}));
        EXPECT_EQ(validator.calls + counter.calls, 0) << "every answer was kept from the batches";
        // A failed call was not kept: asked again, it fails as it would have.
        EXPECT_NE(errorOf([&] { brokers.RemoteCall("NoSuchMethod", Variant::arrayOf({1}), result); }), "");
        EXPECT_EQ(counter.calls, 1);
        brokers.Prefetch(ahead);
        EXPECT_EQ(validator.batches.size(), 1U) << "nothing new to fetch";
    }
    EXPECT_TRUE(brokers.CheckValue("CMSME", "01", department, row));
    EXPECT_EQ(validator.calls, 1) << "closing the scope forgot the answers";
    Variant result;
    brokers.RemoteCall("SimpleSql", sql, result);
    EXPECT_EQ(counter.calls, 2) << "a remote call outside a scope goes at once";
    // The method name goes as the caller spells it: the server knows "SimpleSql" only.
    EXPECT_TRUE(contains(errorOf([&] { brokers.RemoteCall("SIMPLESQL", sql, result); }), "SIMPLESQL"));
    brokers.Prefetch(std::array{PrefetchCall::lookup("CMSME", "01", department)});
    EXPECT_EQ(validator.batches.size(), 1U) << "outside a scope nothing is fetched ahead";
}

TEST_F(BrokersTest, ALearnedStepSendsTheLookupsItAskedLastTimeAheadInOneBatch)
{
    acquire();
    auto& validator = *recording->counted["Com_Validator"];
    validator.calls = 0; // the program row
    const auto runStep = [&](const char* unknown) {
        const TBrokers::LearnedStep step(brokers, "new line");
        Variant row;
        EXPECT_TRUE(brokers.CheckValue("CMSME", "01", Variant::arrayOf({"S10"}), row));
        EXPECT_EQ(row[0], Variant(gbk("国内业务部")));
        EXPECT_FALSE(brokers.CheckValue("CMSME", "01", Variant::arrayOf({unknown}), row));
        const TBrokers::LearnedStep nested(brokers, "new line");
        EXPECT_TRUE(brokers.CheckValue("CMSME", "01", Variant::arrayOf({"S10"}), row)) << "kept for the whole step";
    };
    runStep("S99");
    EXPECT_EQ(validator.calls, 2);
    EXPECT_TRUE(validator.batches.empty()) << "nothing learned yet";
    runStep("S99");
    EXPECT_EQ(validator.batches, (std::vector<std::size_t>{2})) << "the nested step sent nothing";
    EXPECT_EQ(validator.calls, 2) << "both answers, the refusal too, came from the batch";
    runStep("S98");
    EXPECT_EQ(validator.calls, 3) << "a lookup not asked before goes on its own";
    runStep("S99");
    EXPECT_EQ(validator.batches.back(), 3U) << "the lookups of the last two runs";
    EXPECT_EQ(validator.calls, 3);
}

TEST_F(BrokersTest, LookupRequestCarriesTheCallersValuesIdentityWindowAndRights)
{
    acquire();
    brokers.setCompanyDb("PRDATA"); // the lookup service reads the session's company, not this
    form.commands = {33};
    Variant result = "stale";
    brokers.F2GetData("CMSME", "01", Variant::arrayOf({"S"}), false, gbk("业务"), 0, true, result);
    EXPECT_TRUE(result.isUnassigned()) << "the window chose nothing";
    EXPECT_EQ(windows.lookupRequest, (LookupRequest{.table = "CMSME",
                                                    .kind = "01",
                                                    .keys = Variant::arrayOf({"S"}),
                                                    .text = gbk("业务"),
                                                    .companyId = "PRTest50",
                                                    .companyDb = "PRDATA",
                                                    .windowHandle = 4242,
                                                    .secondFlag = true,
                                                    .commands33or35 = true}));

    form.commands = {34};
    brokers.F2GetData("CMSME", "01", Variant(), false, "", 77, false, result);
    EXPECT_EQ(windows.lookupRequest.windowHandle, 77);
    EXPECT_FALSE(windows.lookupRequest.commands33or35);
    EXPECT_TRUE(windows.lookupRequest.commands32or34);

    brokers.F2GetData("CMSME", "01", Variant::arrayOf({"S1"}), true, "", 0, false, result);
    EXPECT_EQ(LookupAnswer::fromVariant(result).rows, (std::vector<std::vector<Variant>>{{"S10", gbk("国内业务部")}}))
        << "the first row, taken without a window";
}

// A pager class under the name the brokers create for a note to a user.
class Pager : public AutomationObject {
public:
    explicit Pager(std::vector<Variant>& sent) : AutomationObject("ZTKPagerC.Class1")
    {
        method("ShowSendTalvex", 4, [&sent](std::span<Variant> args) {
            sent.assign(args.begin(), args.end());
            return Variant();
        });
    }
};

TEST_F(BrokersTest, RunProgramPassesTheIdentityAndParametersAndJobsUseTheirClassesOrTheServer)
{
    acquire();
    Variant result;
    EXPECT_EQ(brokers.RunProgram("TAVI61", " TD001 ='2201'", Variant(), result), 3);
    EXPECT_EQ(result, Variant("done"));
    ASSERT_EQ(launcher.launched.size(), 3U);
    EXPECT_EQ(launcher.launched[0], Variant::arrayOf({"ZT", "PRTest50", "TAVI61", 4242}));
    EXPECT_EQ(launcher.launched[1], Variant::arrayOf({0, 4, Variant()}));
    EXPECT_EQ(launcher.launched[2], Variant(2));
    brokers.RunProgram("TAVI61", "", Variant::arrayOf({8, 0, Variant()}), result);
    EXPECT_EQ(launcher.launched[1], Variant::arrayOf({8, 0, Variant()}));

    // Notes and addresses use their automation classes.
    std::vector<Variant> sent;
    registry_.registerClass("ZTKPagerC.Class1", [&sent] { return std::make_shared<Pager>(sent); });
    EXPECT_TRUE(brokers.SendJob(2, Variant::arrayOf({"SALES01", "note", 1, 2})));
    EXPECT_EQ(sent, (std::vector<Variant>{"SALES01", "note", 1, 2}));
    std::string address;
    EXPECT_TRUE(contains(errorOf([&] { brokers.PopupAddress(address, 1); }), "AddressC.Class1"));

    // Workflow jobs report the server's answer: the demonstration order of a type with a sign-off
    // flow, or of a type without one.
    auto job = [](const std::string& type) {
        std::vector<Variant> record = orderJobRecord("3", type, "2501200001");
        record.resize(12); // the client's short form
        return Variant::arrayOf(std::move(record));
    };
    const std::vector<std::tuple<std::string, bool, std::string>> cases{
        {"2201", true, "I200007"}, {"2201", false, "E200128"}, {"2299", false, "E200129"}};
    for (const auto& [type, accepted, message] : cases) {
        messages.shown.clear();
        EXPECT_EQ(brokers.SendJob(1, job(type)), accepted) << type;
        EXPECT_EQ(messages.shown, std::vector<std::string>{message}) << type;
    }
    Variant queued;
    EXPECT_TRUE(brokers.CheckValue("VLJOBQUE", "02", Variant::arrayOf({"2201||2501200001"}), queued))
        << "the record carried the session's identity";
    EXPECT_TRUE(contains(errorOf([&] { brokers.SendJob(1, Variant::arrayOf({"0"})); }), "12 elements"));
    EXPECT_FALSE(brokers.SendJob(3, job("2201")));
}

} // namespace
} // namespace orvane::test
