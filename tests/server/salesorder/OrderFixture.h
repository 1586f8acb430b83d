#pragma once
// The seeded demonstration database on each backend with the services and the order
// server registered in a registry of the test's own, and the client's side: the three
// nested client datasets of the order program over a DispatchProvider, driven the way
// the order data module drives them, over an object served in process or over TCP.

#include "support/ErrorOf.h"
#include "support/TestDatabase.h"

#include "platform/data/ClientDataSet.h"
#include "platform/data/DispatchProvider.h"
#include "platform/rpc/RemoteDispatch.h"
#include "platform/rpc/RpcConnection.h"
#include "server/salesorder/OrderServer.h"
#include "server/schema/DemoSeed.h"
#include "server/services/RegisterServices.h"

namespace orvane::test {

// Client field sizes hold UTF-8 text of the column's characters (the test client speaks UTF-8).
inline FieldDef text(std::string name, int characters)
{
    return FieldDef::string(std::move(name), characters * 3);
}
inline FieldDef number(std::string name)
{
    return FieldDef::of(std::move(name), FieldType::Float);
}

inline std::vector<FieldDef> auditFields()
{
    return {text("COMPANY", 10),  text("CREATOR", 10),  text("USR_GROUP", 10), text("CREATE_DATE", 8),
            text("MODIFIER", 10), text("MODI_DATE", 8), number("FLAG")};
}

inline std::vector<FieldDef> withAudit(std::vector<FieldDef> fields, std::string nested = {})
{
    for (FieldDef& def : auditFields())
        fields.push_back(std::move(def));
    if (!nested.empty())
        fields.push_back(FieldDef::dataSet(std::move(nested)));
    return fields;
}

inline std::vector<FieldDef> headFields()
{
    return withAudit({text("TC001", 4),    text("TC001C1", 10), text("TC002", 11),   text("TC039", 8),
                      text("TC003", 8),    text("TC004", 10),   text("TC004C1", 10), text("TC005", 6),
                      text("TC005C1", 10), text("TC012", 30),   text("TC015", 255),  text("TC027", 1),
                      number("TC029"),     number("TC030"),     number("TC029C"),    text("TC040", 10),
                      text("TC042", 6),    text("TC042C", 30),  text("TC034C", 30),  text("TC048", 1),
                      text("TC050", 1),    text("MA097C", 1),   number("TC004C4")},
                     "qryBody");
}

inline std::vector<FieldDef> lineFields()
{
    return withAudit({text("TD001", 4),    text("TD002", 11),   text("TD003", 4),   text("TD004", 20),
                      text("TD005", 60),   text("TD007", 10),   text("TD007C", 10), number("TD008"),
                      number("TD009"),     number("TD024"),     number("TD025"),    number("TD032"),
                      number("TD033"),     text("TD010", 4),    text("TD010C1", 4), number("TD011"),
                      number("TD012"),     text("TD021", 1),    text("TD029", 3),   text("TD029C", 30),
                      text("TD004C4", 20), text("TD004C6", 72), number("TD004C053")},
                     "qryFoot");
}

inline std::vector<FieldDef> subLineFields()
{
    return withAudit({text("TM001", 4), text("TM002", 11), text("TM003", 4), text("TM004", 20), text("TM004C", 60),
                      text("TM006", 20), text("TM006C", 60), text("MB025C", 1), number("TM007")});
}

// The order program's three datasets over a server object.
struct OrderClient {
    explicit OrderClient(DispatchPtr object, int packetRecords = 20) : server(std::move(object))
    {
        main.addFields(headFields());
        body1.addFields(lineFields());
        foot.addFields(subLineFields());
        body1.setDataSetField(main.fieldByName("qryBody"));
        foot.setDataSetField(body1.fieldByName("qryFoot"));
        main.setProvider(std::make_shared<DispatchProvider>(server, "pvdMain"));
        main.setPacketRecords(packetRecords);
        main.onReconcileError = [this](ClientDataSet&, const ReconcileError& error, ReconcileAction&) {
            reconciled.push_back(error);
        };
    }

    // Opens (or reopens) with the request [condition, order].
    void open(const std::string& condition = {}, const std::string& order = {})
    {
        foot.close();
        body1.close();
        main.close();
        main.setParams(Variant::arrayOf({condition, order}));
        main.open();
        body1.open();
        foot.open();
    }

    // Saves the change log as the framework does: SetIsSeq, then an apply that allows no error.
    int save(bool numbered = false, int maxErrors = 0)
    {
        reconciled.clear();
        server->call("SetIsSeq", {numbered ? Variant(-1) : Variant(0)});
        return main.applyUpdates(maxErrors);
    }

    // Appends a head with a provisional number; lines and sub-lines follow with appendLine.
    void appendHead(const std::string& type, const std::string& number, const std::string& date,
                    const std::string& customer)
    {
        main.append();
        set(main, {{"TC001", type},
                   {"TC002", number},
                   {"TC039", date},
                   {"TC003", date},
                   {"TC004", customer},
                   {"TC027", "N"},
                   {"CREATOR", "ZT"},
                   {"COMPANY", "PRTest50"},
                   {"CREATE_DATE", date}});
        main.fieldByName("FLAG").setAsFloat(1);
        main.post();
    }

