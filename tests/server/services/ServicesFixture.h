#pragma once
// A seeded demonstration database on each backend with the services registered in a
// registry of the test's own, the two service objects the client uses logged in, and helpers to
// call them as the client does.

#include "support/ErrorOf.h"
#include "support/TestDatabase.h"

#include "platform/lookup/LookupAnswer.h"
#include "platform/lookup/LookupRequest.h"
#include "server/schema/DemoSeed.h"
#include "server/services/RegisterServices.h"
#include "server/services/SessionObject.h"

namespace orvane::test {

class ServicesFixture : public SeededBackendTest {
protected:
    void SetUp() override
    {
        SeededBackendTest::SetUp();
        if (IsSkipped())
            return;
        // The connections share their reference answers as the server's do, the tests' own
        // connection (db_) among them: what a test writes is heard of before it reads.
        const auto shared = std::make_shared<ReferenceReads>();
        db_->shareReferenceReads(shared);
        pool_ = std::make_shared<ConnectionPool>(
            [this, shared] {
                auto db = store_->connect();
                db->shareReferenceReads(shared);
                return db;
            },
            4);
        context_ = registerServices(pool_, options(), registry_);
        services_ = object("OrvaneS.Services");
        window_ = object("F2WindowS.Class1");
    }
    void TearDown() override
    {
        services_.reset();
        window_.reset();
        context_.reset();
        pool_.reset();
        BackendTest::TearDown();
    }
    virtual ServicesOptions options() const { return {}; }

    // A new object of the class, logged in as ZT when login is true.
    DispatchPtr object(std::string_view className, bool login = true)
    {
        DispatchPtr created = registry_.create(className);
        if (login) {
            EXPECT_TRUE(created->call("Login", {"ZT", std::string(demoPassword), "PRTest50"}).toBoolean());
        }
        return created;
    }

    // What a validator method (CheckValue, QueryData) answers and writes back as its result.
    struct Validated {
        bool found;
        Variant result;
    };
    Validated validate(std::string_view method, std::string_view table, std::string_view kind, Variant keys,
                       Variant companyDb = "PRTest50")
    {
        std::vector<Variant> args{table, kind, std::move(companyDb), std::move(keys), Variant()};
        const bool found = services_->invoke(method, args).toBoolean();
        return {found, args[4]};
    }
    // GetF2Data of the lookup service: the count it answers and the list.
    std::pair<int, LookupAnswer> f2Data(const LookupRequest& request)
    {
        std::vector<Variant> args{request.toVariant(), Variant()};
        const int count = static_cast<int>(window_->invoke("GetF2Data", args).toInteger());
        return {count, LookupAnswer::fromVariant(args[1])};
    }

    // A server method called through GETCOUNTER for the session's company, as TBrokers calls it.
    Variant counter(std::string_view method, Variant args)
    {
        std::vector<Variant> call{std::string(method), Variant::arrayOf({"PRTest50", "PRTest50"}), std::move(args)};
        return services_->invoke("GETCOUNTER", call);
    }
    // Runs a statement that names company tables as the client does ("PRTest50..COPTC").
    void executeInCompany(const std::string& sql, std::initializer_list<Variant> values = {})
    {
        db_->execute(db_->dialect().mapCompanyPrefix(sql), values);
    }
    // The quantity mode of the company's items (SYS024): "2" two units, "3" fixed weight.
    void setUnitMode(const char* mode)
    {
        executeInCompany("UPDATE PRTest50..SYS_PARAM SET PARAM_VALUE = ? WHERE PARAM_NAME = 'SYS024'", {mode});
    }

    AutomationRegistry registry_;
    std::shared_ptr<ConnectionPool> pool_;
    std::shared_ptr<ServiceContext> context_;
    DispatchPtr services_; // "OrvaneS.Services", logged in as ZT
    DispatchPtr window_;   // the lookup service, logged in as ZT
};

} // namespace orvane::test
