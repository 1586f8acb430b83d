#pragma once
// The document store of a company database: DMS indexes documents by mark text or file
// name (the DMS "01" lookup answers a document's reference), DMS_CONTENT holds the file of
// each reference, its bytes in base64 so that the same text column serves both backends and
// the content passes the client's code-page conversion unchanged.
//
// Stateless; as the connection.

#include "platform/variant/Variant.h"
#include "server/db/Database.h"

#include <cstddef>
#include <string>

namespace orvane {

// The largest file the store hands out; the base64 text of it stays well inside a frame.
inline constexpr std::size_t maxDocumentBytes = std::size_t{16} << 20;

// The first element of the answer; 0 is the only one that carries a file.
enum class DocumentCode {
    Found = 0,
    Unknown = 1,  // no document of that reference
    TooLarge = 2, // the stored file is larger than maxDocumentBytes
};

struct DocumentAnswer {
    DocumentCode code = DocumentCode::Unknown;
    std::string message;  // "" when found
    std::string fileName; // the stored file name, "" unless found
    std::string content;  // the file's bytes in base64, "" unless found

    // [code, message, file name, content], as the client reads it.
    Variant toVariant() const;
};

// The document of a reference in companyDb.
DocumentAnswer readDocument(Database& db, const std::string& companyDb, const std::string& reference);

} // namespace orvane
