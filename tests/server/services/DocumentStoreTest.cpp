// The document store through "OrvaneS.Services": the seeded documents reached the way the
// client reaches them (the index lookups, then GetDocument), unknown references and the size
// cap.
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
    // The row a CheckValue lookup answers.
    Variant lookup(const char* table, const char* kind, const char* key)
    {
        const Validated answer = validate("CheckValue", table, kind, Variant::arrayOf({key}));
        EXPECT_TRUE(answer.found) << table << " " << kind << " " << key;
        return answer.result;
    }
};

// The bytes that arrive at the client are DocumentStoreClientTest's; here: the index lookups
// lead to the stored documents.
TEST_P(DocumentStoreTest, TheSeededDocumentsAreFoundThroughTheirIndex)
{
    // The order form's shipping mark: DMS "01" by the mark text gives the file name and the reference.
    const Variant mark = lookup("DMS", "01", "华东贸易 SHANGHAI");
    EXPECT_EQ(mark[0], Variant("mark-c001.jpg"));
    EXPECT_EQ(document(mark[1]).at(2), Variant("mark-c001.jpg"));
    // An item's document: INVMB "12" answers the reference.
    EXPECT_EQ(document(lookup("INVMB", "12", "A100")[0]).at(2), Variant("A100-sheet.txt"));
}

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

INSTANTIATE_TEST_SUITE_P(Backends, DocumentStoreTest, ::testing::Values(Backend::Sqlite, Backend::Postgres),
                         backendName);

} // namespace
} // namespace orvane::test
