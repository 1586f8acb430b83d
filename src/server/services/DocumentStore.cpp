#include "server/services/DocumentStore.h"

#include <cstdint>

namespace orvane {

namespace {

// Base64 text of at most maxDocumentBytes bytes.
constexpr std::size_t maxContentLength = (maxDocumentBytes + 2) / 3 * 4;

} // namespace

Variant DocumentAnswer::toVariant() const
{
    return Variant::arrayOf({static_cast<int>(code), message, fileName, content});
}

DocumentAnswer readDocument(Database& db, const std::string& companyDb, const std::string& reference)
{
    // A content over the cap is measured, never read.
    const QueryResult found =
        db.query("SELECT FILE_NAME, LENGTH(CONTENT), CASE WHEN LENGTH(CONTENT) <= ? THEN CONTENT ELSE '' END FROM " +
                     db.dialect().companyTable(companyDb, "DMS_CONTENT") + " WHERE DOC_REF = ?",
                 {static_cast<std::int64_t>(maxContentLength), reference});
    if (found.rows.empty())
        return {DocumentCode::Unknown,
                "No document '" + reference + "' in the document store of company database " + companyDb,
                {},
                {}};
    const DbRow& row = found.rows[0];
    const std::int64_t length = row[1].toIntegerOrZero();
    if (length > static_cast<std::int64_t>(maxContentLength))
        return {DocumentCode::TooLarge,
                "Document '" + reference + "' has about " + std::to_string(length / 4 * 3) +
                    " bytes; the document store hands out at most " + std::to_string(maxDocumentBytes),
                {},
                {}};
    return {DocumentCode::Found, {}, row[0].toString(), row[2].toString()};
}

} // namespace orvane
