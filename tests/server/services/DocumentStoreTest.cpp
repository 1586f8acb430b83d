// The document store through "OrvaneS.Services": unknown references and the size cap. The seeded
// documents reached through their index are the order window's (OrderHeadChecksTest's mark
// picture, DocumentFormTest's item document); their bytes at the client DocumentStoreClientTest's.
#include "ServicesFixture.h"

#include "server/services/DocumentStore.h"
#include "support/Contains.h"

namespace orvane::test {
namespace {

class DocumentStoreTest : public ServicesFixture {
protected:
    std::vector<Variant> document(Variant reference)
    {
        const Variant answer = services_->call("GetDocument", {std::move(reference)});
        const auto elements = answer.array().elements();
        return {elements.begin(), elements.end()};
    }
};

TEST_P(DocumentStoreTest, UnknownAndOversizedDocumentsAreRefusedWithoutContent)
{
    EXPECT_EQ(document("NO-SUCH-DOC"),
              (std::vector<Variant>{1, "No document 'NO-SUCH-DOC' in the document store of company database PRTest50",
                                    "", ""}));
    EXPECT_EQ(document("").at(0), Variant(1));

    const std::size_t tooLong = (maxDocumentBytes + 2) / 3 * 4 + 4;
    db_->execute("INSERT INTO " + db_->dialect().companyTable("PRTest50", "DMS_CONTENT") +
                     " (DOC_REF, FILE_NAME, CONTENT) VALUES (?, ?, ?)",
                 {"HUGE", "huge.bin", std::string(tooLong, 'A')});
    const std::vector<Variant> huge = document("HUGE");
    EXPECT_EQ(huge.at(0), Variant(2));
    EXPECT_TRUE(contains(huge.at(1).toString(), "at most 16777216"));
    EXPECT_EQ(huge.at(3), Variant(""));
}

INSTANTIATE_TEST_SUITE_P(Backends, DocumentStoreTest, eachBackend(), backendName);

} // namespace
} // namespace orvane::test
