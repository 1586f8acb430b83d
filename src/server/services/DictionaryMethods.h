#pragma once
// The data dictionary on the server: the tables ADMMN (field rows), ADMMP (value lists) and ADMMO
// (component rows) of a company database, per interface language, and the one named method the
// shell calls at login to refresh the client's copies.
//
// "DataDictionary": args [language, fingerprint of the client's copies ("" for none)];
//   answer [fingerprint] when the copies are current, else
//   [fingerprint, field rows, value-list rows, component rows], each a data packet (see
//   docs/datasets.md) with the columns of the client's files: MN001..MN009, MP001..MP006,
//   MO002..MO006 (MO001 too). The fingerprint is a digest of the language's rows, so any change
//   on the server, a deletion included, gives a new one.
//
// Threads: any (each call uses its own connection).

#include "platform/data/DataPacket.h"
#include "server/services/NamedMethods.h"

#include <string>
#include <string_view>

namespace orvane {

// The dictionary of one language as the client's three files hold it.
struct DictionaryPackets {
    DataPacket fields;  // DDFD: MN001..MN009
    DataPacket lists;   // DDFM: MP001..MP006
    DataPacket objects; // DDOBJ: MO001..MO006
};

void registerDictionaryMethods(NamedMethods& methods);

// Replaces the rows of language in the company database by those of the packets, in one
// transaction; columns the tables lack are left out. Raises ServiceError for a language that is
// not 1 to 3 letters or a company database that does not exist.
void importDictionary(Database& db, std::string_view companyDb, std::string_view language,
                      const DictionaryPackets& packets);

} // namespace orvane