    void appendLine(const std::string& line, const std::string& item, double quantity)
    {
        body1.append();
        set(body1, {{"TD001", main.fieldByName("TC001").asString()},
                    {"TD002", main.fieldByName("TC002").asString()},
                    {"TD003", line},
                    {"TD004", item},
                    {"TD007", "A01"},
                    {"TD010", "PCS"},
                    {"TD029", "P01"}});
        body1.fieldByName("TD008").setAsFloat(quantity);
        body1.fieldByName("FLAG").setAsFloat(1);
        body1.post();
    }

    void appendSubLine(const std::string& feature, const std::string& component)
    {
        foot.append();
        set(foot, {{"TM001", body1.fieldByName("TD001").asString()},
                   {"TM002", body1.fieldByName("TD002").asString()},
                   {"TM003", body1.fieldByName("TD003").asString()},
                   {"TM004", feature},
                   {"TM006", component}});
        foot.fieldByName("TM007").setAsFloat(1);
        foot.fieldByName("FLAG").setAsFloat(1);
        foot.post();
    }

    // A new order of three lines, the first with a sub-line, under a provisional number.
    void enterOrder(const std::string& number = "2503010099", const std::string& type = "2201")
    {
        appendHead(type, number, "20250301", "C001");
        appendLine("0001", "A100", 5);
        appendSubLine("F100", "P101");
        appendLine("0002", "A200", 10);
        appendLine("0003", "W100", 2);
    }

    // Edits the current record of a dataset, sets the values and posts it; stamped, its FLAG is
    // counted on first, as the form's audit stamping does.
    static void change(DataSet& dataSet, std::initializer_list<std::pair<const char*, std::string>> values,
                       bool stamped = false)
    {
        dataSet.edit();
        if (stamped) {
            Field& flag = dataSet.fieldByName("FLAG");
            flag.setAsFloat(static_cast<double>((static_cast<long long>(flag.asFloat()) + 1) % 1000));
        }
        set(dataSet, values);
        dataSet.post();
    }

    // Changes head values of the current order as the form does (FLAG counted on) and saves it.
    int saveHead(std::initializer_list<std::pair<const char*, std::string>> values = {})
    {
        change(main, values, true);
        return save();
    }

    static void set(DataSet& dataSet, std::initializer_list<std::pair<const char*, std::string>> values)
    {
        for (const auto& [name, value] : values)
            dataSet.fieldByName(name).setAsString(value);
    }

    std::string head(const char* field) const { return main.fieldByName(field).asString(); }

    DispatchPtr server;
    ClientDataSet main{"cdsMain"};
    ClientDataSet body1{"cdsBody1"};
    ClientDataSet foot{"cdsFoot"};
    std::vector<ReconcileError> reconciled;
};

// An order server object over a new connection to the server on port, logged in as ZT, with an
// open session; the object keeps its connection.
inline DispatchPtr remoteOrderSession(std::uint16_t port)
{
    const auto connection = RpcConnection::connect("127.0.0.1", port);
    connection->login({"ZT", "demo", "PRTest50"});
    DispatchPtr object = connection->createObject("TavIS52S.Class1");
    std::vector<Variant> request{Variant::arrayOf({"TAVI52", "ZT", "PRTest50", "PRTest50", false})};
    if (object->invoke("Connect", request) != Variant(0))
        throw std::runtime_error("Connect refused");
    return object;
}

// The objects are served in process, as the client's embedded server serves them; the
// network server's login rules are tested over the wire.
class OrderFixture : public SeededBackendTest {
protected:
    void SetUp() override
    {
        SeededBackendTest::SetUp();
        if (IsSkipped())
            return;
        keepOnlyTheFirstDemoOrder(*db_);
        pool_ = std::make_shared<ConnectionPool>([this] { return store_->connect(); }, 8);
        context_ = registerServices(pool_, options(), registry_);
        registerOrderServer(context_, registry_);
    }
    void TearDown() override
    {
        context_.reset();
        pool_.reset();
        BackendTest::TearDown();
    }
    virtual ServicesOptions options() const { return {.embedded = true}; }

    // Calls Connect with the request array; answers its code.
    static int connect(Dispatch& object, std::vector<Variant> request)
    {
        std::vector<Variant> args{Variant::arrayOf(std::move(request))};
        return static_cast<int>(object.invoke("Connect", args).toInteger());
    }
    // A new order server object with an open session of user in the demonstration company.
    DispatchPtr connected(const std::string& user = "ZT")
    {
        DispatchPtr object = registry_.create("TavIS52S.Class1");
        EXPECT_EQ(connect(*object, {"TAVI52", user, "PRTest50", "PRTest50", false}), 0);
        return object;
    }
    // The first column of the first row of a query on the test's own connection.
    Variant scalar(const std::string& sql, std::initializer_list<Variant> params = {})
    {
        const QueryResult result = db_->query(sql, params);
        return result.rows.empty() ? Variant() : result.rows[0][0];
    }
    std::string table(const char* name) const { return db_->dialect().companyTable("PRTest50", name); }
    // The rows of a company table that meet the condition.
    std::int64_t count(const char* name, const std::string& where = "1 = 1")
    {
        return scalar("SELECT COUNT(*) FROM " + table(name) + " WHERE " + where).toInteger();
    }

    AutomationRegistry registry_;
    std::shared_ptr<ConnectionPool> pool_;
    std::shared_ptr<ServiceContext> context_;
};

} // namespace orvane::test
