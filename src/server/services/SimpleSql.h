#pragma once
// "SimpleSql": the client sends SQL texts, but the server never runs them. It answers
// only the statement shapes the client is known to send (the program-name query, the
// rights query of the lookup window, the attachments query), takes the quoted values
// out of the text and runs its own statement with them bound as parameters. Any other
// text is refused with an error that quotes it.
//
// Arguments: [SQL text, column list] or [SQL text, column list, company database, "N"].
// Answer: an array of rows, each an array of the column values in column-list order.
// Threads: as the call's connection.

#include "server/services/NamedMethods.h"

namespace orvane {

Variant simpleSql(const MethodCall& call);

} // namespace orvane
